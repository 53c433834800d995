// The tray tooltip and the link rules.
#include "notify/tray_text.h"

namespace dc {

std::wstring TrayTip(const std::wstring& hint, bool shell5OrLater) {
  std::wstring text = hint;
  if (!shell5OrLater) {
    for (std::size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;) text.replace(at, 2, L" - ");
  }
  text = text.substr(0, text.find(L'|'));
  const std::size_t limit = shell5OrLater ? 127 : 63;
  if (text.size() > limit) text.resize(limit);
  return text;
}

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (std::size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> WebsiteToOpen(const std::string& website) {
  if (StartsWithNoCase(website, "http://") || StartsWithNoCase(website, "https://") ||
      StartsWithNoCase(website, "mailto:"))
    return website;
  if (StartsWithNoCase(website, "www.")) return "http://" + website;
  return std::nullopt;
}

std::string MailtoOf(const std::string& email) { return "mailto:" + email; }

}  // namespace dc

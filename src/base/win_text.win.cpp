// Text conversions for the Windows build.
#include "base/win_text.win.h"

#include <windows.h>

#include "base/unique_handle.h"

namespace dc {
namespace {

std::wstring ToWide(UINT cp, std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view s) { return ToWide(CP_UTF8, s); }
std::wstring AnsiToWide(std::string_view s) { return ToWide(CP_ACP, s); }

std::string WideToUtf8(std::wstring_view s) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                              nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

namespace {

void FreeLocal(wchar_t* p) { LocalFree(p); }

}  // namespace

std::string SystemErrorText(unsigned long code) {
  wchar_t* raw = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
  const Unique<wchar_t*, FreeLocal> buf(raw);  // freed also when a copy below throws
  std::wstring text;
  if (n > 0 && buf) text.assign(buf.get(), n);
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
  if (text.empty()) return "System error " + std::to_string(code);
  return WideToUtf8(text);
}

}  // namespace dc

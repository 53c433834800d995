// Windows-1252 for the native build.
#include <array>
#include <cstdint>

#include "base/ansi_text.h"
#include "base/utf8.h"
#include "base/windows_1252.h"

namespace dc {
namespace {

constexpr const std::array<char32_t, 32>& kHigh = kWindows1252High;

// Decodes one UTF-8 character at s[i]; advances i. Returns 0xFFFFFFFF on a
// malformed sequence.
char32_t NextUtf8(std::string_view s, std::size_t& i) {
  auto b = static_cast<unsigned char>(s[i++]);
  if (b < 0x80) return b;
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFFFFFF;
  char32_t c = b & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFFFFFF;
    c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return c;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  for (char ch : ansi) {
    AppendUtf8(out, Windows1252Char(static_cast<std::uint8_t>(ch)));
  }
  return out;
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8, Unmappable rule) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = NextUtf8(utf8, i);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    bool found = false;
    for (std::size_t k = 0; k < kHigh.size() && !found; ++k) {
      if (kHigh[k] && kHigh[k] == c) {
        out += static_cast<char>(0x80 + k);
        found = true;
      }
    }
    if (!found) {
      if (rule == Unmappable::Refuse) return std::nullopt;
      out += '?';
    }
  }
  return out;
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace dc

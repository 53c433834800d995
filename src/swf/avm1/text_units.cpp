// UTF-8 to characters and back; bytes that do not form UTF-8 are taken one
// at a time as Latin-1, so 8-bit text of older movies survives.
#include "swf/avm1/text_units.h"

#include "base/utf8.h"

namespace dc::swf::avm1 {
namespace {

// The character at `i` and its length in bytes.
char32_t DecodeAt(std::string_view s, std::size_t i, std::size_t& len) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  len = 1;
  if (c < 0x80) return c;
  int n = 0;
  if (c >= 0xC2 && c < 0xE0) n = 1;
  else if (c >= 0xE0 && c < 0xF0) n = 2;
  else if (c >= 0xF0 && c < 0xF5) n = 3;
  if (n == 0 || i + static_cast<std::size_t>(n) >= s.size()) return c;
  char32_t v = c & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return c;
    v = (v << 6) | (b(i + k) & 0x3F);
  }
  if ((n == 2 && v < 0x800) || (n == 3 && (v < 0x10000 || v > 0x10FFFF)) || (v >= 0xD800 && v <= 0xDFFF)) return c;
  len = static_cast<std::size_t>(n) + 1;
  return v;
}

}  // namespace

void AppendChar(std::string& out, char32_t c) { AppendUtf8(out, c); }

std::u32string DecodeText(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len = 1;
    out += DecodeAt(s, i, len);
    i += len;
  }
  return out;
}

std::string EncodeText(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) AppendChar(out, c);
  return out;
}

std::size_t CharCount(std::string_view s, bool ascii) {
  if (ascii) return s.size();
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++n) {
    std::size_t len = 1;
    DecodeAt(s, i, len);
    i += len;
  }
  return n;
}

std::string CharSlice(std::string_view s, bool ascii, std::size_t start, std::size_t count) {
  if (ascii) {
    if (start >= s.size()) return {};
    return std::string(s.substr(start, count));
  }
  const std::u32string chars = DecodeText(s);
  if (start >= chars.size()) return {};
  return EncodeText(std::u32string_view(chars).substr(start, count));
}

}  // namespace dc::swf::avm1

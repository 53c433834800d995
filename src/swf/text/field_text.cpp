// Decoding a field's UTF-8 text.
#include "swf/text/field_text.h"

#include <cstdint>
#include <utility>

namespace dc::swf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at `pos` and the bytes it takes; a malformed sequence
// (cut short, overlong, a surrogate, past U+10FFFF) takes one byte.
std::pair<char32_t, std::size_t> DecodeOne(std::string_view s, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0, least = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return {kReplacement, 1};
  }
  if (s.size() - pos < length) return {kReplacement, 1};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(s[pos + i]);
    if ((next & 0xC0) != 0x80) return {kReplacement, 1};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {kReplacement, 1};
  return {code, length};
}

}  // namespace

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto [code, length] = DecodeOne(utf8, pos);
    out.push_back(code);
    pos += length;
  }
  return out;
}

}  // namespace dc::swf

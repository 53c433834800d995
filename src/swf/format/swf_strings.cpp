// Movie texts to UTF-8.
#include "swf/format/swf_strings.h"

#include "base/utf8.h"
#include "base/windows_1252.h"

namespace dc::swf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character of a UTF-8 sequence at raw[i], moving i past it; a byte
// that does not begin a valid, shortest sequence of a Unicode scalar value
// is one U+FFFD.
char32_t NextChar(std::span<const std::uint8_t> raw, std::size_t& i) {
  const std::uint8_t lead = raw[i++];
  if (lead < 0x80) return lead;
  int extra = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
  } else {
    return kReplacement;
  }
  char32_t c = lead & (0x3F >> extra);
  std::size_t j = i;
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= raw.size() || (raw[j] & 0xC0) != 0x80) return kReplacement;
    c = c << 6 | (raw[j] & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  i = j;
  return c;
}

}  // namespace

std::string TextFromMovie(std::span<const std::uint8_t> raw, std::uint8_t version) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    if (version >= 6) {
      AppendUtf8(out, NextChar(raw, i));
    } else {
      AppendUtf8(out, Windows1252Char(raw[i++]));
    }
  }
  return out;
}

std::uint16_t CharFromByte(std::uint8_t code) { return static_cast<std::uint16_t>(Windows1252Char(code)); }

}  // namespace dc::swf

// A field's text as characters: UTF-8 decoding.
#include "swf/text/field_text.h"

#include <gtest/gtest.h>

#include <string>

namespace dc::swf {
namespace {

std::string Show(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) out += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : "<" + std::to_string(c) + ">";
  return out;
}

TEST(FieldText, Utf8DecodesAndMalformedBytesReadAsReplacement) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"A1", U"A1"},
      {"\xC3\xA9", U"\u00E9"},
      {"\xE2\x82\xAC", U"\u20AC"},
      {"\xF0\x9F\x98\x80", U"\U0001F600"},
      {"\xC3", U"\uFFFD"},                      // cut short
      {"\xC3" "A", U"\uFFFDA"},                 // continuation missing
      {"\xC0\xAF", U"\uFFFD\uFFFD"},            // overlong
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xFF", U"\uFFFD"},
  };
  for (const auto& [bytes, expected] : cases) {
    const std::u32string got = DecodeUtf8(bytes);
    EXPECT_EQ(got, expected) << "expected " << Show(expected) << ", got " << Show(got);
  }
}

}  // namespace
}  // namespace dc::swf

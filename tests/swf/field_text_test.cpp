// A field's text as characters: UTF-8 decoding, and HTML reduced to the
// characters and colours the field shows.
#include "swf/text/field_text.h"

#include <gtest/gtest.h>

#include <string>

namespace dc::swf {
namespace {

std::u32string Codes(const std::vector<StyledChar>& chars) {
  std::u32string s;
  for (const StyledChar& c : chars) s += c.code;
  return s;
}

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
    const std::u32string got = Codes(DecodeFieldText(bytes, {}));
    EXPECT_EQ(got, expected) << "expected " << Show(expected) << ", got " << Show(got);
  }
}

TEST(FieldText, HtmlReducedToTextAndBreaks) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"a<br>b<BR/>c", U"a\nb\nc"},
      {"<p>a</p><p>b</p>", U"a\nb\n"},
      {"x<p>y</p>", U"x\ny\n"},
      {"<p></p><p>y</p>", U"\ny\n"},
      {"<p align=\"center\"><b>bold</b> <i>it</i></p>", U"bold it\n"},
      {"a &amp; b &lt;c&gt; &quot;&apos;", U"a & b <c> \"'"},
      {"&nbsp;&#65;&#x42;&#X43;", U"\u00A0ABC"},
      {"&#0;&#1114112;", U"\uFFFD\uFFFD"},
      {"&bogus; & &#; &#xZ;", U"&bogus; & &#; &#xZ;"},
      {"a<unclosed", U"a<unclosed"},
      {"caf\xC3\xA9", U"caf\u00E9"},
  };
  for (const auto& [html, expected] : cases) {
    const std::u32string got = Codes(ReduceFieldHtml(html, {}));
    EXPECT_EQ(got, expected) << html << ": expected " << Show(expected) << ", got " << Show(got);
  }
}

TEST(FieldText, FontTagsColourWhatTheyEnclose) {
  const Rgba field{1, 2, 3, 255}, orange{255, 128, 0, 255}, dark{1, 2, 3, 255}, teal{0, 0x80, 0x80, 255};
  struct Case {
    std::string html;
    std::vector<Rgba> colors;  // per character
  };
  const Case cases[] = {
      {"<font color=\"#FF8000\">a</font>b", {orange, field}},
      {"<FONT COLOR='#008080'>a<font face=\"x\">b</font>c</FONT>d", {teal, teal, teal, field}},
      {"<font color=#ff8000>a<font color=\"#010203\">b</font>c</font>", {orange, dark, orange}},
      {"<font color=\"red\">a</font></font>b", {field, field}},  // not #RRGGBB; a stray close
  };
  for (const Case& c : cases) {
    const std::vector<StyledChar> got = ReduceFieldHtml(c.html, field);
    ASSERT_EQ(got.size(), c.colors.size()) << c.html;
    for (std::size_t i = 0; i < got.size(); ++i) {
      const Rgba g = got[i].color, e = c.colors[i];
      EXPECT_EQ(g, e) << c.html << " char " << i << ": expected " << int(e.r) << "," << int(e.g) << "," << int(e.b)
                      << " got " << int(g.r) << "," << int(g.g) << "," << int(g.b);
    }
  }
}

}  // namespace
}  // namespace dc::swf

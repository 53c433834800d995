// The style sheet reader on its own: the rules it gives or that it gives
// none, property names in script form, and a style's values as a format.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "swf/avm1/css_text.h"

namespace dc::swf::avm1 {
namespace {

// The rules as one line: selector{name=value|...} each, or "fail".
std::string Rules(std::string_view text) {
  const auto rules = ParseCss(text);
  if (!rules) return "fail";
  std::string out;
  for (const CssRule& r : *rules) {
    out += r.selector + "{";
    for (std::size_t i = 0; i < r.properties.size(); ++i)
      out += (i ? "|" : "") + r.properties[i].first + "=" + r.properties[i].second;
    out += "}";
  }
  return out;
}

TEST(CssText, RulesOrNone) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {" \r\n\t", ""},
      {"one { kerning: 5 }", "one{kerning=5 }"},
      {"a, b { color: red; }", "a{color=red}b{color=red}"},
      {"k{x:1}K{x:2}", "k{x=1}K{x=2}"},
      {"a.b!#@$ { w: it, too! }", "a.b!#@${w=it, too! }"},
      {"test\\ {color: \\}", "test\\{color=\\}"},
      {"a}{}", "a}{}"},
      {"a{", "a{}"},
      {"a{:}", "a{}"},
      {"a{:;", "a{}"},
      {"a{key:}", "a{key=}"},
      {"a{key:;", "a{key=}"},
      {"b{;;key: value;;other: value;}", "b{;;key=value|;other=value}"},
      {"e{key;other: value;}", "e{key;other=value}"},
      {"f{;:value}", "f{;=value}"},
      {"g{key:value; }", "g{key=value}"},
      {"a{name}b{:value}", "a{name}b{=value}"},
      {"k {  p  :   v  w  }", "k{p  =v  w  }"},
      {"k {a-b: 1  c-d : 2;}", "k{aB=1  c-d : 2}"},
      // Malformed: nothing is kept.
      {"long key { kerning: 5 }", "fail"},
      {"{color:}", "fail"},
      {"name", "fail"},
      {"a,", "fail"},
      {"one { c: b; }; junk", "fail"},
      {"a{name", "fail"},
      {"a{name}", "fail"},
      {"a{:", "fail"},
      {"a{key:", "fail"},
      {"a{key:value", "fail"},
      {"a{;;key: value;other: value;;}", "fail"},
      {"k {property with space: value; }", "fail"},
  };
  for (const auto& [text, rules] : cases) EXPECT_EQ(Rules(text), rules) << text;
}

TEST(CssText, PropertyNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"font-size", "fontSize"},   {"this--one", "this-one"}, {"UPPER-DASHES", "UPPERDASHES"},
      {"trailing-", "trailing"},   {"-x", "X"},               {"a-1", "a1"},
  };
  for (const auto& [name, script] : cases) EXPECT_EQ(CssPropertyName(name), script) << name;
}

// A style of string values, each truthy when not empty.
FieldFormat FormatOf(const std::map<std::string, CssValue>& style) {
  return CssFormat([&](std::string_view name) {
    const auto it = style.find(std::string(name));
    return it == style.end() ? CssValue{"undefined", false, false} : it->second;
  });
}

CssValue S(const char* s) { return {s, *s != 0, true}; }
CssValue N(double n, const char* text) { return {text, n != 0 && !std::isnan(n), false}; }

TEST(CssText, EmptyStyleSetsKerningAndDisplayOnly) {
  const FieldFormat f = FormatOf({});
  EXPECT_EQ(f.kerning, false);
  EXPECT_EQ(f.display, "block");
  EXPECT_FALSE(f.font || f.size || f.color || f.bold || f.italic || f.underline || f.align || f.leading ||
               f.letterSpacing || f.leftMargin || f.rightMargin || f.indent);
}

TEST(CssText, ValuesAsFormat) {
  struct Case {
    const char* name;
    CssValue value;
    const char* field;
    std::optional<double> number;  // the field's value; none: unset
  };
  const Case cases[] = {
      {"color", S("#faFAfa"), "color", 0xFAFAFA},
      {"color", S("#456"), "color", std::nullopt},
      {"color", S(" #faFAfa"), "color", std::nullopt},
      {"color", S("#faFAfg"), "color", std::nullopt},
      {"fontSize", S("42px"), "size", 42},
      {"fontSize", N(1.9, "1.9"), "size", 1},
      {"fontSize", N(0.5, "0.5"), "size", std::nullopt},
      {"fontSize", S("-10"), "size", std::nullopt},
      {"fontSize", S("\t\n10\t\n"), "size", 10},
      {"kerning", S("true"), "kerning", 1},
      {"kerning", {"true", true, false}, "kerning", 0},
      {"kerning", S("-10"), "kerning", 1},
      {"kerning", S("- 10"), "kerning", 0},
      {"kerning", N(0.9, "0.9"), "kerning", 0},
      {"leading", S("x"), "leading", 0},
      {"leading", N(-1.9, "-1.9"), "leading", -1},
      {"leading", N(0, "0"), "leading", std::nullopt},
      {"letterSpacing", S("prefix10"), "letterSpacing", NAN},
      {"letterSpacing", S("10suffix"), "letterSpacing", 10},
      {"marginLeft", S("-10"), "leftMargin", 0},
      {"marginRight", N(255, "255"), "rightMargin", 255},
      {"marginRight", S(""), "rightMargin", std::nullopt},
      {"textIndent", S("7"), "indent", 7},
      {"fontStyle", S("italic"), "italic", 1},
      {"fontStyle", S("normal"), "italic", 0},
      {"fontStyle", S("Italic"), "italic", std::nullopt},
      {"fontWeight", S("bold"), "bold", 1},
      {"fontWeight", S(" bold"), "bold", std::nullopt},
      {"textDecoration", S("underline"), "underline", 1},
      {"textDecoration", S("none"), "underline", 0},
      {"textAlign", S("CenTeR"), "align", static_cast<double>(TextAlign::Center)},
      {"textAlign", S(" center"), "align", std::nullopt},
  };
  for (const Case& c : cases) {
    const FieldFormat f = FormatOf({{c.name, c.value}});
    const std::map<std::string, std::optional<double>> fields = {
        {"color", f.color ? std::optional<double>(*f.color) : std::nullopt},
        {"size", f.size},
        {"kerning", f.kerning ? std::optional<double>(*f.kerning) : std::nullopt},
        {"leading", f.leading},
        {"letterSpacing", f.letterSpacing},
        {"leftMargin", f.leftMargin},
        {"rightMargin", f.rightMargin},
        {"indent", f.indent},
        {"italic", f.italic ? std::optional<double>(*f.italic) : std::nullopt},
        {"bold", f.bold ? std::optional<double>(*f.bold) : std::nullopt},
        {"underline", f.underline ? std::optional<double>(*f.underline) : std::nullopt},
        {"align", f.align ? std::optional<double>(static_cast<double>(*f.align)) : std::nullopt},
    };
    const std::optional<double> got = fields.at(c.field);
    const std::string what = std::string(c.name) + "=" + c.value.text;
    ASSERT_EQ(got.has_value(), c.number.has_value()) << what;
    if (!got) continue;
    if (std::isnan(*c.number)) EXPECT_TRUE(std::isnan(*got)) << what;
    else EXPECT_EQ(*got, *c.number) << what;
  }
}

TEST(CssText, FontListAndDisplay) {
  EXPECT_EQ(FormatOf({{"fontFamily", S("  Font1  ,   Font2 ,, Font3 ")}}).font, "Font1  ,Font2 ,Font3 ");
  EXPECT_EQ(FormatOf({{"fontFamily", N(0, "0")}}).font, std::nullopt);
  EXPECT_EQ(FormatOf({{"fontFamily", {"true", true, false}}}).font, "true");
  const std::pair<const char*, const char*> displays[] = {
      {"inline", "inline"}, {"none", "none"}, {"Inline", "block"}, {"block", "block"}, {"x", "block"}};
  for (const auto& [given, display] : displays)
    EXPECT_EQ(FormatOf({{"display", S(given)}}).display, display) << given;
}

}  // namespace
}  // namespace dc::swf::avm1

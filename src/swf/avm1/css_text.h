// A style sheet's text read into rules, and a style's CSS properties
// turned into a TextFormat's fields, as TextField.StyleSheet does both.
// Portable: the script side hands in each property's value already
// converted.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "swf/avm1/text_field_host.h"

namespace dc::swf::avm1 {

// One selector's properties, their names in script form ("font-size"
// becomes "fontSize"), their values as written (leading white space left
// out, trailing kept).
struct CssRule {
  std::string selector;
  std::vector<std::pair<std::string, std::string>> properties;
};

// The rules of `text` in order, a rule for each selector of a list
// ("a, b { ... }"); nothing when the text is malformed (a selector with a
// space inside, a property without a colon or a value without its end, a
// selector left without a block). A block the text ends inside is closed
// there.
std::optional<std::vector<CssRule>> ParseCss(std::string_view text);

// "font-size" as a script names it: each '-' dropped and the character
// after it made upper case.
std::string CssPropertyName(std::string_view name);

// A style property's value as the script holds it.
struct CssValue {
  std::string text;       // its string
  bool truthy = false;    // whether it converts to true
  bool isString = false;  // whether it is a string (not a number or boolean)
};

// The format a style gives: `member` reads the style's property of a name
// (an absent one is falsy). Kerning is always set (false unless asked) and
// display too ("block" unless "inline" or "none").
FieldFormat CssFormat(const std::function<CssValue(std::string_view name)>& member);

}  // namespace dc::swf::avm1

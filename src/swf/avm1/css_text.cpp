// Reading a style sheet's text, and a style's properties as a format.
#include "swf/avm1/css_text.h"

#include <cmath>

#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

class CssReader {
 public:
  explicit CssReader(std::string_view text) : s_(text) {}

  std::optional<std::vector<CssRule>> Run() {
    std::vector<CssRule> rules;
    while (true) {
      SkipSpace();
      if (AtEnd()) return rules;
      std::vector<std::string> selectors;
      if (!Selectors(selectors)) return std::nullopt;
      CssRule block;
      if (!Block(block.properties)) return std::nullopt;
      for (std::string& selector : selectors) {
        block.selector = std::move(selector);
        rules.push_back(block);
      }
    }
  }

 private:
  bool AtEnd() const { return i_ >= s_.size(); }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(s_[i_])) ++i_;
  }

  // Names up to the block's '{', separated by commas; a name ends at white
  // space, which only a comma or the '{' may follow.
  bool Selectors(std::vector<std::string>& out) {
    while (true) {
      const std::size_t start = i_;
      while (!AtEnd() && !IsSpace(s_[i_]) && s_[i_] != ',' && s_[i_] != '{') ++i_;
      if (i_ == start) return false;
      out.emplace_back(s_.substr(start, i_ - start));
      SkipSpace();
      if (AtEnd()) return false;
      const char c = s_[i_++];
      if (c == '{') return true;
      if (c != ',') return false;
      SkipSpace();
    }
  }

  // After the '{': "name: value;" up to the '}' or the text's end.
  bool Block(std::vector<std::pair<std::string, std::string>>& out) {
    while (true) {
      SkipSpace();
      if (AtEnd()) return true;
      if (s_[i_] == '}') {
        ++i_;
        return true;
      }
      // The name runs to the colon; white space inside it may only come
      // before the colon (and the name keeps it).
      const std::size_t nameStart = i_;
      while (!AtEnd() && s_[i_] != ':') {
        if (IsSpace(s_[i_])) {
          SkipSpace();
          if (AtEnd() || s_[i_] != ':') return false;
          break;
        }
        ++i_;
      }
      if (AtEnd()) return false;
      const std::string_view name = s_.substr(nameStart, i_ - nameStart);
      ++i_;
      SkipSpace();
      const std::size_t valueStart = i_;
      while (!AtEnd() && s_[i_] != ';' && s_[i_] != '}') ++i_;
      if (AtEnd()) return false;
      const std::string_view value = s_.substr(valueStart, i_ - valueStart);
      if (s_[i_] == ';') ++i_;
      if (!name.empty()) out.emplace_back(CssPropertyName(name), std::string(value));
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// "#RRGGBB" exactly.
std::optional<std::uint32_t> CssColour(std::string_view s) {
  if (s.size() != 7 || s[0] != '#') return std::nullopt;
  std::uint32_t v = 0;
  for (char c : s.substr(1)) {
    if (!IsHex(c)) return std::nullopt;
    v = (v << 4) | static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return v;
}

// The names of a font list, each without the white space before it,
// empty ones left out.
std::string FontList(std::string_view s) {
  std::string out;
  while (true) {
    const std::size_t comma = s.find(',');
    std::string_view name = s.substr(0, comma);
    while (!name.empty() && IsSpace(name.front())) name.remove_prefix(1);
    if (!name.empty()) {
      if (!out.empty()) out += ',';
      out += name;
    }
    if (comma == std::string_view::npos) return out;
    s.remove_prefix(comma + 1);
  }
}

bool LowerEquals(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (((a[i] >= 'A' && a[i] <= 'Z') ? a[i] | 0x20 : a[i]) != lower[i]) return false;
  return true;
}

// A value that is one of two words, exactly: false for `off`, true for `on`.
std::optional<bool> Switch(std::string_view value, std::string_view off, std::string_view on) {
  if (value == on) return true;
  if (value == off) return false;
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<CssRule>> ParseCss(std::string_view text) { return CssReader(text).Run(); }

std::string CssPropertyName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '-') {
      out += name[i];
      continue;
    }
    if (++i < name.size()) {
      const char c = name[i];
      out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  return out;
}

FieldFormat CssFormat(const std::function<CssValue(std::string_view name)>& member) {
  FieldFormat f;
  // A whole number read from the front of the value's string.
  const auto integer = [](const CssValue& v) { return ParseInt(v.text, std::nullopt); };
  // A measure in pixels: a value that converts to false leaves it unset,
  // one that is no number is 0.
  const auto pixels = [&](const CssValue& v, double least) -> std::optional<double> {
    if (!v.truthy) return std::nullopt;
    const double n = integer(v);
    if (std::isnan(n) || n < least) return 0.0;
    return n + 0.0;  // no negative zero
  };

  if (const auto colour = CssColour(member("color").text)) f.color = *colour;
  const std::string display = member("display").text;
  f.display = display == "inline" || display == "none" ? display : "block";
  if (const CssValue v = member("fontFamily"); v.truthy) f.font = FontList(v.text);
  if (const double size = integer(member("fontSize")); size > 0) f.size = size;
  f.italic = Switch(member("fontStyle").text, "normal", "italic");
  f.bold = Switch(member("fontWeight").text, "normal", "bold");
  const CssValue kerning = member("kerning");
  const double k = integer(kerning);
  f.kerning = (kerning.isString && kerning.text == "true") || (!std::isnan(k) && k != 0);
  f.leading = pixels(member("leading"), -INFINITY);
  if (const CssValue v = member("letterSpacing"); v.truthy) f.letterSpacing = integer(v) + 0.0;
  f.leftMargin = pixels(member("marginLeft"), 0);
  f.rightMargin = pixels(member("marginRight"), 0);
  const std::string align = member("textAlign").text;
  if (LowerEquals(align, "left")) f.align = TextAlign::Left;
  else if (LowerEquals(align, "center")) f.align = TextAlign::Center;
  else if (LowerEquals(align, "right")) f.align = TextAlign::Right;
  else if (LowerEquals(align, "justify")) f.align = TextAlign::Justify;
  f.underline = Switch(member("textDecoration").text, "none", "underline");
  f.indent = pixels(member("textIndent"), -INFINITY);
  return f;
}

}  // namespace dc::swf::avm1

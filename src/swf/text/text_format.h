// A text field's character and paragraph format, whole (what one character
// has) and partial (what a script sets or reads over a range: a field the
// range does not agree on, or the script did not give, is unset).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/model/swf_types.h"

namespace dc::swf {

struct TextFormat {
  // The characters'.
  std::string font = "Times New Roman";
  double size = 12;  // pixels
  std::uint32_t color = 0;  // 0xRRGGBB
  bool bold = false, italic = false, underline = false;
  std::string url, target;
  double letterSpacing = 0;  // pixels
  bool kerning = false;
  // The paragraph's (a paragraph takes its first character's).
  TextAlign align = TextAlign::Left;
  double leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0, leading = 0;  // pixels
  bool bullet = false;
  std::vector<double> tabStops;
  bool operator==(const TextFormat&) const = default;
};

struct PartialTextFormat {
  std::optional<std::string> font;
  std::optional<double> size;
  std::optional<std::uint32_t> color;
  std::optional<bool> bold, italic, underline;
  std::optional<std::string> url, target;
  std::optional<double> letterSpacing;
  std::optional<bool> kerning;
  std::optional<TextAlign> align;
  std::optional<double> leftMargin, rightMargin, indent, blockIndent, leading;
  std::optional<bool> bullet;
  std::optional<std::vector<double>> tabStops;
  bool operator==(const PartialTextFormat&) const = default;

  // Every field of `f` set.
  static PartialTextFormat Of(const TextFormat& f);
  // `f` with what is set here put over it.
  TextFormat Over(TextFormat f) const;
  // Unsets what `f` has otherwise.
  void Intersect(const TextFormat& f);
  bool HasParagraphFields() const {
    return align || leftMargin || rightMargin || indent || blockIndent || leading || bullet || tabStops;
  }
};

}  // namespace dc::swf

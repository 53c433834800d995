// Fonts and texts as read from the file: glyph outlines, static text runs,
// and the definition of an edit text field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

struct Glyph {
  // The outline in font units (unitsPerEm to the em square, the baseline
  // at y 0, y down), with one solid fill at index 0 that text draws in its
  // own colour.
  Shape shape;
  std::uint16_t code = 0;  // the character, UCS-2 (8-bit codes read as Windows-1252, Shift-JIS ones as they are)
  double advance = 0;      // font units; 0 when the font has no layout
  bool operator==(const Glyph&) const = default;
};

struct Font {
  std::string name;  // UTF-8 (a movie before SWF 6 gives it in Windows-1252)
  bool bold = false, italic = false;
  bool hasOutlines = true;   // false: a device font, drawn with our fallback
  double unitsPerEm = 1024;  // DefineFont and DefineFont2: 1024; DefineFont3: 20480
  bool hasLayout = false;    // ascent, descent, leading and advances are given
  double ascent = 0, descent = 0, leading = 0;  // font units
  std::vector<Glyph> glyphs;
  bool operator==(const Font&) const = default;
};

struct GlyphEntry {
  std::uint32_t index = 0;  // into the font's glyphs
  double advance = 0;       // twips, in the text's space
  bool operator==(const GlyphEntry&) const = default;
};

// One run of DefineText/DefineText2: glyphs of one font, size and colour
// from a start point on the baseline, each glyph then moving x on by its
// advance.
struct TextRecord {
  std::uint16_t fontId = 0;
  Rgba color;
  double height = 0;  // twips: the em square's size
  double x = 0, y = 0;  // twips, in the text's space
  std::vector<GlyphEntry> glyphs;
  bool operator==(const TextRecord&) const = default;
};

struct StaticText {
  TwipRect bounds;
  Matrix matrix;  // the text's space to the character's
  std::vector<TextRecord> records;
  bool operator==(const StaticText&) const = default;
};


struct EditText {
  TwipRect bounds;
  bool wordWrap = false, multiline = false, password = false, readOnly = false;
  bool autoSize = false, html = false, useOutlines = false, border = false, noSelect = false;
  // The box's look: a file's border flag gives both the black hairline and
  // the white background; scripts set each part and its colour apart.
  bool background = false;
  Rgba borderColor{0, 0, 0, 255}, backgroundColor{255, 255, 255, 255};
  std::optional<std::uint16_t> fontId;
  std::string fontClass;
  double height = 240;  // twips
  Rgba color{0, 0, 0, 255};
  std::uint16_t maxLength = 0;  // 0: no limit
  TextAlign align = TextAlign::Left;
  double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // twips
  std::string variableName;  // UTF-8
  std::string initialText;   // UTF-8; HTML tags still in it when `html`
  // CSMTextSettings: advanced anti-aliasing, the grid fit (0 none, 1 pixel,
  // 2 subpixel), thickness and sharpness.
  bool advancedAntiAlias = false;
  std::uint8_t gridFit = 1;
  double thickness = 0, sharpness = 0;
  bool operator==(const EditText&) const = default;
};

}  // namespace dc::swf

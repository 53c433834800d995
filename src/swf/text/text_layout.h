// Where the glyphs of a text go: static texts' records placed as the file
// gives them, edit text fields laid out in their bounds as the Flash player
// lays them out. The renderer draws each placed glyph's outline in its
// colour; this file draws nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "swf/limits.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"
#include "swf/model/text.h"

namespace dc::swf {

class DeviceFonts;

// One glyph to draw: its outline, the map from the glyph's font units to
// the text character's twips, and its colour. The renderer draws it with
// DrawShape(*shape, toCanvas * matrix, cx, target, &color).
struct PlacedGlyph {
  const Shape* shape = nullptr;
  Matrix matrix;
  Rgba color;
  // A glyph held while the layout is: a device font's (the device fonts'
  // cache may let it go), or one made for the layout (an underline).
  std::shared_ptr<const Glyph> held;
};

using FontLookup = std::function<const Font*(std::uint16_t id)>;

// The glyphs of a static text (DefineText, DefineText2): each record's
// glyphs from its start point on, in the character's twips (the text's
// matrix applied). A font without outlines (a device font) is drawn in the
// system's font of its name when `device` has it, glyph by glyph; else,
// and for a glyph whose outline is missing, with the fallback font by the
// glyph's code at the record's size; a font the movie lacks draws nothing for its
// record. Glyphs with nothing to draw (spaces) are left out. Kerning is
// not applied. At most `maxGlyphs` glyphs are placed (Limits::maxGlyphs).
std::vector<PlacedGlyph> LayOutStaticText(const StaticText& text, const FontLookup& fonts,
                                          std::size_t maxGlyphs = kDefaultLimits.maxGlyphs,
                                          DeviceFonts* device = nullptr);

// What an edit text field shows.
struct EditTextLayout {
  std::vector<PlacedGlyph> glyphs;  // in the field's twips
  // The background and the border (a one-pixel hairline) where the field
  // shows them: the bounds, grown to the text when autoSize.
  std::optional<Shape> background, border;
};

// The glyphs of an edit text field showing `text` (UTF-8, HTML when the
// field is html): inside the bounds by a 40-twip gutter, with the margins,
// the indent on each paragraph's first line, the leading between lines and
// the alignment (justified lines spread their spaces); wrapped at spaces
// (or, for a word longer than the line, between characters) when wordWrap,
// on several lines only when multiline (otherwise breaks show as nothing);
// in the field's font when it has outlines and useOutlines is set, else in
// the system's font of its name (the field's deviceFont, else its font's,
// else Times New Roman) when `device` has it, else in the fallback font (a character the
// font lacks comes from the fallback too). Password fields show '*' for each character; maxLength
// keeps that many characters. Unless the field sizes itself to its text,
// lines that start below the bounds and glyphs wholly beside them are left
// out; the renderer clips the rest to the bounds. At most `maxGlyphs`
// characters are shown (Limits::maxGlyphs). A field scripts reached is
// drawn from its runs instead (field_glyphs.h).
EditTextLayout LayOutEditText(const EditText& field, std::string_view text, const FontLookup& fonts,
                              std::size_t maxGlyphs = kDefaultLimits.maxGlyphs, DeviceFonts* device = nullptr);

// A field's box: filled with `fill`, or a hairline of `line` around it.
Shape FieldBoxShape(const TwipRect& r, std::optional<Rgba> fill, std::optional<Rgba> line);

// The field's gutter: text keeps 2 pixels inside the bounds.
inline constexpr double kEditTextGutter = 40;

}  // namespace dc::swf

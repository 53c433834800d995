// Where the glyphs of a text go: static texts' records placed as the file
// gives them (an edit text field's are placed by field_glyphs.h). The
// renderer draws each placed glyph's outline in its colour; this file
// draws nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
  // shows them: its bounds.
  std::optional<Shape> background, border;
};

// A field's box: filled with `fill`, or a hairline of `line` around it.
Shape FieldBoxShape(const TwipRect& r, std::optional<Rgba> fill, std::optional<Rgba> line);

}  // namespace dc::swf

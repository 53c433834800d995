// A laid-out field's glyphs: each character where LayOutField put it, in
// its own run's font, size and colour, so that what is drawn is what
// scripts measure.
#pragma once

#include <cstddef>
#include <optional>

#include "swf/limits.h"
#include "swf/text/field_document.h"
#include "swf/text/field_layout.h"
#include "swf/text/font_library.h"
#include "swf/text/text_layout.h"

namespace dc::swf {

// The field's box and what it shows besides its text.
struct FieldBox {
  TwipRect bounds;
  std::optional<Rgba> background, border;  // colours, where the field shows them
};

// Every line's characters on its baseline (the line's top plus its
// ascent), from the left gutter by the line's offset and each character's
// advance (a justified line's spaces spread), each glyph in its run's font
// at its size (a password field's characters as '*'). A character with
// nothing to draw (a space, a break or another control character, one the
// embedded font lacks) is left out. An underlined run is drawn with a line
// a pixel thick beneath it, half the line's descent below the baseline.
// A bulleted paragraph's first line has a bullet ('\u2022' in its first
// character's font) where its indent for the bullet begins.
// Lines that start below the box and glyphs wholly beside it are left out.
// At most `maxGlyphs` characters are placed.
EditTextLayout PlaceFieldGlyphs(const FieldDocument& doc, const FieldLayout& layout, const FieldFrame& frame,
                                const FieldBox& box, const FontLibrary& fonts,
                                std::size_t maxGlyphs = kDefaultLimits.maxGlyphs);

}  // namespace dc::swf

// The player's own font, for text set in a device font and for glyphs a
// movie's font lacks: a plain sans-serif of constant stroke width with
// tabular digits, covering printable ASCII, Latin-1 and the few
// punctuation marks text from Windows brings, and a box for the rest.
#pragma once

#include <cstddef>

#include "swf/model/text.h"

namespace dc::swf {

// Built at first use; 1024 units to the em, with a layout (ascent,
// descent, advances). Glyph 0 is the box.
const Font& FallbackFont();

// The index of `code`'s glyph in FallbackFont().glyphs; 0 (the box) for a
// character the font does not cover.
std::size_t FallbackGlyphIndex(char32_t code);

}  // namespace dc::swf

// Shapes from their records: DefineShape 1-4 and the glyphs of fonts.
#pragma once

#include "swf/bit_reader.h"
#include "swf/read_context.h"
#include "swf/shape.h"

namespace dc::swf {

// DefineShape, DefineShape2, 3 or 4 (`shapeVersion`), after the id.
// Throws DamagedData, or OverLimit past the edges a shape may have.
Shape ReadShape(BitReader& r, int shapeVersion, ReadContext& context);

// A glyph's SHAPE: records without style arrays. The glyph gets one solid
// black fill, index 0, for the file's fill 1; its lines are dropped.
Shape ReadGlyphShape(BitReader& r, ReadContext& context);

// FILLSTYLE, for shapes and for LINESTYLE2's fill.
FillStyle ReadFillStyle(BitReader& r, int shapeVersion);

}  // namespace dc::swf

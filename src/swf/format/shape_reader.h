// Shapes from their records: DefineShape 1-4 and the glyphs of fonts.
#pragma once

#include "swf/format/bit_reader.h"
#include "swf/format/read_context.h"
#include "swf/model/shape.h"

namespace dc::swf {

// DefineShape, DefineShape2, 3 or 4 (`shapeVersion`), after the id.
// Throws DamagedData, or OverLimit past the edges a shape may have.
Shape ReadShape(BitReader& r, int shapeVersion, ReadContext& context);

// A glyph's SHAPE: records without style arrays. The glyph gets one solid
// black fill, index 0, for the file's fill 1; its lines are dropped.
Shape ReadGlyphShape(BitReader& r, ReadContext& context);

// FILLSTYLE, for shapes and for LINESTYLE2's fill.
FillStyle ReadFillStyle(BitReader& r, int shapeVersion);

// Parts shape tweens share with shapes:
// A fill style's kind and bitmap flags from its type byte; throws
// DamagedData for an unknown type.
FillStyle FillOfType(std::uint8_t type);
// A gradient's first byte: its spread and interpolation into `gradient`;
// returns the number of stops that follow.
std::uint32_t ReadGradientModes(BitReader& r, Gradient& gradient);
// LINESTYLE2 from its caps to its miter limit, after the width; true when a
// fill style follows instead of a colour.
bool ReadLineStyle2Flags(BitReader& r, LineStyle& line);
// A tween's start or end edges (a SHAPE). The start's style indices are
// into `shape`'s arrays, already read; the end's (`positionsOnly`) are
// passed over. New style arrays are refused as damage.
void ReadTweenRecords(BitReader& r, Shape& shape, bool positionsOnly, ReadContext& context);

}  // namespace dc::swf

// Shape tweens from DefineMorphShape and DefineMorphShape2.
#pragma once

#include "swf/format/bit_reader.h"
#include "swf/model/morph.h"
#include "swf/format/read_context.h"

namespace dc::swf {

// DefineMorphShape (`version` 1) or DefineMorphShape2 (2), after the id.
// The end's edges are paired with the start's in order; a straight edge
// paired with a curve becomes a curve through its middle, and a path is
// cut where the end moves the pen between two of its edges. Throws
// DamagedData when the two do not pair, or OverLimit past the edges a
// shape may have.
MorphShape ReadMorphShape(BitReader& r, int version, ReadContext& context);

}  // namespace dc::swf

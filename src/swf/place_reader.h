// The tags that change a display list: PlaceObject 1-3 with their clip
// actions, and the filter lists read past here and in buttons.
#pragma once

#include "swf/bit_reader.h"
#include "swf/movie.h"
#include "swf/read_context.h"

namespace dc::swf {

// PlaceObject, PlaceObject2 or PlaceObject3 (`placeVersion` 1-3).
PlaceObject ReadPlaceObject(BitReader& r, int placeVersion, ReadContext& context);

// Passes over a FILTERLIST; the player draws no filters.
void SkipFilterList(BitReader& r);

}  // namespace dc::swf

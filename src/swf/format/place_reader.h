// The tags that change a display list: PlaceObject 1-3 with their clip
// actions, and the filter lists of placements and buttons.
#pragma once

#include <array>
#include <cstdint>

#include "swf/format/bit_reader.h"
#include "swf/model/movie.h"
#include "swf/format/read_context.h"

namespace dc::swf {

// The clip events of the file's flag bits, from the first byte's high bit
// on; bits 16 to 23 exist from Flash 6 on, 0 marks a reserved bit.
inline constexpr std::array<std::uint32_t, 24> kClipEventOfFileBit = {
    kEventKeyUp,
    kEventKeyDown,
    kEventMouseUp,
    kEventMouseDown,
    kEventMouseMove,
    kEventUnload,
    kEventEnterFrame,
    kEventLoad,
    kEventDragOver,
    kEventRollOut,
    kEventRollOver,
    kEventReleaseOutside,
    kEventRelease,
    kEventPress,
    kEventInitialize,
    kEventData,
    0,
    0,
    0,
    0,
    0,
    kEventConstruct,
    kEventKeyPress,
    kEventDragOut,
};

// PlaceObject, PlaceObject2 or PlaceObject3 (`placeVersion` 1-3).
PlaceObject ReadPlaceObject(BitReader& r, int placeVersion, ReadContext& context);

// A FILTERLIST. Throws DamagedData for a filter of unknown kind.
std::vector<Filter> ReadFilterList(BitReader& r, ReadContext& context);

}  // namespace dc::swf

// A shape tween (DefineMorphShape and DefineMorphShape2): two shapes with
// the same paths, styles and number of edges, a start and an end. An
// object placed with a ratio shows the shape that far between them.
#pragma once

#include <cstdint>

#include "swf/model/shape.h"

namespace dc::swf {

struct MorphShape {
  // Path for path and edge for edge alike: the same styles (start values in
  // `start`, end values in `end`), the same curved edges.
  Shape start, end;
  bool operator==(const MorphShape&) const = default;
};

// The shape at `ratio`, 0 (the start) to 65535 (the end).
Shape MorphAt(const MorphShape& morph, std::uint16_t ratio);
// Its bounds alone, as MorphAt gives them, without making the shape.
TwipRect MorphBoundsAt(const MorphShape& morph, std::uint16_t ratio);

}  // namespace dc::swf

// A glyph outline as the system's font rasterizer hands it out, read into
// our glyph shape: the raw buffer of polygon records, each a header (its
// length, its kind, the contour's start point) followed by curve records
// (a kind, a count, that many points) of straight lines, quadratic splines
// or cubic splines. Numbers are little-endian; points are 16.16 fixed
// pixels with y up. Reading it here, without the system's headers, lets
// the native tests feed it exact bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "swf/model/shape.h"

namespace dc::swf {

// The kinds the buffer's records carry.
inline constexpr std::uint32_t kOutlinePolygonType = 24;
inline constexpr std::uint16_t kOutlineLine = 1, kOutlineQuadratic = 2, kOutlineCubic = 3;

// The buffer's contours as a glyph shape: one unit to the buffer's pixel,
// y turned down, each contour closed (by a line back to its start when it
// does not end there), one solid fill at index 0 under the nonzero rule.
// A quadratic spline's points past the first two pairs stand for the
// on-curve midpoints between its control points, which become edges'
// ends; a cubic piece becomes two quadratic edges. Empty bytes (a blank
// glyph) give a shape with no paths; nullopt when a record runs past the
// bytes or has an unknown kind.
std::optional<Shape> ReadSystemOutline(std::span<const std::uint8_t> bytes);

}  // namespace dc::swf

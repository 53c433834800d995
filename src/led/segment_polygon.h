// The one drawing operation the LED cells need: a closed polygon filled by
// the even-odd rule together with its one-pixel outline, which covers the
// pixels of every edge, right and bottom included. Shapes may reach far
// beyond the surface: the work done is in proportion to the part on it.
#pragma once

#include <cstdint>
#include <span>

#include "base/pixels.h"
#include "led/led_geometry.h"

namespace dc::led {

void FillPolygon(PixelTarget& target, std::span<const Point> points, std::uint32_t pixel);

// The pixels of the line from a to b, both ends included, as the classic
// integer walk sets them (Bresenham, all octants); only its steps on the
// surface are walked.
void DrawLine(PixelTarget& target, Point a, Point b, std::uint32_t pixel);

}  // namespace dc::led

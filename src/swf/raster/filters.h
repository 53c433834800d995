// A display object's filters over the layer it was drawn into: blurs,
// shadows and glows, bevels, their gradient kinds, colour matrices and
// convolutions, each in place on premultiplied 0xAARRGGBB pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/canvas.h"
#include "swf/model/filters.h"

namespace dc::swf {

// Layer pixels to a filter's pixel: the object's scale onto the canvas
// along x and y (its sizes and distances grow with it).
struct FilterScale {
  double x = 1, y = 1;
};

// How far past the object's pixels a filter may paint, in layer pixels, on
// each side.
struct FilterReach {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
FilterReach ReachOf(const Filter& filter, FilterScale scale);

// The work of running `filter` over a region of `pixels`, in plain pixels
// painted (what raster_limits counts): each blur pass reads and writes every
// pixel of each plane it blurs.
std::uint64_t FilterWork(const Filter& filter, FilterScale scale, std::uint64_t pixels);

// Planes reused from one filter to the next.
struct FilterScratch {
  std::vector<std::uint8_t> planes[4];
  std::vector<std::uint8_t> alpha, line;
};

// Runs `filter` over `region` in place. The region holds the object with
// room around it for the filter's reach: pixels past it count as clear.
void ApplyFilter(const Filter& filter, const Canvas& region, FilterScale scale, FilterScratch& scratch);

// One box of a blur pass along a line: a blur of width b spans b pixels
// centred on each pixel, so it takes `radius` whole pixels either side and,
// where b is not odd, the next pixel either side by `edge` (in 256ths). The
// box is centred `shift` pixels further along the line.
struct BlurBox {
  std::int32_t radius = 0;
  std::uint32_t edge = 0;
  std::int32_t shift = 0;
  std::int32_t Reach() const { return radius + (edge > 0 ? 1 : 0); }
};
BlurBox BlurBoxOf(double blur, double scale);

// Box blurs a plane of w × h bytes (rows of w) in place: `passes` times
// along x, then along y, each mean truncated.
void BoxBlur(std::uint8_t* plane, std::int32_t w, std::int32_t h, BlurBox x, BlurBox y, std::uint8_t passes,
             std::vector<std::uint8_t>& line);

}  // namespace dc::swf

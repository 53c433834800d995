// Where the clock window's face and digits end up, worked out without
// windows: the design's places, then the package's, the window fitted to
// its visible children after each step, as the window's start-up does it.
// clockpack's preview draws the clock from it.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "package/package_records.h"

namespace dc {

struct ClockLayout {
  Rect face;  // the picture or the movie, in window coordinates
  Rect led;   // the digits; their designed rectangle when hidden
  bool ledVisible = true;
  std::int32_t width = 0, height = 0;  // the window's client size
  bool operator==(const ClockLayout&) const = default;
};

// `movieFace`: the face is a movie the player can play (otherwise a movie
// face is a placeholder at the picture's designed place until sized).
// `ledWidth` and `ledHeight`: the digits' size once they show their first
// text.
ClockLayout LayOutClock(const DisplaySettings& d, bool movieFace, std::int32_t ledWidth, std::int32_t ledHeight);

// The clock laid out at 100 % (`at100`) shown on a monitor of `dpi`: the
// face's edges scaled, the digits at their scaled place with the size
// `ledWidth` x `ledHeight` that their scaled cells give (a hidden display
// keeps its designed rectangle, scaled), and the window fitted to them.
ClockLayout ScaleClockLayout(const ClockLayout& at100, int dpi, std::int32_t ledWidth, std::int32_t ledHeight);

}  // namespace dc

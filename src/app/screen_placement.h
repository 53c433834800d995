// Where the clock goes when the screens change: a clock at its home at the
// bottom right follows the new bottom right, a clock the user dragged stays
// where it is while any monitor still shows part of it, and a clock left
// wholly off every monitor comes back into the nearest work area. The clock
// has no title bar: off the screen, it could only be killed.
#pragma once

#include <vector>

#include "base/geometry.h"
#include "base/scale.h"

namespace dc {

struct Monitor {
  Rect bounds;  // the whole monitor
  Rect work;    // less the task bar and docked bars
  bool primary = false;
  int dpi = kBaseDpi;  // its scale: 96 is 100 %
};

// The clock's home: its size at the primary monitor's bottom right, this
// far above the bottom edge (100 % pixels, scaled to the primary's DPI).
inline constexpr int kHomeBottomMargin = 30;
Rect HomePlace(const Rect& window, const std::vector<Monitor>& monitors);

// The clock's place after a change of the screens. `atHome` says the clock
// still stands where it was last placed at home.
Rect PlaceAfterScreenChange(const Rect& window, bool atHome, const std::vector<Monitor>& monitors);

// The primary monitor (the first when none says it is), or none.
const Monitor* PrimaryMonitor(const std::vector<Monitor>& monitors);
// The monitor a window belongs to, as the system decides a window's scale:
// the one it overlaps most, or the nearest when it overlaps none.
const Monitor* MonitorOf(const Rect& window, const std::vector<Monitor>& monitors);

}  // namespace dc

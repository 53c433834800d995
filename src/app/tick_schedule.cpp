// The delay to the next tick.
#include "app/tick_schedule.h"

#include <algorithm>

namespace dc {

unsigned NextTickDelay(int millisecond) {
  const int ms = std::clamp(millisecond, 0, 999);
  return static_cast<unsigned>(1000 - ms + kTickMarginMs);
}

}  // namespace dc

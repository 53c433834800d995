// When the next tick and the next wake are due.
#include "app/tick_schedule.h"

#include <algorithm>

namespace dc {

unsigned NextTickDelay(int millisecond) {
  const int ms = std::clamp(millisecond, 0, 999);
  return static_cast<unsigned>(1000 - ms + kTickMarginMs);
}

std::uint64_t NextWake(std::uint64_t tick, std::optional<std::uint64_t> frame) {
  if (!frame) return tick;
  const std::uint64_t early = std::min(tick, *frame), late = std::max(tick, *frame);
  return late - early <= kSharedWakeMs ? late : early;
}

std::uint64_t FramesAnchoredTo(std::uint64_t tick, std::uint64_t now) {
  if (tick <= now) return tick;
  const std::uint64_t back = (tick - now + 999) / 1000 * 1000;
  return back <= tick ? tick - back : 0;
}

}  // namespace dc

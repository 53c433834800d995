// When frames are due.
#include "app/frame_clock.h"

#include <cmath>

namespace dc {

std::uint64_t FrameClock::DueAt(std::uint64_t elapsedMs) const {
  // The product is exact, so a frame due on a whole millisecond is due there.
  return static_cast<std::uint64_t>(static_cast<double>(elapsedMs) * rate_ / 1000.0);
}

std::uint64_t FrameClock::NextAfter(std::uint64_t played) const {
  // The estimate, then the millisecond that DueAt itself counts from: the
  // loop never wakes a millisecond before the frame it woke for.
  auto ms = static_cast<std::uint64_t>(std::ceil(static_cast<double>(played + 1) * 1000.0 / rate_));
  while (DueAt(ms) <= played) ++ms;
  while (ms > 0 && DueAt(ms - 1) > played) --ms;
  return ms;
}

bool FrameClock::WholePerSecond() const { return rate_ == std::floor(rate_); }

}  // namespace dc

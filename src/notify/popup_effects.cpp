// Effect maths.
#include "notify/popup_effects.h"

#include <cmath>

namespace dc::notify {

std::uint8_t FadeInOpacity(std::uint8_t min, std::uint8_t max, std::uint32_t step, std::uint32_t steps) {
  // Unsigned arithmetic, the result taken as a byte.
  return static_cast<std::uint8_t>(min + static_cast<std::uint32_t>(max - min) * step / steps);
}

std::uint8_t FadeOutOpacity(std::uint8_t min, std::uint8_t max, std::uint32_t step, std::uint32_t steps) {
  return static_cast<std::uint8_t>(max - static_cast<std::uint32_t>(max - min) * step / steps);
}

double ClampGrowth(double percent) {
  if (!(percent >= 0)) return 0;
  return percent > 100 ? 100 : percent;
}

GrowRect CenterGrowRect(std::int32_t width, std::int32_t height, double percent) {
  // nearbyint rounds half to even in the default rounding mode.
  const auto h = static_cast<std::int32_t>(std::nearbyint(height * percent / 100));
  const auto w = static_cast<std::int32_t>(std::nearbyint(width * percent / 100));
  return {(width - w) / 2, (height - h) / 2, w, h};
}

double GrowInPercent(double min, double max, std::uint32_t step, std::uint32_t steps) {
  return min + (max - min) * step / steps;
}

double GrowOutPercent(double min, double max, std::uint32_t step, std::uint32_t steps) {
  return max - (max - min) * step / steps;
}

std::uint32_t DisplayDurationOf(bool timed, std::int32_t seconds) {
  if (!timed) return 0;
  return static_cast<std::uint32_t>(seconds) * 1000u;  // wraps as the 32-bit product does
}

std::uint32_t TimerInterval(std::uint32_t milliseconds) {
  if (milliseconds == 0) return 1;
  return milliseconds > 0x7FFFFFFFu ? 0x7FFFFFFFu : milliseconds;
}

}  // namespace dc::notify

// The popup's show and hide effects as numbers: fade opacities, centre-grow
// rectangles and the step settings.
#pragma once

#include <cstdint>

namespace dc::notify {

struct EffectSteps {
  std::uint32_t startInterval = 25, startSteps = 10, endInterval = 50, endSteps = 10, displayDuration = 1400;
  // 0 steps are stored as 1.
  void SetStartSteps(std::uint32_t v) { startSteps = v ? v : 1; }
  void SetEndSteps(std::uint32_t v) { endSteps = v ? v : 1; }
};

// Opacity during the show effect, for the step count before the tick.
std::uint8_t FadeInOpacity(std::uint8_t min, std::uint8_t max, std::uint32_t step, std::uint32_t steps);
// Opacity during the hide effect, for the step count after the tick.
std::uint8_t FadeOutOpacity(std::uint8_t min, std::uint8_t max, std::uint32_t step, std::uint32_t steps);

// A growth percentage clamped as the setters clamp it: below 0 (or not a
// number) is 0, above 100 is 100.
double ClampGrowth(double percent);

struct GrowRect {
  std::int32_t left, top, width, height;
  bool operator==(const GrowRect&) const = default;
};
// The visible rectangle at `percent` of a width x height window: sizes
// rounded half to even, centred with truncating division.
GrowRect CenterGrowRect(std::int32_t width, std::int32_t height, double percent);
double GrowInPercent(double min, double max, std::uint32_t step, std::uint32_t steps);
double GrowOutPercent(double min, double max, std::uint32_t step, std::uint32_t steps);

// The display duration of an alert: seconds x 1000 as the 32-bit product's
// bits, taken as unsigned, computed without overflow; 0 when not timed.
std::uint32_t DisplayDurationOf(bool timed, std::int32_t seconds);
// A timer interval the platform accepts (1 to 0x7FFFFFFF ms).
std::uint32_t TimerInterval(std::uint32_t milliseconds);

}  // namespace dc::notify

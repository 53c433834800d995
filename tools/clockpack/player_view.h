// What the player makes of a package's digits: the LED values it keeps after
// its own rules, and the size of the digit block for each time format.
#pragma once

#include <cstdint>

#include "package/package_records.h"

namespace clockpack {

struct LedAsShown {
  std::int32_t thick, wordWidth, wordHeight, space, offsetX, offsetY;
};

// The digits as the clock window sets them up: its design's thickness and
// gap first, then the package's values in the window's order, each refused
// or raised by the display's own rules. Values outside the display's range
// (above 16384) are taken as refused.
LedAsShown LedAsThePlayerShowsIt(const dc::DisplaySettings& d);

// The digit block of `cells` characters: "12:34:56" is 8 cells, "1:23:45 PM"
// 10 and "12:34:56 PM" 11. It grows to the right of led.left.
struct BlockSize {
  std::int64_t width, height;
};
BlockSize DigitBlock(const LedAsShown& led, int cells);

inline constexpr int kTimeFormatCells[] = {8, 10, 11};
inline constexpr int kWidestTimeCells = 11;

}  // namespace clockpack

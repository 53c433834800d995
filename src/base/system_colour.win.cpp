// System colours through GetSysColor.
#include "base/system_colour.win.h"

#include <windows.h>

namespace dc {

std::uint32_t ResolveSystemColour(std::uint32_t colour) {
  return colour >> 24 ? static_cast<std::uint32_t>(GetSysColor(static_cast<int>(colour & 0xFF))) : colour;
}

}  // namespace dc

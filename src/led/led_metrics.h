// The LED display's geometry at a screen's scale. A package gives the
// digits' cells, thickness, gap and margins in pixels of a 100 % screen;
// on a monitor of another scale the display is set up with these values
// scaled, and the cells are drawn from them at the monitor's own pixels.
#pragma once

#include <cstdint>

#include "led/led_model.h"

namespace dc::led {

struct LedMetrics {
  std::int32_t cellWidth, cellHeight, thickness, gap, marginX, marginY;
  bool operator==(const LedMetrics&) const = default;
};

// What the display holds now.
LedMetrics MetricsOf(const LedModel& model);

// The metrics at `dpi`. Widths, gap and margins scale to the nearest pixel.
// The cell's height keeps its middle row: the rows above it scale, and the
// height is twice that plus one. The thickness scales to the nearest pixel,
// at least one, and at most what the display's rules allow the scaled cell
// (less than half its width, at most a quarter of its height).
LedMetrics ScaleLedMetrics(const LedMetrics& at100, int dpi);

}  // namespace dc::led

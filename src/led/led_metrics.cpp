// Scaling the LED display's geometry.
#include "led/led_metrics.h"

#include <algorithm>

#include "base/scale.h"

namespace dc::led {

LedMetrics MetricsOf(const LedModel& m) {
  return {m.CellWidth(), m.CellHeight(), m.Thickness(), m.Gap(), m.MarginX(), m.MarginY()};
}

LedMetrics ScaleLedMetrics(const LedMetrics& m, int dpi) {
  LedMetrics out;
  out.cellWidth = ScaleLength(m.cellWidth, dpi);
  out.cellHeight = 2 * ScaleLength((m.cellHeight - 1) / 2, dpi) + 1;
  out.thickness = ScaleStroke(m.thickness, dpi);
  if (out.thickness > 0) out.thickness = std::clamp(out.thickness, 1, std::max(1, std::min((out.cellWidth - 1) / 2, out.cellHeight / 4)));
  out.gap = ScaleLength(m.gap, dpi);
  out.marginX = ScaleLength(m.marginX, dpi);
  out.marginY = ScaleLength(m.marginY, dpi);
  return out;
}

}  // namespace dc::led

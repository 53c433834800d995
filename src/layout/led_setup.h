// How the clock sets up its digits: the design's thickness and gap when the
// display is made, then the package's display settings. Templates, so the
// clock window's LED control and the bare model (the designer guide's check,
// the fuzz targets) are set up by the same lines.
#pragma once

#include "package/package_records.h"

namespace dc {

inline constexpr int kDesignLedThickness = 3, kDesignLedGap = 4;

template <class Led>
void ApplyLedDesign(Led& led) {
  led.SetThickness(kDesignLedThickness);
  led.SetGap(kDesignLedGap);
}

// Position and visibility are the window's business; these are the digits'.
template <class Led>
void ApplyLedSettings(Led& led, const DisplaySettings& d) {
  led.SetCellWidth(d.CellWidth);
  led.SetCellHeight(d.CellHeight);
  led.SetGap(d.Gap);
  led.SetBackground(d.LedBackColor);
  led.SetUnlitColour(d.LedBackColor);
  led.SetLitColour(d.LedLightColor);
  led.SetThickness(d.Thickness);
  led.SetMarginX(d.MarginX);
  led.SetMarginY(d.MarginY);
}

// The digits' geometry at a screen's scale (led/led_metrics.h), set in an
// order the display's rules never refuse: a thin stroke first, so that no
// cell is too small for the stroke it has, then the cells, then the stroke.
template <class Led, class Metrics>
void ApplyLedMetrics(Led& led, const Metrics& m) {
  led.SetThickness(1);
  led.SetCellWidth(m.cellWidth);
  led.SetCellHeight(m.cellHeight);
  led.SetThickness(m.thickness);
  led.SetGap(m.gap);
  led.SetMarginX(m.marginX);
  led.SetMarginY(m.marginY);
}

}  // namespace dc

// The clock's start-up layout, step by step.
#include "layout/clock_layout.h"

#include <array>

#include "base/scale.h"
#include "layout/window_layout.h"

namespace dc {
namespace {

// The design: the hidden picture at (40, 16) 131 x 112, the digits at
// (56, 0) 46 x 37.
constexpr Rect kDesignFace{40, 16, 40 + 131, 16 + 112};
constexpr Rect kDesignLed{56, 0, 56 + 46, 0 + 37};

Rect At(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return {left, top, left + width, top + height};
}

}  // namespace

ClockLayout LayOutClock(const DisplaySettings& d, bool movieFace, std::int32_t ledWidth, std::int32_t ledHeight) {
  ClockLayout out{kDesignFace, kDesignLed, true, 253, 128};
  bool faceVisible = false;
  // The window fits its visible children: they move together so that their
  // box starts at the corner; hidden ones stay where they are.
  const auto fit = [&] {
    const std::array<Child, 2> children{Child{out.face, faceVisible}, Child{out.led, out.ledVisible}};
    const FitResult r = FitToChildren(children);
    if (r.width <= 0 || r.height <= 0) return;
    const auto shift = [&r](Rect& rect) { rect = {rect.left + r.dx, rect.top + r.dy, rect.right + r.dx, rect.bottom + r.dy}; };
    if (faceVisible) shift(out.face);
    if (out.ledVisible) shift(out.led);
    out.width = r.width;
    out.height = r.height;
  };
  // The face: a movie's window is made in its place; a picture (or a
  // placeholder) is shown at the design's place first.
  if (movieFace) out.face = At(d.FaceLeft, d.FaceTop, d.FaceWidth, d.FaceHeight);
  faceVisible = true;
  fit();
  out.face = At(d.FaceLeft, d.FaceTop, d.FaceWidth, d.FaceHeight);
  fit();
  if (d.HideLed) {
    out.ledVisible = false;
    fit();
    return out;
  }
  // The digits' left, then their top, each followed by a fit; then their
  // size from the first text.
  out.led = At(d.LedLeft, out.led.top, out.led.Width(), out.led.Height());
  fit();
  out.led = At(out.led.left, d.LedTop, out.led.Width(), out.led.Height());
  fit();
  out.led = At(out.led.left, out.led.top, ledWidth, ledHeight);
  fit();
  return out;
}

ClockLayout ScaleClockLayout(const ClockLayout& at100, int dpi, std::int32_t ledWidth, std::int32_t ledHeight) {
  ClockLayout out = at100;
  out.face = ScaleRect(at100.face, dpi);
  out.led = ScaleRect(at100.led, dpi);
  if (at100.ledVisible) out.led = At(out.led.left, out.led.top, ledWidth, ledHeight);
  // Every part lies at or right and below the corner at 100 %, and so it
  // does scaled: the fit only finds the size.
  const std::array<Child, 2> children{Child{out.face, true}, Child{out.led, out.ledVisible}};
  const FitResult fit = FitToChildren(children);
  out.width = fit.width;
  out.height = fit.height;
  return out;
}

}  // namespace dc

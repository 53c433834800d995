// Flash 8's bitmap filters as a placement gives them (PlaceObject3,
// DefineButton2): what each kind needs to be drawn, in the file's units.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

// In the file's order of filter ids.
enum class FilterKind : std::uint8_t {
  DropShadow, Blur, Glow, Bevel, GradientGlow, Convolution, ColorMatrix, GradientBevel
};

struct Filter {
  FilterKind kind = FilterKind::Blur;
  // Blurs of every kind but the colour matrix and the convolution: the box
  // size in pixels along each axis, run `passes` times (1 to 3 in practice).
  double blurX = 0, blurY = 0;
  std::uint8_t passes = 1;
  // Drop shadows and glows: the colour; bevels: the shadow's.
  Rgba color;
  Rgba highlight;          // bevels: the lit side's colour
  double angle = 0;        // radians, clockwise from x: where the shadow falls
  double distance = 0;     // pixels
  double strength = 1;     // the blurred alpha's multiplier
  bool inner = false;      // inside the object's shape instead of outside
  bool knockout = false;   // the object itself is left out, only the effect shows
  bool onTop = false;      // bevels: drawn over the object instead of around
  std::vector<GradientStop> stops;  // gradient glows and bevels: the ramp
  // Colour matrix: four rows of five (r, g, b, a, offset), offsets in 0..255.
  std::array<float, 20> matrix{};
  // Convolution: a matrixX × matrixY kernel, row by row.
  std::uint8_t matrixX = 0, matrixY = 0;
  float divisor = 1, bias = 0;
  std::vector<float> kernel;
  Rgba defaultColor{0, 0, 0, 0};
  bool clamp = true, preserveAlpha = true;
  bool operator==(const Filter&) const = default;
};

}  // namespace dc::swf

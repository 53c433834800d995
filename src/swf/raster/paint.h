// What a fill puts in each pixel: a solid colour, a gradient's ramp of 256
// colours, or a bitmap, sampled at pixel centres, through the colour
// transform, premultiplied.
#pragma once

#include <array>
#include <cstdint>

#include "swf/raster/canvas.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

struct GradientRamp {
  std::array<std::uint32_t, 256> pixels{};  // premultiplied, by ratio
  bool opaque = true;
};

// The ramp of `gradient`: its stops' colours through `cx`, mixed between
// stops as its interpolation says, then premultiplied.
void BuildRamp(const Gradient& gradient, const ColorTransform& cx, GradientRamp& ramp);

class Paint {
 public:
  enum class Kind : std::uint8_t { None, Solid, Linear, Radial, Focal, Bitmap };

  static Paint Solid(Rgba color, const ColorTransform& cx);
  // The paint of `fill` in a shape drawn through `toCanvas`. A gradient
  // builds its colours into `ramp`, which must outlive the paint (without
  // one it paints its last colour); a bitmap the movie lacks paints nothing.
  // A bitmap is smoothed when it asks for it and `smoothing` allows.
  static Paint Of(const FillStyle& fill, const Matrix& toCanvas, const ColorTransform& cx, const BitmapLookup& bitmaps,
                  GradientRamp* ramp, bool smoothing = true);

  Kind kind() const { return kind_; }
  std::uint32_t solid() const { return solid_; }
  // Every pixel it gives has alpha 255.
  bool opaque() const { return opaque_; }
  // The premultiplied pixels of canvas pixels x0 .. x1 - 1 of row y.
  void Row(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const { Row(y, x0, x0, x1, out); }
  // Pixels [x0, x1) of a row sampled from `origin` on: each the value it
  // has in the row's run from `origin`, whatever part is asked for.
  void Row(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const;

 private:
  template <Kind kind>
  void GradientRowOf(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const;
  template <Kind kind, SpreadMode spread>
  void GradientRow(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const;
  void BitmapRow(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const;

  Kind kind_ = Kind::None;
  bool opaque_ = false;
  std::uint32_t solid_ = 0;
  // Canvas pixels to the gradient square (-16384..16384) or to bitmap pixels.
  Matrix inverse_;
  const GradientRamp* ramp_ = nullptr;
  SpreadMode spread_ = SpreadMode::Pad;
  double focal_ = 0;
  const Bitmap* bitmap_ = nullptr;
  bool repeating_ = true, smoothed_ = true;
  ColorTransform cx_;
};

}  // namespace dc::swf

// The filters a display object carries, described as plain values: what
// PlaceObject3's FILTERLIST gives and what scripts set through a clip's
// `filters`, the one description the renderer draws. Units are the file's:
// pixels for blurs and distances, radians for angles, colours with alpha.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "swf/model/bitmap.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

struct BlurFilter {
  double blurX = 4, blurY = 4;
  std::uint8_t passes = 1;  // the quality: 0..15 blur passes
  bool operator==(const BlurFilter&) const = default;
};

// A shadow or glow of the object's alpha, offset by `distance` along
// `angle` (a glow has neither: it lies under or inside the object).
struct ShadowFilter {
  bool glow = false;
  Rgba color{0, 0, 0, 255};
  double blurX = 4, blurY = 4;
  double angle = 0.785398163397448;  // radians
  double distance = 4;
  double strength = 1;
  bool inner = false, knockout = false, hideObject = false;
  std::uint8_t passes = 1;
  bool operator==(const ShadowFilter&) const = default;
};

enum class BevelType : std::uint8_t { Inner, Outer, Full };

// A bevel lights one side and shadows the other; a gradient glow or bevel
// takes its colours from a ramp of stops instead.
struct BevelFilter {
  Rgba highlight{255, 255, 255, 255}, shadow{0, 0, 0, 255};
  double blurX = 4, blurY = 4;
  double angle = 0.785398163397448;
  double distance = 4;
  double strength = 1;
  BevelType type = BevelType::Inner;
  bool knockout = false;
  std::uint8_t passes = 1;
  bool operator==(const BevelFilter&) const = default;
};

struct GradientFilter {
  bool bevel = false;  // a gradient bevel, else a gradient glow
  std::vector<GradientStop> stops;  // at most 16, alpha in their colours
  double blurX = 4, blurY = 4;
  double angle = 0.785398163397448;
  double distance = 4;
  double strength = 1;
  BevelType type = BevelType::Inner;
  bool knockout = false;
  std::uint8_t passes = 1;
  bool operator==(const GradientFilter&) const = default;
};

// Each output channel (red, green, blue, alpha) as a row of five: the four
// input channels' weights and an offset in 0..255 units.
struct ColorMatrixFilter {
  std::array<double, 20> matrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
  bool operator==(const ColorMatrixFilter&) const = default;
};

struct ConvolutionFilter {
  std::uint8_t columns = 0, rows = 0;
  std::vector<double> matrix;  // columns * rows weights, row by row
  double divisor = 1, bias = 0;
  Rgba color{0, 0, 0, 0};  // outside the object, where `clamp` is off
  bool clamp = true, preserveAlpha = true;
  bool operator==(const ConvolutionFilter&) const = default;
};

enum class DisplacementMode : std::uint8_t { Wrap, Clamp, Ignore, Color };

// Moves each pixel by two channels of a map bitmap (scripts only; the file
// has no such filter).
struct DisplacementMapFilter {
  std::shared_ptr<const Bitmap> map;  // a copy of the map's pixels, none when unset
  Point mapPoint;                     // pixels
  std::uint8_t componentX = 0, componentY = 0;  // 1 red, 2 green, 4 blue, 8 alpha
  double scaleX = 0, scaleY = 0;
  DisplacementMode mode = DisplacementMode::Wrap;
  Rgba color{0, 0, 0, 0};
  bool operator==(const DisplacementMapFilter&) const = default;
};

using Filter = std::variant<BlurFilter, ShadowFilter, BevelFilter, GradientFilter, ColorMatrixFilter,
                            ConvolutionFilter, DisplacementMapFilter>;

}  // namespace dc::swf

// A shape as the player keeps it: its fill and line styles and its edges in
// twips, grouped into paths that share their styles. Read from DefineShape
// 1-4, made by scripts' drawing, and used for the glyphs of fonts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/model/swf_types.h"

namespace dc::swf {

enum class FillKind : std::uint8_t { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
enum class SpreadMode : std::uint8_t { Pad, Reflect, Repeat };
// Normal mixes the stops' colours as they are (sRGB); Linear mixes them in
// linear RGB.
enum class InterpolationMode : std::uint8_t { Normal, Linear };

struct GradientStop {
  std::uint8_t ratio = 0;  // 0..255 along the gradient
  Rgba color;
  bool operator==(const GradientStop&) const = default;
};

struct Gradient {
  SpreadMode spread = SpreadMode::Pad;
  InterpolationMode interpolation = InterpolationMode::Normal;
  std::vector<GradientStop> stops;  // 1..15 in the file, ratios not decreasing
  double focalPoint = 0;            // FocalGradient only: -1..1 along the x axis
  bool operator==(const Gradient&) const = default;
};

struct FillStyle {
  FillKind kind = FillKind::Solid;
  Rgba color;  // Solid
  // Gradients: the gradient square, -16384..16384 on both axes (the linear
  // ramp runs along x, the radial one from the centre to radius 16384), to
  // the shape's twips. Bitmaps: the bitmap's pixels to the shape's twips.
  Matrix matrix;
  Gradient gradient;
  std::uint16_t bitmapId = 0;  // Bitmap: the character; one the movie lacks draws nothing
  bool repeating = true;       // Bitmap: tiled, or clipped (edge pixels stretched)
  bool smoothed = true;        // Bitmap: bilinear, or nearest pixel
  bool operator==(const FillStyle&) const = default;
};

enum class CapStyle : std::uint8_t { Round, None, Square };
enum class JoinStyle : std::uint8_t { Round, Bevel, Miter };

struct LineStyle {
  std::uint16_t width = 0;  // twips; 0 is a hairline, one pixel wide at any scale
  Rgba color;
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;  // Miter only, in multiples of half the width
  bool hasFill = false;   // LINESTYLE2 painting the stroke with `fill` instead of `color`
  FillStyle fill;
  bool noHScale = false, noVScale = false;  // the width does not scale with the matrix
  bool noClose = false;                     // a closed path ends with caps, not a join
  bool pixelHinting = false;
  bool operator==(const LineStyle&) const = default;
};

// One edge in the shape's twips: straight, or a quadratic curve through
// `control`.
struct Edge {
  Point from, control, to;
  bool curved = false;
  bool operator==(const Edge&) const = default;
};

// A run of connected edges (each edge's `from` is the previous one's `to`)
// drawn with the same styles. Indices are 0-based into Shape::fills and
// Shape::lines; -1 is none. As in the file, fill0 is the fill on the left
// of the direction of travel and fill1 the fill on its right; a shape with
// the two swapped everywhere draws the same.
struct Path {
  std::int32_t fill0 = -1, fill1 = -1, line = -1;
  // The style group the path belongs to: new style arrays in the middle of
  // a shape start a new group, drawn above the earlier ones (its fills, then
  // its lines).
  std::uint32_t layer = 0;
  std::vector<Edge> edges;
  bool operator==(const Path&) const = default;
};

// Which parts of a self-overlapping outline a fill style covers: where it
// is crossed an odd number of times (Flash's rule for every fill), or where
// it winds round at all (DefineShape4's flag; our fallback glyphs).
enum class FillRule : std::uint8_t { EvenOdd, NonZero };

struct Shape {
  TwipRect bounds;  // with the strokes' widths
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<Path> paths;
  FillRule fillRule = FillRule::EvenOdd;

  std::size_t EdgeCount() const {
    std::size_t n = 0;
    for (const Path& p : paths) n += p.edges.size();
    return n;
  }
  bool operator==(const Shape&) const = default;
};

}  // namespace dc::swf

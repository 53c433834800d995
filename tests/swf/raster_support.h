// Shapes built in pixel units and canvases read back, for the
// rasterizer's tests: a shape's twips are twenty to the pixel, drawn at the
// usual scale unless a test says otherwise.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "swf/model/movie.h"
#include "swf/raster/draw_shape.h"

namespace dc::swf::test {

inline const Matrix kPixels = Matrix::Scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);

inline Point Px(double x, double y) { return {x * kTwipsPerPixel, y * kTwipsPerPixel}; }

// Straight edges through `points` (pixels), closed back to the first unless `open`.
inline Path PathThrough(std::vector<Point> points, std::int32_t fill0, std::int32_t fill1 = -1,
                        std::int32_t line = -1, std::uint32_t layer = 0, bool open = false) {
  Path p{fill0, fill1, line, layer, {}};
  if (!open) points.push_back(points.front());
  for (std::size_t i = 1; i < points.size(); ++i)
    p.edges.push_back({Px(points[i - 1].x, points[i - 1].y), {}, Px(points[i].x, points[i].y), false});
  return p;
}
inline Path Rect(double x0, double y0, double x1, double y1, std::int32_t fill0, std::uint32_t layer = 0) {
  return PathThrough({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, fill0, -1, -1, layer);
}
inline Path Line(std::vector<Point> points, std::int32_t line, std::uint32_t layer = 0) {
  return PathThrough(std::move(points), -1, -1, line, layer, true);
}
// A character placed at a depth of a frame, by its matrix.
inline PlaceObject Place(std::uint16_t depth, std::uint16_t id, Matrix m = {}) {
  PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.matrix = m;
  return p;
}
inline FillStyle Solid(Rgba c) { return FillStyle{FillKind::Solid, c}; }
inline LineStyle Pen(double widthPx, Rgba c = {255, 255, 255, 255}) {
  LineStyle l;
  l.width = static_cast<std::uint16_t>(widthPx * kTwipsPerPixel);
  l.color = c;
  return l;
}

inline std::string Hex(std::uint32_t v) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}
// White at coverage a over nothing, premultiplied.
inline std::uint32_t Grey(std::uint32_t a) { return a * 0x01010101u; }
inline std::uint32_t Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | r << 16 | g << 8 | b;
}

struct TestCanvas {
  std::int32_t width, height;
  std::vector<std::uint32_t> pixels;
  std::vector<std::uint8_t> mask;  // empty: none
  DrawBudget* budget = nullptr;
  BitmapLookup bitmaps;
  Quality quality = Quality::High;

  TestCanvas(std::int32_t w, std::int32_t h, std::uint32_t background = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, background) {}
  std::uint32_t At(std::int32_t x, std::int32_t y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  void Draw(const Shape& shape, const Matrix& m = kPixels, const ColorTransform& cx = {},
            const Rgba* solid = nullptr) {
    DrawTarget t{{pixels.data(), width, height, width}, mask.empty() ? nullptr : mask.data(), bitmaps, budget,
                 quality};
    DrawShape(shape, m, cx, t, solid);
  }
  // One character a pixel, rows separated by '/'.
  template <class Name>
  std::string Picture(Name name) const {
    std::string s;
    for (std::int32_t y = 0; y < height; ++y) {
      if (y) s += '/';
      for (std::int32_t x = 0; x < width; ++x) s += name(At(x, y));
    }
    return s;
  }
};

}  // namespace dc::swf::test

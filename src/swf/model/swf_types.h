// Values every part of the player shares: points and rectangles in twips,
// affine matrices, colours and colour transforms.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace dc::swf {

// A movie measures in twips, twenty to a pixel.
inline constexpr double kTwipsPerPixel = 20.0;

struct Point {
  double x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct TwipRect {
  std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  std::int64_t Width() const { return std::int64_t{xMax} - xMin; }
  std::int64_t Height() const { return std::int64_t{yMax} - yMin; }
  bool Empty() const { return xMax <= xMin || yMax <= yMin; }
  bool operator==(const TwipRect&) const = default;
};

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

// x' = a·x + c·y + tx, y' = b·x + d·y + ty: the file's ScaleX, RotateSkew0,
// RotateSkew1, ScaleY, TranslateX and TranslateY.
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // This map after `inner`: (outer * inner).Apply(p) == outer.Apply(inner.Apply(p)).
  Matrix operator*(const Matrix& inner) const {
    return {a * inner.a + c * inner.b,       b * inner.a + d * inner.b,       a * inner.c + c * inner.d,
            b * inner.c + d * inner.d,       a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
  }
  double Determinant() const { return a * d - b * c; }
  // None when the map collapses the plane to a line or a point.
  std::optional<Matrix> Inverse() const {
    const double det = Determinant();
    if (!std::isfinite(det) || std::abs(det) < 1e-12) return std::nullopt;
    return Matrix{d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
  }
  static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  bool operator==(const Matrix&) const = default;
};

// c' = c·mul + add per channel, alpha included, clamped to 0..255. The add
// terms are in 0..255 units, as the file's CXFORM gives them.
struct ColorTransform {
  double mulR = 1, mulG = 1, mulB = 1, mulA = 1;
  double addR = 0, addG = 0, addB = 0, addA = 0;

  static std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }
  Rgba Apply(Rgba c) const {
    return {Channel(c.r * mulR + addR), Channel(c.g * mulG + addG), Channel(c.b * mulB + addB),
            Channel(c.a * mulA + addA)};
  }
  // This transform after `inner`.
  ColorTransform operator*(const ColorTransform& inner) const {
    return {inner.mulR * mulR,        inner.mulG * mulG,        inner.mulB * mulB,        inner.mulA * mulA,
            inner.addR * mulR + addR, inner.addG * mulG + addG, inner.addB * mulB + addB, inner.addA * mulA + addA};
  }
  bool IsIdentity() const { return *this == ColorTransform{}; }
  bool operator==(const ColorTransform&) const = default;

  // The transform as Flash holds an object's: multipliers in signed 8.8
  // fixed point and additions as 16-bit integers, each truncated toward
  // zero and wrapped to 16 bits (so 12800 % comes back as -12800 %).
  ColorTransform Stored() const {
    const auto wrap16 = [](double v) {
      if (!std::isfinite(v)) return 0.0;
      double w = std::fmod(std::trunc(v), 65536.0);
      if (w >= 32768) w -= 65536;
      if (w < -32768) w += 65536;
      return w;
    };
    const auto fixed = [&](double m) { return wrap16(m * 256) / 256; };
    return {fixed(mulR), fixed(mulG), fixed(mulB), fixed(mulA),
            wrap16(addR), wrap16(addG), wrap16(addB), wrap16(addA)};
  }
};

// How an object's pixels meet what is beneath them (PlaceObject3's blend
// modes, in the file's order from 1; 0 is Normal too).
enum class BlendMode : std::uint8_t {
  Normal, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract, Invert, Alpha, Erase, Overlay,
  Hardlight
};
// The file's blend mode byte; values past Hardlight draw as Normal.
constexpr BlendMode BlendModeOfFile(std::uint8_t v) {
  return v >= 2 && v <= 14 ? static_cast<BlendMode>(v - 1) : BlendMode::Normal;
}

// A rectangle in pixels, as scripts give one (scrollRect).
struct PixelRect {
  double x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

enum class TextAlign : std::uint8_t { Left, Right, Center, Justify };

// How finely the player draws: LOW draws without anti-aliasing; MEDIUM
// and up anti-alias; bitmaps are smoothed from HIGH up.
enum class Quality : std::uint8_t { Low, Medium, High, Best };

}  // namespace dc::swf

// Paints: gradient ramps, and the samplers of gradients and bitmaps along a
// row of pixel centres.
#include "swf/raster/paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "swf/model/bitmap.h"

namespace dc::swf {

namespace {

constexpr double kGradientHalf = 16384;  // the gradient square runs -16384..16384

std::uint32_t Premultiplied(Rgba c) { return PremultipliedPixel(c.r, c.g, c.b, c.a); }

double ToLinearLight(double s) { return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); }
double ToSrgb(double l) { return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055; }

// sRGB channel values to linear light and back, both held in 8 bits and
// truncated, as Flash's ramps in linear RGB are: a channel at 255 comes
// back as 254. A mix of two stops is rounded to its linear step.
struct LinearLight {
  std::array<std::uint8_t, 256> fromSrgb, toSrgb;
  LinearLight() {
    for (int c = 0; c < 256; ++c) {
      fromSrgb[c] = static_cast<std::uint8_t>(std::clamp(ToLinearLight(c / 255.0) * 255, 0.0, 255.0));
      toSrgb[c] = static_cast<std::uint8_t>(std::clamp(ToSrgb(c / 255.0) * 255, 0.0, 255.0));
    }
  }
  std::uint8_t Mix(std::uint8_t c0, std::uint8_t c1, double f) const {
    const int l0 = fromSrgb[c0], l1 = fromSrgb[c1];
    return toSrgb[static_cast<int>(l0 + (l1 - l0) * f + 0.5)];
  }
};

// A channel of a translucent entry of a ramp in linear RGB. Flash takes the
// entry back from linear light premultiplied: the sRGB value times alpha
// goes to linear light, is divided by alpha there and returns to sRGB. So
// the less opaque an entry, the darker its colour: blue 255 at alpha 140
// comes back as 183.
// Worked out once for every channel and alpha, so that a ramp rebuilt each
// frame costs lookups, not powers.
struct TranslucentTable {
  std::array<std::array<std::uint8_t, 256>, 256> byAlpha{};
  TranslucentTable() {
    for (int a = 1; a < 255; ++a)
      for (int c = 0; c < 256; ++c) {
        const double l = ToLinearLight(c * a / (255.0 * 255.0)) * 255 / a;
        byAlpha[a][c] = static_cast<std::uint8_t>(std::min(255.0, ToSrgb(l) * 255 + 0.5));
      }
  }
};

std::uint8_t Translucent(std::uint8_t c, std::uint8_t alpha) {
  static const TranslucentTable table;
  return table.byAlpha[alpha][c];
}

const LinearLight& Linear() {
  static const LinearLight tables;
  return tables;
}

std::uint8_t MixSrgb(std::uint8_t c0, std::uint8_t c1, double f) {
  return static_cast<std::uint8_t>(c0 + (c1 - c0) * f);  // truncated, as Flash mixes
}

// Position along the gradient, 0..1 at the stops' ends, to a ramp entry.
// Written without branches on the value, so that a block of pixels is
// worked out side by side.
template <SpreadMode spread>
std::int32_t RampIndex(float t) {
  if constexpr (spread == SpreadMode::Repeat) {
    t -= std::floor(t);
  } else if constexpr (spread == SpreadMode::Reflect) {
    t = std::fabs(t);
    t -= 2 * std::floor(t / 2);
    t = std::min(t, 2 - t);
  }
  // 256 entries span the gradient, each as wide as the next.
  float q = t * 256.0f;
  q = q > 0.0f ? q : 0.0f;  // and a position that is not a number
  q = q < 255.0f ? q : 255.0f;
  return static_cast<std::int32_t>(q);
}

// A bitmap column or row for a sample position: tiled, or the edge pixel
// beyond the bitmap. Positions far out or not numbers land inside too.
int Tile(double u, std::int32_t n) {
  const double f = u - n * std::floor(u / n);
  return f >= 0 && f < n ? static_cast<int>(f) : 0;
}
int Clamp(double u, std::int32_t n) {
  if (!(u > 0)) return 0;
  return u >= n ? n - 1 : static_cast<int>(u);
}

// p + (q - p) · w / 256 per channel, rounded, w in 0..256.
std::uint32_t Lerp(std::uint32_t p, std::uint32_t q, std::uint32_t w) {
  const std::uint32_t rb = (((p & 0x00FF00FFu) * (256 - w) + (q & 0x00FF00FFu) * w + 0x00800080u) >> 8) & 0x00FF00FFu;
  const std::uint32_t ag =
      (((p >> 8) & 0x00FF00FFu) * (256 - w) + ((q >> 8) & 0x00FF00FFu) * w + 0x00800080u) & 0xFF00FF00u;
  return rb | ag;
}

// A premultiplied pixel through a colour transform, which works on
// straight colours.
std::uint32_t Transformed(std::uint32_t p, const ColorTransform& cx) {
  const std::uint32_t a = p >> 24;
  Rgba c{0, 0, 0, 0};
  if (a != 0) {
    const auto straight = [a](std::uint32_t v) {
      return static_cast<std::uint8_t>(std::min(255u, (v * 255 + a / 2) / a));
    };
    c = {straight((p >> 16) & 255), straight((p >> 8) & 255), straight(p & 255), static_cast<std::uint8_t>(a)};
  }
  return Premultiplied(cx.Apply(c));
}

}  // namespace

void BuildRamp(const Gradient& gradient, const ColorTransform& cx, GradientRamp& ramp) {
  // A file holds up to 15 stops; more than a ramp has entries cannot show.
  const std::size_t count = std::min<std::size_t>(gradient.stops.size(), 256);
  ramp.opaque = true;
  if (count == 0) {
    ramp.pixels.fill(0);
    ramp.opaque = false;
    return;
  }
  // Each stop takes an entry of its own: one at or before the stop before
  // it moves to the entry after that one, so stops of one ratio show as
  // bands an entry wide, and those pushed past the end do not show.
  thread_local std::vector<std::pair<int, Rgba>> stops;
  stops.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const int ratio = gradient.stops[i].ratio;
    stops.emplace_back(stops.empty() ? ratio : std::max(ratio, stops.back().first + 1),
                       cx.Apply(gradient.stops[i].color));
  }
  const bool linear = gradient.interpolation == InterpolationMode::Linear;
  std::size_t k = 0;  // entry i lies between stops k and k + 1
  for (int i = 0; i < 256; ++i) {
    while (k + 1 < stops.size() && stops[k + 1].first <= i) ++k;
    const bool between = k + 1 < stops.size() && i > stops[k].first;
    const Rgba& c0 = stops[k].second;
    const Rgba& c1 = between ? stops[k + 1].second : c0;
    Rgba c = c0;
    if (between || linear) {
      const double f = between ? double(i - stops[k].first) / (stops[k + 1].first - stops[k].first) : 0;
      if (linear) {
        c = {Linear().Mix(c0.r, c1.r, f), Linear().Mix(c0.g, c1.g, f), Linear().Mix(c0.b, c1.b, f),
             MixSrgb(c0.a, c1.a, f)};
        if (c.a != 0 && c.a != 255) c = {Translucent(c.r, c.a), Translucent(c.g, c.a), Translucent(c.b, c.a), c.a};
      } else {
        c = {MixSrgb(c0.r, c1.r, f), MixSrgb(c0.g, c1.g, f), MixSrgb(c0.b, c1.b, f), MixSrgb(c0.a, c1.a, f)};
      }
    }
    ramp.pixels[i] = Premultiplied(c);
    ramp.opaque = ramp.opaque && c.a == 255;
  }
}

Paint Paint::Solid(Rgba color, const ColorTransform& cx) {
  Paint p;
  const Rgba c = cx.Apply(color);
  p.kind_ = c.a == 0 ? Kind::None : Kind::Solid;
  p.solid_ = Premultiplied(c);
  p.opaque_ = c.a == 255;
  return p;
}

Paint Paint::Of(const FillStyle& fill, const Matrix& toCanvas, const ColorTransform& cx, const BitmapLookup& bitmaps,
                GradientRamp* ramp, bool smoothing) {
  if (fill.kind == FillKind::Solid) return Solid(fill.color, cx);
  Paint p;
  const std::optional<Matrix> inverse = (toCanvas * fill.matrix).Inverse();
  switch (fill.kind) {
    case FillKind::Solid:
      break;
    case FillKind::LinearGradient:
    case FillKind::RadialGradient:
    case FillKind::FocalGradient:
      if (fill.gradient.stops.empty()) return p;
      // A gradient squeezed to nothing shows its outer colour.
      if (!inverse || !ramp) return Solid(fill.gradient.stops.back().color, cx);
      BuildRamp(fill.gradient, cx, *ramp);
      p.kind_ = fill.kind == FillKind::LinearGradient   ? Kind::Linear
                : fill.kind == FillKind::RadialGradient ? Kind::Radial
                                                        : Kind::Focal;
      p.ramp_ = ramp;
      p.opaque_ = ramp->opaque;
      p.inverse_ = *inverse;
      p.spread_ = fill.gradient.spread;
      // At ±1 the focal point is on the circle and half the plane has no
      // position; just inside it the picture is the same.
      p.focal_ = std::isfinite(fill.gradient.focalPoint) ? std::clamp(fill.gradient.focalPoint, -0.999, 0.999) : 0;
      return p;
    case FillKind::Bitmap: {
      const Bitmap* bitmap = bitmaps ? bitmaps(fill.bitmapId) : nullptr;
      if (!bitmap || !inverse || bitmap->width <= 0 || bitmap->height <= 0 ||
          bitmap->pixels.size() < std::size_t(bitmap->width) * std::size_t(bitmap->height))
        return p;
      p.kind_ = Kind::Bitmap;
      p.bitmap_ = bitmap;
      p.inverse_ = *inverse;
      p.repeating_ = fill.repeating;
      p.smoothed_ = fill.smoothed && smoothing;
      p.cx_ = cx;
      p.opaque_ = false;
      return p;
    }
  }
  return p;
}

void Paint::Row(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const {
  switch (kind_) {
    case Kind::None:
      std::fill(out, out + (x1 - x0), 0u);
      return;
    case Kind::Solid:
      std::fill(out, out + (x1 - x0), solid_);
      return;
    case Kind::Linear:
      return GradientRowOf<Kind::Linear>(y, origin, x0, x1, out);
    case Kind::Radial:
      return GradientRowOf<Kind::Radial>(y, origin, x0, x1, out);
    case Kind::Focal:
      return GradientRowOf<Kind::Focal>(y, origin, x0, x1, out);
    case Kind::Bitmap:
      return BitmapRow(y, origin, x0, x1, out);
  }
}

template <Paint::Kind kind, SpreadMode spread>
void Paint::GradientRow(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1,
                        std::uint32_t* out) const {
  const Matrix& m = inverse_;
  const double px = origin + 0.5, py = y + 0.5;
  // Positions in units of the gradient square's half side.
  const float ux = static_cast<float>((m.a * px + m.c * py + m.tx) / kGradientHalf);
  const float uy = static_cast<float>((m.b * px + m.d * py + m.ty) / kGradientHalf);
  const float sx = static_cast<float>(m.a / kGradientHalf), sy = static_cast<float>(m.b / kGradientHalf);
  const float f = static_cast<float>(focal_), rest = 1 - f * f;
  const std::uint32_t* ramp = ramp_->pixels.data();
  // Blocks of eight pixels: the positions of a block are worked out side
  // by side, then looked up. The last block may run past x1 in `index`.
  constexpr int kBlock = 8;
  const std::int32_t n = x1 - x0, skip = x0 - origin;
  for (std::int32_t i = 0; i < n; i += kBlock) {
    std::int32_t index[kBlock];
    for (int k = 0; k < kBlock; ++k) {
      const float at = static_cast<float>(skip + i + k);
      const float gx = ux + at * sx, gy = uy + at * sy;
      float t;
      if constexpr (kind == Kind::Linear) {
        t = (gx + 1) * 0.5f;
      } else if constexpr (kind == Kind::Radial) {
        t = std::sqrt(gx * gx + gy * gy);
      } else {
        // How far along the ray from the focal point through the pixel the
        // pixel lies, the circle of radius 1 being the end.
        const float dx = gx - f, d2 = dx * dx + gy * gy, fd = f * dx;
        t = d2 > 0 ? d2 / (std::sqrt(fd * fd + d2 * rest) - fd) : 0.0f;
      }
      index[k] = RampIndex<spread>(t);
    }
    const int count = std::min(kBlock, n - i);
    for (int k = 0; k < count; ++k) out[i + k] = ramp[index[k]];
  }
}

template <Paint::Kind kind>
void Paint::GradientRowOf(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1,
                          std::uint32_t* out) const {
  switch (spread_) {
    case SpreadMode::Pad:
      return GradientRow<kind, SpreadMode::Pad>(y, origin, x0, x1, out);
    case SpreadMode::Reflect:
      return GradientRow<kind, SpreadMode::Reflect>(y, origin, x0, x1, out);
    case SpreadMode::Repeat:
      return GradientRow<kind, SpreadMode::Repeat>(y, origin, x0, x1, out);
  }
}

void Paint::BitmapRow(std::int32_t y, std::int32_t origin, std::int32_t x0, std::int32_t x1,
                      std::uint32_t* out) const {
  const Matrix& m = inverse_;
  const std::int32_t w = bitmap_->width, h = bitmap_->height;
  const std::uint32_t* pixels = bitmap_->pixels.data();
  const double px = origin + 0.5, py = y + 0.5;
  const double u0 = m.a * px + m.c * py + m.tx, v0 = m.b * px + m.d * py + m.ty;
  const auto column = [&](double u) { return repeating_ ? Tile(u, w) : Clamp(u, w); };
  const auto row = [&](double v) { return repeating_ ? Tile(v, h) : Clamp(v, h); };
  const auto at = [&](int cx, int cy) { return pixels[std::size_t(cy) * std::size_t(w) + std::size_t(cx)]; };
  const std::int32_t n = x1 - x0;
  const std::int32_t skip = x0 - origin;
  for (std::int32_t i = 0; i < n; ++i) {
    const double u = u0 + (skip + i) * m.a, v = v0 + (skip + i) * m.b;
    if (!smoothed_) {
      out[i] = at(column(u), row(v));
      continue;
    }
    // Bilinear between the four pixel centres around the sample.
    const double su = u - 0.5, sv = v - 0.5;
    const double fu = std::floor(su), fv = std::floor(sv);
    const double wu = su - fu, wv = sv - fv;
    const std::uint32_t ku = wu >= 0 && wu < 1 ? static_cast<std::uint32_t>(wu * 256) : 0;
    const std::uint32_t kv = wv >= 0 && wv < 1 ? static_cast<std::uint32_t>(wv * 256) : 0;
    const int c0 = column(fu), c1 = column(fu + 1), r0 = row(fv), r1 = row(fv + 1);
    out[i] = Lerp(Lerp(at(c0, r0), at(c1, r0), ku), Lerp(at(c0, r1), at(c1, r1), ku), kv);
  }
  if (!cx_.IsIdentity())
    for (std::int32_t i = 0; i < n; ++i) out[i] = Transformed(out[i], cx_);
}

}  // namespace dc::swf

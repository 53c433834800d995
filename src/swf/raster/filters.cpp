// Filters over a layer's region. Shadows, glows and bevels work on the
// object's alpha as a plane of bytes, blurred by running box sums; the
// colour filters work on each pixel's straight (unpremultiplied) colour.
#include "swf/raster/filters.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "swf/raster/blend.h"
#include "swf/raster/paint.h"

namespace dc::swf {
namespace {

std::int32_t Offset(double v) {
  return std::isfinite(v) ? static_cast<std::int32_t>(std::lround(std::clamp(v, -4096.0, 4096.0))) : 0;
}

template <typename Fx>
auto Visit(const Filter& filter, Fx&& fx) {
  return std::visit(std::forward<Fx>(fx), filter);
}

struct Blurs {
  BlurBox x, y;
  std::uint8_t passes = 0;
  std::int32_t dx = 0, dy = 0;  // the shift of a shadow, glow or bevel
};

Blurs BlursOf(const Filter& filter, FilterScale scale) {
  return Visit(filter, [&](const auto& f) -> Blurs {
    using F = std::decay_t<decltype(f)>;
    if constexpr (std::is_same_v<F, BlurFilter>) {
      // A blur of the object itself whose box has part pixels at its ends
      // lands a pixel higher than the box's centre; a whole box, and the
      // shadows' blurs, stay centred.
      BlurBox y = BlurBoxOf(f.blurY, scale.y);
      if (y.edge > 0) y.shift = 1;
      return {BlurBoxOf(f.blurX, scale.x), y, f.passes, 0, 0};
    } else if constexpr (std::is_same_v<F, ShadowFilter> || std::is_same_v<F, BevelFilter> ||
                         std::is_same_v<F, GradientFilter>) {
      double distance = f.distance;
      if constexpr (std::is_same_v<F, ShadowFilter>) {
        if (f.glow) distance = 0;
      }
      return {BlurBoxOf(f.blurX, scale.x), BlurBoxOf(f.blurY, scale.y), f.passes,
              Offset(std::cos(f.angle) * distance * scale.x), Offset(std::sin(f.angle) * distance * scale.y)};
    } else {
      return {};
    }
  });
}

// Straight colour of a premultiplied pixel, channel by channel, rounded.
std::uint32_t Unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 0) return 0;
  if (a == 255) return p;
  std::uint32_t out = a << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c = std::min((((p >> shift) & 0xFFu) * 255 + a / 2) / a, 255u);
    out |= c << shift;
  }
  return out;
}

std::uint32_t Premultiply(std::uint32_t p) { return ScalePixel(p | 0xFF000000u, p >> 24) | (p & 0xFF000000u); }

std::uint32_t PremultipliedColour(Rgba c) {
  return Premultiply((std::uint32_t{c.a} << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b);
}

std::uint8_t Strengthen(std::int32_t v, double strength) {
  const double s = v * strength;
  return static_cast<std::uint8_t>(std::isfinite(s) ? std::clamp(s, 0.0, 255.0) : 0.0);
}

// The region's alpha as a plane (turned over for an inner effect), blurred.
std::uint8_t* BlurredAlpha(const Canvas& region, const Blurs& blurs, bool inverse, FilterScratch& scratch) {
  const std::size_t n = static_cast<std::size_t>(region.width) * region.height;
  scratch.alpha.resize(n);
  std::uint8_t* plane = scratch.alpha.data();
  for (std::int32_t y = 0; y < region.height; ++y) {
    const std::uint32_t* row = region.Row(y);
    std::uint8_t* out = plane + static_cast<std::ptrdiff_t>(y) * region.width;
    for (std::int32_t x = 0; x < region.width; ++x) {
      const auto a = static_cast<std::uint8_t>(row[x] >> 24);
      out[x] = inverse ? static_cast<std::uint8_t>(255 - a) : a;
    }
  }
  BoxBlur(plane, region.width, region.height, blurs.x, blurs.y, blurs.passes, scratch.line);
  return plane;
}

// The blurred plane read at (x − dx, y − dy): what lies past the region
// reads as `outside`.
struct Shifted {
  const std::uint8_t* plane;
  std::int32_t w, h, dx, dy;
  std::uint8_t outside;
  std::int32_t At(std::int32_t x, std::int32_t y) const {
    x -= dx;
    y -= dy;
    if (x < 0 || y < 0 || x >= w || y >= h) return outside;
    return plane[static_cast<std::ptrdiff_t>(y) * w + x];
  }
};

// The object's pixel met with the effect's: the effect beneath the object
// (outer), atop it within its alpha (inner), or alone (knockout).
std::uint32_t Combine(std::uint32_t object, std::uint32_t effect, bool inner, bool knockout, bool hideObject) {
  if (inner) {
    effect = ScalePixel(effect, object >> 24);
    return knockout ? effect : hideObject ? effect : SourceOver(object, effect);
  }
  if (knockout) return ScalePixel(effect, 255 - (object >> 24));
  return hideObject ? effect : SourceOver(effect, object);
}

void ApplyShadow(const ShadowFilter& f, const Canvas& region, const Blurs& blurs, FilterScratch& scratch) {
  const std::uint8_t* plane = BlurredAlpha(region, blurs, f.inner, scratch);
  const Shifted shifted{plane, region.width, region.height, blurs.dx, blurs.dy, f.inner ? std::uint8_t{255} : std::uint8_t{0}};
  const std::uint32_t colour = PremultipliedColour(f.color);
  for (std::int32_t y = 0; y < region.height; ++y) {
    std::uint32_t* row = region.Row(y);
    for (std::int32_t x = 0; x < region.width; ++x) {
      const std::uint32_t effect = ScalePixel(colour, Strengthen(shifted.At(x, y), f.strength));
      row[x] = Combine(row[x], effect, f.inner, f.knockout, f.hideObject && !f.glow);
    }
  }
}

void ApplyBevel(const Canvas& region, const Blurs& blurs, BevelType type, bool knockout, FilterScratch& scratch,
                const auto& effectOf) {
  const std::uint8_t* plane = BlurredAlpha(region, blurs, false, scratch);
  const Shifted towards{plane, region.width, region.height, blurs.dx, blurs.dy, 0};
  const Shifted away{plane, region.width, region.height, -blurs.dx, -blurs.dy, 0};
  for (std::int32_t y = 0; y < region.height; ++y) {
    std::uint32_t* row = region.Row(y);
    for (std::int32_t x = 0; x < region.width; ++x) {
      const std::uint32_t object = row[x];
      // Shaded (positive) where the object lies back along the light and
      // not ahead of it, lit (negative) the other way.
      std::uint32_t effect = effectOf(towards.At(x, y) - away.At(x, y));
      const std::uint32_t alpha = object >> 24;
      if (type == BevelType::Inner) effect = ScalePixel(effect, alpha);
      // An outer bevel lies under the object, which already lets through only
      // its clear part; cut out only when the object itself is knocked out.
      if (type == BevelType::Outer && knockout) effect = ScalePixel(effect, 255 - alpha);
      if (knockout) {
        row[x] = effect;
      } else {
        row[x] = type == BevelType::Outer ? SourceOver(effect, object) : SourceOver(object, effect);
      }
    }
  }
}

void ApplyGradientGlow(const GradientFilter& f, const Canvas& region, const Blurs& blurs, FilterScratch& scratch) {
  GradientRamp ramp;
  BuildRamp(Gradient{SpreadMode::Pad, InterpolationMode::Normal, f.stops, 0}, ColorTransform{}, ramp);
  const bool inner = f.type == BevelType::Inner;
  const std::uint8_t* plane = BlurredAlpha(region, blurs, inner, scratch);
  const Shifted shifted{plane, region.width, region.height, blurs.dx, blurs.dy, inner ? std::uint8_t{255} : std::uint8_t{0}};
  for (std::int32_t y = 0; y < region.height; ++y) {
    std::uint32_t* row = region.Row(y);
    for (std::int32_t x = 0; x < region.width; ++x) {
      const std::uint32_t effect = ramp.pixels[Strengthen(shifted.At(x, y), f.strength)];
      if (f.type == BevelType::Full) {
        row[x] = f.knockout ? effect : SourceOver(effect, row[x]);
      } else {
        row[x] = Combine(row[x], effect, inner, f.knockout, false);
      }
    }
  }
}

void ApplyColorMatrix(const ColorMatrixFilter& f, const Canvas& region) {
  const auto& m = f.matrix;
  for (std::int32_t y = 0; y < region.height; ++y) {
    std::uint32_t* row = region.Row(y);
    for (std::int32_t x = 0; x < region.width; ++x) {
      const std::uint32_t p = Unpremultiply(row[x]);
      const double in[4] = {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF),
                            static_cast<double>(p & 0xFF), static_cast<double>(p >> 24)};
      std::uint32_t out[4];
      for (int c = 0; c < 4; ++c) {
        const double* r = &m[static_cast<std::size_t>(c) * 5];
        const double v = r[0] * in[0] + r[1] * in[1] + r[2] * in[2] + r[3] * in[3] + r[4];
        out[c] = static_cast<std::uint32_t>(std::isfinite(v) ? std::lround(std::clamp(v, 0.0, 255.0)) : 0);
      }
      row[x] = Premultiply((out[3] << 24) | (out[0] << 16) | (out[1] << 8) | out[2]);
    }
  }
}

void ApplyConvolution(const ConvolutionFilter& f, const Canvas& region, FilterScratch& scratch) {
  if (f.columns == 0 || f.rows == 0 || f.matrix.size() < std::size_t{f.columns} * f.rows) return;
  const std::int32_t w = region.width, h = region.height;
  // The straight colours of the region, as the weights read them.
  std::vector<std::uint8_t>& copy = scratch.planes[0];
  copy.resize(static_cast<std::size_t>(w) * h * 4);
  auto* straight = reinterpret_cast<std::uint32_t*>(copy.data());
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) straight[static_cast<std::ptrdiff_t>(y) * w + x] = Unpremultiply(region.Row(y)[x]);
  }
  const std::uint32_t edge = (std::uint32_t{f.color.a} << 24) | (std::uint32_t{f.color.r} << 16) |
                             (std::uint32_t{f.color.g} << 8) | f.color.b;
  const double divisor = f.divisor == 0 ? 1 : f.divisor;
  const std::int32_t cx = f.columns / 2, cy = f.rows / 2;
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint32_t* row = region.Row(y);
    for (std::int32_t x = 0; x < w; ++x) {
      double sum[4] = {0, 0, 0, 0};
      for (std::int32_t j = 0; j < f.rows; ++j) {
        for (std::int32_t i = 0; i < f.columns; ++i) {
          std::int32_t sx = x + i - cx, sy = y + j - cy;
          std::uint32_t p = edge;
          if (f.clamp || (sx >= 0 && sy >= 0 && sx < w && sy < h)) {
            sx = std::clamp(sx, 0, w - 1);
            sy = std::clamp(sy, 0, h - 1);
            p = straight[static_cast<std::ptrdiff_t>(sy) * w + sx];
          }
          const double weight = f.matrix[static_cast<std::size_t>(j) * f.columns + i];
          for (int c = 0; c < 4; ++c) sum[c] += weight * ((p >> (c * 8)) & 0xFF);
        }
      }
      const std::uint32_t self = straight[static_cast<std::ptrdiff_t>(y) * w + x];
      std::uint32_t out = 0;
      for (int c = 0; c < 4; ++c) {
        double v = sum[c] / divisor + f.bias;
        if (c == 3 && f.preserveAlpha) v = self >> 24;
        out |= static_cast<std::uint32_t>(std::isfinite(v) ? std::clamp(v, 0.0, 255.0) : 0.0) << (c * 8);
      }
      row[x] = Premultiply(out);
    }
  }
}

void ApplyBlur(const Canvas& region, const Blurs& blurs, FilterScratch& scratch) {
  const std::int32_t w = region.width, h = region.height;
  const std::size_t n = static_cast<std::size_t>(w) * h;
  for (int c = 0; c < 4; ++c) {
    std::vector<std::uint8_t>& plane = scratch.planes[c];
    plane.resize(n);
    for (std::int32_t y = 0; y < h; ++y) {
      const std::uint32_t* row = region.Row(y);
      for (std::int32_t x = 0; x < w; ++x) plane[static_cast<std::size_t>(y) * w + x] = (row[x] >> (c * 8)) & 0xFF;
    }
    BoxBlur(plane.data(), w, h, blurs.x, blurs.y, blurs.passes, scratch.line);
  }
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint32_t* row = region.Row(y);
    for (std::int32_t x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      const std::uint32_t a = scratch.planes[3][i];
      // A blurred channel keeps within its blurred alpha.
      row[x] = (a << 24) | (std::min<std::uint32_t>(scratch.planes[2][i], a) << 16) |
               (std::min<std::uint32_t>(scratch.planes[1][i], a) << 8) | std::min<std::uint32_t>(scratch.planes[0][i], a);
    }
  }
}

// One box pass along a line of `count` bytes `step` apart: each pixel
// becomes the weighted sum of the box around it over the box's weight, in
// 256ths, truncated (a blur's faint tail ends). Past the line reads as clear.
void BoxLine(std::uint8_t* data, std::int32_t count, std::ptrdiff_t step, const BlurBox& box,
             std::vector<std::uint8_t>& line) {
  // The line with clear room either side for the whole box at any shift.
  const std::ptrdiff_t r = box.radius, pad = r + 1 + std::abs(box.shift);
  line.assign(static_cast<std::size_t>(count + 2 * pad), 0);
  std::uint8_t* padded = line.data() + pad;
  for (std::int32_t i = 0; i < count; ++i) padded[i] = data[i * step];
  const std::uint32_t weight = 256 * (2 * static_cast<std::uint32_t>(r) + 1) + 2 * box.edge;
  // A box with part pixels divides by a 16-bit reciprocal of its width,
  // which falls a little short (a blur of 30 keeps 42 of a plateau of 42
  // only as 41); a whole box divides exactly.
  const std::uint64_t reciprocal = box.edge > 0 ? (std::uint64_t{1} << 24) / weight : 0;
  // The whole pixels of the box around i + shift, kept as a running sum.
  std::uint32_t sum = 0;
  for (std::ptrdiff_t j = box.shift - r; j < box.shift + r; ++j) sum += padded[j];
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint8_t* c = padded + i + box.shift;
    sum += c[r];
    const std::uint32_t edges = box.edge * (std::uint32_t{c[-r - 1]} + c[r + 1]);
    const std::uint32_t total = 256 * sum + edges;
    data[i * step] = static_cast<std::uint8_t>(reciprocal > 0 ? (total * reciprocal) >> 24 : total / weight);
    sum -= c[-r];
  }
}

}  // namespace

BlurBox BlurBoxOf(double blur, double scale) {
  // A blur of b spreads a pixel over a box b wide: its own pixel and b − 1
  // beyond it, and only that reach beyond grows with the scale.
  const double reach = (blur - 1) * scale / 2;
  if (!std::isfinite(reach) || reach <= 0) return {};
  const double half = std::min(reach, 254.0), whole = std::floor(half);
  return {static_cast<std::int32_t>(whole), static_cast<std::uint32_t>(std::lround((half - whole) * 256)), 0};
}

void BoxBlur(std::uint8_t* plane, std::int32_t w, std::int32_t h, BlurBox x, BlurBox y, std::uint8_t passes,
             std::vector<std::uint8_t>& line) {
  for (std::uint8_t pass = 0; pass < passes; ++pass) {
    if (x.Reach() > 0) {
      for (std::int32_t row = 0; row < h; ++row) BoxLine(plane + static_cast<std::ptrdiff_t>(row) * w, w, 1, x, line);
    }
    if (y.Reach() > 0) {
      for (std::int32_t col = 0; col < w; ++col) BoxLine(plane + col, h, w, y, line);
    }
  }
}

FilterReach ReachOf(const Filter& filter, FilterScale scale) {
  const Blurs b = BlursOf(filter, scale);
  const std::int32_t rx = (b.x.Reach() + std::abs(b.x.shift)) * b.passes;
  const std::int32_t ry = (b.y.Reach() + std::abs(b.y.shift)) * b.passes;
  const std::int32_t ax = std::abs(b.dx), ay = std::abs(b.dy);
  // A bevel shifts both ways; a shadow only along its angle.
  const bool bothWays = std::holds_alternative<BevelFilter>(filter) || std::holds_alternative<GradientFilter>(filter);
  return {rx + (b.dx < 0 || bothWays ? ax : 0), ry + (b.dy < 0 || bothWays ? ay : 0),
          rx + (b.dx > 0 || bothWays ? ax : 0), ry + (b.dy > 0 || bothWays ? ay : 0)};
}

std::uint64_t FilterWork(const Filter& filter, FilterScale scale, std::uint64_t pixels) {
  const Blurs b = BlursOf(filter, scale);
  const std::uint64_t planes = std::holds_alternative<BlurFilter>(filter) ? 4 : 1;
  std::uint64_t perPixel = 2 + planes * 2 * b.passes;
  if (const auto* c = std::get_if<ConvolutionFilter>(&filter)) perPixel += 4u * c->columns * c->rows;
  return pixels * perPixel;
}

void ApplyFilter(const Filter& filter, const Canvas& region, FilterScale scale, FilterScratch& scratch) {
  if (region.width <= 0 || region.height <= 0) return;
  const Blurs blurs = BlursOf(filter, scale);
  Visit(filter, [&](const auto& f) {
    using F = std::decay_t<decltype(f)>;
    if constexpr (std::is_same_v<F, BlurFilter>) {
      ApplyBlur(region, blurs, scratch);
    } else if constexpr (std::is_same_v<F, ShadowFilter>) {
      ApplyShadow(f, region, blurs, scratch);
    } else if constexpr (std::is_same_v<F, BevelFilter>) {
      const std::uint32_t highlight = PremultipliedColour(f.highlight), shadow = PremultipliedColour(f.shadow);
      ApplyBevel(region, blurs, f.type, f.knockout, scratch, [&](std::int32_t slope) {
        return slope > 0 ? ScalePixel(shadow, Strengthen(slope, f.strength))
                         : ScalePixel(highlight, Strengthen(-slope, f.strength));
      });
    } else if constexpr (std::is_same_v<F, GradientFilter>) {
      if (!f.bevel) {
        ApplyGradientGlow(f, region, blurs, scratch);
        return;
      }
      GradientRamp ramp;
      BuildRamp(Gradient{SpreadMode::Pad, InterpolationMode::Normal, f.stops, 0}, ColorTransform{}, ramp);
      ApplyBevel(region, blurs, f.type, f.knockout, scratch, [&](std::int32_t slope) {
        const double v = 128 + slope * f.strength / 2;
        return ramp.pixels[static_cast<std::size_t>(std::isfinite(v) ? std::clamp(v, 0.0, 255.0) : 128.0)];
      });
    } else if constexpr (std::is_same_v<F, ColorMatrixFilter>) {
      ApplyColorMatrix(f, region);
    } else if constexpr (std::is_same_v<F, ConvolutionFilter>) {
      ApplyConvolution(f, region, scratch);
    }
    // A displacement map moves nothing here: it draws the object as it is.
  });
}

}  // namespace dc::swf

// Bitmaps drawn into bitmaps, and the filters worked out on pixels.
#include "swf/avm1/bitmap_draw.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace dc::swf::avm1 {
namespace {

std::uint32_t Over(std::uint32_t dst, std::uint32_t src) {
  const std::uint32_t inverse = 255 - (src >> 24);
  if (inverse == 0) return src;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= std::min<std::uint32_t>(255, s + (d * inverse + 127) / 255) << shift;
  }
  return out;
}

std::uint32_t Clamp8(double v) { return static_cast<std::uint32_t>(std::clamp(std::floor(v), 0.0, 255.0)); }

// A straight colour through a colour transform.
std::uint32_t Transformed(std::uint32_t c, const ColorTransform& cx) {
  return Clamp8((c >> 24) * cx.mulA + cx.addA) << 24 | Clamp8(((c >> 16) & 0xFF) * cx.mulR + cx.addR) << 16 |
         Clamp8(((c >> 8) & 0xFF) * cx.mulG + cx.addG) << 8 | Clamp8((c & 0xFF) * cx.mulB + cx.addB);
}

// The premultiplied source pixel at (u, v) in source pixels.
std::uint32_t Sample(const BitmapPixels& source, double u, double v, bool smoothing) {
  const std::uint32_t opaque = source.Transparent() ? 0 : 0xFF000000u;
  if (!smoothing) {
    const auto x = static_cast<std::int32_t>(std::floor(u)), y = static_cast<std::int32_t>(std::floor(v));
    return source.Stored(std::clamp(x, 0, source.Width() - 1), std::clamp(y, 0, source.Height() - 1)) | opaque;
  }
  // The four pixels whose centres surround (u, v), edges repeated.
  const double fx = u - 0.5, fy = v - 0.5;
  const double x0 = std::floor(fx), y0 = std::floor(fy);
  const double wx = fx - x0, wy = fy - y0;
  const auto at = [&](double x, double y) {
    return source.Stored(std::clamp(static_cast<std::int32_t>(x), 0, source.Width() - 1),
                         std::clamp(static_cast<std::int32_t>(y), 0, source.Height() - 1)) |
           opaque;
  };
  const std::uint32_t p00 = at(x0, y0), p10 = at(x0 + 1, y0), p01 = at(x0, y0 + 1), p11 = at(x0 + 1, y0 + 1);
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const auto c = [shift](std::uint32_t p) { return static_cast<double>((p >> shift) & 0xFF); };
    const double top = c(p00) + (c(p10) - c(p00)) * wx, bottom = c(p01) + (c(p11) - c(p01)) * wx;
    out |= static_cast<std::uint32_t>(std::lround(top + (bottom - top) * wy)) << shift;
  }
  return out;
}

}  // namespace

BitmapRect DrawnArea(const BitmapPixels& target, std::int32_t sourceWidth, std::int32_t sourceHeight,
                    const Matrix& toTarget, BitmapRect clip) {
  const Point corners[] = {toTarget.Apply({0, 0}), toTarget.Apply({double(sourceWidth), 0}),
                           toTarget.Apply({0, double(sourceHeight)}),
                           toTarget.Apply({double(sourceWidth), double(sourceHeight)})};
  double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
  for (const Point& p : corners) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) return {};
  const double limit = 1e9;
  const auto lo = [&](double v) { return static_cast<std::int32_t>(std::clamp(std::floor(v), -limit, limit)); };
  const auto hi = [&](double v) { return static_cast<std::int32_t>(std::clamp(std::ceil(v), -limit, limit)); };
  BitmapRect box{lo(x0), lo(y0), 0, 0};
  box.width = hi(x1) - box.x;
  box.height = hi(y1) - box.y;
  box = Clipped(box, target.Width(), target.Height());
  const BitmapRect within = Clipped(clip, target.Width(), target.Height());
  const std::int32_t ax = std::max(box.x, within.x), ay = std::max(box.y, within.y);
  const std::int32_t bx = std::min(box.x + box.width, within.x + within.width);
  const std::int32_t by = std::min(box.y + box.height, within.y + within.height);
  if (bx <= ax || by <= ay) return {};
  return {ax, ay, bx - ax, by - ay};
}

void DrawBitmap(BitmapPixels& target, const BitmapPixels& source, const Matrix& toTarget, const ColorTransform& cx,
                BitmapRect clip, bool smoothing) {
  const std::optional<Matrix> inverse = toTarget.Inverse();
  if (!inverse || source.Width() <= 0 || source.Height() <= 0) return;
  const BitmapRect area = DrawnArea(target, source.Width(), source.Height(), toTarget, clip);
  const bool plain = cx.IsIdentity();
  for (std::int32_t y = area.y; y < area.y + area.height; ++y) {
    std::uint32_t* row = target.Row(y);
    for (std::int32_t x = area.x; x < area.x + area.width; ++x) {
      const Point s = inverse->Apply({x + 0.5, y + 0.5});
      if (s.x < 0 || s.y < 0 || s.x >= source.Width() || s.y >= source.Height()) continue;
      std::uint32_t p = Sample(source, s.x, s.y, smoothing);
      if (!plain) p = Premultiply(Transformed(Unpremultiply(p), cx));
      const std::uint32_t laid = Over(row[x], p);
      row[x] = target.Transparent() ? laid : (laid | 0xFF000000u);
    }
  }
}

void ApplyColorMatrix(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                      std::int32_t y, const std::array<double, 20>& m) {
  const BitmapRect r = Clipped(sourceRect, source.Width(), source.Height());
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(r.Area()));
  for (std::int32_t j = 0; j < r.height; ++j)
    for (std::int32_t i = 0; i < r.width; ++i) pixels.push_back(source.Colour(r.x + i, r.y + j));
  const std::int64_t dx = std::int64_t{x} + r.x - sourceRect.x, dy = std::int64_t{y} + r.y - sourceRect.y;
  std::size_t k = 0;
  for (std::int32_t j = 0; j < r.height; ++j) {
    for (std::int32_t i = 0; i < r.width; ++i, ++k) {
      const std::int64_t tx = dx + i, ty = dy + j;
      if (!target.Contains(tx, ty)) continue;
      const std::uint32_t c = pixels[k];
      const double in[4] = {double((c >> 16) & 0xFF), double((c >> 8) & 0xFF), double(c & 0xFF), double(c >> 24)};
      std::uint32_t out[4];
      for (int row = 0; row < 4; ++row) {
        const double* w = &m[row * 5];
        out[row] = Clamp8(w[0] * in[0] + w[1] * in[1] + w[2] * in[2] + w[3] * in[3] + w[4]);
      }
      target.SetColour(static_cast<std::int32_t>(tx), static_cast<std::int32_t>(ty),
                       out[3] << 24 | out[0] << 16 | out[1] << 8 | out[2]);
    }
  }
}

namespace {

// One pass of a box `radius` either side along rows (or columns), over
// premultiplied channels; pixels beyond the edge count as transparent.
void BoxPass(std::vector<std::uint32_t>& px, std::int32_t w, std::int32_t h, int radius, bool rows) {
  if (radius <= 0) return;
  const std::int32_t lines = rows ? h : w, length = rows ? w : h;
  std::vector<std::uint32_t> line(static_cast<std::size_t>(length));
  const int span = 2 * radius + 1;
  for (std::int32_t l = 0; l < lines; ++l) {
    const auto at = [&](std::int32_t i) -> std::uint32_t& {
      return rows ? px[static_cast<std::size_t>(l) * w + i] : px[static_cast<std::size_t>(i) * w + l];
    };
    for (std::int32_t i = 0; i < length; ++i) line[i] = at(i);
    std::uint32_t sum[4] = {0, 0, 0, 0};
    for (std::int32_t i = -radius; i <= radius; ++i)
      if (i >= 0 && i < length)
        for (int c = 0; c < 4; ++c) sum[c] += (line[i] >> (8 * c)) & 0xFF;
    for (std::int32_t i = 0; i < length; ++i) {
      std::uint32_t p = 0;
      for (int c = 0; c < 4; ++c) p |= (sum[c] / span) << (8 * c);
      at(i) = p;
      const std::int32_t out = i - radius, in = i + radius + 1;
      for (int c = 0; c < 4; ++c) {
        if (out >= 0) sum[c] -= (line[out] >> (8 * c)) & 0xFF;
        if (in < length) sum[c] += (line[in] >> (8 * c)) & 0xFF;
      }
    }
  }
}

}  // namespace

void ApplyBoxBlur(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                  std::int32_t y, double blurX, double blurY, int passes) {
  const BitmapRect r = Clipped(sourceRect, source.Width(), source.Height());
  const std::int32_t w = r.width, h = r.height;
  std::vector<std::uint32_t> px;
  px.reserve(static_cast<std::size_t>(r.Area()));
  for (std::int32_t j = 0; j < h; ++j)
    for (std::int32_t i = 0; i < w; ++i) px.push_back(source.Stored(r.x + i, r.y + j));
  const int rx = static_cast<int>(std::clamp(blurX, 0.0, 255.0) / 2), ry = static_cast<int>(std::clamp(blurY, 0.0, 255.0) / 2);
  for (int pass = 0; pass < passes; ++pass) {
    BoxPass(px, w, h, rx, true);
    BoxPass(px, w, h, ry, false);
  }
  const std::int64_t dx = std::int64_t{x} + r.x - sourceRect.x, dy = std::int64_t{y} + r.y - sourceRect.y;
  for (std::int32_t j = 0; j < h; ++j)
    for (std::int32_t i = 0; i < w; ++i)
      if (target.Contains(dx + i, dy + j)) {
        const std::uint32_t p = px[static_cast<std::size_t>(j) * w + i];
        target.Put(static_cast<std::int32_t>(dx + i), static_cast<std::int32_t>(dy + j),
                   target.Transparent() ? p : (p | 0xFF000000u));
      }
}

}  // namespace dc::swf::avm1

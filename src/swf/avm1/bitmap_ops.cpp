// BitmapData's pixel operations.
#include "swf/avm1/bitmap_ops.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace dc::swf::avm1 {
namespace {

std::uint32_t Alpha(std::uint32_t p) { return p >> 24; }

// `src` (premultiplied) over `dst` (premultiplied), rounded.
std::uint32_t Over(std::uint32_t dst, std::uint32_t src) {
  const std::uint32_t inverse = 255 - Alpha(src);
  if (inverse == 0) return src;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= std::min<std::uint32_t>(255, s + d * inverse / 255) << shift;
  }
  return out;
}

// Every channel of a premultiplied pixel times f / 255.
std::uint32_t Scaled(std::uint32_t p, std::uint32_t f) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= ((((p >> shift) & 0xFF) * f + 127) / 255) << shift;
  return out;
}

// The source rectangle clipped to both bitmaps, with the target's corner.
struct Span {
  BitmapRect source;
  std::int32_t x = 0, y = 0;
  bool Empty() const { return source.Empty(); }
};

Span Place(BitmapRect sourceRect, std::int32_t x, std::int32_t y, const BitmapPixels& source,
           const BitmapPixels& target) {
  // Where the rectangle lands, cut to the target, then to the source.
  std::int64_t sx = sourceRect.x, sy = sourceRect.y, w = sourceRect.width, h = sourceRect.height;
  std::int64_t tx = x, ty = y;
  const auto cut = [](std::int64_t& a, std::int64_t& b, std::int64_t& len, std::int64_t limitA,
                      std::int64_t limitB) {
    if (a < 0) {
      len += a;
      b -= a;
      a = 0;
    }
    if (b < 0) {
      len += b;
      a -= b;
      b = 0;
    }
    len = std::min({len, limitA - a, limitB - b});
  };
  cut(sx, tx, w, source.Width(), target.Width());
  cut(sy, ty, h, source.Height(), target.Height());
  if (w <= 0 || h <= 0) return {};
  return {{static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy), static_cast<std::int32_t>(w),
           static_cast<std::int32_t>(h)},
          static_cast<std::int32_t>(tx),
          static_cast<std::int32_t>(ty)};
}

int ChannelShift(std::uint32_t channel) {
  switch (channel) {
    case 1: return 16;
    case 2: return 8;
    case 4: return 0;
    case 8: return 24;
    default: return -1;
  }
}

}  // namespace

void FillRect(BitmapPixels& target, BitmapRect rect, std::uint32_t argb) {
  const BitmapRect r = Clipped(rect, target.Width(), target.Height());
  if (r.Empty()) return;
  const std::uint32_t stored = target.ToStored(argb);
  if (r == target.Bounds()) {
    target.FillAll(stored);
    return;
  }
  for (std::int32_t y = r.y; y < r.y + r.height; ++y) std::fill_n(target.Row(y) + r.x, r.width, stored);
}

void CopyPixels(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                std::int32_t y, std::optional<AlphaSource> alpha, bool mergeAlpha) {
  const Span s = Place(sourceRect, x, y, source, target);
  if (s.Empty()) return;
  // An alpha bitmap without alpha of its own is as none.
  if (alpha && !alpha->bitmap->Transparent()) alpha.reset();
  // Rows are read before they are written, so a bitmap may copy onto itself
  // (each row is taken whole first).
  std::vector<std::uint32_t> row(static_cast<std::size_t>(s.source.width));
  const bool blend = mergeAlpha || !target.Transparent();
  for (std::int32_t j = 0; j < s.source.height; ++j) {
    const std::int32_t sy = s.source.y + j;
    for (std::int32_t i = 0; i < s.source.width; ++i) row[i] = source.Stored(s.source.x + i, sy);
    // With an alpha bitmap, only the pixels it covers are copied.
    const auto covered = [&](std::int32_t i) {
      return !alpha || alpha->bitmap->Contains(std::int64_t{alpha->x} + i, std::int64_t{alpha->y} + j);
    };
    if (alpha) {
      for (std::int32_t i = 0; i < s.source.width; ++i) {
        if (!covered(i)) continue;
        row[i] = Scaled(row[i], Alpha(alpha->bitmap->Stored(alpha->x + i, alpha->y + j)));
      }
    }
    std::uint32_t* out = target.Row(s.y + j) + s.x;
    for (std::int32_t i = 0; i < s.source.width; ++i) {
      if (!covered(i)) continue;
      const std::uint32_t p = row[i];
      if (!blend) {
        out[i] = p;
      } else if (target.Transparent()) {
        out[i] = Over(out[i], p);
      } else {
        // An opaque target has no alpha of its own to keep: merging or not,
        // the source shows over what it holds.
        out[i] = Over(out[i], p) | 0xFF000000u;
      }
    }
  }
}

void CopyChannel(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                 std::int32_t y, std::uint32_t sourceChannel, std::uint32_t targetChannel) {
  const int to = ChannelShift(targetChannel);
  if (to < 0) return;
  const Span s = Place(sourceRect, x, y, source, target);
  if (s.Empty()) return;
  const int from = ChannelShift(sourceChannel);
  std::vector<std::uint32_t> row(static_cast<std::size_t>(s.source.width));
  for (std::int32_t j = 0; j < s.source.height; ++j) {
    for (std::int32_t i = 0; i < s.source.width; ++i)
      row[i] = from < 0 ? 0 : (source.Colour(s.source.x + i, s.source.y + j) >> from) & 0xFF;
    std::uint32_t* out = target.Row(s.y + j) + s.x;
    for (std::int32_t i = 0; i < s.source.width; ++i) {
      const std::uint32_t colour = target.ToColour(out[i]);
      out[i] = target.ToStored((colour & ~(0xFFu << to)) | (row[i] << to));
    }
  }
}

void ApplyColorTransform(BitmapPixels& target, BitmapRect rect, const ColorTransform& cx) {
  const BitmapRect r = Clipped(rect, target.Width(), target.Height());
  if (r.Empty()) return;
  const auto channel = [](std::uint32_t c, double mul, double add) {
    const double v = std::floor(c * mul + add);
    return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0));
  };
  const auto apply = [&](std::uint32_t stored) {
    const std::uint32_t c = target.ToColour(stored);
    return target.ToStored(channel(c >> 24, cx.mulA, cx.addA) << 24 |
                           channel((c >> 16) & 0xFF, cx.mulR, cx.addR) << 16 |
                           channel((c >> 8) & 0xFF, cx.mulG, cx.addG) << 8 | channel(c & 0xFF, cx.mulB, cx.addB));
  };
  if (r == target.Bounds() && target.Uniform()) {
    target.FillAll(apply(target.UniformPixel()));
    return;
  }
  for (std::int32_t y = r.y; y < r.y + r.height; ++y) {
    std::uint32_t* row = target.Row(y) + r.x;
    for (std::int32_t i = 0; i < r.width; ++i) row[i] = apply(row[i]);
  }
}

void Scroll(BitmapPixels& target, std::int32_t dx, std::int32_t dy) {
  const std::int64_t w = target.Width(), h = target.Height();
  if (target.Uniform() || (dx == 0 && dy == 0) || std::abs(std::int64_t{dx}) >= w ||
      std::abs(std::int64_t{dy}) >= h)
    return;
  const std::int32_t width = static_cast<std::int32_t>(w - std::abs(std::int64_t{dx}));
  const std::int32_t sx = dx < 0 ? -dx : 0, tx = dx < 0 ? 0 : dx;
  const auto move = [&](std::int32_t y) {
    std::uint32_t* to = target.Row(y + dy);
    const std::uint32_t* from = target.Row(y);
    std::memmove(to + tx, from + sx, static_cast<std::size_t>(width) * 4);
  };
  // Rows move away from where they go first, so none is read after it is
  // written.
  if (dy > 0) {
    for (std::int32_t y = static_cast<std::int32_t>(h) - 1 - dy; y >= 0; --y) move(y);
  } else {
    for (std::int32_t y = -dy; y < h; ++y) move(y);
  }
}

BitmapRect ColorBounds(const BitmapPixels& bitmap, std::uint32_t mask, std::uint32_t argb, bool find) {
  std::uint32_t colour = bitmap.ToStored(argb);
  if (!bitmap.Transparent()) {
    mask &= 0x00FFFFFFu;
    colour &= 0x00FFFFFFu;
  }
  const auto matches = [&](std::uint32_t p) { return ((p & mask) == colour) == find; };
  // Flash keeps the far corner starting at pixel (0, 0) and takes a box
  // still ending there for nothing found: a match at (0, 0) alone is empty.
  if (bitmap.Uniform()) {
    const bool one = bitmap.Width() == 1 && bitmap.Height() == 1;
    return matches(bitmap.UniformPixel()) && !one ? bitmap.Bounds() : BitmapRect{};
  }
  std::int32_t x0 = bitmap.Width(), y0 = bitmap.Height(), x1 = 0, y1 = 0;
  for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
    for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
      if (!matches(bitmap.Stored(x, y))) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  if (x1 == 0 && y1 == 0) return {};
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

std::int64_t Threshold(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                       std::int32_t y, ThresholdOp op, std::uint32_t threshold, std::uint32_t colour,
                       std::uint32_t mask, bool copySource) {
  const Span s = Place(sourceRect, x, y, source, target);
  if (s.Empty()) return 0;
  const std::uint32_t limit = threshold & mask;
  const auto passes = [&](std::uint32_t c) {
    const std::uint32_t v = c & mask;
    switch (op) {
      case ThresholdOp::Less: return v < limit;
      case ThresholdOp::LessEqual: return v <= limit;
      case ThresholdOp::Greater: return v > limit;
      case ThresholdOp::GreaterEqual: return v >= limit;
      case ThresholdOp::Equal: return v == limit;
      case ThresholdOp::NotEqual: return v != limit;
    }
    return false;
  };
  const std::uint32_t stored = target.ToStored(colour);
  std::int64_t count = 0;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(s.source.width));
  for (std::int32_t j = 0; j < s.source.height; ++j) {
    for (std::int32_t i = 0; i < s.source.width; ++i) row[i] = source.Colour(s.source.x + i, s.source.y + j);
    std::uint32_t* out = target.Row(s.y + j) + s.x;
    for (std::int32_t i = 0; i < s.source.width; ++i) {
      if (passes(row[i])) {
        out[i] = stored;
        ++count;
      } else if (copySource) {
        out[i] = target.ToStored(row[i]);
      }
    }
  }
  return count;
}

std::optional<BitmapPixels> Compare(const BitmapPixels& a, const BitmapPixels& b) {
  BitmapPixels out(a.Width(), a.Height(), true, 0);
  bool differs = false;
  for (std::int32_t y = 0; y < a.Height(); ++y) {
    for (std::int32_t x = 0; x < a.Width(); ++x) {
      const std::uint32_t p = a.Colour(x, y), q = b.Colour(x, y);
      if (p == q) continue;
      differs = true;
      std::uint32_t d;
      if ((p & 0xFFFFFF) != (q & 0xFFFFFF)) {
        d = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
          d |= ((((p >> shift) & 0xFF) - ((q >> shift) & 0xFF)) & 0xFF) << shift;
      } else {
        d = (((Alpha(p) - Alpha(q)) & 0xFF) << 24) | 0xFFFFFF;
      }
      out.SetColour(x, y, d);
    }
  }
  if (!differs) return std::nullopt;
  return out;
}

void FloodFill(BitmapPixels& target, std::int32_t x, std::int32_t y, std::uint32_t argb) {
  if (!target.Contains(x, y)) return;
  const std::uint32_t from = target.Stored(x, y), to = target.ToStored(argb);
  if (from == to) return;
  const std::int32_t w = target.Width();
  std::vector<std::uint32_t> pending{static_cast<std::uint32_t>(y) * static_cast<std::uint32_t>(w) +
                                     static_cast<std::uint32_t>(x)};
  target.Put(x, y, to);
  // Each pixel is pushed at most once (it changes colour when pushed), so
  // the work is bounded by the bitmap.
  while (!pending.empty()) {
    const std::uint32_t at = pending.back();
    pending.pop_back();
    const std::int32_t px = static_cast<std::int32_t>(at % w), py = static_cast<std::int32_t>(at / w);
    const std::int32_t near[4][2] = {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
    for (const auto& n : near) {
      if (!target.Contains(n[0], n[1]) || target.Stored(n[0], n[1]) != from) continue;
      target.Put(n[0], n[1], to);
      pending.push_back(static_cast<std::uint32_t>(n[1]) * static_cast<std::uint32_t>(w) +
                        static_cast<std::uint32_t>(n[0]));
    }
  }
}

namespace {

bool Opaque(const BitmapPixels& b, std::int32_t x, std::int32_t y, std::int32_t threshold) {
  const std::int32_t a = b.Transparent() ? static_cast<std::int32_t>(Alpha(b.Stored(x, y))) : 255;
  return a >= std::max<std::int32_t>(threshold, 1);
}

}  // namespace

bool PixelHits(const BitmapPixels& a, std::int32_t x, std::int32_t y, std::int32_t threshold) {
  return a.Contains(x, y) && Opaque(a, x, y, threshold);
}

bool RectHits(const BitmapPixels& a, BitmapRect rect, std::int32_t threshold) {
  const BitmapRect r = Clipped(rect, a.Width(), a.Height());
  for (std::int32_t y = r.y; y < r.y + r.height; ++y)
    for (std::int32_t x = r.x; x < r.x + r.width; ++x)
      if (Opaque(a, x, y, threshold)) return true;
  return false;
}

bool BitmapsHit(const BitmapPixels& a, std::int32_t ax, std::int32_t ay, std::int32_t aThreshold,
                const BitmapPixels& b, std::int32_t bx, std::int32_t by, std::int32_t bThreshold) {
  // The overlap in a's pixels.
  const std::int64_t x0 = std::max<std::int64_t>(0, std::int64_t{bx} - ax);
  const std::int64_t y0 = std::max<std::int64_t>(0, std::int64_t{by} - ay);
  const std::int64_t x1 = std::min<std::int64_t>(a.Width(), std::int64_t{bx} - ax + b.Width());
  const std::int64_t y1 = std::min<std::int64_t>(a.Height(), std::int64_t{by} - ay + b.Height());
  for (std::int64_t y = y0; y < y1; ++y) {
    for (std::int64_t x = x0; x < x1; ++x) {
      const auto bxp = static_cast<std::int32_t>(x + ax - bx), byp = static_cast<std::int32_t>(y + ay - by);
      if (Opaque(a, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), aThreshold) &&
          Opaque(b, bxp, byp, bThreshold))
        return true;
    }
  }
  return false;
}

}  // namespace dc::swf::avm1

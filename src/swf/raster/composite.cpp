// Compositing coverage spans: blending straight onto the canvas where one
// style covers the row, summing first where several do.
#include "swf/raster/composite.h"

#include <algorithm>

#include "swf/limits.h"
#include "swf/raster/blend.h"

namespace dc::swf {

namespace {

// A gradient's pixel looks up its ramp, a bitmap's samples its pixels:
// each costs some times a plain colour's.
std::uint64_t WorkPerPixel(Paint::Kind kind) {
  using namespace raster_limits;
  switch (kind) {
    case Paint::Kind::Linear:
    case Paint::Kind::Radial:
    case Paint::Kind::Focal: return kDrawWorkPerGradientPixel;
    case Paint::Kind::Bitmap: return kDrawWorkPerBitmapPixel;
    default: return 1;
  }
}

}  // namespace

bool Compositor::Pass(const DrawTarget& target, ScanlineRaster& raster, PaintSource& paints) {
  const Canvas& canvas = target.canvas;
  const std::size_t width = static_cast<std::size_t>(canvas.width);
  if (paint_.size() < width) paint_.resize(width);
  if (sums_.size() < 4 * width) sums_.resize(4 * width, 0);
  // Outside the clip nothing is written or sampled; a span's paint is
  // sampled as from its start, so the pixels within are a whole pass's.
  const PixelBox clip = canvas.Drawable();
  x0_ = clip.x0, x1_ = clip.x1;
  for (std::int32_t y = std::max(raster.FirstRow(), clip.y0); y < std::min(raster.EndRow(), clip.y1); ++y) {
    raster.RowSpans(y, spans_);
    if (spans_.empty()) continue;
    const bool oneStyle = spans_.front().style == spans_.back().style;
    const Paint* only = oneStyle ? &paints.For(spans_.front().style) : nullptr;
    std::uint64_t touched = 0, work = 0;
    for (const CoverageSpan& s : spans_) {
      const Paint::Kind kind = (only ? *only : paints.For(s.style)).kind();
      if (kind == Paint::Kind::None) continue;
      const auto pixels = static_cast<std::uint64_t>(s.x1 - s.x0);
      touched += pixels;
      work += pixels * WorkPerPixel(kind);
    }
    if (touched == 0) continue;
    if (target.budget && !target.budget->Charge(touched, work)) return false;
    std::uint32_t* dst = canvas.Row(y);
    const std::uint8_t* mask = target.mask ? target.mask + static_cast<std::size_t>(y) * width : nullptr;
    if (only) {
      Blend(dst, mask, y, *only);
      continue;
    }
    std::int32_t x0 = x1_, x1 = x0_;
    for (const CoverageSpan& s : spans_) {
      const Paint& paint = paints.For(s.style);
      if (paint.kind() == Paint::Kind::None || s.x1 <= x0_ || s.x0 >= x1_) continue;
      Sum(y, s, paint);
      x0 = std::min(x0, std::max(s.x0, x0_));
      x1 = std::max(x1, std::min(s.x1, x1_));
    }
    LaySums(dst, mask, x0, x1);
  }
  return true;
}

void Compositor::Blend(std::uint32_t* dst, const std::uint8_t* mask, std::int32_t y, const Paint& paint) {
  if (paint.kind() == Paint::Kind::Solid) {
    const std::uint32_t colour = paint.solid();
    for (const CoverageSpan& s : spans_) {
      const std::int32_t x0 = std::max(s.x0, x0_), x1 = std::min(s.x1, x1_);
      if (mask) {
        for (std::int32_t x = x0; x < x1; ++x)
          dst[x] = SourceOver(dst[x], ScalePixel(colour, DivideBy255(s.coverage * std::uint32_t{mask[x]})));
      } else if (s.coverage == 255 && paint.opaque()) {
        if (x0 < x1) std::fill(dst + x0, dst + x1, colour);
      } else {
        const std::uint32_t src = ScalePixel(colour, s.coverage);
        for (std::int32_t x = x0; x < x1; ++x) dst[x] = SourceOver(dst[x], src);
      }
    }
    return;
  }
  // Spans that follow each other are sampled at one go.
  for (std::size_t i = 0; i < spans_.size();) {
    std::size_t j = i + 1;
    while (j < spans_.size() && spans_[j].x0 == spans_[j - 1].x1) ++j;
    const std::int32_t from = spans_[i].x0, to = spans_[j - 1].x1;
    if (to <= x0_ || from >= x1_) {
      i = j;
      continue;
    }
    const std::int32_t first = std::max(from, x0_);
    paint.Row(y, from, first, std::min(to, x1_), paint_.data());
    for (; i < j; ++i) {
      const CoverageSpan& s = spans_[i];
      const std::int32_t x0 = std::max(s.x0, x0_), x1 = std::min(s.x1, x1_);
      const std::uint32_t* src = paint_.data() + (x0 - first);
      const std::uint32_t coverage = s.coverage;
      const std::int32_t n = x1 - x0;
      if (n <= 0) continue;
      std::uint32_t* out = dst + x0;
      if (mask) {
        for (std::int32_t k = 0; k < n; ++k)
          out[k] = SourceOver(out[k], ScalePixel(src[k], DivideBy255(coverage * mask[x0 + k])));
      } else if (coverage != 255) {
        for (std::int32_t k = 0; k < n; ++k) out[k] = SourceOver(out[k], ScalePixel(src[k], coverage));
      } else if (paint.opaque()) {
        std::copy(src, src + n, out);
      } else {
        for (std::int32_t k = 0; k < n; ++k) out[k] = SourceOver(out[k], src[k]);
      }
    }
  }
}

void Compositor::Sum(std::int32_t y, const CoverageSpan& span, const Paint& paint) {
  std::uint32_t* const src = paint_.data();
  const std::int32_t x0 = std::max(span.x0, x0_), x1 = std::min(span.x1, x1_);
  paint.Row(y, span.x0, x0, x1, src);
  const std::uint32_t coverage = span.coverage;
  for (std::int32_t x = x0; x < x1; ++x) {
    const std::uint32_t p = src[x - x0];
    std::uint32_t* sum = &sums_[4 * static_cast<std::size_t>(x)];
    sum[0] += (p >> 24) * coverage;
    sum[1] += ((p >> 16) & 255) * coverage;
    sum[2] += ((p >> 8) & 255) * coverage;
    sum[3] += (p & 255) * coverage;
  }
}

void Compositor::LaySums(std::uint32_t* dst, const std::uint8_t* mask, std::int32_t x0, std::int32_t x1) {
  // Coverage past one pixel (styles of a broken map overlapping) is one
  // pixel; clamping every channel keeps colour within alpha.
  const auto channel = [](std::uint32_t v) { return v >= 255u * 255u ? 255u : DivideBy255(v); };
  for (std::int32_t x = x0; x < x1; ++x) {
    std::uint32_t* sum = &sums_[4 * static_cast<std::size_t>(x)];
    std::uint32_t p = channel(sum[0]) << 24 | channel(sum[1]) << 16 | channel(sum[2]) << 8 | channel(sum[3]);
    sum[0] = sum[1] = sum[2] = sum[3] = 0;
    if (mask) p = ScalePixel(p, mask[x]);
    if (p != 0) dst[x] = SourceOver(dst[x], p);
  }
}

}  // namespace dc::swf

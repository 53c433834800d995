// Objects drawn through a layer of their own: a blend mode other than
// normal, filters, a bitmap cache or a scroll rectangle. The layer is the
// canvas with room around it for the filters' reach; the object is drawn
// alone into it without the masks above it, clipped to its scroll
// rectangle, filtered over the part it covers, and composited onto the
// canvas by its mode through those masks.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "swf/player/render.h"
#include "swf/player/render_pass.h"
#include "swf/raster/blend_modes.h"

namespace dc::swf {
namespace {

// The box that holds every pixel the object drew; empty (x0 >= x1) when it
// drew none.
struct Box {
  std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  std::uint64_t Pixels() const {
    return x1 > x0 && y1 > y0 ? static_cast<std::uint64_t>(x1 - x0) * static_cast<std::uint64_t>(y1 - y0) : 0;
  }
};

Box Drawn(const std::uint32_t* pixels, std::int32_t w, std::int32_t h) {
  Box box{w, h, 0, 0};
  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * w;
    std::int32_t first = 0;
    while (first < w && row[first] == 0) ++first;
    if (first == w) continue;
    std::int32_t last = w;
    while (row[last - 1] == 0) --last;
    box.x0 = std::min(box.x0, first);
    box.x1 = std::max(box.x1, last);
    box.y0 = std::min(box.y0, y);
    box.y1 = y + 1;
  }
  return box;
}

// Clears the pixels of `box` whose centres lie outside the scroll
// rectangle's size, placed by `toLayer` at the object's origin.
void ClipToRect(std::uint32_t* pixels, std::int32_t stride, const Box& box, const Matrix& toLayer,
                const PixelRect& rect) {
  const std::optional<Matrix> inverse = toLayer.Inverse();
  const double w = rect.width * 20, h = rect.height * 20;
  for (std::int32_t y = box.y0; y < box.y1; ++y) {
    std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (std::int32_t x = box.x0; x < box.x1; ++x) {
      if (!inverse) {
        row[x] = 0;
        continue;
      }
      const Point p = inverse->Apply({x + 0.5, y + 0.5});
      if (!(p.x >= 0 && p.x < w && p.y >= 0 && p.y < h)) row[x] = 0;
    }
  }
}

std::uint64_t ObjectsWithin(const DisplayObject& object) {
  std::uint64_t n = 1;
  for (const auto& [depth, child] : object.children) n += ObjectsWithin(*child);
  return n;
}

// A cached bitmap (bitmap caching, or filters, which cache the object
// too) starts at a whole pixel: the object's box, where the face shows it,
// has its top-left corner rounded to the nearest pixel, and the object
// moves with it by the fraction. The box is the scroll rectangle's where
// the object has one. Measuring the box is charged to the frame; none
// when the frame cannot afford it.
std::optional<Matrix> CachedAtWholePixel(const DisplayObject& object, const Matrix& m, DrawBudget& budget) {
  if (!object.cacheAsBitmap && object.filters.empty()) return m;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (object.scrollRect) {
    x1 = object.scrollRect->width * kTwipsPerPixel;
    y1 = object.scrollRect->height * kTwipsPerPixel;
  } else {
    if (!budget.TakeWork(ObjectsWithin(object) * raster_limits::kDrawWorkPerObjectMeasured)) return std::nullopt;
    const TwipRect r = object.OwnBounds();
    x0 = r.xMin, y0 = r.yMin, x1 = r.xMax, y1 = r.yMax;
  }
  if (!(x1 > x0 && y1 > y0)) return m;
  double left = std::numeric_limits<double>::infinity(), top = left;
  for (const Point corner : {Point{x0, y0}, Point{x1, y0}, Point{x0, y1}, Point{x1, y1}}) {
    const Point p = m.Apply(corner);
    left = std::min(left, p.x);
    top = std::min(top, p.y);
  }
  if (!std::isfinite(left) || !std::isfinite(top)) return m;
  return Matrix::Translate(std::floor(left + 0.5) - left, std::floor(top + 0.5) - top) * m;
}

FilterReach Clamped(FilterReach r) {
  const auto cap = [](std::int32_t v) { return std::clamp(v, 0, raster_limits::kMaxFilterReach); };
  return {cap(r.left), cap(r.top), cap(r.right), cap(r.bottom)};
}

}  // namespace

bool Renderer::NeedsLayer(const Pass& pass, const DisplayObject& object) {
  // A mask's content gives only its coverage.
  if (!pass.strokes || pass.layerLevel >= raster_limits::kMaxLayerNesting) return false;
  return object.blendMode != BlendMode::Normal || !object.filters.empty() || object.cacheAsBitmap ||
         object.scrollRect.has_value();
}

void Renderer::DrawLayered(Pass& pass, const DisplayObject& object, const Matrix& m, const ColorTransform& cx,
                           const std::uint8_t* mask) {
  const Canvas& canvas = pass.canvas;
  const FilterScale scale = pass.filterScale;
  FilterReach reach;
  for (const Filter& filter : object.filters) {
    const FilterReach r = ReachOf(filter, scale);
    reach = Clamped({reach.left + r.left, reach.top + r.top, reach.right + r.right, reach.bottom + r.bottom});
  }
  const std::int32_t w = canvas.width + reach.left + reach.right, h = canvas.height + reach.top + reach.bottom;
  const std::uint64_t pixels = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
  if (pixels > raster_limits::kMaxLayerPixels) {
    DrawObject(pass, object, m, cx, mask);
    return;
  }
  const std::optional<Matrix> placed = CachedAtWholePixel(object, m, pass.budget);
  if (!placed || !pass.budget.Take(pixels)) return;
  const std::size_t level = pass.layerLevel;
  if (layers_.size() <= level) layers_.resize(level + 1);
  layers_[level].assign(pixels, 0);
  Pass inner{pass.movie, Canvas{layers_[level].data(), w, h, w}, pass.budget, pass.bitmaps, pass.fonts,
             pass.maskLevel, pass.quality, pass.strokes, level + 1, scale};
  const Matrix toLayer = Matrix::Translate(reach.left, reach.top) * *placed;
  // A scroll rectangle shows that part of the object (in its own pixels)
  // with its corner where the object's origin is.
  const std::optional<PixelRect>& scroll = object.scrollRect;
  DrawObject(inner, object, scroll ? toLayer * Matrix::Translate(-scroll->x * 20, -scroll->y * 20) : toLayer, cx,
             nullptr);
  pass.budget = inner.budget;
  // Taken after drawing: layers nested inside may have moved the list (not
  // the pixels).
  std::vector<std::uint32_t>& layer = layers_[level];
  Box box = Drawn(layer.data(), w, h);
  if (box.Pixels() == 0) return;
  if (scroll) {
    if (!pass.budget.TakeWork(box.Pixels())) return;
    ClipToRect(layer.data(), w, box, toLayer, *scroll);
  }
  // Each filter runs over what the object and the filters before it
  // painted, with room for its own reach.
  for (const Filter& filter : object.filters) {
    const FilterReach r = Clamped(ReachOf(filter, scale));
    box = {std::max(box.x0 - r.left, 0), std::max(box.y0 - r.top, 0), std::min(box.x1 + r.right, w),
           std::min(box.y1 + r.bottom, h)};
    if (!pass.budget.TakeWork(FilterWork(filter, scale, box.Pixels()))) return;
    const Canvas region{layer.data() + static_cast<std::ptrdiff_t>(box.y0) * w + box.x0, box.x1 - box.x0,
                        box.y1 - box.y0, w};
    ApplyFilter(filter, region, scale, filterScratch_);
  }
  if (!pass.budget.TakeWork(box.Pixels())) return;
  // Alpha and erase act on the alpha of the layer they lie in; the face's
  // stays opaque, so there they change nothing.
  const BlendMode mode = object.blendMode;
  if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && pass.layerLevel == 0) return;
  CompositeLayer(canvas, layer.data() + static_cast<std::ptrdiff_t>(box.y0) * w + box.x0, box.x1 - box.x0,
                 box.y1 - box.y0, w, box.x0 - reach.left, box.y0 - reach.top, mode, mask);
}

}  // namespace dc::swf

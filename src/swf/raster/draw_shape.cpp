// Drawing a shape: its style groups in order of layer, each group's fills
// as one planar map, then its strokes line style by line style. Edges are
// taken to canvas pixels first, so curves flatten to the scale they show at.
#include "swf/raster/draw_shape.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "swf/limits.h"
#include "swf/raster/composite.h"
#include "swf/raster/flatten.h"
#include "swf/raster/paint.h"
#include "swf/raster/scanline.h"
#include "swf/raster/stroke.h"

namespace dc::swf {

namespace {

using raster_limits::kMaxPolylinePoints;
using raster_limits::kMaxRampsPerPass;
using raster_limits::kDrawWorkPerEdge;

// What drawing keeps between calls, so that a frame allocates nothing once
// the buffers have grown to the face's needs.
struct Scratch {
  ScanlineRaster raster;
  Stroker stroker;
  Compositor compositor;
  std::vector<std::uint32_t> order;                             // path indices, by layer
  std::vector<std::pair<std::int32_t, std::uint32_t>> strokes;  // line style, path's place in its group
  std::vector<Point> line;                                      // one polyline in canvas pixels
  std::vector<std::int32_t> paintOf;                            // fill style to its slot in `paints`, -1 not built yet
  std::vector<std::int32_t> built;                              // fill styles with a slot
  std::vector<Paint> paints;
  std::vector<std::unique_ptr<GradientRamp>> ramps;
  std::size_t rampsUsed = 0;

  GradientRamp* NextRamp() {
    if (rampsUsed == kMaxRampsPerPass) return nullptr;
    if (rampsUsed == ramps.size()) ramps.push_back(std::make_unique<GradientRamp>());
    return ramps[rampsUsed++].get();
  }
};

bool IsGradient(FillKind kind) {
  return kind == FillKind::LinearGradient || kind == FillKind::RadialGradient || kind == FillKind::FocalGradient;
}

// One call's arguments and buffers.
struct Drawing {
  const Shape& shape;
  const Matrix& toCanvas;
  const ColorTransform& cx;
  const DrawTarget& target;
  const Rgba* solidColor;
  Scratch& s;
};

// The paint of a fill style, from the colour that overrides all or the
// style itself.
Paint PaintOfFill(const Drawing& d, const FillStyle& fill) {
  if (d.solidColor) return Paint::Solid(*d.solidColor, d.cx);
  return Paint::Of(fill, d.toCanvas, d.cx, d.target.bitmaps, IsGradient(fill.kind) ? d.s.NextRamp() : nullptr,
                   d.target.SmoothsBitmaps());
}

// Fill styles' paints, built when a row first needs them.
class FillPaints final : public PaintSource {
 public:
  explicit FillPaints(const Drawing& d) : d_(d) {
    if (d.s.paintOf.size() < d.shape.fills.size()) d.s.paintOf.resize(d.shape.fills.size(), -1);
    d.s.rampsUsed = 0;
  }
  ~FillPaints() {
    for (std::int32_t style : d_.s.built) d_.s.paintOf[style] = -1;
    d_.s.built.clear();
    d_.s.paints.clear();
  }
  const Paint& For(std::int32_t style) override {
    std::int32_t& slot = d_.s.paintOf[style];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(d_.s.paints.size());
      d_.s.paints.push_back(PaintOfFill(d_, d_.shape.fills[style]));
      d_.s.built.push_back(style);
    }
    return d_.s.paints[slot];
  }

 private:
  const Drawing& d_;
};

class OnePaint final : public PaintSource {
 public:
  explicit OnePaint(Paint paint) : paint_(paint) {}
  const Paint& For(std::int32_t) override { return paint_; }

 private:
  Paint paint_;
};

bool Finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::int32_t StyleOrNone(std::int32_t index, std::size_t count) {
  return index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
}

class ShapeDrawer {
 public:
  explicit ShapeDrawer(const Drawing& d)
      : d_(d),
        shape_(d.shape),
        m_(d.toCanvas),
        s_(d.s),
        canvas_{0, 0, double(d.target.canvas.width), double(d.target.canvas.height)} {}

  void Draw() {
    // Charged before any is drawn, so a shape the frame cannot afford
    // costs nothing.
    if (d_.target.budget && !d_.target.budget->TakeWork(shape_.EdgeCount() * kDrawWorkPerEdge)) return;
    std::vector<std::uint32_t>& order = s_.order;
    order.resize(shape_.paths.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    // By layer, paths of a layer in their order (a sort that sets aside no
    // memory, unlike a stable one).
    const auto layer = [this](std::uint32_t path) { return shape_.paths[path].layer; };
    const auto byLayer = [&](std::uint32_t p, std::uint32_t q) {
      return layer(p) != layer(q) ? layer(p) < layer(q) : p < q;
    };
    if (!std::is_sorted(order.begin(), order.end(), byLayer)) std::sort(order.begin(), order.end(), byLayer);
    for (std::size_t begin = 0; begin < order.size();) {
      std::size_t end = begin + 1;
      while (end < order.size() && layer(order[end]) == layer(order[begin])) ++end;
      if (!Fills(begin, end) || (d_.target.strokes && !Strokes(begin, end))) return;
      begin = end;
    }
  }

 private:
  // Appends an edge's points after its start, in canvas pixels. Unsmoothed,
  // the pieces of a filled curve meet on whole twips, as the original
  // player's do: a pixel whose centre lies within a twip of a piece falls
  // as it does there. Its pieces are also as fine as the shape's own units
  // need (two of them, a tenth of a pixel in twips), so a shape drawn
  // smaller than it is defined, as a glyph is, keeps its curves' extremes.
  // A stroke's middle line keeps its points.
  void AppendEdge(const Edge& e, const ReachBox& box, bool fill) {
    const bool unsmoothedFill = fill && !d_.target.AntiAliased();
    if (e.curved)
      AppendCurve(m_.Apply(e.from), m_.Apply(e.control), m_.Apply(e.to), box, s_.line,
                  unsmoothedFill ? static_cast<int>(kTwipsPerPixel) : 0,
                  unsmoothedFill ? PiecesFor(e.from, e.control, e.to, kFlattenTolerance * kTwipsPerPixel) : 1);
    else
      s_.line.push_back(m_.Apply(e.to));
  }

  bool OutOfBudget() const { return d_.target.budget && d_.target.budget->exceeded; }

  void BeginPass(std::int32_t onlyStyle, FillRule rule) {
    s_.raster.Begin(d_.target.canvas.width, d_.target.canvas.height, onlyStyle, d_.target.budget, rule,
                    d_.target.AntiAliased());
    s_.raster.Clip(d_.target.canvas.Drawable());
  }

  // The fills of the group's paths, order[begin .. end - 1].
  bool Fills(std::size_t begin, std::size_t end) {
    const std::size_t fills = shape_.fills.size();
    // A group of one fill style (most are) is summed straight into rows.
    std::int32_t only = -1;
    for (std::size_t i = begin; i < end && only != -2; ++i) {
      const Path& path = shape_.paths[s_.order[i]];
      for (const std::int32_t style : {StyleOrNone(path.fill0, fills), StyleOrNone(path.fill1, fills)})
        if (style >= 0 && style != only) only = only == -1 ? style : -2;
    }
    if (only == -1) return true;
    BeginPass(std::max(only, std::int32_t{-1}), shape_.fillRule);
    for (std::size_t i = begin; i < end; ++i) {
      const Path& path = shape_.paths[s_.order[i]];
      const std::int32_t left = StyleOrNone(path.fill0, fills), right = StyleOrNone(path.fill1, fills);
      if (left == right) continue;
      // A point that is not a number breaks the map: the styles' regions
      // are then unknown, and the group's fills are left out.
      for (const Edge& e : path.edges) {
        s_.line.assign(1, m_.Apply(e.from));
        AppendEdge(e, canvas_, true);
        if (!std::all_of(s_.line.begin(), s_.line.end(), Finite)) return true;
        for (std::size_t k = 1; k < s_.line.size(); ++k) s_.raster.AddEdge(s_.line[k - 1], s_.line[k], left, right);
      }
    }
    if (OutOfBudget()) return false;
    if (s_.raster.CutShort()) return true;
    s_.raster.Finish();
    FillPaints paints(d_);
    return s_.compositor.Pass(d_.target, s_.raster, paints);
  }

  // The strokes of the group's paths, line style by line style.
  bool Strokes(std::size_t begin, std::size_t end) {
    s_.strokes.clear();
    for (std::size_t i = begin; i < end; ++i) {
      const std::int32_t line = StyleOrNone(shape_.paths[s_.order[i]].line, shape_.lines.size());
      if (line >= 0) s_.strokes.emplace_back(line, static_cast<std::uint32_t>(i));
    }
    std::sort(s_.strokes.begin(), s_.strokes.end());  // by line style, then place: paths keep their order
    for (std::size_t r = 0; r < s_.strokes.size();) {
      std::size_t next = r + 1;
      while (next < s_.strokes.size() && s_.strokes[next].first == s_.strokes[r].first) ++next;
      if (!Stroke(r, next)) return false;
      r = next;
    }
    return true;
  }

  Pen PenOf(const LineStyle& style) const {
    const double unit = 1 / kTwipsPerPixel;  // the scale at which a width is as given
    const double sx = style.noHScale ? unit : std::hypot(m_.a, m_.b);
    const double sy = style.noVScale ? unit : std::hypot(m_.c, m_.d);
    const double width = style.width == 0 ? 1 : std::max(1.0, style.width * std::sqrt(sx * sy));
    return {width / 2, style.startCap, style.endCap, style.join, style.miterLimit};
  }

  // One line style's paths s_.strokes[first .. last - 1], in their order.
  bool Stroke(std::size_t first, std::size_t last) {
    const LineStyle& style = shape_.lines[s_.strokes[first].first];
    const Pen pen = PenOf(style);
    if (!std::isfinite(pen.halfWidth)) return true;
    // A pen reaches a miter's length past its line at most.
    const double reach = pen.halfWidth * std::max({2.0, style.miterLimit, 1.0}) + 1;
    const ReachBox box{-reach, -reach, canvas_.xMax + reach, canvas_.yMax + reach};
    BeginPass(0, FillRule::NonZero);  // an outline unites with itself
    std::vector<Point>& line = s_.line;
    Point start{}, at{};
    std::uint32_t lastPlace = 0;
    bool tooLong = false;
    const auto finishLine = [&] {
      if (line.empty()) return;
      const bool closed = start == at && line.size() > 2 && !style.noClose;
      tooLong = tooLong || line.size() > kMaxPolylinePoints || !s_.stroker.Stroke(line, closed, pen, s_.raster);
      line.clear();
    };
    line.clear();
    for (std::size_t i = first; i < last; ++i) {
      const std::uint32_t place = s_.strokes[i].second;
      const Path& path = shape_.paths[s_.order[place]];
      // Paths of one line style that follow each other and meet join.
      bool joins = !line.empty() && place == lastPlace + 1;
      for (const Edge& e : path.edges) {
        if (!joins || !(e.from == at)) {
          finishLine();
          line.push_back(m_.Apply(e.from));
          start = e.from;
        }
        if (line.size() <= kMaxPolylinePoints) AppendEdge(e, box, false);
        at = e.to;
        joins = true;
      }
      lastPlace = place;
      if (OutOfBudget()) return false;
    }
    finishLine();
    if (OutOfBudget()) return false;
    if (tooLong || s_.raster.CutShort()) return true;
    s_.raster.Finish();
    s_.rampsUsed = 0;
    OnePaint paints(style.hasFill ? PaintOfFill(d_, style.fill)
                                  : Paint::Solid(d_.solidColor ? *d_.solidColor : style.color, d_.cx));
    return s_.compositor.Pass(d_.target, s_.raster, paints);
  }

  const Drawing d_;
  const Shape& shape_;
  const Matrix& m_;  // the shape's twips to canvas pixels
  Scratch& s_;
  const ReachBox canvas_;
};

}  // namespace

void DrawShape(const Shape& shape, const Matrix& toCanvas, const ColorTransform& cx, const DrawTarget& target,
               const Rgba* solidColor) {
  const Canvas& canvas = target.canvas;
  if (!canvas.pixels || canvas.width <= 0 || canvas.height <= 0 || canvas.stride < canvas.width) return;
  // A bitmap lookup that draws a shape itself gets buffers of its own.
  thread_local Scratch scratch;
  thread_local bool busy = false;
  if (busy) {
    auto own = std::make_unique<Scratch>();
    ShapeDrawer({shape, toCanvas, cx, target, solidColor, *own}).Draw();
    return;
  }
  struct Busy {
    Busy() { busy = true; }
    ~Busy() { busy = false; }
  } guard;
  ShapeDrawer({shape, toCanvas, cx, target, solidColor, scratch}).Draw();
}

}  // namespace dc::swf

// Drawing a shape: its style groups in order of layer, each group's fills
// as one planar map, then its strokes line style by line style. Edges are
// taken to canvas pixels first, so curves flatten to the scale they show at.
#include "swf/raster.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "swf/composite.h"
#include "swf/flatten.h"
#include "swf/paint.h"
#include "swf/scanline.h"
#include "swf/stroke.h"

namespace dc::swf {

namespace {

// Gradient ramps one pass may build; past them a gradient paints its last
// colour. A face has a handful; each ramp is a kilobyte and 256 mixes.
constexpr std::size_t kMaxRampsPerPass = 1024;
// Points of one stroked polyline in canvas pixels (a face's longest has a
// few hundred); past them the line style's pass is left out.
constexpr std::size_t kMaxPolylinePoints = std::size_t{1} << 18;

// What drawing keeps between calls, so that a frame allocates nothing once
// the buffers have grown to the face's needs.
struct Scratch {
  ScanlineRaster raster;
  Stroker stroker;
  Compositor compositor;
  std::vector<std::uint32_t> order;  // path indices, by layer
  std::vector<std::pair<std::int32_t, std::uint32_t>> strokes;  // line style, path's place in its group
  std::vector<Point> line;  // one polyline in canvas pixels
  std::vector<std::int32_t> paintOf;  // fill style to its slot in `paints`, -1 not built yet
  std::vector<std::int32_t> built;    // fill styles with a slot
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

// The paint of a fill style, from the colour that overrides all or the
// style itself.
Paint PaintOfFill(const FillStyle& fill, const Matrix& toCanvas, const ColorTransform& cx, const DrawTarget& target,
                  const Rgba* solidColor, Scratch& s) {
  if (solidColor) return Paint::Solid(*solidColor, cx);
  return Paint::Of(fill, toCanvas, cx, target.bitmaps, IsGradient(fill.kind) ? s.NextRamp() : nullptr);
}

// Fill styles' paints, built when a row first needs them.
class FillPaints final : public PaintSource {
 public:
  FillPaints(const Shape& shape, const Matrix& toCanvas, const ColorTransform& cx, const DrawTarget& target,
             const Rgba* solidColor, Scratch& s)
      : shape_(shape), toCanvas_(toCanvas), cx_(cx), target_(target), solidColor_(solidColor), s_(s) {
    if (s.paintOf.size() < shape.fills.size()) s.paintOf.resize(shape.fills.size(), -1);
    s.rampsUsed = 0;
  }
  ~FillPaints() {
    for (std::int32_t style : s_.built) s_.paintOf[style] = -1;
    s_.built.clear();
    s_.paints.clear();
  }
  const Paint& For(std::int32_t style) override {
    std::int32_t& slot = s_.paintOf[style];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(s_.paints.size());
      s_.paints.push_back(PaintOfFill(shape_.fills[style], toCanvas_, cx_, target_, solidColor_, s_));
      s_.built.push_back(style);
    }
    return s_.paints[slot];
  }

 private:
  const Shape& shape_;
  const Matrix& toCanvas_;
  const ColorTransform& cx_;
  const DrawTarget& target_;
  const Rgba* solidColor_;
  Scratch& s_;
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
  ShapeDrawer(const Shape& shape, const Matrix& toCanvas, const ColorTransform& cx, const DrawTarget& target,
              const Rgba* solidColor, Scratch& s)
      : shape_(shape), m_(toCanvas), cx_(cx), target_(target), solidColor_(solidColor), s_(s),
        canvas_{0, 0, double(target.canvas.width), double(target.canvas.height)} {}

  void Draw() {
    s_.order.resize(shape_.paths.size());
    for (std::uint32_t i = 0; i < s_.order.size(); ++i) s_.order[i] = i;
    // By layer, paths of a layer in their order (a sort that sets aside no
    // memory, unlike a stable one).
    const auto byLayer = [this](std::uint32_t p, std::uint32_t q) {
      const std::uint32_t lp = shape_.paths[p].layer, lq = shape_.paths[q].layer;
      return lp != lq ? lp < lq : p < q;
    };
    if (!std::is_sorted(s_.order.begin(), s_.order.end(), byLayer)) std::sort(s_.order.begin(), s_.order.end(), byLayer);
    for (std::size_t begin = 0; begin < s_.order.size();) {
      std::size_t end = begin + 1;
      while (end < s_.order.size() && shape_.paths[s_.order[end]].layer == shape_.paths[s_.order[begin]].layer) ++end;
      if (!Fills(begin, end) || !Strokes(begin, end)) return;
      begin = end;
    }
  }

 private:
  // Appends an edge's points after its start, in canvas pixels.
  void AppendEdge(const Edge& e, const ReachBox& box) {
    if (e.curved)
      AppendCurve(m_.Apply(e.from), m_.Apply(e.control), m_.Apply(e.to), box, s_.line);
    else
      s_.line.push_back(m_.Apply(e.to));
  }

  bool Fills(std::size_t begin, std::size_t end) {
    ScanlineRaster& raster = s_.raster;
    const std::size_t fills = shape_.fills.size();
    // A group of one fill style (most are) is summed straight into rows.
    std::int32_t only = -1;
    for (std::size_t i = begin; i < end && only != -2; ++i) {
      const Path& path = shape_.paths[s_.order[i]];
      for (const std::int32_t style : {StyleOrNone(path.fill0, fills), StyleOrNone(path.fill1, fills)})
        if (style >= 0 && style != only) only = only == -1 ? style : -2;
    }
    if (only == -1) return true;
    raster.Begin(target_.canvas.width, target_.canvas.height, std::max(only, std::int32_t{-1}), target_.budget);
    bool any = false;
    for (std::size_t i = begin; i < end; ++i) {
      const Path& path = shape_.paths[s_.order[i]];
      const std::int32_t left = StyleOrNone(path.fill0, fills), right = StyleOrNone(path.fill1, fills);
      if (left == right) continue;
      // A point that is not a number breaks the map: the styles' regions
      // are then unknown, and the group's fills are left out.
      for (const Edge& e : path.edges) {
        s_.line.assign(1, m_.Apply(e.from));
        AppendEdge(e, canvas_);
        if (!std::all_of(s_.line.begin(), s_.line.end(), Finite)) return true;
        for (std::size_t k = 1; k < s_.line.size(); ++k) raster.AddEdge(s_.line[k - 1], s_.line[k], left, right);
      }
      any = true;
    }
    if (OutOfBudget()) return false;
    if (!any || raster.CutShort()) return true;
    raster.Finish();
    FillPaints paints(shape_, m_, cx_, target_, solidColor_, s_);
    return s_.compositor.Pass(target_, raster, paints);
  }

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

  bool OutOfBudget() const { return target_.budget && target_.budget->exceeded; }

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
    ScanlineRaster& raster = s_.raster;
    raster.Begin(target_.canvas.width, target_.canvas.height, 0, target_.budget);
    Point start{}, at{};
    std::uint32_t lastPlace = 0;
    bool tooLong = false;
    const auto finishLine = [&] {
      if (s_.line.empty()) return;
      tooLong = tooLong || s_.line.size() > kMaxPolylinePoints ||
                !s_.stroker.Stroke(s_.line, start == at && s_.line.size() > 2 && !style.noClose, pen, raster);
      s_.line.clear();
    };
    s_.line.clear();
    for (std::size_t i = first; i < last; ++i) {
      const std::uint32_t place = s_.strokes[i].second;
      const Path& path = shape_.paths[s_.order[place]];
      // Paths of one line style that follow each other and meet join.
      bool joins = !s_.line.empty() && place == lastPlace + 1;
      for (const Edge& e : path.edges) {
        if (!joins || !(e.from == at)) {
          finishLine();
          s_.line.push_back(m_.Apply(e.from));
          start = e.from;
        }
        if (s_.line.size() <= kMaxPolylinePoints) AppendEdge(e, box);
        at = e.to;
        joins = true;
      }
      lastPlace = place;
      if (OutOfBudget()) return false;
    }
    finishLine();
    if (OutOfBudget()) return false;
    if (tooLong || raster.CutShort()) return true;
    raster.Finish();
    s_.rampsUsed = 0;
    OnePaint paints(style.hasFill ? PaintOfFill(style.fill, m_, cx_, target_, solidColor_, s_)
                                  : Paint::Solid(solidColor_ ? *solidColor_ : style.color, cx_));
    return s_.compositor.Pass(target_, raster, paints);
  }

  const Shape& shape_;
  const Matrix& m_;
  const ColorTransform& cx_;
  const DrawTarget& target_;
  const Rgba* solidColor_;
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
    ShapeDrawer(shape, toCanvas, cx, target, solidColor, *own).Draw();
    return;
  }
  struct Busy {
    Busy() { busy = true; }
    ~Busy() { busy = false; }
  } guard;
  ShapeDrawer(shape, toCanvas, cx, target, solidColor, scratch).Draw();
}

}  // namespace dc::swf

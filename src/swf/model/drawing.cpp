// The drawing API's canvas.
#include "swf/model/drawing.h"

#include <algorithm>
#include <cmath>

namespace dc::swf {
namespace {

// Coordinates past this many twips are held there: a rectangle of int32
// twips must hold them with the strokes' widths.
constexpr double kMaxTwips = 1 << 29;

struct Extent {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  bool any = false;
  void Add(Point p, double pad) {
    if (!any) {
      xMin = p.x - pad, xMax = p.x + pad, yMin = p.y - pad, yMax = p.y + pad;
      any = true;
      return;
    }
    xMin = std::min(xMin, p.x - pad), xMax = std::max(xMax, p.x + pad);
    yMin = std::min(yMin, p.y - pad), yMax = std::max(yMax, p.y + pad);
  }
};

// The curve's extreme points along each axis, where they lie inside it.
void AddCurve(Extent& e, const Edge& edge, double pad) {
  e.Add(edge.from, pad);
  e.Add(edge.to, pad);
  if (!edge.curved) return;
  const auto at = [&](double t) {
    const double u = 1 - t;
    return Point{u * u * edge.from.x + 2 * u * t * edge.control.x + t * t * edge.to.x,
                 u * u * edge.from.y + 2 * u * t * edge.control.y + t * t * edge.to.y};
  };
  const double dx = edge.from.x - 2 * edge.control.x + edge.to.x;
  const double dy = edge.from.y - 2 * edge.control.y + edge.to.y;
  if (dx != 0) {
    const double t = (edge.from.x - edge.control.x) / dx;
    if (t > 0 && t < 1) e.Add(at(t), pad);
  }
  if (dy != 0) {
    const double t = (edge.from.y - edge.control.y) / dy;
    if (t > 0 && t < 1) e.Add(at(t), pad);
  }
}

}  // namespace

bool Drawing::ToTwips(double x, double y, Point& out) {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  out = {std::clamp(std::round(x * kTwipsPerPixel), -kMaxTwips, kMaxTwips),
         std::clamp(std::round(y * kTwipsPerPixel), -kMaxTwips, kMaxTwips)};
  return true;
}

Drawing::Drawing(const Drawing& other)
    : shape_(other.shape_),
      pen_(other.pen_),
      contourStart_(other.contourStart_),
      fill_(other.fill_),
      line_(other.line_),
      fillPath_(other.fillPath_),
      linePath_(other.linePath_),
      layer_(other.layer_),
      strokedInLayer_(other.strokedInLayer_),
      edges_(other.edges_),
      maxEdges_(other.maxEdges_),
      pool_(other.pool_) {
  if (!pool_) return;
  if (pool_->Allows(edges_)) {
    pool_->used += edges_;
    return;
  }
  pool_->refused = true;
  edges_ = 0;
  Clear();
}

Drawing::~Drawing() {
  if (pool_) pool_->used -= edges_;
}

void Drawing::Clear() {
  if (pool_) pool_->used -= edges_;
  shape_ = Shape{};
  pen_ = contourStart_ = Point{};
  fill_ = line_ = fillPath_ = linePath_ = -1;
  layer_ = 0;
  strokedInLayer_ = false;
  edges_ = 0;
}

bool Drawing::TakeEdge() {
  if (edges_ >= maxEdges_) return false;
  if (pool_) {
    if (!pool_->Allows(1)) {
      pool_->refused = true;
      return false;
    }
    ++pool_->used;
  }
  ++edges_;
  return true;
}

void Drawing::BeginFill(const FillStyle& fill) {
  EndFill();
  if (strokedInLayer_) {
    ++layer_;
    strokedInLayer_ = false;
    linePath_ = -1;
  }
  shape_.fills.push_back(fill);
  fill_ = static_cast<std::int32_t>(shape_.fills.size() - 1);
  contourStart_ = pen_;
  fillPath_ = -1;
}

void Drawing::EndFill() {
  CloseContour();
  fill_ = -1;
}

void Drawing::SetLineStyle(const LineStyle& line) {
  shape_.lines.push_back(line);
  line_ = static_cast<std::int32_t>(shape_.lines.size() - 1);
  linePath_ = -1;
}

void Drawing::SetLineFill(const FillStyle& fill) {
  if (line_ < 0) return;
  LineStyle line = shape_.lines[static_cast<std::size_t>(line_)];
  line.hasFill = true;
  line.fill = fill;
  SetLineStyle(line);
}

void Drawing::ClearLineStyle() {
  line_ = -1;
  linePath_ = -1;
}

void Drawing::MoveTo(double x, double y) {
  Point p;
  if (!ToTwips(x, y, p)) return;
  CloseContour();
  pen_ = contourStart_ = p;
  linePath_ = -1;
}

void Drawing::LineTo(double x, double y) {
  Point p;
  if (!ToTwips(x, y, p)) return;
  AddEdge(Edge{pen_, pen_, p, false});
}

void Drawing::CurveTo(double controlX, double controlY, double x, double y) {
  Point c, p;
  if (!ToTwips(controlX, controlY, c) || !ToTwips(x, y, p)) return;
  AddEdge(Edge{pen_, c, p, true});
}

void Drawing::AddEdge(const Edge& edge) {
  if (fill_ >= 0 && TakeEdge()) {
    if (fillPath_ < 0) {
      shape_.paths.push_back(Path{fill_, -1, -1, layer_, {}});
      fillPath_ = static_cast<std::int32_t>(shape_.paths.size() - 1);
    }
    shape_.paths[static_cast<std::size_t>(fillPath_)].edges.push_back(edge);
  }
  if (line_ >= 0 && TakeEdge()) {
    if (linePath_ < 0) {
      shape_.paths.push_back(Path{-1, -1, line_, layer_, {}});
      linePath_ = static_cast<std::int32_t>(shape_.paths.size() - 1);
    }
    shape_.paths[static_cast<std::size_t>(linePath_)].edges.push_back(edge);
    strokedInLayer_ = true;
  }
  pen_ = edge.to;
}

void Drawing::CloseContour() {
  if (fillPath_ >= 0 && !(pen_ == contourStart_)) {
    // The closing side is the fill's, and the open line style's too.
    const Edge closing{pen_, pen_, contourStart_, false};
    if (TakeEdge()) shape_.paths[static_cast<std::size_t>(fillPath_)].edges.push_back(closing);
    if (line_ >= 0 && TakeEdge()) {
      if (linePath_ < 0) {
        shape_.paths.push_back(Path{-1, -1, line_, layer_, {}});
        linePath_ = static_cast<std::int32_t>(shape_.paths.size() - 1);
      }
      shape_.paths[static_cast<std::size_t>(linePath_)].edges.push_back(closing);
      strokedInLayer_ = true;
    }
  }
  fillPath_ = -1;
  contourStart_ = pen_;
}

Shape Drawing::Current() const {
  Shape s = shape_;
  if (fillPath_ >= 0 && !(pen_ == contourStart_)) {
    const Edge closing{pen_, pen_, contourStart_, false};
    s.paths[static_cast<std::size_t>(fillPath_)].edges.push_back(closing);
    if (line_ >= 0 && linePath_ >= 0)
      s.paths[static_cast<std::size_t>(linePath_)].edges.push_back(closing);
    else if (line_ >= 0)
      s.paths.push_back(Path{-1, -1, line_, layer_, {closing}});
  }
  Extent e;
  for (const Path& p : s.paths) {
    const double pad = p.line >= 0 ? s.lines[static_cast<std::size_t>(p.line)].width / 2.0 : 0.0;
    for (const Edge& edge : p.edges) AddCurve(e, edge, pad);
  }
  if (e.any)
    s.bounds = TwipRect{static_cast<std::int32_t>(std::floor(e.xMin)), static_cast<std::int32_t>(std::ceil(e.xMax)),
                        static_cast<std::int32_t>(std::floor(e.yMin)), static_cast<std::int32_t>(std::ceil(e.yMax))};
  return s;
}

}  // namespace dc::swf

// Strokes as polygons: bodies, joins and caps of a polyline, each convex.
#include "swf/stroke.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/flatten.h"

namespace dc::swf {

namespace {

// Points closer than this are one point: a direction between them would be
// noise, and a miter along it a spike.
constexpr double kSamePoint = 1e-3;

Point Sum(Point p, Point q) { return {p.x + q.x, p.y + q.y}; }
Point Difference(Point p, Point q) { return {p.x - q.x, p.y - q.y}; }
Point Times(Point p, double f) { return {p.x * f, p.y * f}; }
double DotProduct(Point p, Point q) { return p.x * q.x + p.y * q.y; }
double Cross(Point p, Point q) { return p.x * q.y - p.y * q.x; }
// `d` turned a quarter from x towards y.
Point QuarterTurn(Point d) { return {-d.y, d.x}; }
Point Unit(Point from, Point to) {
  const Point d = Difference(to, from);
  const double length = std::hypot(d.x, d.y);
  return Times(d, 1 / length);
}

}  // namespace

void Stroker::Stroke(const std::vector<Point>& points, bool closed, const Pen& pen, ScanlineRaster& raster) {
  raster_ = &raster;
  pen_ = pen;
  const double r = pen.halfWidth;
  if (!(r > 0) || !std::isfinite(r)) return;
  // The widest angle whose chord stays within the tolerance of the arc.
  arcStep_ = r > kFlattenTolerance ? 2 * std::acos(1 - kFlattenTolerance / r) : std::numbers::pi / 2;
  arcStep_ = std::max(arcStep_, std::numbers::pi / 64);

  points_.clear();
  for (const Point& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;  // a line through nowhere
    if (points_.empty() || std::hypot(p.x - points_.back().x, p.y - points_.back().y) > kSamePoint)
      points_.push_back(p);
  }
  if (closed && points_.size() > 1 &&
      std::hypot(points_.back().x - points_[0].x, points_.back().y - points_[0].y) <= kSamePoint)
    points_.pop_back();
  const std::size_t n = points_.size();
  if (n == 0) return;
  if (n == 1) {
    Dot(points_[0], pen.startCap);
    return;
  }
  const std::size_t segments = closed ? n : n - 1;
  for (std::size_t i = 0; i < segments; ++i) Body(points_[i], points_[(i + 1) % n]);
  if (closed) {
    for (std::size_t i = 0; i < n; ++i) Join(points_[(i + n - 1) % n], points_[i], points_[(i + 1) % n]);
  } else {
    for (std::size_t i = 1; i + 1 < n; ++i) Join(points_[i - 1], points_[i], points_[i + 1]);
    Cap(points_[0], Unit(points_[0], points_[1]), pen.startCap, false);
    Cap(points_[n - 1], Unit(points_[n - 2], points_[n - 1]), pen.endCap, true);
  }
}

void Stroker::Body(Point a, Point b) {
  const Point side = Times(QuarterTurn(Unit(a, b)), pen_.halfWidth);
  piece_ = {Sum(a, side), Sum(b, side), Difference(b, side), Difference(a, side)};
  Emit();
}

void Stroker::Join(Point before, Point corner, Point after) {
  const Point d1 = Unit(before, corner), d2 = Unit(corner, after);
  const double cross = Cross(d1, d2), dot = DotProduct(d1, d2);
  if (std::abs(cross) < 1e-9 && dot > 0) return;  // straight on: the bodies meet flush
  const double h = pen_.halfWidth;
  // The corner's outer side, where the bodies leave a wedge open; a path
  // that turns right back counts as turning one way.
  const double outward = cross > 0 ? -1 : 1;
  const Point o1 = Times(QuarterTurn(d1), outward * h), o2 = Times(QuarterTurn(d2), outward * h);
  const double turn = std::atan2(std::abs(cross), dot);  // 0..π
  piece_ = {corner, Sum(corner, o1)};
  switch (pen_.join) {
    case JoinStyle::Round:
      AppendArc(corner, o1, o2, cross > 0 ? turn : -turn);
      break;
    case JoinStyle::Bevel:
      piece_.push_back(Sum(corner, o2));
      break;
    case JoinStyle::Miter: {
      const Point mid = Sum(o1, o2);
      const double midLength = std::hypot(mid.x, mid.y);
      const Point bisector = midLength > 1e-12 * h ? Times(mid, 1 / midLength) : d1;
      const double reach = std::max(1.0, std::isfinite(pen_.miterLimit) ? pen_.miterLimit : 1.0) * h;
      const double cosHalf = std::cos(turn / 2);
      if (h <= reach * cosHalf) {
        piece_.push_back(Sum(corner, Times(bisector, h / cosHalf)));  // the whole miter
      } else if (reach > h * cosHalf) {
        // Cut square to the bisector where the miter passes its limit.
        const double s1 = (reach - DotProduct(o1, bisector)) / DotProduct(d1, bisector);
        const double s2 = (reach - DotProduct(o2, bisector)) / -DotProduct(d2, bisector);
        piece_.push_back(Sum(Sum(corner, o1), Times(d1, s1)));
        piece_.push_back(Difference(Sum(corner, o2), Times(d2, s2)));
      }
      piece_.push_back(Sum(corner, o2));
      break;
    }
  }
  Emit();
}

void Stroker::Cap(Point end, Point direction, CapStyle cap, bool last) {
  const double h = pen_.halfWidth;
  const Point side = Times(QuarterTurn(direction), h);
  const Point out = Times(direction, last ? h : -h);
  switch (cap) {
    case CapStyle::None:
      return;
    case CapStyle::Square:
      piece_ = {Sum(end, side), Sum(Sum(end, side), out), Sum(Difference(end, side), out), Difference(end, side)};
      break;
    case CapStyle::Round:
      piece_ = {Sum(end, side)};
      AppendArc(end, side, Times(side, -1), last ? -std::numbers::pi : std::numbers::pi);
      break;
  }
  Emit();
}

void Stroker::Dot(Point centre, CapStyle cap) {
  const double h = pen_.halfWidth;
  if (cap == CapStyle::None) return;
  if (cap == CapStyle::Square) {
    piece_ = {{centre.x - h, centre.y - h}, {centre.x + h, centre.y - h}, {centre.x + h, centre.y + h},
              {centre.x - h, centre.y + h}};
  } else {
    piece_ = {{centre.x + h, centre.y}};
    AppendArc(centre, {h, 0}, {h, 0}, 2 * std::numbers::pi);
    piece_.pop_back();  // back where it started
  }
  Emit();
}

void Stroker::AppendArc(Point centre, Point from, Point to, double sweep) {
  const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / arcStep_)));
  const double c = std::cos(sweep / steps), s = std::sin(sweep / steps);
  Point v = from;
  for (int i = 1; i < steps; ++i) {
    v = {v.x * c - v.y * s, v.x * s + v.y * c};
    piece_.push_back(Sum(centre, v));
  }
  piece_.push_back(Sum(centre, to));
}

void Stroker::Emit() { raster_->AddPolygon(piece_.data(), piece_.size()); }

}  // namespace dc::swf

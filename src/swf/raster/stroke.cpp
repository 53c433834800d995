// Strokes as polygons: the outline of a polyline with its joins and caps.
#include "swf/raster/stroke.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/raster/flatten.h"

namespace dc::swf {

namespace {

// Points closer than this are one point: a direction between them would be
// noise, and a miter along it a spike.
constexpr double kSamePoint = 1e-3;
constexpr double kMostArcStep = std::numbers::pi / 4;

Point Sum(Point p, Point q) { return {p.x + q.x, p.y + q.y}; }
Point Difference(Point p, Point q) { return {p.x - q.x, p.y - q.y}; }
Point Times(Point p, double f) { return {p.x * f, p.y * f}; }
double DotProduct(Point p, Point q) { return p.x * q.x + p.y * q.y; }
double Cross(Point p, Point q) { return p.x * q.y - p.y * q.x; }
// `d` turned a quarter from x towards y: the left of a direction.
Point Left(Point d) { return {-d.y, d.x}; }

}  // namespace

bool Stroker::Stroke(const std::vector<Point>& points, bool closed, const Pen& pen, ScanlineRaster& raster) {
  pen_ = pen;
  const double h = pen.halfWidth;
  if (!(h > 0) || !std::isfinite(h)) return true;
  // The widest angle whose chord stays within the tolerance of the arc, and
  // never more than an eighth of a turn: a thin pen's round ends and joins
  // are at least octagons, so that a centre just inside the circle is in.
  arcStep_ = h > kFlattenTolerance ? 2 * std::acos(1 - kFlattenTolerance / h) : kMostArcStep;
  arcStep_ = std::clamp(arcStep_, std::numbers::pi / 64, kMostArcStep);

  points_.clear();
  for (const Point& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return true;  // a line through nowhere
    if (points_.empty() || std::hypot(p.x - points_.back().x, p.y - points_.back().y) > kSamePoint)
      points_.push_back(p);
  }
  if (closed && points_.size() > 1 &&
      std::hypot(points_.back().x - points_[0].x, points_.back().y - points_[0].y) <= kSamePoint)
    points_.pop_back();
  const std::size_t n = points_.size();
  outline_.clear();
  ends_.clear();
  if (n == 0) return true;
  // Each corner adds at most a half circle of arc steps and three points.
  const double perCorner = std::numbers::pi / arcStep_ + 4;
  if (double(n) * perCorner + 2 * perCorner > double(kMaxOutlinePoints)) return false;
  if (n == 1) {
    Dot(points_[0], pen.startCap);
  } else {
    closed = closed && n > 2;
    const std::size_t segments = closed ? n : n - 1;
    directions_.resize(segments);
    lengths_.resize(segments);
    for (std::size_t i = 0; i < segments; ++i) {
      const Point d = Difference(points_[(i + 1) % n], points_[i]);
      lengths_[i] = std::hypot(d.x, d.y);
      directions_[i] = Times(d, 1 / lengths_[i]);
    }
    if (closed) {
      Side(false, true);
      EndContour();
      Side(true, true);
      EndContour();
    } else {
      Side(false, false);
      Cap(points_[n - 1], directions_[n - 2], pen.endCap);
      Side(true, false);
      Cap(points_[0], Times(directions_[0], -1), pen.startCap);
      EndContour();
    }
  }
  raster.AddContours(outline_.data(), ends_.data(), ends_.size());
  return true;
}

void Stroker::Side(bool backward, bool closed) {
  const std::size_t n = points_.size(), segments = directions_.size();
  // Travelled backward, segment k is forward segment segments - 1 - k
  // reversed, and the left side is the forward path's right.
  const auto direction = [&](std::size_t k) {
    return backward ? Times(directions_[segments - 1 - k], -1) : directions_[k];
  };
  const auto length = [&](std::size_t k) { return lengths_[backward ? segments - 1 - k : k]; };
  const auto point = [&](std::size_t k) {
    return !backward ? points_[k] : closed ? points_[(n - k) % n] : points_[n - 1 - k];
  };
  const double h = pen_.halfWidth;
  if (closed) {
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t before = (k + segments - 1) % segments;
      Join(point(k), direction(before), direction(k), length(before), length(k));
    }
    return;
  }
  outline_.push_back(Sum(point(0), Times(Left(direction(0)), h)));
  for (std::size_t k = 1; k + 1 < n; ++k) Join(point(k), direction(k - 1), direction(k), length(k - 1), length(k));
  outline_.push_back(Sum(point(n - 1), Times(Left(direction(segments - 1)), h)));
}

void Stroker::Join(Point corner, Point d1, Point d2, double length1, double length2) {
  const double h = pen_.halfWidth;
  const double cross = Cross(d1, d2), dot = DotProduct(d1, d2);
  const Point o1 = Times(Left(d1), h), o2 = Times(Left(d2), h);
  if (std::abs(cross) < 1e-9 && dot > 0) {  // straight on
    outline_.push_back(Sum(corner, o1));
    return;
  }
  if (cross > 0) {
    // The inner side: the offset lines cross h·tan(θ/2) before the corner.
    if (h * cross <= (1 + dot) * std::min(length1, length2) / 2) {
      outline_.push_back(Difference(Sum(corner, o1), Times(d1, h * cross / (1 + dot))));
    } else {
      outline_.push_back(Sum(corner, o1));
      outline_.push_back(corner);
      outline_.push_back(Sum(corner, o2));
    }
    return;
  }
  // The outer side; a path that turns right back counts as turning here.
  const double turn = std::atan2(-cross, dot);  // 0..π
  outline_.push_back(Sum(corner, o1));
  switch (pen_.join) {
    case JoinStyle::Round:
      AppendArc(corner, o1, o2, -turn);
      return;
    case JoinStyle::Bevel:
      break;
    case JoinStyle::Miter: {
      const Point mid = Sum(o1, o2);
      const double midLength = std::hypot(mid.x, mid.y);
      const Point bisector = midLength > 1e-12 * h ? Times(mid, 1 / midLength) : d1;
      const double reach = std::max(1.0, std::isfinite(pen_.miterLimit) ? pen_.miterLimit : 1.0) * h;
      const double cosHalf = std::cos(turn / 2);
      if (h <= reach * cosHalf) {
        outline_.push_back(Sum(corner, Times(bisector, h / cosHalf)));  // the whole miter
      } else if (reach > h * cosHalf) {
        // Cut square to the bisector where the miter passes its limit.
        const double s1 = (reach - DotProduct(o1, bisector)) / DotProduct(d1, bisector);
        const double s2 = (reach - DotProduct(o2, bisector)) / -DotProduct(d2, bisector);
        outline_.push_back(Sum(Sum(corner, o1), Times(d1, s1)));
        outline_.push_back(Difference(Sum(corner, o2), Times(d2, s2)));
      }
      break;
    }
  }
  outline_.push_back(Sum(corner, o2));
}

void Stroker::Cap(Point end, Point out, CapStyle cap) {
  const Point side = Times(Left(out), pen_.halfWidth);
  switch (cap) {
    case CapStyle::None:
      return;
    case CapStyle::Square: {
      const Point ahead = Times(out, pen_.halfWidth);
      outline_.push_back(Sum(Sum(end, side), ahead));
      outline_.push_back(Sum(Difference(end, side), ahead));
      return;
    }
    case CapStyle::Round:
      AppendArc(end, side, Times(side, -1), -std::numbers::pi);
      return;
  }
}

void Stroker::Dot(Point centre, CapStyle cap) {
  const double h = pen_.halfWidth;
  if (cap == CapStyle::None) return;
  if (cap == CapStyle::Square) {
    outline_.insert(outline_.end(), {{centre.x - h, centre.y - h},
                                     {centre.x + h, centre.y - h},
                                     {centre.x + h, centre.y + h},
                                     {centre.x - h, centre.y + h}});
  } else {
    outline_.push_back({centre.x + h, centre.y});
    AppendArc(centre, {h, 0}, {h, 0}, 2 * std::numbers::pi);
    outline_.pop_back();  // back where it started
  }
  EndContour();
}

void Stroker::AppendArc(Point centre, Point from, Point to, double sweep) {
  const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / arcStep_)));
  const double c = std::cos(sweep / steps), s = std::sin(sweep / steps);
  Point v = from;
  for (int i = 1; i < steps; ++i) {
    v = {v.x * c - v.y * s, v.x * s + v.y * c};
    outline_.push_back(Sum(centre, v));
  }
  outline_.push_back(Sum(centre, to));
}

}  // namespace dc::swf

// Reading the system's glyph outline buffer into a glyph shape.
#include "swf/text/system_outline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace dc::swf {
namespace {

constexpr std::size_t kPolygonHeaderBytes = 16;  // length, kind, start point
constexpr std::size_t kCurveHeaderBytes = 4;     // kind, count
constexpr std::size_t kPointBytes = 8;

class BufferReader {
 public:
  explicit BufferReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Has(std::size_t n) const { return bytes_.size() - at_ >= n; }
  std::size_t At() const { return at_; }
  std::uint16_t U16() {
    const std::uint16_t v = static_cast<std::uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return v;
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | static_cast<std::uint32_t>(U16()) << 16;
  }
  // A 16.16 fixed point pair, y turned down.
  Point Fixed() {
    const double x = static_cast<std::int32_t>(U32()) / 65536.0;
    const double y = static_cast<std::int32_t>(U32()) / 65536.0;
    return {x, y == 0 ? 0 : -y};
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

Point Mid(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

class ContourWriter {
 public:
  explicit ContourWriter(Point start) : start_(start), pen_(start) {}
  void Line(Point to) {
    edges_.push_back({pen_, {}, to, false});
    pen_ = to;
  }
  void Quad(Point control, Point to) {
    edges_.push_back({pen_, control, to, true});
    pen_ = to;
  }
  // One cubic piece as two quadratics, split at its middle; each half
  // takes the control point (3 (c1 + c2) - (p0 + p3)) / 4 of its own
  // cubic, near enough for the gentle pieces of a glyph.
  void Cubic(Point c1, Point c2, Point to) {
    const Point p0 = pen_;
    const Point a = Mid(p0, c1), b = Mid(c1, c2), c = Mid(c2, to);
    const Point ab = Mid(a, b), bc = Mid(b, c), mid = Mid(ab, bc);
    const auto control = [](Point q0, Point q1, Point q2, Point q3) {
      return Point{(3 * (q1.x + q2.x) - q0.x - q3.x) / 4, (3 * (q1.y + q2.y) - q0.y - q3.y) / 4};
    };
    Quad(control(p0, a, ab, mid), mid);
    Quad(control(mid, bc, c, to), to);
  }
  Path Close() {
    if (pen_ != start_) Line(start_);
    Path path;
    path.fill1 = 0;
    path.edges = std::move(edges_);
    return path;
  }

 private:
  Point start_, pen_;
  std::vector<Edge> edges_;
};

// Reads one curve record's points into `out`; false when it is damaged.
bool ReadCurve(BufferReader& in, std::size_t end, ContourWriter& out) {
  if (end - in.At() < kCurveHeaderBytes) return false;
  const std::uint16_t kind = in.U16();
  const std::uint16_t count = in.U16();
  if (count == 0 || (end - in.At()) / kPointBytes < count) return false;
  std::vector<Point> p(count);
  for (Point& point : p) point = in.Fixed();
  switch (kind) {
    case kOutlineLine:
      for (const Point& point : p) out.Line(point);
      return true;
    case kOutlineQuadratic:
      if (count < 2) return false;
      for (std::size_t i = 0; i + 2 < p.size(); ++i) out.Quad(p[i], Mid(p[i], p[i + 1]));
      out.Quad(p[count - 2], p[count - 1]);
      return true;
    case kOutlineCubic:
      if (count % 3 != 0) return false;
      for (std::size_t i = 0; i < p.size(); i += 3) out.Cubic(p[i], p[i + 1], p[i + 2]);
      return true;
    default:
      return false;
  }
}

TwipRect BoundsOf(const Shape& shape) {
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  bool any = false;
  const auto add = [&](Point p) {
    x0 = any ? std::min(x0, p.x) : p.x;
    x1 = any ? std::max(x1, p.x) : p.x;
    y0 = any ? std::min(y0, p.y) : p.y;
    y1 = any ? std::max(y1, p.y) : p.y;
    any = true;
  };
  for (const Path& path : shape.paths) {
    for (const Edge& e : path.edges) {
      add(e.from);
      add(e.to);
      if (e.curved) add(e.control);
    }
  }
  return {static_cast<std::int32_t>(std::floor(x0)), static_cast<std::int32_t>(std::ceil(x1)),
          static_cast<std::int32_t>(std::floor(y0)), static_cast<std::int32_t>(std::ceil(y1))};
}

}  // namespace

std::optional<Shape> ReadSystemOutline(std::span<const std::uint8_t> bytes) {
  Shape shape;
  shape.fillRule = FillRule::NonZero;  // contours of one glyph may overlap
  shape.fills.push_back(FillStyle{});
  BufferReader in(bytes);
  while (in.Has(1)) {
    const std::size_t begin = in.At();
    if (!in.Has(kPolygonHeaderBytes)) return std::nullopt;
    const std::uint32_t length = in.U32();
    const std::uint32_t kind = in.U32();
    if (kind != kOutlinePolygonType || length < kPolygonHeaderBytes || bytes.size() - begin < length)
      return std::nullopt;
    const std::size_t end = begin + length;
    ContourWriter contour(in.Fixed());
    while (in.At() < end) {
      if (!ReadCurve(in, end, contour)) return std::nullopt;
    }
    Path path = contour.Close();
    if (!path.edges.empty()) shape.paths.push_back(std::move(path));
  }
  shape.bounds = BoundsOf(shape);
  return shape;
}

}  // namespace dc::swf

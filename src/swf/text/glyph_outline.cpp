// Glyph outlines from the construction language.
#include "swf/text/glyph_outline.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace dc::swf {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

// The closed contours of one glyph, in glyph space (y down).
class OutlineWriter {
 public:
  explicit OutlineWriter(Shape& shape) : shape_(shape) {}

  void MoveTo(Point p) {
    edges_.clear();
    start_ = current_ = p;
  }
  void LineTo(Point p) {
    if (p == current_) return;
    edges_.push_back({current_, {}, p, false});
    current_ = p;
  }
  void CurveTo(Point control, Point p) {
    edges_.push_back({current_, control, p, true});
    current_ = p;
  }
  // The stretch of the ellipse around `c` from parameter t0 to t1 (radians, y
  // down), from the current point, which must be the ellipse at t0. Each
  // quadratic spans at most 45°, where it strays at most 0.32% of the
  // radius off the ellipse.
  void ArcTo(Point c, double rx, double ry, double t0, double t1) {
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(t1 - t0) / (std::numbers::pi / 4) - 1e-9)));
    const double step = (t1 - t0) / pieces, reach = 1 / std::cos(step / 2);
    for (int i = 0; i < pieces; ++i) {
      const double mid = t0 + (i + 0.5) * step, end = t0 + (i + 1) * step;
      CurveTo({c.x + rx * reach * std::cos(mid), c.y + ry * reach * std::sin(mid)},
              {c.x + rx * std::cos(end), c.y + ry * std::sin(end)});
    }
  }
  // Ends the contour at its start exactly and turns it so that the glyph's
  // fill lies on the right of travel (or, for a hole, on the left).
  void Close(bool hole = false) {
    if (!edges_.empty() && current_ != start_) {
      Edge& last = edges_.back();
      if (std::abs(last.to.x - start_.x) < 1e-6 && std::abs(last.to.y - start_.y) < 1e-6)
        last.to = start_;
      else
        LineTo(start_);
    }
    if (edges_.size() < 2) {
      edges_.clear();
      return;
    }
    if ((SignedArea() < 0) != hole) Reverse();
    Path path;
    path.fill1 = 0;
    path.edges = std::move(edges_);
    shape_.paths.push_back(std::move(path));
    edges_.clear();
  }

 private:
  // Twice the enclosed area, positive when the contour runs clockwise on
  // screen; a curve adds two thirds of the triangle its control point makes.
  double SignedArea() const {
    double sum = 0;
    for (const Edge& e : edges_) {
      sum += e.from.x * e.to.y - e.to.x * e.from.y;
      if (e.curved) {
        sum += 2.0 / 3 * ((e.control.x - e.from.x) * (e.to.y - e.from.y) - (e.control.y - e.from.y) * (e.to.x - e.from.x));
      }
    }
    return sum;
  }
  void Reverse() {
    std::reverse(edges_.begin(), edges_.end());
    for (Edge& e : edges_) std::swap(e.from, e.to);
  }

  Shape& shape_;
  std::vector<Edge> edges_;
  Point start_, current_;
};

class CommandReader {
 public:
  explicit CommandReader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipSpace();
    return pos_ >= text_.size();
  }
  char Command() {
    SkipSpace();
    const char c = text_[pos_++];
    if (!std::isalpha(static_cast<unsigned char>(c))) Fail("a command letter");
    return c;
  }
  double Number() {
    SkipSpace();
    double value = 0;
    const auto [end, error] = std::from_chars(text_.data() + pos_, text_.data() + text_.size(), value);
    if (error != std::errc{}) Fail("a number");
    pos_ = static_cast<std::size_t>(end - text_.data());
    return value;
  }
  // A point in glyph space from the text's x and y-up pair.
  Point At() {
    const double x = Number();
    return {x, -Number()};
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == ',')) ++pos_;
  }
  [[noreturn]] void Fail(const char* wanted) const {
    throw std::invalid_argument("glyph outline: expected " + std::string(wanted) + " at " + std::to_string(pos_) +
                                " in \"" + std::string(text_) + "\"");
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

void AddQuad(OutlineWriter& out, Point p0, Point p1, Point p2, Point p3) {
  out.MoveTo(p0);
  out.LineTo(p1);
  out.LineTo(p2);
  out.LineTo(p3);
  out.Close();
}

// A stroke of width `w` from a to b; `cut` says how its ends are cut:
// 'V' level, 'H' upright, 'N' square to the stroke. A level cut of a level
// stroke (or an upright cut of an upright one) falls back to square.
void AddStroke(OutlineWriter& out, char cut, Point a, Point b, double w) {
  const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
  if (length == 0) return;
  if (cut == 'V' && std::abs(dy) > 1e-9) {
    const double half = w * length / (2 * std::abs(dy));
    AddQuad(out, {a.x - half, a.y}, {a.x + half, a.y}, {b.x + half, b.y}, {b.x - half, b.y});
  } else if (cut == 'H' && std::abs(dx) > 1e-9) {
    const double half = w * length / (2 * std::abs(dx));
    AddQuad(out, {a.x, a.y - half}, {a.x, a.y + half}, {b.x, b.y + half}, {b.x, b.y - half});
  } else {
    const double nx = -dy / length * w / 2, ny = dx / length * w / 2;
    AddQuad(out, {a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny});
  }
}

void AddEllipse(OutlineWriter& out, Point c, double rx, double ry, bool hole) {
  if (rx <= 0 || ry <= 0) return;
  out.MoveTo({c.x + rx, c.y});
  out.ArcTo(c, rx, ry, 0, 2 * std::numbers::pi);
  out.Close(hole);
}

// The ring inside the box: `w` wide, its inner edge the outer ellipse
// shrunk by `w` on every side.
void AddRing(OutlineWriter& out, Point corner0, Point corner1, double w) {
  const Point c{(corner0.x + corner1.x) / 2, (corner0.y + corner1.y) / 2};
  const double rx = std::abs(corner1.x - corner0.x) / 2, ry = std::abs(corner1.y - corner0.y) / 2;
  AddEllipse(out, c, rx, ry, false);
  AddEllipse(out, c, rx - w, ry - w, true);
}

// The stretch of that ring from angle a0 to a1 (degrees, counter-clockwise with y
// up), cut along the radius at both ends.
void AddArc(OutlineWriter& out, Point corner0, Point corner1, double a0, double a1, double w) {
  const Point c{(corner0.x + corner1.x) / 2, (corner0.y + corner1.y) / 2};
  const double rx = std::abs(corner1.x - corner0.x) / 2, ry = std::abs(corner1.y - corner0.y) / 2;
  const double irx = std::max(rx - w, 1.0), iry = std::max(ry - w, 1.0);
  // Counter-clockwise with y up is a falling parameter with y down.
  const double t0 = -a0 * kDegree, t1 = -a1 * kDegree;
  out.MoveTo({c.x + rx * std::cos(t0), c.y + ry * std::sin(t0)});
  out.ArcTo(c, rx, ry, t0, t1);
  out.LineTo({c.x + irx * std::cos(t1), c.y + iry * std::sin(t1)});
  out.ArcTo(c, irx, iry, t1, t0);
  out.Close();
}

// The outline's extent: a curve reaches past its ends only where it turns
// back on an axis, at t = (from - control) / (from - 2·control + to).
TwipRect BoundsOf(const Shape& shape) {
  double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
  const auto take = [&](Point p) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  };
  const auto turn = [](double from, double control, double to) {
    const double bend = from - 2 * control + to;
    const double t = bend == 0 ? -1 : (from - control) / bend;
    return t > 0 && t < 1 ? (1 - t) * (1 - t) * from + 2 * t * (1 - t) * control + t * t * to : from;
  };
  for (const Path& path : shape.paths) {
    for (const Edge& e : path.edges) {
      take(e.from);
      take(e.to);
      if (e.curved) take({turn(e.from.x, e.control.x, e.to.x), turn(e.from.y, e.control.y, e.to.y)});
    }
  }
  if (x0 > x1) return {};
  // Rounding noise of the arcs' sines and cosines does not widen the box.
  constexpr double kNoise = 1e-6;
  return {static_cast<std::int32_t>(std::floor(x0 + kNoise)), static_cast<std::int32_t>(std::ceil(x1 - kNoise)),
          static_cast<std::int32_t>(std::floor(y0 + kNoise)), static_cast<std::int32_t>(std::ceil(y1 - kNoise))};
}

}  // namespace

Shape BuildGlyphOutline(std::string_view commands, double strokeWidth) {
  Shape shape;
  shape.fillRule = FillRule::NonZero;  // the strokes overlap
  shape.fills.push_back(FillStyle{});
  OutlineWriter out(shape);
  CommandReader in(commands);
  double w = strokeWidth;
  bool open = false;  // a free outline is being written
  while (!in.AtEnd()) {
    const char command = in.Command();
    if (open && command != 'L' && command != 'Q' && command != 'Z')
      throw std::invalid_argument("glyph outline: an outline not closed by Z in \"" + std::string(commands) + "\"");
    switch (command) {
      case 'B': {
        const Point p0 = in.At(), p1 = in.At();
        AddQuad(out, p0, {p1.x, p0.y}, p1, {p0.x, p1.y});
        break;
      }
      case 'V':
      case 'H':
      case 'N': {
        const Point a = in.At(), b = in.At();
        AddStroke(out, command, a, b, w);
        break;
      }
      case 'O': {
        const Point p0 = in.At(), p1 = in.At();
        AddRing(out, p0, p1, w);
        break;
      }
      case 'A': {
        const Point p0 = in.At(), p1 = in.At();
        const double a0 = in.Number(), a1 = in.Number();
        AddArc(out, p0, p1, a0, a1, w);
        break;
      }
      case 'D': {
        const Point c = in.At();
        const double r = in.Number();
        AddEllipse(out, c, r, r, false);
        break;
      }
      case 'M':
        out.MoveTo(in.At());
        open = true;
        break;
      case 'L':
        if (!open) throw std::invalid_argument("glyph outline: L without M");
        out.LineTo(in.At());
        break;
      case 'Q': {
        if (!open) throw std::invalid_argument("glyph outline: Q without M");
        const Point control = in.At(), to = in.At();
        out.CurveTo(control, to);
        break;
      }
      case 'Z':
        if (!open) throw std::invalid_argument("glyph outline: Z without M");
        out.Close();
        open = false;
        break;
      case 'W':
        w = in.Number();
        break;
      default:
        throw std::invalid_argument("glyph outline: unknown command " + std::string(1, command));
    }
  }
  if (open) throw std::invalid_argument("glyph outline: an outline not closed by Z in \"" + std::string(commands) + "\"");
  shape.bounds = BoundsOf(shape);
  return shape;
}

void AppendOutline(Shape& into, const Shape& from, const Matrix& map) {
  if (into.fills.empty()) into.fills.push_back(FillStyle{});
  into.fillRule = FillRule::NonZero;
  for (Path path : from.paths) {
    for (Edge& e : path.edges) {
      e.from = map.Apply(e.from);
      e.control = e.curved ? map.Apply(e.control) : Point{};
      e.to = map.Apply(e.to);
    }
    into.paths.push_back(std::move(path));
  }
  into.bounds = BoundsOf(into);
}

}  // namespace dc::swf

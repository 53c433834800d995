// Every value of a shape tween, taken the same fraction of the way from
// its start to its end.
#include "swf/model/morph.h"

#include <cmath>
#include <cstddef>

namespace dc::swf {
namespace {

struct Tween {
  double t;

  double Mix(double a, double b) const { return a + (b - a) * t; }
  // Flash truncates a tween's colours and ratios.
  std::uint8_t Byte(std::uint8_t a, std::uint8_t b) const { return static_cast<std::uint8_t>(Mix(a, b)); }
  std::int32_t Twips(std::int32_t a, std::int32_t b) const {
    return static_cast<std::int32_t>(std::lround(Mix(a, b)));
  }
  Point Mix(Point a, Point b) const { return {Mix(a.x, b.x), Mix(a.y, b.y)}; }
  Rgba Mix(Rgba a, Rgba b) const { return {Byte(a.r, b.r), Byte(a.g, b.g), Byte(a.b, b.b), Byte(a.a, b.a)}; }
  Matrix Mix(const Matrix& a, const Matrix& b) const {
    return {Mix(a.a, b.a), Mix(a.b, b.b), Mix(a.c, b.c), Mix(a.d, b.d), Mix(a.tx, b.tx), Mix(a.ty, b.ty)};
  }
  TwipRect Mix(const TwipRect& a, const TwipRect& b) const {
    return {Twips(a.xMin, b.xMin), Twips(a.xMax, b.xMax), Twips(a.yMin, b.yMin), Twips(a.yMax, b.yMax)};
  }

  FillStyle Mix(const FillStyle& a, const FillStyle& b) const {
    FillStyle f = a;
    f.color = Mix(a.color, b.color);
    f.matrix = Mix(a.matrix, b.matrix);
    f.gradient.focalPoint = Mix(a.gradient.focalPoint, b.gradient.focalPoint);
    for (std::size_t i = 0; i < f.gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
      f.gradient.stops[i].ratio = Byte(a.gradient.stops[i].ratio, b.gradient.stops[i].ratio);
      f.gradient.stops[i].color = Mix(a.gradient.stops[i].color, b.gradient.stops[i].color);
    }
    return f;
  }

  LineStyle Mix(const LineStyle& a, const LineStyle& b) const {
    LineStyle l = a;
    l.width = static_cast<std::uint16_t>(std::lround(Mix(a.width, b.width)));
    l.color = Mix(a.color, b.color);
    if (a.hasFill) l.fill = Mix(a.fill, b.fill);
    return l;
  }
};

}  // namespace

TwipRect MorphBoundsAt(const MorphShape& morph, std::uint16_t ratio) {
  return Tween{ratio / 65535.0}.Mix(morph.start.bounds, morph.end.bounds);
}

Shape MorphAt(const MorphShape& morph, std::uint16_t ratio) {
  if (ratio == 0) return morph.start;
  if (ratio == 65535) return morph.end;
  const Tween tween{ratio / 65535.0};
  const Shape& a = morph.start;
  const Shape& b = morph.end;
  Shape out;
  out.bounds = tween.Mix(a.bounds, b.bounds);
  out.fills.reserve(a.fills.size());
  for (std::size_t i = 0; i < a.fills.size(); ++i) out.fills.push_back(tween.Mix(a.fills[i], b.fills[i]));
  out.lines.reserve(a.lines.size());
  for (std::size_t i = 0; i < a.lines.size(); ++i) out.lines.push_back(tween.Mix(a.lines[i], b.lines[i]));
  out.paths.reserve(a.paths.size());
  for (std::size_t p = 0; p < a.paths.size(); ++p) {
    Path path = a.paths[p];
    const Path& to = b.paths[p];
    for (std::size_t e = 0; e < path.edges.size(); ++e) {
      Edge& edge = path.edges[e];
      edge.from = tween.Mix(edge.from, to.edges[e].from);
      edge.control = tween.Mix(edge.control, to.edges[e].control);
      edge.to = tween.Mix(edge.to, to.edges[e].to);
    }
    out.paths.push_back(std::move(path));
  }
  return out;
}

}  // namespace dc::swf

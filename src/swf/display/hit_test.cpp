// Points against shapes: a ray to the right counts the crossings of each
// fill style's edges (curves taken as short lines), strokes are within half
// their width (a hairline a pixel wide). The mouse's target is found in one
// walk from the top of the display list down.
#include "swf/display/hit_test.h"

#include "swf/display/display_tree.h"
#include "swf/text/text_layout.h"

#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

namespace dc::swf {
namespace {

constexpr int kCurvePieces = 8;

double SegmentDistanceSquared(Point a, Point b, Point p) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len = dx * dx + dy * dy;
  double t = len > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double x = a.x + t * dx - p.x, y = a.y + t * dy - p.y;
  return x * x + y * y;
}

bool BoxContains(const TwipRect& r, Point p) {
  return !r.Empty() && p.x >= r.xMin && p.x <= r.xMax && p.y >= r.yMin && p.y <= r.yMax;
}

bool ShapeContains(const Shape& shape, Point p, std::uint64_t& edges) {
  // Glyph outlines come without bounds.
  if (!shape.bounds.Empty() && !BoxContains(shape.bounds, p)) return false;
  std::vector<int> winding(shape.fills.size(), 0);
  for (const Path& path : shape.paths) {
    const bool fills = path.fill0 >= 0 || path.fill1 >= 0;
    const LineStyle* line =
        path.line >= 0 && static_cast<std::size_t>(path.line) < shape.lines.size() ? &shape.lines[path.line] : nullptr;
    const double half = line ? std::max<double>(line->width, kTwipsPerPixel) / 2 : 0;
    edges += path.edges.size();
    for (const Edge& e : path.edges) {
      Point from = e.from;
      const int pieces = e.curved ? kCurvePieces : 1;
      for (int i = 1; i <= pieces; ++i) {
        Point to = e.to;
        if (e.curved) {
          const double t = static_cast<double>(i) / pieces, u = 1 - t;
          to = {u * u * e.from.x + 2 * u * t * e.control.x + t * t * e.to.x,
                u * u * e.from.y + 2 * u * t * e.control.y + t * t * e.to.y};
        }
        if (line && SegmentDistanceSquared(from, to, p) <= half * half) return true;
        if (fills && (from.y > p.y) != (to.y > p.y)) {
          const double x = from.x + (p.y - from.y) * (to.x - from.x) / (to.y - from.y);
          if (x > p.x) {
            const int dir = to.y > from.y ? 1 : -1;
            if (path.fill0 >= 0 && static_cast<std::size_t>(path.fill0) < winding.size()) winding[path.fill0] += dir;
            if (path.fill1 >= 0 && static_cast<std::size_t>(path.fill1) < winding.size()) winding[path.fill1] -= dir;
          }
        }
        from = to;
      }
    }
  }
  for (int w : winding)
    if (shape.fillRule == FillRule::NonZero ? w != 0 : (w & 1) != 0) return true;
  return false;
}

// Whether `p` falls on any child of a list, masks respected.
bool ChildrenContain(const DisplayObject& parent, Point p, std::uint64_t& edges) {
  const DisplayObject* mask = nullptr;
  bool inMask = false;
  for (const auto& [depth, child] : parent.children) {
    if (mask && depth > mask->clipDepth) mask = nullptr;
    if (child->clipDepth) {
      mask = child.get();
      const std::optional<Matrix> in = child->matrix.Inverse();
      inMask = in && ObjectContains(*child, in->Apply(p), edges);
      continue;
    }
    if (mask && !inMask) continue;
    const std::optional<Matrix> in = child->matrix.Inverse();
    if (in && ObjectContains(*child, in->Apply(p), edges)) return true;
  }
  return false;
}

// A character of a button's hit area, drawn as its first frame shows it.
bool CharacterContains(const Movie& movie, std::uint16_t id, Point p, int nesting, std::uint64_t& edges) {
  const Character* c = movie.Find(id);
  if (!c || nesting > 16) return false;
  if (const auto* shape = std::get_if<Shape>(c)) return ShapeContains(*shape, p, edges);
  if (const auto* morph = std::get_if<MorphShape>(c)) return ShapeContains(morph->start, p, edges);
  if (const auto* text = std::get_if<StaticText>(c)) return BoxContains(text->bounds, p);
  if (const auto* field = std::get_if<EditText>(c)) return BoxContains(field->bounds, p);
  if (const auto* sprite = std::get_if<Sprite>(c)) {
    if (sprite->frames.empty()) return false;
    for (const FrameTag& tag : sprite->frames[0].tags) {
      const auto* place = std::get_if<PlaceObject>(&tag);
      if (!place || !place->characterId) continue;
      const std::optional<Matrix> in = place->matrix.value_or(Matrix{}).Inverse();
      if (in && CharacterContains(movie, *place->characterId, in->Apply(p), nesting + 1, edges)) return true;
    }
  }
  return false;
}

}  // namespace

bool ObjectContains(const DisplayObject& o, Point p, std::uint64_t& edges) {
  switch (o.kind) {
    case DisplayKind::Shape:
      return o.character && ShapeContains(std::get<Shape>(*o.character), p, edges);
    case DisplayKind::Morph:
      // Making the shape in between costs as much as testing its edges.
      if (!o.TweenMade()) edges += std::get<MorphShape>(*o.character).start.EdgeCount();
      return ShapeContains(o.TweenedShape(), p, edges);
    case DisplayKind::StaticText: {
      // A static text by its glyphs, as they are drawn.
      if (!BoxContains(o.OwnBounds(), p)) return false;
      if (!o.Tree() || !o.character) return true;
      const Movie& movie = o.Tree()->movie();
      const FontLookup fonts = [&movie](std::uint16_t id) -> const Font* {
        const Character* c = movie.Find(id);
        return c ? std::get_if<Font>(c) : nullptr;
      };
      for (const PlacedGlyph& g : LayOutStaticText(std::get<StaticText>(*o.character), fonts,
                                                   kDefaultLimits.maxGlyphs, o.Tree()->DeviceFontsOf())) {
        const std::optional<Matrix> in = g.matrix.Inverse();
        if (g.shape && in && ShapeContains(*g.shape, in->Apply(p), edges)) return true;
      }
      return false;
    }
    case DisplayKind::EditText:
      return BoxContains(o.OwnBounds(), p);
    case DisplayKind::Sprite:
    case DisplayKind::Button:
      if (const Shape* drawn = o.DrawnShape(); drawn && ShapeContains(*drawn, p, edges)) return true;
      return ChildrenContain(o, p, edges);
    case DisplayKind::Video:  // never drawn, so never hit
    case DisplayKind::Unknown:
      return false;
  }
  return false;
}

bool InScriptMask(const DisplayObject& object, Point p, std::uint64_t& edges) {
  const DisplayObject* mask = object.scriptMask;
  if (!mask) return true;
  const std::optional<Matrix> in = mask->ToRootMatrix().Inverse();
  return in && ObjectContains(*mask, (*in * object.ToRootMatrix()).Apply(p), edges);
}

bool ButtonHitAreaContains(const Movie& movie, const DisplayObject& button, Point p, std::uint64_t& edges) {
  if (button.kind != DisplayKind::Button || !button.character) return false;
  for (const ButtonRecord& r : std::get<Button>(*button.character).records) {
    if (!(r.states & 8)) continue;
    const std::optional<Matrix> in = r.matrix.Inverse();
    if (in && CharacterContains(movie, r.characterId, in->Apply(p), 0, edges)) return true;
  }
  return false;
}

namespace {

DisplayObject* TargetIn(const Movie& movie, DisplayObject& o, Point p,
                        const std::function<bool(DisplayObject&)>& takesMouse, std::uint64_t& edges) {
  if (!o.visible || o.removed) return nullptr;
  if (o.kind == DisplayKind::Button)
    return takesMouse(o) && ButtonHitAreaContains(movie, o, p, edges) ? &o : nullptr;
  // A text field takes the mouse only where `takesMouse` says so (a link).
  if (o.kind == DisplayKind::EditText) return takesMouse(o) && ObjectContains(o, p, edges) ? &o : nullptr;
  if (o.kind != DisplayKind::Sprite) return nullptr;
  if (takesMouse(o)) return ObjectContains(o, p, edges) ? &o : nullptr;
  // Children from the top down, each inside the mask over it (found in one
  // pass up the list).
  std::vector<std::pair<DisplayObject*, const DisplayObject*>> list;
  list.reserve(o.children.size());
  const DisplayObject* mask = nullptr;
  for (const auto& [depth, child] : o.children) {
    if (mask && depth > mask->clipDepth) mask = nullptr;
    if (child->clipDepth) {
      mask = child.get();
      continue;
    }
    if (!child->masking) list.emplace_back(child.get(), mask);
  }
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    DisplayObject& child = *it->first;
    const std::optional<Matrix> in = child.matrix.Inverse();
    if (!in) continue;
    if (child.scriptMask) {
      if (!InScriptMask(child, in->Apply(p), edges)) continue;
    } else if (const DisplayObject* over = it->second) {
      const std::optional<Matrix> under = over->matrix.Inverse();
      if (!under || !ObjectContains(*over, under->Apply(p), edges)) continue;
    }
    if (DisplayObject* hit = TargetIn(movie, child, in->Apply(p), takesMouse, edges)) return hit;
  }
  return nullptr;
}

}  // namespace

DisplayObject* MouseTarget(const Movie& movie, DisplayObject& root, Point p,
                           const std::function<bool(DisplayObject&)>& takesMouse, std::uint64_t& edges) {
  return TargetIn(movie, root, p, takesMouse, edges);
}

namespace {

DisplayObject* DropIn(DisplayObject& o, Point p, const DisplayObject* dragged, std::uint64_t& edges) {
  for (auto it = o.children.rbegin(); it != o.children.rend(); ++it) {
    DisplayObject& child = *it->second;
    if (&child == dragged || !child.visible || child.clipDepth || child.masking) continue;
    const std::optional<Matrix> in = child.matrix.Inverse();
    if (!in) continue;
    const Point q = in->Apply(p);
    if (child.kind == DisplayKind::Sprite) {
      if (DisplayObject* hit = DropIn(child, q, dragged, edges)) return hit;
    } else if (ObjectContains(child, q, edges)) {
      return &o;
    }
  }
  if (const Shape* drawn = o.DrawnShape(); drawn && ShapeContains(*drawn, p, edges)) return &o;
  return nullptr;
}

}  // namespace

DisplayObject* DropTargetAt(DisplayObject& root, Point p, const DisplayObject* dragged, std::uint64_t& edges) {
  return DropIn(root, p, dragged, edges);
}

}  // namespace dc::swf

// Finding what changed on the face: the tree walked as Renderer draws it,
// each object's drawing noted and compared with the note of the last walk.
#include "swf/player/face_changes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "swf/model/morph.h"
#include "swf/avm1/bitmap_pixels.h"
#include "swf/player/field_placement.h"
#include "swf/player/stage_fit.h"
#include "swf/text/text_layout.h"

namespace dc::swf {
namespace {

// Anti-aliased edges, a hairline's one pixel and a cached bitmap's move to
// a whole pixel all stay within this many pixels of an object's bounds.
constexpr double kSmoothingPad = 2;

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  std::uint64_t z = h ^ (v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
std::uint64_t Mix(std::uint64_t h, double v) { return Mix(h, std::bit_cast<std::uint64_t>(v)); }
std::uint64_t Mix(std::uint64_t h, const void* p) { return Mix(h, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p))); }
std::uint64_t Mix(std::uint64_t h, Rgba c) {
  return Mix(h, static_cast<std::uint64_t>(c.r) | std::uint64_t{c.g} << 8 | std::uint64_t{c.b} << 16 |
                    std::uint64_t{c.a} << 24);
}
std::uint64_t Mix(std::uint64_t h, const Matrix& m) {
  for (const double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) h = Mix(h, v);
  return h;
}
std::uint64_t Mix(std::uint64_t h, const ColorTransform& cx) {
  for (const double v : {cx.mulR, cx.mulG, cx.mulB, cx.mulA, cx.addR, cx.addG, cx.addB, cx.addA}) h = Mix(h, v);
  return h;
}

std::uint64_t MixFilter(std::uint64_t h, const Filter& filter) {
  h = Mix(h, static_cast<std::uint64_t>(filter.index()));
  const auto blur = [&h](double x, double y, double angle, double distance, double strength, std::uint8_t passes) {
    for (const double v : {x, y, angle, distance, strength}) h = Mix(h, v);
    h = Mix(h, std::uint64_t{passes});
  };
  std::visit(
      [&](const auto& f) {
        using T = std::decay_t<decltype(f)>;
        if constexpr (std::is_same_v<T, BlurFilter>) {
          blur(f.blurX, f.blurY, 0, 0, 0, f.passes);
        } else if constexpr (std::is_same_v<T, ShadowFilter>) {
          blur(f.blurX, f.blurY, f.angle, f.distance, f.strength, f.passes);
          h = Mix(Mix(h, f.color), std::uint64_t{f.glow} | std::uint64_t{f.inner} << 1 | std::uint64_t{f.knockout} << 2 |
                                       std::uint64_t{f.hideObject} << 3);
        } else if constexpr (std::is_same_v<T, BevelFilter>) {
          blur(f.blurX, f.blurY, f.angle, f.distance, f.strength, f.passes);
          h = Mix(Mix(Mix(h, f.highlight), f.shadow), static_cast<std::uint64_t>(f.type) << 1 | f.knockout);
        } else if constexpr (std::is_same_v<T, GradientFilter>) {
          blur(f.blurX, f.blurY, f.angle, f.distance, f.strength, f.passes);
          h = Mix(h, static_cast<std::uint64_t>(f.type) << 2 | std::uint64_t{f.knockout} << 1 | f.bevel);
          for (const GradientStop& s : f.stops) h = Mix(Mix(h, std::uint64_t{s.ratio}), s.color);
        } else if constexpr (std::is_same_v<T, ColorMatrixFilter>) {
          for (const double v : f.matrix) h = Mix(h, v);
        } else if constexpr (std::is_same_v<T, ConvolutionFilter>) {
          h = Mix(Mix(h, std::uint64_t{f.columns} << 8 | f.rows), f.color);
          for (const double v : f.matrix) h = Mix(h, v);
          h = Mix(Mix(Mix(h, f.divisor), f.bias), std::uint64_t{f.clamp} << 1 | f.preserveAlpha);
        } else {
          h = Mix(Mix(Mix(h, f.map.get()), f.mapPoint.x), f.mapPoint.y);
          h = Mix(Mix(Mix(h, f.scaleX), f.scaleY), f.color);
          h = Mix(h, std::uint64_t{f.componentX} << 16 | std::uint64_t{f.componentY} << 8 |
                         static_cast<std::uint64_t>(f.mode));
        }
      },
      filter);
  return h;
}

TwipRect Joined(const TwipRect& a, const TwipRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.xMin, b.xMin), std::max(a.xMax, b.xMax), std::min(a.yMin, b.yMin), std::max(a.yMax, b.yMax)};
}

TwipRect Grown(const TwipRect& r, double by) {
  if (r.Empty() || by <= 0) return r;
  const auto at = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -2e9, 2e9)); };
  return {at(r.xMin - by), at(r.xMax + by), at(r.yMin - by), at(r.yMax + by)};
}

TwipRect Moved(const TwipRect& r, const Matrix& m) {
  if (r.Empty()) return {};
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (const Point corner : {Point{double(r.xMin), double(r.yMin)}, Point{double(r.xMax), double(r.yMin)},
                             Point{double(r.xMin), double(r.yMax)}, Point{double(r.xMax), double(r.yMax)}}) {
    const Point p = m.Apply(corner);
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  const auto at = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -2e9, 2e9)); };
  return {at(std::floor(x0)), at(std::ceil(x1)), at(std::floor(y0)), at(std::ceil(y1))};
}

// How far a shape's strokes may reach past their lines (a miter's length
// at most), in its twips; strokes that keep their width at any scale
// reach theirs in face pixels too, in `pad`.
double StrokeReach(const Shape& shape, double& pad) {
  double twips = 0;
  for (const LineStyle& line : shape.lines) {
    const double reach = line.width / 2.0 * std::max(2.0, line.miterLimit);
    if (line.noHScale || line.noVScale) pad = std::max(pad, reach / kTwipsPerPixel);
    twips = std::max(twips, reach);
  }
  return twips;
}

TwipRect PointsOf(const Shape& shape) {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  const auto add = [&](Point p) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  };
  for (const Path& path : shape.paths)
    for (const Edge& e : path.edges) {
      add(e.from);
      if (e.curved) add(e.control);
      add(e.to);
    }
  if (!(x0 <= x1 && y0 <= y1)) return {};
  const auto at = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -2e9, 2e9)); };
  // A point box may be a line: one twip keeps it from being empty.
  return {at(std::floor(x0)), at(std::ceil(x1) + 1), at(std::floor(y0)), at(std::ceil(y1) + 1)};
}

// A shape's reach: its points (control points too) and declared bounds,
// grown by its strokes'.
TwipRect ShapeReach(const Shape& shape, double& pad) {
  return Grown(Joined(shape.bounds, PointsOf(shape)), StrokeReach(shape, pad));
}

TwipRect GlyphsReach(const std::vector<PlacedGlyph>& glyphs) {
  TwipRect box;
  for (const PlacedGlyph& g : glyphs)
    if (g.shape) box = Joined(box, Moved(Joined(g.shape->bounds, PointsOf(*g.shape)), g.matrix));
  return box;
}

bool DrawsAlone(const DisplayObject& o, bool inMask) {
  if (o.opaqueBackground && (o.kind == DisplayKind::Sprite || o.kind == DisplayKind::Button)) return true;
  if (inMask) return false;
  return o.blendMode != BlendMode::Normal || !o.filters.empty() || o.cacheAsBitmap || o.scrollRect.has_value() ||
         o.scriptMask != nullptr;
}

}  // namespace

void FaceChanges::Forget() {
  shown_.clear();
  width_ = height_ = -1;
}

PixelBox FaceChanges::Changes(const DisplayTree& tree, std::int32_t width, std::int32_t height) {
  const Movie& movie = tree.movie();
  const bool fresh = &movie != movie_ || width != width_ || height != height_ || tree.quality() != quality_;
  if (fresh) shown_.clear();
  if (&movie != movie_) measured_.clear();
  movie_ = &movie;
  width_ = width, height_ = height;
  quality_ = tree.quality();
  ++walk_;
  dirty_ = {0, 0, 0, 0};
  whole_ = false;
  const PixelBox face{0, 0, std::max(width, 0), std::max(height, 0)};
  if (!face.Empty()) {
    stage_ = StageToFace(movie.stage, width, height);
    filterScale_ = {std::hypot(stage_.a, stage_.b) * 20, std::hypot(stage_.c, stage_.d) * 20};
    WalkChildren(tree.Root(), Place{stage_, {}, 0, 0, false}, nullptr);
  }
  std::erase_if(shown_, [this](const auto& entry) {
    if (entry.second.walk == walk_) return false;
    Dirty(entry.second.box);
    return true;
  });
  if (fresh || whole_) return face;
  return Intersection(dirty_, face);
}

void FaceChanges::WalkChildren(const DisplayObject& parent, const Place& place, Whole* whole) {
  // A clip layer covers the depths above it up to its clip depth; the
  // layers over an object are part of how it is drawn.
  struct Layer {
    std::int32_t lastDepth;
    std::uint64_t masks;
  };
  std::vector<Layer> layers;
  for (const auto& [depth, child] : parent.children) {
    while (!layers.empty() && depth > layers.back().lastDepth) layers.pop_back();
    Place at{place.m * child->matrix, place.cx * child->colorTransform,
             layers.empty() ? place.masks : layers.back().masks, Mix(place.order, std::uint64_t(std::uint32_t(depth))),
             place.inMask};
    if (child->clipDepth > 0) {
      WalkObject(*child, Place{at.m, {}, at.masks, at.order, true}, whole);
      layers.push_back({child->clipDepth, Mix(Mix(at.masks, child.get()), std::uint64_t{child->clipDepth})});
      continue;
    }
    // A clip masking another by script is drawn only as that mask, seen
    // or not.
    if (child->masking) {
      WalkObject(*child, Place{at.m, {}, at.masks, at.order, true}, whole);
      continue;
    }
    if (!child->visible) continue;
    WalkObject(*child, at, whole);
  }
}

void FaceChanges::WalkObject(const DisplayObject& object, const Place& place, Whole* whole) {
  if (DrawsAlone(object, place.inMask)) {
    NoteWhole(object, place, whole);
    return;
  }
  Note(object, place, whole);
  if (object.kind == DisplayKind::Sprite || object.kind == DisplayKind::Button) WalkChildren(object, place, whole);
}

std::uint64_t FaceChanges::ContentOf(const DisplayObject& object) const {
  std::uint64_t h = Mix(Mix(std::uint64_t{static_cast<std::uint8_t>(object.kind)}, object.character),
                        object.contentChanges);
  if (object.kind == DisplayKind::Morph) h = Mix(h, std::uint64_t{object.ratio});
  if (object.kind == DisplayKind::EditText)
    h = Mix(h, std::hash<std::string_view>{}(std::string_view(object.text).substr(0, kMaxShownTextBytes + 1)));
  // A script's bitmap: its pixels, as they changed.
  if (object.scriptBitmap) h = Mix(h, object.scriptBitmap->Revision());
  return h;
}

void FaceChanges::Note(const DisplayObject& object, const Place& place, Whole* whole) {
  switch (object.kind) {
    case DisplayKind::Sprite:
    case DisplayKind::Button:
      if (!object.DrawnShape() && !object.opaqueBackground) return;
      break;
    case DisplayKind::Video:
    case DisplayKind::Unknown:
      return;
    default:
      break;
  }
  const std::uint64_t content = ContentOf(object);
  TwipRect local;
  double pad = 0;
  const auto kept = whole ? shown_.end() : shown_.find(&object);
  if (kept != shown_.end() && kept->second.content == content) {
    local = kept->second.local;
    pad = kept->second.pad;
  } else {
    local = LocalBounds(object, pad);
  }
  std::uint64_t look = Mix(Mix(Mix(Mix(content, place.m), place.cx), place.masks), place.order);
  look = Mix(look, std::uint64_t{place.inMask} << 32 | (object.opaqueBackground ? *object.opaqueBackground : 0x1000000u));
  // A field in a device font stands upright whatever its turn.
  const bool upright = object.kind == DisplayKind::EditText && DrawnUpright(std::get<EditText>(*object.character), Fonts());
  const PixelBox box = OnFace(local, upright ? Upright(place.m) : place.m, kSmoothingPad + pad);
  Record(object, Entry{content, local, pad, look, box, walk_}, whole);
}

void FaceChanges::NoteWhole(const DisplayObject& object, const Place& place, Whole* outer) {
  Whole inner;
  Note(object, place, &inner);
  if (object.kind == DisplayKind::Sprite || object.kind == DisplayKind::Button) WalkChildren(object, place, &inner);
  std::uint64_t look = Mix(Mix(Mix(Mix(inner.look, place.m), place.cx), place.masks), place.order);
  look = Mix(look, static_cast<std::uint64_t>(object.blendMode) << 8 | std::uint64_t{object.cacheAsBitmap} << 1 |
                       std::uint64_t{place.inMask});
  look = Mix(look, object.opaqueBackground ? std::uint64_t{*object.opaqueBackground} : 0x1000000u);
  PixelBox box = inner.box;
  // A script's mask is part of what the clip shows: its content, where it
  // stands, folds in (not within another mask's, which cannot nest here).
  if (object.scriptMask && !place.inMask && !foldingMask_) {
    foldingMask_ = true;
    Whole mask;
    const DisplayObject& over = *object.scriptMask;
    WalkObject(over, Place{stage_ * over.ToRootMatrix(), {}, 0, 0, true}, &mask);
    foldingMask_ = false;
    look = Mix(Mix(look, &over), mask.look);
  }
  if (const std::optional<PixelRect>& scroll = object.scrollRect) {
    look = Mix(Mix(Mix(Mix(look, scroll->x), scroll->y), scroll->width), scroll->height);
    const double w = scroll->width * kTwipsPerPixel, h = scroll->height * kTwipsPerPixel;
    box = OnFace({0, static_cast<std::int32_t>(std::clamp(std::ceil(w), 0.0, 2e9)), 0,
                  static_cast<std::int32_t>(std::clamp(std::ceil(h), 0.0, 2e9))},
                 place.m, kSmoothingPad);
  }
  if (object.opaqueBackground) box = Union(box, OnFace(SubtreeBounds(object), place.m, kSmoothingPad));
  if (!object.filters.empty() && !box.Empty()) {
    const auto cap = [](std::int32_t v) { return std::clamp(v, 0, raster_limits::kMaxFilterReach); };
    for (const Filter& filter : object.filters) {
      look = MixFilter(look, filter);
      const FilterReach r = ReachOf(filter, filterScale_);
      box = {box.x0 - cap(r.left), box.y0 - cap(r.top), box.x1 + cap(r.right), box.y1 + cap(r.bottom)};
    }
  }
  Record(object, Entry{inner.look, {}, 0, look, box, walk_}, outer);
}

void FaceChanges::Record(const DisplayObject& object, const Entry& entry, Whole* whole) {
  if (whole) {
    whole->look = Mix(Mix(whole->look, &object), entry.look);
    whole->box = Union(whole->box, entry.box);
    return;
  }
  const auto [at, added] = shown_.try_emplace(&object, entry);
  Entry& kept = at->second;
  if (added) {
    Dirty(entry.box);
    return;
  }
  if (kept.walk == walk_) whole_ = true;  // drawn twice in one frame: not a case the notes follow
  if (kept.look != entry.look || !(kept.box == entry.box)) {
    Dirty(kept.box);
    Dirty(entry.box);
  }
  kept = entry;
}

FontLookup FaceChanges::Fonts() const {
  return [this](std::uint16_t id) -> const Font* {
    const Character* c = movie_->Find(id);
    return c ? std::get_if<Font>(c) : nullptr;
  };
}

TwipRect FaceChanges::LocalBounds(const DisplayObject& object, double& pad) {
  pad = 0;
  const FontLookup fonts = Fonts();
  switch (object.kind) {
    case DisplayKind::Shape: {
      const auto& shape = std::get<Shape>(*object.character);
      const auto [at, added] = measured_.try_emplace(&shape);
      if (added) at->second.local = ShapeReach(shape, at->second.pad);
      pad = at->second.pad;
      return at->second.local;
    }
    case DisplayKind::Morph: {
      // An in-between point lies between its two ends: within the box of
      // both shapes' points, and within the bounds at the ratio when those
      // are right; grown by the wider strokes of the two.
      const auto& morph = std::get<MorphShape>(*object.character);
      const auto [at, added] = measured_.try_emplace(&morph);
      if (added) {
        const double reach = std::max(StrokeReach(morph.start, at->second.pad), StrokeReach(morph.end, at->second.pad));
        at->second.local = Joined(PointsOf(morph.start), PointsOf(morph.end));
        at->second.reach = reach;
      }
      pad = at->second.pad;
      return Grown(Joined(MorphBoundsAt(morph, object.ratio), at->second.local), at->second.reach);
    }
    case DisplayKind::StaticText: {
      const auto& text = std::get<StaticText>(*object.character);
      const auto [at, added] = measured_.try_emplace(&text);
      if (added) at->second.local = Joined(text.bounds, GlyphsReach(LayOutStaticText(text, fonts, limits_.maxGlyphs, deviceFonts_)));
      return at->second.local;
    }
    case DisplayKind::EditText: {
      const auto& field = std::get<EditText>(*object.character);
      const EditTextLayout layout = LayOutShownField(object, limits_.maxGlyphs);
      const TwipRect& b = field.bounds;  // a negative size spans the other way
      TwipRect box{std::min(b.xMin, b.xMax), std::max(b.xMin, b.xMax), std::min(b.yMin, b.yMax), std::max(b.yMin, b.yMax)};
      box = Joined(box, GlyphsReach(layout.glyphs));
      if (layout.background) box = Joined(box, layout.background->bounds);
      if (layout.border) box = Joined(box, layout.border->bounds);
      return box;
    }
    case DisplayKind::Sprite:
    case DisplayKind::Button: {
      const Shape* drawn = object.DrawnShape();
      return drawn ? ShapeReach(*drawn, pad) : TwipRect{};
    }
    default:
      return {};
  }
}

TwipRect FaceChanges::SubtreeBounds(const DisplayObject& object) {
  double pad = 0;
  TwipRect box = LocalBounds(object, pad);
  box = Grown(box, pad * kTwipsPerPixel);
  for (const auto& [depth, child] : object.children) box = Joined(box, Moved(SubtreeBounds(*child), child->matrix));
  return box;
}

PixelBox FaceChanges::OnFace(const TwipRect& local, const Matrix& m, double pad) {
  if (local.Empty()) return {0, 0, 0, 0};
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (const Point corner : {Point{double(local.xMin), double(local.yMin)}, Point{double(local.xMax), double(local.yMin)},
                             Point{double(local.xMin), double(local.yMax)}, Point{double(local.xMax), double(local.yMax)}}) {
    const Point p = m.Apply(corner);
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) {
    whole_ = true;
    return {0, 0, 0, 0};
  }
  static constexpr double kFar = 1 << 30;
  const auto at = [](double v) { return static_cast<std::int32_t>(std::clamp(v, -kFar, kFar)); };
  return {at(std::floor(x0 - pad)), at(std::floor(y0 - pad)), at(std::ceil(x1 + pad)), at(std::ceil(y1 + pad))};
}

}  // namespace dc::swf

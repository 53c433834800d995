// Walking the display tree onto the face.
#include "swf/player/render.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <variant>

#include "swf/avm1/bitmap_pixels.h"
#include "swf/raster/draw_shape.h"
#include "swf/model/rectangle_edges.h"
#include "swf/player/field_placement.h"
#include "swf/player/render_pass.h"
#include "swf/text/device_fonts.h"
#include "swf/player/stage_fit.h"
#include "swf/text/text_layout.h"

namespace dc::swf {

namespace {

// An object's opaqueBackground: its bounds filled with the colour
// (0xRRGGBB) beneath what it shows, whatever its colour transform.
void DrawOpaqueBackground(const DisplayObject& object, std::uint32_t colour, const Matrix& m, const DrawTarget& target) {
  const TwipRect r = object.OwnBounds();
  if (r.xMax <= r.xMin || r.yMax <= r.yMin) return;
  Shape box;
  box.bounds = r;
  box.fills.push_back(FillStyle{FillKind::Solid, Rgba{static_cast<std::uint8_t>(colour >> 16),
                                                      static_cast<std::uint8_t>(colour >> 8),
                                                      static_cast<std::uint8_t>(colour), 255}});
  Path path;
  path.fill1 = 0;
  path.edges = RectangleEdges(r.xMin, r.yMin, r.xMax, r.yMax);
  box.paths.push_back(std::move(path));
  DrawShape(box, m, ColorTransform{}, target);
}

// A script's bitmap as it is at the time: its pixels, or its one colour
// while it holds no pixels of its own; nothing once disposed.
void DrawScriptBitmap(const DisplayObject& object, const Matrix& m, const ColorTransform& cx, DrawTarget target) {
  const avm1::BitmapPixels& pixels = *object.scriptBitmap;
  const Shape& rectangle = std::get<Shape>(*object.character);
  if (pixels.Disposed() || rectangle.fills.empty()) return;
  if (pixels.Uniform()) {
    const std::uint32_t argb = pixels.ToColour(pixels.UniformPixel());
    Shape plain = rectangle;
    plain.fills[0] = FillStyle{FillKind::Solid, Rgba{static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                                                     static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24)}};
    DrawShape(plain, m, cx, target);
    return;
  }
  const Bitmap* bitmap = &pixels.AsBitmap();
  target.bitmaps = [bitmap](std::uint16_t) { return bitmap; };
  DrawShape(rectangle, m, cx, target);
}

// A text field's box sits on whole pixels, as the original player draws
// it: unturned, `r` under `m` is moved and stretched so that its corner
// falls on the nearest pixel corner (a half goes back) and its size is cut
// to whole pixels (a hair short of one, from rounding, counts as one).
Matrix OnWholePixels(const Matrix& m, const TwipRect& r) {
  if (m.b != 0 || m.c != 0 || r.xMax <= r.xMin || r.yMax <= r.yMin) return m;
  const auto corner = [](double v) { return std::ceil(v - 0.5); };
  const auto size = [](double v) { return std::floor(v + 1.0 / 1024); };
  const double left = m.a * r.xMin + m.tx, top = m.d * r.yMin + m.ty;
  const double x0 = corner(left), x1 = x0 + size(m.a * r.xMax + m.tx - left);
  const double y0 = corner(top), y1 = y0 + size(m.d * r.yMax + m.ty - top);
  if (!std::isfinite(x0 + x1 + y0 + y1)) return m;
  Matrix snapped = m;
  snapped.a = (x1 - x0) / (double(r.xMax) - r.xMin);
  snapped.d = (y1 - y0) / (double(r.yMax) - r.yMin);
  snapped.tx = x0 - snapped.a * r.xMin;
  snapped.ty = y0 - snapped.d * r.yMin;
  return snapped;
}

}  // namespace

bool Renderer::Render(const DisplayTree& tree, PixelTarget& face, bool onlyChanged) {
  const Movie& movie = tree.movie();
  // The notes are kept by every frame, so that the next may draw in part.
  const PixelBox changed = changes_.Changes(tree, face.width, face.height);
  const PixelBox clip = onlyChanged ? changed : PixelBox{0, 0, std::max(face.width, 0), std::max(face.height, 0)};
  drawn_ = clip;
  if (clip.Empty()) return true;
  const Rgba bg = movie.background;
  const std::uint32_t background = 0xFF000000u | (std::uint32_t{bg.r} << 16) | (std::uint32_t{bg.g} << 8) | bg.b;
  for (std::int32_t y = clip.y0; y < clip.y1; ++y) {
    std::uint32_t* row = face.pixels + static_cast<std::ptrdiff_t>(y) * face.stride;
    std::fill(row + clip.x0, row + clip.x1, background);
  }
  Pass pass{movie, Canvas{face.pixels, face.width, face.height, face.stride, clip}, {}, {}, {}, 0, tree.quality()};
  const std::uint64_t surface = static_cast<std::uint64_t>(std::max(face.width, 0)) * std::max(face.height, 0);
  pass.budget.remaining = surface * limits_.maxLayersPerFrame;
  pass.budget.work = limits_.maxDrawWorkPerFrame;
  ++renders_;
  pass.bitmaps = [&movie](std::uint16_t id) -> const Bitmap* {
    const Character* c = movie.Find(id);
    return c ? std::get_if<Bitmap>(c) : nullptr;
  };
  pass.fonts = [&movie](std::uint16_t id) -> const Font* {
    const Character* c = movie.Find(id);
    return c ? std::get_if<Font>(c) : nullptr;
  };
  // Glyphs the frame's scripts had fetched to measure text.
  pass.budget.TakeWork(DeviceFontWork());
  if (surface > 0) {
    const Matrix stage = StageToFace(movie.stage, face.width, face.height);
    pass.filterScale = {std::hypot(stage.a, stage.b) * 20, std::hypot(stage.c, stage.d) * 20};
    DrawChildren(pass, tree.Root(), stage, ColorTransform{}, nullptr);
  }
  ForgetFieldsNotShown();
  workSpent_ = pass.budget.exceeded && pass.budget.workSpent;
  // The face's pixels carry no alpha.
  for (std::int32_t y = clip.y0; y < clip.y1; ++y) {
    std::uint32_t* row = face.pixels + static_cast<std::ptrdiff_t>(y) * face.stride;
    for (std::int32_t x = clip.x0; x < clip.x1; ++x) row[x] &= 0x00FFFFFFu;
  }
  // A face left part drawn no longer shows what the notes say.
  if (pass.budget.exceeded) changes_.Forget();
  return !pass.budget.exceeded;
}

void Renderer::DrawChildren(Pass& pass, const DisplayObject& parent, const Matrix& m, const ColorTransform& cx,
                            const std::uint8_t* mask) {
  // A clip layer masks the depths above it up to its clip depth; masks
  // nest, each within the one it lies under. A clip with a script's mask
  // shows through that mask instead, drawn where the mask clip stands:
  // `m` over the parent's map from the root gives the canvas's map from
  // the root.
  struct ActiveMask {
    std::int32_t lastDepth;
    const std::uint8_t* coverage;
  };
  std::vector<ActiveMask> active;
  const std::size_t baseLevel = pass.maskLevel;
  for (const auto& [depth, child] : parent.children) {
    while (!active.empty() && depth > active.back().lastDepth) {
      active.pop_back();
      --pass.maskLevel;
    }
    if (pass.budget.exceeded) break;
    const std::uint8_t* current = active.empty() ? mask : active.back().coverage;
    const Matrix childMatrix = m * child->matrix;
    if (child->clipDepth > 0) {
      const std::uint8_t* coverage = MaskOf(pass, *child, childMatrix, current);
      active.push_back({child->clipDepth, coverage});
      ++pass.maskLevel;
      continue;
    }
    // A clip that masks another by script is not drawn itself.
    if (!child->visible || child->masking) continue;
    // A script's mask takes the place of the clip layer over the clip (the
    // masks around the list still hold). Inside a mask's own content it is
    // left out, so that a mask never draws itself through itself.
    const bool scripted = child->scriptMask && pass.strokes;
    if (scripted) {
      const std::optional<Matrix> fromRoot = parent.ToRootMatrix().Inverse();
      if (!fromRoot) continue;
      const DisplayObject& over = *child->scriptMask;
      current = MaskOf(pass, over, m * *fromRoot * over.ToRootMatrix(), mask);
      ++pass.maskLevel;
    }
    if (NeedsLayer(pass, *child)) {
      DrawLayered(pass, *child, childMatrix, cx * child->colorTransform, current);
    } else {
      DrawObject(pass, *child, childMatrix, cx * child->colorTransform, current);
    }
    if (scripted) --pass.maskLevel;
  }
  pass.maskLevel = baseLevel;
}

const std::uint8_t* Renderer::MaskOf(Pass& pass, const DisplayObject& layer, const Matrix& m,
                                     const std::uint8_t* outer) {
  const Canvas& face = pass.canvas;
  const std::size_t pixels = static_cast<std::size_t>(face.width) * face.height;
  const std::size_t level = pass.maskLevel;
  if (maskCanvases_.size() <= level) {
    maskCanvases_.resize(level + 1);
    masks_.resize(level + 1);
  }
  std::vector<std::uint32_t>& scratch = maskCanvases_[level];
  std::vector<std::uint8_t>& coverage = masks_[level];
  scratch.assign(pixels, 0);
  coverage.resize(pixels);
  if (!pass.budget.Take(pixels)) return coverage.data();
  // The layer's content, drawn opaque within the outer mask: its alpha is
  // the new mask.
  Pass inner{pass.movie,  Canvas{scratch.data(), face.width, face.height, face.width, face.clip}, pass.budget, pass.bitmaps,
             pass.fonts,  level + 1, pass.quality, false};
  DrawObject(inner, layer, m, ColorTransform{}, outer);
  pass.budget = inner.budget;
  for (std::size_t i = 0; i < pixels; ++i) coverage[i] = static_cast<std::uint8_t>(scratch[i] >> 24);
  return coverage.data();
}

void Renderer::DrawObject(Pass& pass, const DisplayObject& object, const Matrix& m, const ColorTransform& cx,
                          const std::uint8_t* mask) {
  DrawTarget target{pass.canvas, mask, pass.bitmaps, &pass.budget, pass.quality, pass.strokes};
  if (object.opaqueBackground) DrawOpaqueBackground(object, *object.opaqueBackground, m, target);
  switch (object.kind) {
    case DisplayKind::Shape:
      if (object.scriptBitmap)
        DrawScriptBitmap(object, m, cx, target);
      else
        DrawShape(std::get<Shape>(*object.character), m, cx, target);
      break;
    case DisplayKind::Morph:
      // Making the in-between shape is paid for before it is made.
      if (!object.TweenMade() &&
          !pass.budget.TakeWork(std::get<MorphShape>(*object.character).start.EdgeCount() *
                                raster_limits::kDrawWorkPerTweenEdge))
        break;
      DrawShape(object.TweenedShape(), m, cx, target);
      break;
    case DisplayKind::Sprite:
    case DisplayKind::Button:
      if (const Shape* drawn = object.DrawnShape()) DrawShape(*drawn, m, cx, target);
      DrawChildren(pass, object, m, cx, mask);
      break;
    case DisplayKind::StaticText: {
      const std::vector<PlacedGlyph> glyphs =
          LayOutStaticText(std::get<StaticText>(*object.character), pass.fonts, limits_.maxGlyphs, deviceFonts_);
      if (!pass.budget.TakeWork(glyphs.size() * raster_limits::kDrawWorkPerGlyph + DeviceFontWork())) break;
      for (const PlacedGlyph& g : glyphs) DrawShape(*g.shape, m * g.matrix, cx, target, &g.color);
      break;
    }
    case DisplayKind::EditText: {
      const EditTextLayout* layout = FieldLayout(pass, object);
      if (!layout) break;
      const Matrix fm = DrawnUpright(std::get<EditText>(*object.character), pass.fonts) ? Upright(m) : m;
      if (layout->background) DrawShape(*layout->background, OnWholePixels(fm, layout->background->bounds), cx, target);
      for (const PlacedGlyph& g : layout->glyphs) DrawShape(*g.shape, fm * g.matrix, cx, target, &g.color);
      if (layout->border) {
        // The hairline runs through the centres of the pixels at the box's
        // sides: it covers whole pixels, the right and bottom ones just
        // outside the background.
        Matrix centred = OnWholePixels(fm, layout->border->bounds);
        if (centred.b == 0 && centred.c == 0) centred = Matrix::Translate(0.5, 0.5) * centred;
        DrawShape(*layout->border, centred, cx, target);
      }
      break;
    }
    case DisplayKind::Video:  // its frames are never decoded
    case DisplayKind::Unknown:
      break;
  }
}

const EditTextLayout* Renderer::FieldLayout(Pass& pass, const DisplayObject& object) {
  const auto& field = std::get<EditText>(*object.character);
  // Layout reads no further than kMaxShownTextBytes (and the byte after,
  // to see the cut), so that much of the text decides it.
  const std::string_view text = std::string_view(object.text).substr(0, kMaxShownTextBytes + 1);
  const auto found = shownFields_.find(&object);
  if (found != shownFields_.end()) {
    ShownField& kept = found->second;
    if (kept.movie == &pass.movie && kept.text == text && kept.field == field &&
        kept.content == object.contentChanges) {
      kept.render = renders_;
      return &kept.layout;
    }
    shownBytes_ -= kept.bytes;
    shownFields_.erase(found);
  }
  // Laying out is charged once it is done: it is bounded by maxGlyphs, and
  // kept even when the frame cannot afford it, it costs nothing in the
  // frames that follow.
  EditTextLayout layout = LayOutShownField(object, limits_.maxGlyphs);
  const std::uint64_t laidOut = std::min<std::uint64_t>(text.size(), limits_.maxGlyphs);
  const bool affordable = pass.budget.TakeWork(laidOut * raster_limits::kDrawWorkPerGlyph + DeviceFontWork());
  const std::size_t bytes = text.size() + field.initialText.size() + layout.glyphs.size() * sizeof(PlacedGlyph) +
                            sizeof(ShownField);
  const EditTextLayout* shown = &scratchLayout_;
  if (shownBytes_ + bytes > raster_limits::kMaxKeptLayoutBytes) {
    scratchLayout_ = std::move(layout);
  } else {
    shownBytes_ += bytes;
    ShownField& kept = shownFields_[&object];
    kept = ShownField{&pass.movie, field, std::string(text), object.contentChanges, std::move(layout), renders_, bytes};
    shown = &kept.layout;
  }
  return affordable ? shown : nullptr;
}

std::uint64_t Renderer::DeviceFontWork() {
  return deviceFonts_ != nullptr ? deviceFonts_->TakeFetched() * raster_limits::kDrawWorkPerDeviceGlyph : 0;
}

void Renderer::ForgetFieldsNotShown() {
  std::erase_if(shownFields_, [this](const auto& entry) {
    if (entry.second.render == renders_) return false;
    shownBytes_ -= entry.second.bytes;
    return true;
  });
}

std::string Renderer::Overrun() const {
  return workSpent_ ? "maxDrawWorkPerFrame (" + std::to_string(limits_.maxDrawWorkPerFrame) +
                          " pixels' drawing work a frame)"
                    : "maxLayersPerFrame (the face's pixels " + std::to_string(limits_.maxLayersPerFrame) +
                          " times over a frame)";
}

}  // namespace dc::swf

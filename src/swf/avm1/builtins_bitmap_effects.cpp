// The BitmapData methods that make pixels rather than move them: noise,
// perlinNoise and pixelDissolve; draw (another bitmap here, a clip
// through the player's renderer); applyFilter and generateFilterRect; and
// where bitmaps come from and go to: BitmapData.loadBitmap from the
// movie's exports, MovieClip.attachBitmap onto the display list.
#include <algorithm>
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/bitmap_data_object.h"
#include "swf/avm1/bitmap_draw.h"
#include "swf/avm1/bitmap_noise.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/filter_objects.h"
#include "swf/avm1/geom_objects.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

Value Code(double n) { return Value::Number(n); }

// The BitmapData objects shown on display lists, kept alive (and their
// pixels counted) while a clip shows them.
struct ShownBitmaps final : HostFamilyState {
  std::unordered_map<const Clip*, Object*> shown;
  void Mark(Heap& heap) const override {
    for (const auto& [clip, bitmap] : shown) heap.Mark(bitmap);
  }
  void ForgetClip(const Clip* clip) override { shown.erase(clip); }
};

Value NoiseMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.empty()) return Code(-1);
  const std::int64_t seed = IntArg(rt, args, 0);
  const std::uint32_t low = args.size() > 1 ? ColourArg(rt, args, 1) & 0xFF : 0;
  const std::uint32_t high = args.size() > 2 ? ColourArg(rt, args, 2) & 0xFF : 255;
  const std::uint32_t channels = args.size() > 3 ? ColourArg(rt, args, 3) : 7;
  const bool gray = args.size() > 4 && rt.ToBoolean(args[4]);
  BitmapPixels& p = *b->pixels;
  CountPixels(rt, p.Bounds().Area() * 4);
  MakeWritable(rt, p);
  Noise(p, seed, low, high, channels, gray);
  p.Touch();
  return Value();
}

Value PerlinNoiseMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 6) return Code(-1);
  PerlinOptions o;
  o.baseX = rt.ToNumber(args[0]);
  o.baseY = rt.ToNumber(args[1]);
  // More octaves than a bitmap's size has halvings add nothing.
  o.octaves = static_cast<std::uint32_t>(std::clamp(IntArg(rt, args, 2), 0, 32));
  o.seed = IntArg(rt, args, 3);
  o.stitch = rt.ToBoolean(args[4]);
  o.fractal = rt.ToBoolean(args[5]);
  o.channels = args.size() > 6 ? ColourArg(rt, args, 6) : 7;
  o.grayScale = args.size() > 7 && rt.ToBoolean(args[7]);
  if (ArrayObject* offsets = AsArray(Arg(args, 8))) {
    for (std::uint32_t i = 0; i < offsets->Count() && i < o.octaves; ++i) {
      const Value point = offsets->At(i);
      o.offsets.push_back(NumberMember(rt, point, "x"));
      o.offsets.push_back(NumberMember(rt, point, "y"));
      for (std::size_t k = o.offsets.size() - 2; k < o.offsets.size(); ++k)
        if (!std::isfinite(o.offsets[k])) o.offsets[k] = 0;
    }
  }
  BitmapPixels& p = *b->pixels;
  CountPixels(rt, p.Bounds().Area() * std::max<std::int64_t>(1, o.octaves) * 4);
  MakeWritable(rt, p);
  PerlinNoise(p, o);
  p.Touch();
  return Value();
}

Value PixelDissolveMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  BitmapDataObject* source = BitmapDataOf(args[0]);
  if (!source) return Code(-2);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-3);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  const std::int64_t seed = args.size() > 3 ? IntArg(rt, args, 3) : 0;
  const BitmapRect within = Clipped(*rect, source->pixels->Width(), source->pixels->Height());
  const std::int64_t count = args.size() > 4 ? IntArg(rt, args, 4) : within.Area() / 30;
  const std::uint32_t colour = args.size() > 5 ? ColourArg(rt, args, 5) : 0;
  BitmapPixels& p = *b->pixels;
  CountPixels(rt, within.Area() * 2);
  MakeWritable(rt, p);
  const bool same = source == b;
  const std::int64_t next = PixelDissolve(p, *source->pixels, *rect, x, y, seed, count, colour, same);
  p.Touch();
  return Value::Number(static_cast<double>(next));
}

// draw(source [, matrix, colorTransform, blendMode, clipRect, smoothing]).
Value Draw(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.empty()) return Code(-1);
  BitmapPixels& p = *b->pixels;
  Matrix matrix;
  if (const std::optional<Matrix> m = MatrixOf(rt, Arg(args, 1))) {
    if (std::isfinite(m->a) && std::isfinite(m->b) && std::isfinite(m->c) && std::isfinite(m->d) &&
        std::isfinite(m->tx) && std::isfinite(m->ty))
      matrix = *m;
  }
  const ColorTransform cx = ColorTransformOf(rt, Arg(args, 2)).value_or(ColorTransform{});
  BitmapRect clip = p.Bounds();
  if (args.size() > 4 && args[4].IsObject()) {
    if (const std::optional<BitmapRect> r = RectArg(rt, args[4])) clip = *r;
  }
  const bool smoothing = args.size() > 5 && rt.ToBoolean(args[5]);
  if (BitmapDataObject* source = BitmapDataOf(args[0])) {
    const BitmapRect area = DrawnArea(p, source->pixels->Width(), source->pixels->Height(), matrix, clip);
    if (area.Empty()) return Value();
    CountPixels(rt, area.Area());
    MakeWritable(rt, p);
    // A bitmap drawn into itself reads what it was before.
    std::optional<BitmapPixels> before;
    if (source == b) before = *source->pixels;
    DrawBitmap(p, before ? *before : *source->pixels, matrix, cx, area, smoothing);
    p.Touch();
    return Value();
  }
  Clip* clipSource = Runtime::ClipOf(args[0]);
  if (!clipSource || !rt.host.drawClip) return Value();
  // The clip's own twips to the bitmap's pixels; it is drawn in its own
  // space, its place on its parent left out.
  const Matrix toTarget = matrix * Matrix::Scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
  const TwipRect bounds = clipSource->Bounds(clipSource);
  if (bounds.Empty()) return Value();
  Matrix box = toTarget * Matrix::Translate(bounds.xMin, bounds.yMin);
  const auto w = static_cast<std::int32_t>(std::min<std::int64_t>(bounds.Width(), 1 << 30));
  const auto h = static_cast<std::int32_t>(std::min<std::int64_t>(bounds.Height(), 1 << 30));
  const BitmapRect area = DrawnArea(p, w, h, box, clip);
  if (area.Empty()) return Value();
  CountPixels(rt, area.Area());
  MakeWritable(rt, p);
  rt.host.drawClip(*clipSource, toTarget, cx, area, smoothing, p);
  p.Touch();
  return Value();
}

// applyFilter(source, sourceRect, destPoint, filter): the colour matrix
// and the blur are worked out here; other filters copy the pixels.
Value ApplyFilter(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 4) return Code(-1);
  BitmapDataObject* source = BitmapDataOf(args[0]);
  if (!source) return Code(-2);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-3);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  const std::optional<Filter> filter = FilterOf(args[3]);
  if (!filter) return Code(-4);
  BitmapPixels& p = *b->pixels;
  const BitmapPixels from = *source->pixels;
  const BitmapRect r = Clipped(*rect, from.Width(), from.Height());
  CountPixels(rt, r.Area());
  MakeWritable(rt, p);
  if (const auto* matrix = std::get_if<ColorMatrixFilter>(&*filter)) {
    ApplyColorMatrix(p, from, *rect, x, y, matrix->matrix);
  } else if (const auto* blur = std::get_if<BlurFilter>(&*filter)) {
    CountPixels(rt, r.Area() * blur->passes * 2);
    ApplyBoxBlur(p, from, *rect, x, y, blur->blurX, blur->blurY, blur->passes);
  } else {
    ApplyColorMatrix(p, from, *rect, x, y, ColorMatrixFilter{}.matrix);
  }
  p.Touch();
  return Code(0);
}

// How far a filter reaches beyond what it filters, in pixels each way.
BitmapRect Reach(const Filter& f) {
  const auto blur = [](double bx, double by, int passes) {
    const std::int32_t rx = static_cast<std::int32_t>(std::ceil(bx / 2)) * std::max(passes, 1);
    const std::int32_t ry = static_cast<std::int32_t>(std::ceil(by / 2)) * std::max(passes, 1);
    return BitmapRect{-rx, -ry, 2 * rx, 2 * ry};
  };
  return std::visit(
      [&](const auto& d) -> BitmapRect {
        using T = std::decay_t<decltype(d)>;
        if constexpr (std::is_same_v<T, BlurFilter>) {
          return blur(d.blurX, d.blurY, d.passes);
        } else if constexpr (std::is_same_v<T, ShadowFilter> || std::is_same_v<T, BevelFilter> ||
                             std::is_same_v<T, GradientFilter>) {
          BitmapRect r = blur(d.blurX, d.blurY, d.passes);
          const auto ox = static_cast<std::int32_t>(std::ceil(std::abs(std::cos(d.angle) * d.distance)));
          const auto oy = static_cast<std::int32_t>(std::ceil(std::abs(std::sin(d.angle) * d.distance)));
          return BitmapRect{r.x - ox, r.y - oy, r.width + 2 * ox, r.height + 2 * oy};
        } else if constexpr (std::is_same_v<T, ConvolutionFilter>) {
          return BitmapRect{-(d.columns / 2), -(d.rows / 2), d.columns, d.rows};
        } else {
          return BitmapRect{};
        }
      },
      f);
}

Value GenerateFilterRect(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::optional<BitmapRect> rect = RectArg(rt, args[0]);
  if (!rect) return Code(-2);
  const std::optional<Filter> filter = FilterOf(args[1]);
  if (!filter) return Code(-3);
  const BitmapRect reach = Reach(*filter);
  return NewRectangle(rt, double(rect->x) + reach.x, double(rect->y) + reach.y,
                      double(rect->width) + reach.width, double(rect->height) + reach.height);
}

// BitmapData.loadBitmap(exportName): a transparent copy of the movie's
// bitmap.
Value LoadBitmap(Runtime& rt, Value, std::span<const Value> args) {
  if (args.empty() || !rt.host.exportedBitmap) return Value();
  const Bitmap* bitmap = rt.host.exportedBitmap(rt.ToString(args[0]));
  if (!bitmap || !BitmapSizeAllowed(rt.version, bitmap->width, bitmap->height)) return Value();
  auto pixels = std::make_shared<BitmapPixels>(bitmap->width, bitmap->height, true, 0);
  CountPixels(rt, pixels->Bounds().Area());
  MakeWritable(rt, *pixels);
  for (std::int32_t y = 0; y < bitmap->height; ++y)
    std::copy_n(bitmap->pixels.data() + static_cast<std::size_t>(y) * bitmap->width, bitmap->width, pixels->Row(y));
  return NewBitmapData(rt, std::move(pixels));
}

// MovieClip.attachBitmap(bitmap, depth [, pixelSnapping, smoothing]).
Value AttachBitmap(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* clip = Runtime::ClipOf(self);
  BitmapDataObject* b = BitmapDataOf(Arg(args, 0));
  if (!clip || !b || args.size() < 2) return Value();
  const bool smoothing = args.size() > 3 && rt.ToBoolean(args[3]);
  if (Clip* shown = clip->AttachBitmap(b->pixels, ToInt32(rt.ToNumber(args[1])), smoothing))
    rt.hostState->Family<ShownBitmaps>().shown[shown] = b;
  return Value();
}

}  // namespace

void InstallBitmapEffects(Runtime& rt, Object* proto, Object* bitmapDataClass) {
  rt.DefineMethod(proto, "noise", NoiseMethod);
  rt.DefineMethod(proto, "perlinNoise", PerlinNoiseMethod);
  rt.DefineMethod(proto, "pixelDissolve", PixelDissolveMethod);
  rt.DefineMethod(proto, "draw", Draw);
  rt.DefineMethod(proto, "applyFilter", ApplyFilter);
  rt.DefineMethod(proto, "generateFilterRect", GenerateFilterRect);
  rt.DefineMethod(bitmapDataClass, "loadBitmap", LoadBitmap);
  if (rt.version >= 8 && rt.clipProto) rt.DefineMethod(rt.clipProto, "attachBitmap", AttachBitmap);
}

}  // namespace dc::swf::avm1

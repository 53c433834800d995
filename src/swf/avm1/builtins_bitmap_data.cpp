// flash.display.BitmapData: construction within the version's size limits,
// the size properties, pixels read and written one at a time, and the
// operations over rectangles of pixels. Each method answers as Flash's
// does when its arguments do not do: a negative number (-1 for too few
// arguments or a disposed bitmap, -2 on for the first argument that is not
// what it must be), which scripts see.
#include <algorithm>
#include <climits>
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/bitmap_data_object.h"
#include "swf/avm1/bitmap_ops.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/geom_objects.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {

BitmapDataObject* BitmapDataOf(Value v) {
  auto* b = dynamic_cast<BitmapDataObject*>(v.AsObject());
  return b && b->pixels ? b : nullptr;
}

bool BitmapSizeAllowed(int swfVersion, std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return false;
  if (swfVersion < 10) return width <= 2880 && height <= 2880;
  return width <= 8191 && height <= 8191 && width * height < (std::int64_t{1} << 24);
}

void MakeWritable(Runtime& rt, BitmapPixels& pixels) {
  if (!pixels.Uniform()) return;
  const std::uint64_t bytes = pixels.FullBytes();
  if (!rt.heap.Allows(bytes)) throw ScriptStop{StopReason::Memory};
  pixels.Row(0);
  rt.heap.Charge(bytes);
}

void CountPixels(Runtime& rt, std::int64_t pixels) {
  if (pixels > 0) rt.CountWork(static_cast<std::uint64_t>(pixels));
}

std::int32_t IntArg(Runtime& rt, std::span<const Value> args, std::size_t i) {
  return ToInt32(rt.ToNumber(Arg(args, i)));
}

std::uint32_t ColourArg(Runtime& rt, std::span<const Value> args, std::size_t i) {
  return ToUint32(rt.ToNumber(Arg(args, i)));
}

std::optional<BitmapRect> RectArg(Runtime& rt, Value v) {
  if (!v.IsObject()) return std::nullopt;
  Value parts[4];
  const char* names[] = {"x", "y", "width", "height"};
  for (int i = 0; i < 4; ++i) {
    parts[i] = rt.GetMember(v, names[i]);
    if (parts[i].IsUndefined()) return std::nullopt;
  }
  return BitmapRect{ToInt32(rt.ToNumber(parts[0])), ToInt32(rt.ToNumber(parts[1])), ToInt32(rt.ToNumber(parts[2])),
                   ToInt32(rt.ToNumber(parts[3]))};
}

std::optional<std::pair<std::int32_t, std::int32_t>> PointArg(Runtime& rt, Value v) {
  if (!v.IsObject()) return std::nullopt;
  const Value x = rt.GetMember(v, "x"), y = rt.GetMember(v, "y");
  if (x.IsUndefined() || y.IsUndefined()) return std::nullopt;
  return std::pair{ToInt32(rt.ToNumber(x)), ToInt32(rt.ToNumber(y))};
}

std::pair<std::int32_t, std::int32_t> PointOrOrigin(Runtime& rt, Value v) {
  if (!v.IsObject()) return {0, 0};
  return {ToInt32(rt.ToNumber(rt.GetMember(v, "x"))), ToInt32(rt.ToNumber(rt.GetMember(v, "y")))};
}

namespace {

Value Code(double n) { return Value::Number(n); }
Value PixelValue(std::uint32_t p) { return Value::Number(static_cast<std::int32_t>(p)); }

Object* BitmapDataProto(Runtime& rt) {
  const Value flash = rt.GetMember(Value::Obj(rt.global), "flash");
  const Value ctor = rt.GetMember(rt.GetMember(flash, "display"), "BitmapData");
  return rt.GetMember(ctor, "prototype").AsObject();
}

// --- construction and properties ---------------------------------------------

Value BitmapDataCall(Runtime&, Value, std::span<const Value>) { return Value(); }

Value BitmapDataConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  if (args.size() < 2) return Value();
  const std::int32_t width = IntArg(rt, args, 0), height = IntArg(rt, args, 1);
  if (!BitmapSizeAllowed(rt.version, width, height)) return Value();
  const bool transparent = args.size() > 2 ? rt.ToBoolean(args[2]) : true;
  const std::uint32_t fill = args.size() > 3 ? ColourArg(rt, args, 3) : 0xFFFFFFFFu;
  return Value::Obj(rt.heap.Make<BitmapDataObject>(
      proto, std::make_shared<BitmapPixels>(width, height, transparent, fill)));
}

Value GetWidth(Runtime&, Value self, std::span<const Value>) {
  BitmapDataObject* b = BitmapDataOf(self);
  return b ? Code(b->pixels->Width()) : Code(-1);
}
Value GetHeight(Runtime&, Value self, std::span<const Value>) {
  BitmapDataObject* b = BitmapDataOf(self);
  return b ? Code(b->pixels->Height()) : Code(-1);
}
Value GetTransparent(Runtime&, Value self, std::span<const Value>) {
  BitmapDataObject* b = BitmapDataOf(self);
  return b ? Value::Bool(b->pixels->Transparent()) : Code(-1);
}
Value GetRectangle(Runtime& rt, Value self, std::span<const Value>) {
  BitmapDataObject* b = BitmapDataOf(self);
  return b ? NewRectangle(rt, 0, 0, b->pixels->Width(), b->pixels->Height()) : Code(-1);
}

// --- single pixels -------------------------------------------------------------

Value GetPixel32(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::int32_t x = IntArg(rt, args, 0), y = IntArg(rt, args, 1);
  return b->pixels->Contains(x, y) ? PixelValue(b->pixels->Colour(x, y)) : Code(0);
}

Value GetPixel(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::int32_t x = IntArg(rt, args, 0), y = IntArg(rt, args, 1);
  return b->pixels->Contains(x, y) ? Code(b->pixels->Colour(x, y) & 0xFFFFFF) : Code(0);
}

void PutPixel(Runtime& rt, BitmapPixels& p, std::int32_t x, std::int32_t y, std::uint32_t argb) {
  if (!p.Contains(x, y)) return;
  if (p.Uniform() && p.ToStored(argb) == p.UniformPixel()) return;
  MakeWritable(rt, p);
  p.SetColour(x, y, argb);
  p.Touch();
}

Value SetPixel32(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  const std::int32_t x = IntArg(rt, args, 0), y = IntArg(rt, args, 1);
  PutPixel(rt, *b->pixels, x, y, ColourArg(rt, args, 2));
  return Code(0);
}

// The pixel's own alpha stays.
Value SetPixel(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  const std::int32_t x = IntArg(rt, args, 0), y = IntArg(rt, args, 1);
  const std::uint32_t rgb = ColourArg(rt, args, 2) & 0xFFFFFF;
  BitmapPixels& p = *b->pixels;
  if (p.Contains(x, y)) PutPixel(rt, p, x, y, (p.Colour(x, y) & 0xFF000000u) | rgb);
  return Code(0);
}

// --- whole rectangles ------------------------------------------------------------

// A rectangle of negative size reaches back from its corner: the same
// pixels, given from their first corner.
BitmapRect ReachingForward(BitmapRect r) {
  const auto flip = [](std::int32_t& at, std::int32_t& size) {
    if (size >= 0) return;
    at = static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{at} + size, INT32_MIN));
    size = static_cast<std::int32_t>(std::min<std::int64_t>(-std::int64_t{size}, INT32_MAX));
  };
  flip(r.x, r.width);
  flip(r.y, r.height);
  return r;
}

Value FillRectMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::optional<BitmapRect> rect = RectArg(rt, args[0]);
  if (!rect) return Code(-1);
  const std::uint32_t colour = ColourArg(rt, args, 1);
  BitmapPixels& p = *b->pixels;
  const BitmapRect r = Clipped(ReachingForward(*rect), p.Width(), p.Height());
  if (r.Empty()) return Code(0);
  if (!(r == p.Bounds())) {
    CountPixels(rt, r.Area());
    MakeWritable(rt, p);
  }
  FillRect(p, r, colour);
  p.Touch();
  return Code(0);
}

Value Clone(Runtime& rt, Value self, std::span<const Value>) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b) return Code(-1);
  const BitmapPixels& p = *b->pixels;
  if (!p.Uniform()) {
    CountPixels(rt, p.Bounds().Area());
    if (!rt.heap.Allows(p.HeldBytes())) throw ScriptStop{StopReason::Memory};
  }
  auto copy = std::make_shared<BitmapPixels>(p);
  rt.heap.Charge(copy->HeldBytes());
  return NewBitmapData(rt, std::move(copy));
}

Value Dispose(Runtime&, Value self, std::span<const Value>) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b) return Code(-1);
  b->pixels->Dispose();
  b->pixels.reset();
  return Value();
}

Value ColorTransformMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::optional<BitmapRect> rect = RectArg(rt, args[0]);
  if (!rect) return Code(-2);
  const std::optional<ColorTransform> cx = ColorTransformOf(rt, args[1]);
  if (!cx) return Code(-3);
  BitmapPixels& p = *b->pixels;
  const BitmapRect r = Clipped(*rect, p.Width(), p.Height());
  if (r.Empty()) return Code(-1);
  if (!(r == p.Bounds() && p.Uniform())) {
    CountPixels(rt, r.Area());
    MakeWritable(rt, p);
  }
  ApplyColorTransform(p, r, *cx);
  p.Touch();
  return Code(-1);
}

Value CopyChannelMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 5) return Code(-1);
  auto* sourceObject = dynamic_cast<BitmapDataObject*>(args[0].AsObject());
  if (!sourceObject) return Code(-2);
  if (!sourceObject->pixels) return Code(-3);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-4);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  const auto from = ToUint32(rt.ToNumber(args[3])), to = ToUint32(rt.ToNumber(args[4]));
  // The source is read whole before the target changes, so the two may be
  // one bitmap.
  const BitmapPixels source = *sourceObject->pixels;
  BitmapPixels& p = *b->pixels;
  CountPixels(rt, Clipped(*rect, source.Width(), source.Height()).Area());
  MakeWritable(rt, p);
  CopyChannel(p, source, *rect, x, y, from, to);
  p.Touch();
  return Code(-1);
}

Value CopyPixelsMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  BitmapDataObject* source = BitmapDataOf(args[0]);
  if (!source) return Code(-2);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-3);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  std::optional<AlphaSource> alpha;
  if (BitmapDataObject* a = BitmapDataOf(Arg(args, 3))) {
    const auto [ax, ay] = PointOrOrigin(rt, Arg(args, 4));
    alpha = AlphaSource{a->pixels.get(), ax, ay};
  }
  const bool merge = args.size() > 5 && rt.ToBoolean(args[5]);
  BitmapPixels& p = *b->pixels;
  CountPixels(rt, Clipped(*rect, source->pixels->Width(), source->pixels->Height()).Area());
  MakeWritable(rt, p);
  CopyPixels(p, *source->pixels, *rect, x, y, alpha, merge);
  p.Touch();
  return Code(-1);
}

Value CompareMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.empty()) return Code(-1);
  BitmapDataObject* other = BitmapDataOf(args[0]);
  if (!other) return Code(-2);
  const BitmapPixels &p = *b->pixels, &q = *other->pixels;
  if (p.Width() != q.Width()) return Code(-3);
  if (p.Height() != q.Height()) return Code(-4);
  CountPixels(rt, p.Bounds().Area());
  if (!rt.heap.Allows(p.FullBytes())) throw ScriptStop{StopReason::Memory};
  std::optional<BitmapPixels> difference = Compare(p, q);
  if (!difference) return Code(0);
  rt.heap.Charge(difference->HeldBytes());
  return NewBitmapData(rt, std::make_shared<BitmapPixels>(std::move(*difference)));
}

Value GetColorBoundsRect(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::uint32_t mask = ColourArg(rt, args, 0), colour = ColourArg(rt, args, 1);
  const bool find = args.size() > 2 ? rt.ToBoolean(args[2]) : true;
  const BitmapPixels& p = *b->pixels;
  if (!p.Uniform()) CountPixels(rt, p.Bounds().Area());
  const BitmapRect r = ColorBounds(p, mask, colour, find);
  return NewRectangle(rt, r.x, r.y, r.width, r.height);
}

Value ScrollMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 2) return Code(-1);
  const std::int32_t dx = IntArg(rt, args, 0), dy = IntArg(rt, args, 1);
  BitmapPixels& p = *b->pixels;
  if (!p.Uniform()) {
    CountPixels(rt, p.Bounds().Area());
    Scroll(p, dx, dy);
    p.Touch();
  }
  return Code(0);
}

Value FloodFillMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  const std::int32_t x = IntArg(rt, args, 0), y = IntArg(rt, args, 1);
  const std::uint32_t colour = ColourArg(rt, args, 2);
  BitmapPixels& p = *b->pixels;
  if (!p.Contains(x, y)) return Code(0);
  CountPixels(rt, p.Bounds().Area());
  if (p.Uniform()) {
    p.FillAll(p.ToStored(colour));
  } else {
    FloodFill(p, x, y, colour);
  }
  p.Touch();
  return Code(0);
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject [, secondPoint,
// secondAlphaThreshold]): the second object is a point, a rectangle or a
// bitmap, all in the first bitmap's space shifted by firstPoint.
Value HitTest(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  const auto first = PointArg(rt, args[0]);
  if (!first) return Code(-2);
  const std::int32_t threshold = IntArg(rt, args, 1);
  const BitmapPixels& p = *b->pixels;
  const Value second = args[2];
  if (auto* other = dynamic_cast<BitmapDataObject*>(second.AsObject())) {
    if (!other->pixels) return Code(-3);
    std::pair<std::int32_t, std::int32_t> at{0, 0};
    if (args.size() > 3) {
      const auto given = PointArg(rt, args[3]);
      if (!given) return Code(-4);
      at = *given;
    }
    const std::int32_t otherThreshold = args.size() > 4 ? IntArg(rt, args, 4) : 1;
    CountPixels(rt, p.Bounds().Area());
    return Value::Bool(BitmapsHit(p, first->first, first->second, threshold, *other->pixels, at.first, at.second,
                                  otherThreshold));
  }
  if (const auto rect = RectArg(rt, second)) {
    const BitmapRect r{rect->x - first->first, rect->y - first->second, rect->width, rect->height};
    CountPixels(rt, Clipped(r, p.Width(), p.Height()).Area());
    return Value::Bool(RectHits(p, r, threshold));
  }
  if (const auto point = PointArg(rt, second))
    return Value::Bool(PixelHits(p, point->first - first->first, point->second - first->second, threshold));
  return Code(-3);
}

std::optional<ThresholdOp> OperationOf(std::string_view s) {
  if (s == "<") return ThresholdOp::Less;
  if (s == "<=") return ThresholdOp::LessEqual;
  if (s == ">") return ThresholdOp::Greater;
  if (s == ">=") return ThresholdOp::GreaterEqual;
  if (s == "==") return ThresholdOp::Equal;
  if (s == "!=") return ThresholdOp::NotEqual;
  return std::nullopt;
}

// threshold(source, sourceRect, destPoint, operation, threshold [, colour,
// mask, copySource]): how many pixels passed.
Value ThresholdMethod(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 5) return Code(-1);
  BitmapDataObject* source = BitmapDataOf(args[0]);
  if (!source) return Code(-2);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-3);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  const std::optional<ThresholdOp> op = OperationOf(rt.ToString(args[3]));
  if (!op) return Code(0);
  const std::uint32_t limit = ColourArg(rt, args, 4);
  const std::uint32_t colour = args.size() > 5 ? ColourArg(rt, args, 5) : 0;
  const std::uint32_t mask = args.size() > 6 ? ColourArg(rt, args, 6) : 0xFFFFFFFFu;
  const bool copySource = args.size() > 7 && rt.ToBoolean(args[7]);
  const BitmapPixels from = *source->pixels;
  BitmapPixels& p = *b->pixels;
  CountPixels(rt, Clipped(*rect, from.Width(), from.Height()).Area());
  MakeWritable(rt, p);
  const std::int64_t passed = Threshold(p, from, *rect, x, y, *op, limit, colour, mask, copySource);
  p.Touch();
  return Code(static_cast<double>(passed));
}

// merge(): each channel mixed, mult / 256 of the source to the rest of
// the target.
Value Merge(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 7) return Code(-1);
  BitmapDataObject* source = BitmapDataOf(args[0]);
  if (!source) return Code(-2);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-3);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  std::uint32_t mult[4];  // red, green, blue, alpha
  for (int i = 0; i < 4; ++i) mult[i] = static_cast<std::uint32_t>(std::clamp(IntArg(rt, args, 3 + i), 0, 256));
  const BitmapPixels from = *source->pixels;
  BitmapPixels& p = *b->pixels;
  const BitmapRect r = Clipped(*rect, from.Width(), from.Height());
  CountPixels(rt, r.Area());
  MakeWritable(rt, p);
  for (std::int32_t j = 0; j < r.height; ++j) {
    for (std::int32_t i = 0; i < r.width; ++i) {
      const std::int64_t tx = std::int64_t{x} + (r.x - rect->x) + i, ty = std::int64_t{y} + (r.y - rect->y) + j;
      if (!p.Contains(tx, ty)) continue;
      const auto px = static_cast<std::int32_t>(tx), py = static_cast<std::int32_t>(ty);
      const std::uint32_t s = from.Colour(r.x + i, r.y + j), d = p.Colour(px, py);
      std::uint32_t out = 0;
      const int shifts[4] = {16, 8, 0, 24};
      for (int c = 0; c < 4; ++c) {
        const std::uint32_t sc = (s >> shifts[c]) & 0xFF, dc = (d >> shifts[c]) & 0xFF;
        out |= ((sc * mult[c] + dc * (256 - mult[c])) / 256) << shifts[c];
      }
      p.SetColour(px, py, out);
    }
  }
  p.Touch();
  return Value();
}

// paletteMap(): each channel looks up its array (a missing array keeps
// the channel); the four results are added.
Value PaletteMap(Runtime& rt, Value self, std::span<const Value> args) {
  BitmapDataObject* b = BitmapDataOf(self);
  if (!b || args.size() < 3) return Code(-1);
  BitmapDataObject* source = BitmapDataOf(args[0]);
  if (!source) return Code(-2);
  const std::optional<BitmapRect> rect = RectArg(rt, args[1]);
  if (!rect) return Code(-3);
  const auto [x, y] = PointOrOrigin(rt, args[2]);
  const int shifts[4] = {16, 8, 0, 24};
  std::vector<std::uint32_t> table(4 * 256);
  for (int c = 0; c < 4; ++c) {
    ArrayObject* array = AsArray(Arg(args, 3 + c));
    for (std::uint32_t v = 0; v < 256; ++v)
      table[c * 256 + v] = array ? ToUint32(rt.ToNumber(array->At(v))) : v << shifts[c];
  }
  const BitmapPixels from = *source->pixels;
  BitmapPixels& p = *b->pixels;
  const BitmapRect r = Clipped(*rect, from.Width(), from.Height());
  CountPixels(rt, r.Area());
  MakeWritable(rt, p);
  for (std::int32_t j = 0; j < r.height; ++j) {
    for (std::int32_t i = 0; i < r.width; ++i) {
      const std::int64_t tx = std::int64_t{x} + (r.x - rect->x) + i, ty = std::int64_t{y} + (r.y - rect->y) + j;
      if (!p.Contains(tx, ty)) continue;
      const std::uint32_t s = from.Colour(r.x + i, r.y + j);
      std::uint32_t out = 0;
      for (int c = 0; c < 4; ++c) out += table[c * 256 + ((s >> shifts[c]) & 0xFF)];
      p.SetColour(static_cast<std::int32_t>(tx), static_cast<std::int32_t>(ty), out);
    }
  }
  p.Touch();
  return Value();
}

}  // namespace

Value NewBitmapData(Runtime& rt, std::shared_ptr<BitmapPixels> pixels) {
  Object* proto = BitmapDataProto(rt);
  return Value::Obj(rt.heap.Make<BitmapDataObject>(proto ? proto : rt.objectProto, std::move(pixels)));
}

void InstallBitmapDataBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  // The size properties are listed by for-in.
  DefineAccessor(rt, p, "width", GetWidth, nullptr, kDontDelete);
  DefineAccessor(rt, p, "height", GetHeight, nullptr, kDontDelete);
  DefineAccessor(rt, p, "transparent", GetTransparent, nullptr, kDontDelete);
  DefineAccessor(rt, p, "rectangle", GetRectangle, nullptr, kDontDelete);
  rt.DefineMethod(p, "getPixel", GetPixel);
  rt.DefineMethod(p, "getPixel32", GetPixel32);
  rt.DefineMethod(p, "setPixel", SetPixel);
  rt.DefineMethod(p, "setPixel32", SetPixel32);
  rt.DefineMethod(p, "fillRect", FillRectMethod);
  rt.DefineMethod(p, "clone", Clone);
  rt.DefineMethod(p, "dispose", Dispose);
  rt.DefineMethod(p, "colorTransform", ColorTransformMethod);
  rt.DefineMethod(p, "copyChannel", CopyChannelMethod);
  rt.DefineMethod(p, "copyPixels", CopyPixelsMethod);
  rt.DefineMethod(p, "compare", CompareMethod);
  rt.DefineMethod(p, "getColorBoundsRect", GetColorBoundsRect);
  rt.DefineMethod(p, "scroll", ScrollMethod);
  rt.DefineMethod(p, "floodFill", FloodFillMethod);
  rt.DefineMethod(p, "hitTest", HitTest);
  rt.DefineMethod(p, "threshold", ThresholdMethod);
  rt.DefineMethod(p, "merge", Merge);
  rt.DefineMethod(p, "paletteMap", PaletteMap);
  FunctionObject* ctor =
      DefinePackageClass(rt, "flash.display", "BitmapData", p, BitmapDataCall, BitmapDataConstruct);
  InstallBitmapEffects(rt, p, ctor);
}

}  // namespace dc::swf::avm1

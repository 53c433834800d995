// flash.geom.Transform, a clip's `transform` and its `filters`: a
// Transform reads and writes the clip's own matrix and colour transform,
// and works out the ones concatenated up to the root and the clip's bounds
// on the stage. Every read makes new objects; a write copies the values
// in. The colour transforms keep Flash's fixed point: multipliers in 1/256
// and offsets in 16 bits, concatenation rounding down at each level.
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/filter_objects.h"
#include "swf/avm1/geom_objects.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

class TransformObject final : public Object {
 public:
  TransformObject(Object* prototype, Value c) : Object(prototype), clip(c) {}
  void Trace(Heap& heap) override {
    Object::Trace(heap);
    heap.Mark(clip);
  }
  std::size_t Footprint() const override { return sizeof(TransformObject) + props.Bytes(); }
  Value clip;  // the clip's script object
};

Clip* ClipOfTransform(Value self) {
  auto* t = dynamic_cast<TransformObject*>(self.AsObject());
  return t ? Runtime::ClipOf(t->clip) : nullptr;
}

// Twips in the display list, pixels to scripts.
Matrix ToPixels(Matrix m) {
  m.tx /= kTwipsPerPixel;
  m.ty /= kTwipsPerPixel;
  return m;
}
Matrix ToTwips(Matrix m) {
  m.tx = std::round(m.tx * kTwipsPerPixel);
  m.ty = std::round(m.ty * kTwipsPerPixel);
  return m;
}

// The colour transform as the player holds it.
struct FixedTransform {
  std::int32_t mul[4], add[4];  // red, green, blue, alpha
};

std::int16_t Wrap16(std::int64_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF)); }

FixedTransform Fixed(const ColorTransform& cx) {
  const double mul[4] = {cx.mulR, cx.mulG, cx.mulB, cx.mulA}, add[4] = {cx.addR, cx.addG, cx.addB, cx.addA};
  FixedTransform f{};
  for (int i = 0; i < 4; ++i) {
    f.mul[i] = Wrap16(ToInt32(mul[i] * 256));
    f.add[i] = Wrap16(ToInt32(add[i]));
  }
  return f;
}

ColorTransform Floating(const FixedTransform& f) {
  return {f.mul[0] / 256.0, f.mul[1] / 256.0, f.mul[2] / 256.0, f.mul[3] / 256.0,
          double(f.add[0]),  double(f.add[1]),  double(f.add[2]),  double(f.add[3])};
}

// `outer` applied after `inner`.
FixedTransform Concatenated(const FixedTransform& outer, const FixedTransform& inner) {
  FixedTransform f{};
  for (int i = 0; i < 4; ++i) {
    f.mul[i] = Wrap16((std::int64_t{outer.mul[i]} * inner.mul[i]) >> 8);
    f.add[i] = Wrap16(((std::int64_t{inner.add[i]} * outer.mul[i]) >> 8) + outer.add[i]);
  }
  return f;
}

// A rectangle's corners under a matrix, boxed.
TwipRect Boxed(const TwipRect& r, const Matrix& m) {
  const Point c[] = {m.Apply({double(r.xMin), double(r.yMin)}), m.Apply({double(r.xMax), double(r.yMin)}),
                     m.Apply({double(r.xMin), double(r.yMax)}), m.Apply({double(r.xMax), double(r.yMax)})};
  double x0 = c[0].x, x1 = x0, y0 = c[0].y, y1 = y0;
  for (const Point& p : c) x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  const auto i = [](double v) { return static_cast<std::int32_t>(std::clamp(std::round(v), -1e9, 1e9)); };
  return {i(x0), i(x1), i(y0), i(y1)};
}

Value TransformCall(Runtime&, Value, std::span<const Value>) { return Value(); }

Value TransformConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  if (!Runtime::ClipOf(Arg(args, 0))) return Value();
  return Value::Obj(rt.heap.Make<TransformObject>(proto, args[0]));
}

Value GetMatrix(Runtime& rt, Value self, std::span<const Value>) {
  Clip* c = ClipOfTransform(self);
  return c ? NewMatrix(rt, ToPixels(c->GetMatrix())) : Value();
}

Value SetMatrix(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ClipOfTransform(self);
  if (!c || !IsGeom(rt, Arg(args, 0), "Matrix")) return Value();
  const std::optional<Matrix> m = MatrixOf(rt, args[0]);
  if (m && std::isfinite(m->a) && std::isfinite(m->b) && std::isfinite(m->c) && std::isfinite(m->d) &&
      std::isfinite(m->tx) && std::isfinite(m->ty))
    c->SetMatrix(ToTwips(*m));
  return Value();
}

Value GetColorTransform(Runtime& rt, Value self, std::span<const Value>) {
  Clip* c = ClipOfTransform(self);
  return c ? NewColorTransform(rt, c->GetColorTransform()) : Value();
}

Value SetColorTransform(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ClipOfTransform(self);
  if (!c) return Value();
  if (const std::optional<ColorTransform> cx = ColorTransformOf(rt, Arg(args, 0)))
    c->SetColorTransform(Floating(Fixed(*cx)));
  return Value();
}

Value GetConcatenatedMatrix(Runtime& rt, Value self, std::span<const Value>) {
  Clip* c = ClipOfTransform(self);
  if (!c) return Value();
  Matrix m;
  int hops = 0;
  for (Clip* at = c; at && hops < 4096; at = at->Parent(), ++hops) m = at->GetMatrix() * m;
  return NewMatrix(rt, ToPixels(m));
}

Value GetConcatenatedColorTransform(Runtime& rt, Value self, std::span<const Value>) {
  Clip* c = ClipOfTransform(self);
  if (!c) return Value();
  FixedTransform f = Fixed(c->GetColorTransform());
  int hops = 0;
  for (Clip* at = c->Parent(); at && hops < 4096; at = at->Parent(), ++hops)
    f = Concatenated(Fixed(at->GetColorTransform()), f);
  return NewColorTransform(rt, Floating(f));
}

// The clip's bounds on the stage, whole pixels; nothing for an empty clip.
Value GetPixelBounds(Runtime& rt, Value self, std::span<const Value>) {
  Clip* c = ClipOfTransform(self);
  if (!c) return Value();
  const TwipRect own = c->Bounds(c);
  if (own.Empty()) return NewRectangle(rt, 0, 0, 0, 0);
  Matrix m;
  int hops = 0;
  for (Clip* at = c; at && hops < 4096; at = at->Parent(), ++hops) m = at->GetMatrix() * m;
  const TwipRect r = Boxed(own, m);
  const auto px = [](std::int64_t twips) { return std::floor(twips / kTwipsPerPixel); };
  const double x0 = px(r.xMin), y0 = px(r.yMin);
  return NewRectangle(rt, x0, y0, std::ceil(r.xMax / kTwipsPerPixel) - x0, std::ceil(r.yMax / kTwipsPerPixel) - y0);
}

// MovieClip.transform: a new Transform of the clip at each read; a write
// takes another Transform's matrix and colour transform.
Value ClipGetTransform(Runtime& rt, Value self, std::span<const Value>) {
  if (!Runtime::ClipOf(self)) return Value();
  const Value flash = rt.GetMember(Value::Obj(rt.global), "flash");
  const Value ctor = rt.GetMember(rt.GetMember(flash, "geom"), "Transform");
  Object* proto = rt.GetMember(ctor, "prototype").AsObject();
  return Value::Obj(rt.heap.Make<TransformObject>(proto ? proto : rt.objectProto, self));
}

Value ClipSetTransform(Runtime&, Value self, std::span<const Value> args) {
  Clip* c = Runtime::ClipOf(self);
  Clip* from = ClipOfTransform(Arg(args, 0));
  if (!c || !from) return Value();
  c->SetMatrix(from->GetMatrix());
  c->SetColorTransform(from->GetColorTransform());
  return Value();
}

// MovieClip.filters: copies out, as new filter objects in a new array, and
// copies in from any array (what is not a filter is left out).
Value ClipGetFilters(Runtime& rt, Value self, std::span<const Value>) {
  Clip* c = Runtime::ClipOf(self);
  if (!c) return Value();
  std::vector<Value> out;
  for (const Filter& f : c->GetFilters()) out.push_back(NewFilterObject(rt, f));
  return Value::Obj(rt.NewArray(out));
}

Value ClipSetFilters(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = Runtime::ClipOf(self);
  ArrayObject* array = AsArray(Arg(args, 0));
  if (!c) return Value();
  std::vector<Filter> filters;
  if (array) {
    for (const Value& v : array->Values(rt))
      if (std::optional<Filter> f = FilterOf(v)) filters.push_back(std::move(*f));
  }
  c->SetFilters(std::move(filters));
  return Value();
}

}  // namespace

void InstallTransformBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  DefineAccessor(rt, p, "matrix", GetMatrix, SetMatrix);
  DefineAccessor(rt, p, "colorTransform", GetColorTransform, SetColorTransform);
  DefineAccessor(rt, p, "concatenatedMatrix", GetConcatenatedMatrix, nullptr);
  DefineAccessor(rt, p, "concatenatedColorTransform", GetConcatenatedColorTransform, nullptr);
  DefineAccessor(rt, p, "pixelBounds", GetPixelBounds, nullptr);
  DefinePackageClass(rt, "flash.geom", "Transform", p, TransformCall, TransformConstruct);
  // What Flash 8 added to every clip, seen by Flash 8 movies on.
  if (rt.version >= 8 && rt.clipProto) {
    DefineAccessor(rt, rt.clipProto, "transform", ClipGetTransform, ClipSetTransform);
    DefineAccessor(rt, rt.clipProto, "filters", ClipGetFilters, ClipSetFilters);
  }
}

}  // namespace dc::swf::avm1

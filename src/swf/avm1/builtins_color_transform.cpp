// flash.geom.ColorTransform: four multipliers and four offsets (in 0..255
// units) as ordinary members, `rgb` read and set through the offsets, and
// concat.
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/geom_objects.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

struct Field {
  std::string_view name;
  double ColorTransform::*member;
  double initial;
};
constexpr Field kFields[] = {
    {"redMultiplier", &ColorTransform::mulR, 1}, {"greenMultiplier", &ColorTransform::mulG, 1},
    {"blueMultiplier", &ColorTransform::mulB, 1}, {"alphaMultiplier", &ColorTransform::mulA, 1},
    {"redOffset", &ColorTransform::addR, 0},      {"greenOffset", &ColorTransform::addG, 0},
    {"blueOffset", &ColorTransform::addB, 0},     {"alphaOffset", &ColorTransform::addA, 0},
};

ColorTransform Read(Runtime& rt, Value v) {
  ColorTransform cx;
  for (const Field& f : kFields) cx.*f.member = NumberMember(rt, v, f.name);
  return cx;
}

void Write(Runtime& rt, Value self, const ColorTransform& cx) {
  for (const Field& f : kFields) rt.SetMember(self, f.name, Value::Number(cx.*f.member));
}

// Each argument given is taken as a number; absent ones take the identity's.
void Init(Runtime& rt, Value self, std::span<const Value> args) {
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const Value a = Arg(args, i);
    rt.SetMember(self, kFields[i].name, Value::Number(i < args.size() ? rt.ToNumber(a) : kFields[i].initial));
  }
}

Value Call(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject(); o && o != rt.global) Init(rt, self, args);
  return Value();
}

Value Construct(Runtime& rt, Object* proto, std::span<const Value> args) {
  const Value cx = Value::Obj(rt.NewObject(proto));
  Init(rt, cx, args);
  return cx;
}

Value GetRgb(Runtime& rt, Value self, std::span<const Value>) {
  const auto channel = [&](std::string_view name) { return ToInt32(NumberMember(rt, self, name)); };
  return Value::Number((channel("redOffset") << 16) | (channel("greenOffset") << 8) | channel("blueOffset"));
}

// A colour set this way replaces the colour: the multipliers go to 0.
Value SetRgb(Runtime& rt, Value self, std::span<const Value> args) {
  const std::uint32_t rgb = ToUint32(rt.ToNumber(Arg(args, 0)));
  rt.SetMember(self, "redOffset", Value::Number((rgb >> 16) & 0xFF));
  rt.SetMember(self, "greenOffset", Value::Number((rgb >> 8) & 0xFF));
  rt.SetMember(self, "blueOffset", Value::Number(rgb & 0xFF));
  for (std::string_view name : {"redMultiplier", "greenMultiplier", "blueMultiplier"})
    rt.SetMember(self, name, Value::Number(0));
  return Value();
}

// `second` is applied first, then this transform.
Value Concat(Runtime& rt, Value self, std::span<const Value> args) {
  Write(rt, self, Read(rt, self) * Read(rt, Arg(args, 0)));
  return Value();
}

Value ToString(Runtime& rt, Value self, std::span<const Value>) {
  std::string s = "(";
  for (const Field& f : kFields) {
    if (s.size() > 1) s += ", ";
    s += std::string(f.name) + "=" + rt.ToString(rt.GetMember(self, f.name));
  }
  return rt.Str(s + ")");
}

}  // namespace

Value NewColorTransform(Runtime& rt, const ColorTransform& cx) {
  return NewGeom(rt, "ColorTransform",
                 {Value::Number(cx.mulR), Value::Number(cx.mulG), Value::Number(cx.mulB), Value::Number(cx.mulA),
                  Value::Number(cx.addR), Value::Number(cx.addG), Value::Number(cx.addB), Value::Number(cx.addA)});
}

std::optional<ColorTransform> ColorTransformOf(Runtime& rt, Value v) {
  if (!IsGeom(rt, v, "ColorTransform")) return std::nullopt;
  return Read(rt, v);
}

void InstallColorTransformBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "concat", Concat);
  rt.DefineMethod(p, "toString", ToString);
  DefineAccessor(rt, p, "rgb", GetRgb, SetRgb);
  DefinePackageClass(rt, "flash.geom", "ColorTransform", p, Call, Construct);
}

}  // namespace dc::swf::avm1

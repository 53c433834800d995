// Color: a script's handle on a clip's colour transform. setRGB tints the
// clip one colour; setTransform and getTransform speak in the percent
// multipliers and 0..255 offsets of the authoring tool, kept at the
// player's precision.
#include <cmath>
#include <cstdint>

#include "swf/avm1/builtins.h"
#include "swf/avm1/clip.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::string_view kTarget = "target";

// The clip a Color object was made for: a clip, or a target path from the
// root, looked up at each call as Flash does.
Clip* TargetOf(Runtime& rt, Value self) {
  Object* o = self.AsObject();
  if (!o) return nullptr;
  Value target;
  if (!rt.TryGet(o, kTarget, target)) return nullptr;
  if (Clip* clip = Runtime::ClipOf(target)) return clip;
  if (!target.IsString() || target.s->text.empty() || !rt.root) return nullptr;
  return Runtime::ClipOf(rt.ResolveTarget(rt.ObjectFor(*rt.root), rt.ToString(target)));
}

Value ColorConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  Object* color = rt.NewObject(proto);
  rt.DefineValue(color, kTarget, args.empty() ? Value() : args[0]);
  return Value::Obj(color);
}

Value ColorCall(Runtime&, Value, std::span<const Value>) { return Value(); }

Value SetRgb(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* clip = TargetOf(rt, self);
  if (!clip || args.empty()) return Value();
  const auto rgb = static_cast<std::uint32_t>(ToInt32(rt.ToNumber(args[0])));
  ColorTransform cx = clip->GetColorTransform();
  cx.mulR = cx.mulG = cx.mulB = 0;
  cx.addR = (rgb >> 16) & 0xFF;
  cx.addG = (rgb >> 8) & 0xFF;
  cx.addB = rgb & 0xFF;
  clip->SetColorTransform(cx);
  return Value();
}

Value GetRgb(Runtime& rt, Value self, std::span<const Value>) {
  Clip* clip = TargetOf(rt, self);
  if (!clip) return Value();
  const ColorTransform cx = clip->GetColorTransform();
  const auto channel = [](double v) { return static_cast<std::int32_t>(v); };
  return Value::Number(channel(cx.addR) << 16 | channel(cx.addG) << 8 | channel(cx.addB));
}

// The transform keeps each multiplier as 8.8 fixed point and each offset
// as a 16-bit integer, as the player's does: a percent reads back rounded
// down to 1/256, and what does not fit in 16 bits wraps.
struct Field {
  const char* name;
  double ColorTransform::*member;
  bool multiplier;
};
constexpr Field kFields[] = {
    {"ra", &ColorTransform::mulR, true}, {"rb", &ColorTransform::addR, false},
    {"ga", &ColorTransform::mulG, true}, {"gb", &ColorTransform::addG, false},
    {"ba", &ColorTransform::mulB, true}, {"bb", &ColorTransform::addB, false},
    {"aa", &ColorTransform::mulA, true}, {"ab", &ColorTransform::addA, false},
};

double Stored(const Field& f, double n) {
  const auto fixed = static_cast<std::int16_t>(ToInt32(f.multiplier ? n * 256 / 100 : n));
  return f.multiplier ? fixed / 256.0 : fixed;
}

// Only the fields the object holds itself change.
Value SetTransform(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* clip = TargetOf(rt, self);
  Object* given = args.empty() ? nullptr : args[0].AsObject();
  if (!clip || !given) return Value();
  ColorTransform cx = clip->GetColorTransform();
  for (const Field& f : kFields) {
    if (!rt.HasOwn(given, f.name)) continue;
    cx.*f.member = Stored(f, rt.ToNumber(rt.GetMember(Value::Obj(given), f.name)));
  }
  clip->SetColorTransform(cx);
  return Value();
}

Value GetTransform(Runtime& rt, Value self, std::span<const Value>) {
  Clip* clip = TargetOf(rt, self);
  if (!clip) return Value();
  const ColorTransform cx = clip->GetColorTransform();
  Object* out = rt.NewObject();
  for (const Field& f : kFields)
    rt.SetMember(Value::Obj(out), f.name, Value::Number(cx.*f.member * (f.multiplier ? 100 : 1)));
  return Value::Obj(out);
}

}  // namespace

void InstallColorBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "setRGB", SetRgb);
  rt.DefineMethod(p, "getRGB", GetRgb);
  rt.DefineMethod(p, "setTransform", SetTransform);
  rt.DefineMethod(p, "getTransform", GetTransform);
  DefineClass(rt, "Color", p, ColorCall, ColorConstruct);
}

}  // namespace dc::swf::avm1

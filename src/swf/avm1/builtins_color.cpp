// Color: a script's handle on a clip's colour transform. setRGB tints the
// clip one colour; setTransform and getTransform speak in the percent
// multipliers and 0..255 offsets of the authoring tool.
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
  if (!target.IsString() || !rt.root) return nullptr;
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

struct Field {
  const char* name;
  double ColorTransform::*member;
  double scale;  // script units per transform unit
};
constexpr Field kFields[] = {
    {"ra", &ColorTransform::mulR, 100}, {"rb", &ColorTransform::addR, 1}, {"ga", &ColorTransform::mulG, 100},
    {"gb", &ColorTransform::addG, 1},   {"ba", &ColorTransform::mulB, 100}, {"bb", &ColorTransform::addB, 1},
    {"aa", &ColorTransform::mulA, 100}, {"ab", &ColorTransform::addA, 1},
};

// Only the fields the object holds change.
Value SetTransform(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* clip = TargetOf(rt, self);
  Object* given = args.empty() ? nullptr : args[0].AsObject();
  if (!clip || !given) return Value();
  ColorTransform cx = clip->GetColorTransform();
  for (const Field& f : kFields) {
    Value v;
    if (!rt.TryGet(given, f.name, v) || v.IsNullish()) continue;
    const double n = rt.ToNumber(v);
    if (std::isfinite(n)) cx.*f.member = n / f.scale;
  }
  clip->SetColorTransform(cx);
  return Value();
}

Value GetTransform(Runtime& rt, Value self, std::span<const Value>) {
  Clip* clip = TargetOf(rt, self);
  if (!clip) return Value();
  const ColorTransform cx = clip->GetColorTransform();
  Object* out = rt.NewObject();
  for (const Field& f : kFields) rt.SetMember(Value::Obj(out), f.name, Value::Number(cx.*f.member * f.scale));
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

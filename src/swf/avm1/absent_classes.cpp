// The globals of Flash 7 and 8 that this player gives no behaviour: each is
// made, where no other part of the engine made it, as a class whose
// instances are plain objects or as an empty package object, so that a
// movie finds every name Flash has (and `flash`, as in Flash, only from
// SWF 8 on).
#include <string_view>

#include "swf/avm1/builtins.h"

namespace dc::swf::avm1 {
namespace {

struct Absent {
  std::string_view path;  // dotted from _global
  bool isClass;
  std::uint16_t flags;
};

constexpr Absent kAbsent[] = {
    {"AsBroadcaster", true, 0},
    {"Button", true, 0},
    {"MovieClipLoader", true, 0},
    {"Video", true, 0},
    {"System.IME", false, 0},
    {"flash", false, kFromSwf8},
    {"flash.display", false, 0},
    {"flash.display.BitmapData", true, 0},
    {"flash.external", false, 0},
    {"flash.external.ExternalInterface", true, 0},
    {"flash.filters", false, 0},
    {"flash.filters.BitmapFilter", true, 0},
    {"flash.filters.BevelFilter", true, 0},
    {"flash.filters.BlurFilter", true, 0},
    {"flash.filters.ColorMatrixFilter", true, 0},
    {"flash.filters.ConvolutionFilter", true, 0},
    {"flash.filters.DisplacementMapFilter", true, 0},
    {"flash.filters.DropShadowFilter", true, 0},
    {"flash.filters.GlowFilter", true, 0},
    {"flash.filters.GradientBevelFilter", true, 0},
    {"flash.filters.GradientGlowFilter", true, 0},
    {"flash.geom", false, 0},
    {"flash.geom.ColorTransform", true, 0},
    {"flash.geom.Matrix", true, 0},
    {"flash.geom.Point", true, 0},
    {"flash.geom.Rectangle", true, 0},
    {"flash.geom.Transform", true, 0},
    {"flash.net", false, 0},
    {"flash.net.FileReference", true, 0},
    {"flash.net.FileReferenceList", true, 0},
    {"flash.text", false, 0},
    {"flash.text.TextRenderer", true, 0},
};

Value NoValue(Runtime&, Value, std::span<const Value>) { return Value(); }
Value PlainInstance(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

}  // namespace

void InstallAbsentClasses(Runtime& rt) {
  for (const Absent& a : kAbsent) {
    // The holder is what the path before the last dot names from _global.
    Object* holder = rt.global;
    std::string_view name = a.path;
    if (const std::size_t dot = a.path.rfind('.'); dot != std::string_view::npos) {
      std::string_view rest = a.path.substr(0, dot);
      while (holder && !rest.empty()) {
        const std::size_t next = rest.find('.');
        Property* p = holder->props.Find(rest.substr(0, next), rt.caseSensitive);
        holder = p ? p->value.AsObject() : nullptr;
        rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
      }
      name = a.path.substr(dot + 1);
    }
    if (!holder || holder->props.Find(name, rt.caseSensitive)) continue;
    Value made;
    if (a.isClass) {
      FunctionObject* ctor = rt.NewNative(NoValue, PlainInstance);
      Object* proto = rt.NewObject();
      rt.DefineValue(ctor, "prototype", Value::Obj(proto), kDontEnum | kDontDelete);
      rt.DefineValue(proto, "constructor", Value::Obj(ctor));
      made = Value::Obj(ctor);
    } else {
      made = Value::Obj(rt.NewObject());
    }
    rt.DefineValue(holder, name, made, static_cast<std::uint16_t>(kDontEnum | a.flags));
  }
}

}  // namespace dc::swf::avm1

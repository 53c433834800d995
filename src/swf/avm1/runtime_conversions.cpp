// The engine's conversions of script values as Flash Player makes them: a
// number from an object is its valueOf's (an object without one gives
// undefined), a string from an object is its toString's when that is a
// string and "[type Object]" otherwise, and a clip reads as its path.
#include <cmath>

#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

bool Callable(Value f) { return f.IsObject() && f.o->cls == ObjectClass::Function; }

}  // namespace

Value Runtime::ConversionMethod(Value v, std::string_view name) {
  // Only real members: a conversion does not ask __resolve. A getter that
  // throws here makes the conversion go on without the method; the throw
  // comes after the action that converted.
  try {
    Value f;
    return v.IsObject() && TryGet(v.o, name, f) ? f : Value();
  } catch (const ScriptThrow& thrown) {
    DeferThrow(thrown);
    return Value();
  }
}

double Runtime::ToNumber(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return version >= 7 ? std::nan("") : 0.0;
    case ValueType::Boolean:
      return v.b ? 1 : 0;
    case ValueType::Number:
      return v.n;
    case ValueType::String:
      CountWork(v.s->text.size());  // read character by character
      return StringToNumber(v.s->text, version);
    case ValueType::Object: {
      // SWF 4 knew no objects: what is not a number there is 0.
      const Value p = ToPrimitive(v);
      if (p.IsObject()) return version <= 4 ? 0.0 : std::nan("");
      return ToNumber(p);
    }
  }
  return 0;
}

bool Runtime::ToBoolean(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return false;
    case ValueType::Boolean:
      return v.b;
    case ValueType::Number:
      return !(v.n == 0 || std::isnan(v.n));
    case ValueType::String:
      // Before SWF 7 a string is true when it is a nonzero number.
      if (version < 7) {
        CountWork(v.s->text.size());
        const double n = StringToNumber(v.s->text, version);
        return !(n == 0 || std::isnan(n));
      }
      return !v.s->text.empty();
    case ValueType::Object:
      return v.o->cls != ObjectClass::Clip || Resolve(static_cast<ClipObject*>(v.o)) != nullptr;
  }
  return false;
}

std::string Runtime::ToString(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
      return version >= 7 ? "undefined" : "";
    case ValueType::Null:
      return "null";
    case ValueType::Boolean:
      return v.b ? "true" : "false";
    case ValueType::Number:
      return NumberToString(v.n);
    case ValueType::String:
      return v.s->text;
    case ValueType::Object:
      return ObjectToString(v).s->text;
  }
  return {};
}

Value Runtime::ToStringValue(Value v) {
  if (v.IsString()) return v;
  if (v.IsObject()) return ObjectToString(v);
  return Str(ToString(v));
}

Value Runtime::ObjectToString(Value v) {
  Object* o = v.o;
  if (o->cls == ObjectClass::Clip) {
    // A clip reads as its path; one taken away, with nothing at its path
    // now, as an empty string.
    Clip* c = Resolve(static_cast<ClipObject*>(o));
    return c ? Str(DotPath(c)) : Str("");
  }
  DepthGuard guard(*this);
  const Value f = ConversionMethod(v, "toString");
  if (Callable(f)) {
    const Value r = Call(f, v, {});
    if (r.IsString()) return r;
  }
  return Str(o->cls == ObjectClass::Function ? "[type Function]" : "[type Object]");
}

Value Runtime::ToPrimitive(Value v, bool preferString) {
  if (!v.IsObject()) return v;
  Object* o = v.o;
  if (preferString || o->cls == ObjectClass::Date) return ObjectToString(v);
  // A clip taken away, with nothing at its path now, is an empty string.
  if (o->cls == ObjectClass::Clip && !Resolve(static_cast<ClipObject*>(o))) return Str("");
  DepthGuard guard(*this);
  const Value f = ConversionMethod(v, "valueOf");
  if (!Callable(f)) return Value();
  const Value r = Call(f, v, {});
  return r.IsObject() ? v : r;
}

}  // namespace dc::swf::avm1

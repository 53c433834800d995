// Object, Function, Boolean, Number and Error.
#include <algorithm>
#include <cmath>
#include <string>
#include <limits>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {

FunctionObject* DefineClass(Runtime& rt, std::string_view name, Object* proto, NativeFunction call,
                            NativeConstructor construct) {
  FunctionObject* ctor = rt.NewNative(call, construct);
  rt.DefineValue(ctor, "prototype", Value::Obj(proto), kDontEnum | kDontDelete);
  rt.DefineValue(proto, "constructor", Value::Obj(ctor));
  rt.DefineValue(rt.global, name, Value::Obj(ctor));
  return ctor;
}

Value PrimitiveOf(Value self) {
  if (Object* o = self.AsObject(); o && (o->cls == ObjectClass::Boolean || o->cls == ObjectClass::Number ||
                                        o->cls == ObjectClass::String))
    return static_cast<BoxObject*>(o)->primitive;
  return self;
}

namespace {

Value ObjectCall(Runtime& rt, Value, std::span<const Value> args) {
  const Value v = Arg(args, 0);
  if (v.IsObject()) return v;
  if (v.IsNullish()) return Value::Obj(rt.NewObject());
  return Value::Obj(rt.ToObject(v));
}

Value ObjectConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  const Value v = Arg(args, 0);
  if (v.IsObject()) return v;
  if (!v.IsNullish()) return Value::Obj(rt.ToObject(v));
  return Value::Obj(rt.NewObject(proto));
}

Value ObjectToString(Runtime& rt, Value self, std::span<const Value>) {
  Object* o = self.AsObject();
  if (o && o->cls == ObjectClass::Function) return rt.Str("[type Function]");
  return rt.Str("[object Object]");
}

Value ObjectValueOf(Runtime&, Value self, std::span<const Value>) { return self; }

Value HasOwnProperty(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o || args.empty()) return Value::Bool(false);
  std::string buffer;
  return Value::Bool(rt.HasOwn(o, rt.KeyOf(args[0], buffer)));
}

Value IsPrototypeOf(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = Arg(args, 0).AsObject();
  Object* proto = self.AsObject();
  int hops = 0;
  for (Object* cur = o ? o->proto : nullptr; cur && proto; cur = cur->proto) {
    if (cur == proto) return Value::Bool(true);
    if (++hops > rt.limits.maxProtoHops) throw ScriptStop{StopReason::ProtoChain};
  }
  return Value::Bool(false);
}

Value IsPropertyEnumerable(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o) return Value::Bool(false);
  std::string buffer;
  Property* p = o->props.Find(rt.KeyOf(Arg(args, 0), buffer), rt.caseSensitive);
  return Value::Bool(p && rt.Visible(*p) && !(p->flags & kDontEnum));
}

// addProperty(name, getter, setter): the getter must be a function, the
// setter a function or null (no setter).
Value AddProperty(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o || args.size() < 3) return Value::Bool(false);
  const std::string name = rt.ToString(args[0]);
  Object* getter = args[1].AsObject();
  Object* setter = args[2].AsObject();
  const bool noSetter = args[2].IsNull();
  if (name.empty() || !getter || getter->cls != ObjectClass::Function) return Value::Bool(false);
  if (!noSetter && (!setter || setter->cls != ObjectClass::Function)) return Value::Bool(false);
  Property* old = o->props.Find(name, rt.caseSensitive);
  const std::uint16_t flags = old ? static_cast<std::uint16_t>(old->flags & ~kReadOnly) : 0;
  rt.DefineAccessor(o, name, args[1], noSetter ? Value() : args[2], flags);
  return Value::Bool(true);
}

Value Watch(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o || args.size() < 2) return Value::Bool(false);
  std::string buffer;
  return Value::Bool(rt.Watch(o, rt.KeyOf(args[0], buffer), args[1], Arg(args, 2)));
}

Value Unwatch(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o || args.empty()) return Value::Bool(false);
  std::string buffer;
  return Value::Bool(rt.Unwatch(o, rt.KeyOf(args[0], buffer)));
}

// The clips of the symbol exported under `name` are made with `ctor`'s
// prototype and run it; anything but a function takes the link away.
Value RegisterClass(Runtime& rt, Value, std::span<const Value> args) {
  if (args.size() < 2) return Value::Bool(false);
  std::string key = rt.ClassKey(rt.ToString(args[0]));
  Object* ctor = args[1].AsObject();
  if (ctor && ctor->cls == ObjectClass::Function) {
    if (!rt.registeredClasses.contains(key)) rt.heap.Charge(sizeof(std::string) + key.size() + sizeof(Object*) * 4);
    rt.registeredClasses[std::move(key)] = ctor;
  } else {
    rt.registeredClasses.erase(key);
  }
  return Value::Bool(true);
}

// call and apply with no object for `this` give the function _global.
Value ThisArg(Runtime& rt, std::span<const Value> args) {
  const Value thisArg = Arg(args, 0);
  return thisArg.IsNullish() ? Value::Obj(rt.global) : thisArg;
}

Value FunctionCall(Runtime& rt, Value self, std::span<const Value> args) {
  return rt.Call(self, ThisArg(rt, args), args.size() > 1 ? args.subspan(1) : std::span<const Value>{});
}

// apply's list may be anything with a length: its members 0 to length-1.
Value FunctionApply(Runtime& rt, Value self, std::span<const Value> args) {
  const Value thisArg = ThisArg(rt, args);
  Object* list = Arg(args, 1).AsObject();
  if (!list) return rt.Call(self, thisArg, {});
  if (list->cls == ObjectClass::Array) {
    const std::vector<Value> copy = static_cast<ArrayObject*>(list)->Values(rt);
    return rt.Call(self, thisArg, copy);
  }
  const double length = rt.ToNumber(rt.GetMember(Value::Obj(list), "length"));
  const std::size_t n = length > 0 ? static_cast<std::size_t>(std::min(length, 65536.0)) : 0;
  rt.CountWork(n);
  std::vector<Value> copy(n);
  for (std::size_t i = 0; i < n; ++i) copy[i] = rt.GetMember(Value::Obj(list), std::to_string(i));
  return rt.Call(self, thisArg, copy);
}

Value FunctionConstructor(Runtime& rt, Value, std::span<const Value>) { return Value::Obj(rt.NewObject()); }

// Boolean() with nothing is undefined; new Boolean() holds false.
Value BooleanCall(Runtime& rt, Value, std::span<const Value> args) {
  return args.empty() ? Value() : Value::Bool(rt.ToBoolean(args[0]));
}
Value BooleanConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  return Value::Obj(rt.heap.Make<BoxObject>(proto, ObjectClass::Boolean, Value::Bool(!args.empty() && rt.ToBoolean(args[0]))));
}
Value BooleanToString(Runtime& rt, Value self, std::span<const Value>) {
  const Value p = PrimitiveOf(self);
  return rt.Str(p.type == ValueType::Boolean && p.b ? "true" : "false");
}
Value BooleanValueOf(Runtime&, Value self, std::span<const Value>) {
  const Value p = PrimitiveOf(self);
  return Value::Bool(p.type == ValueType::Boolean && p.b);
}

Value NumberCall(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Number(args.empty() ? 0 : rt.ToNumber(args[0]));
}
Value NumberConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  return Value::Obj(rt.heap.Make<BoxObject>(proto, ObjectClass::Number, NumberCall(rt, Value(), args)));
}
Value NumberToString(Runtime& rt, Value self, std::span<const Value> args) {
  const Value p = PrimitiveOf(self);
  const double n = p.IsNumber() ? p.n : rt.ToNumber(p);
  const Value radix = Arg(args, 0);
  const int r = radix.IsUndefined() ? 10 : ToInt32(rt.ToNumber(radix));
  return rt.Str(NumberToStringRadix(n, r));
}
Value NumberValueOf(Runtime& rt, Value self, std::span<const Value>) {
  const Value p = PrimitiveOf(self);
  return Value::Number(p.IsNumber() ? p.n : rt.ToNumber(p));
}

Value ErrorCall(Runtime& rt, Value, std::span<const Value> args);
Value ErrorConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  Object* e = rt.NewObject(proto);
  if (!Arg(args, 0).IsUndefined()) rt.SetMember(Value::Obj(e), "message", rt.ToStringValue(args[0]));
  return Value::Obj(e);
}
Value ErrorCall(Runtime& rt, Value, std::span<const Value> args) { return ErrorConstruct(rt, rt.errorProto, args); }
Value ErrorToString(Runtime& rt, Value self, std::span<const Value>) {
  return rt.ToStringValue(rt.GetMember(self, "message"));
}

}  // namespace

void InstallObjectBuiltins(Runtime& rt) {
  Object* op = rt.objectProto;
  rt.DefineMethod(op, "toString", ObjectToString);
  rt.DefineMethod(op, "toLocaleString", ObjectToString);
  rt.DefineMethod(op, "valueOf", ObjectValueOf);
  rt.DefineMethod(op, "hasOwnProperty", HasOwnProperty);
  rt.DefineMethod(op, "isPrototypeOf", IsPrototypeOf);
  rt.DefineMethod(op, "isPropertyEnumerable", IsPropertyEnumerable);
  rt.DefineMethod(op, "addProperty", AddProperty);
  rt.DefineMethod(op, "watch", Watch);
  rt.DefineMethod(op, "unwatch", Unwatch);
  FunctionObject* object = DefineClass(rt, "Object", op, ObjectCall, ObjectConstruct);
  rt.DefineMethod(object, "registerClass", RegisterClass);

  Object* fp = rt.functionProto;
  rt.DefineMethod(fp, "call", FunctionCall);
  rt.DefineMethod(fp, "apply", FunctionApply);
  DefineClass(rt, "Function", fp, FunctionConstructor, nullptr);

  rt.booleanProto = rt.NewObject();
  rt.DefineMethod(rt.booleanProto, "toString", BooleanToString);
  rt.DefineMethod(rt.booleanProto, "valueOf", BooleanValueOf);
  DefineClass(rt, "Boolean", rt.booleanProto, BooleanCall, BooleanConstruct);

  rt.numberProto = rt.NewObject();
  rt.DefineMethod(rt.numberProto, "toString", NumberToString);
  rt.DefineMethod(rt.numberProto, "valueOf", NumberValueOf);
  FunctionObject* number = DefineClass(rt, "Number", rt.numberProto, NumberCall, NumberConstruct);
  const std::uint8_t constant = kDontEnum | kDontDelete | kReadOnly;
  rt.DefineValue(number, "MAX_VALUE", Value::Number(std::numeric_limits<double>::max()), constant);
  rt.DefineValue(number, "MIN_VALUE", Value::Number(std::numeric_limits<double>::denorm_min()), constant);
  rt.DefineValue(number, "NaN", Value::Number(std::nan("")), constant);
  rt.DefineValue(number, "POSITIVE_INFINITY", Value::Number(std::numeric_limits<double>::infinity()), constant);
  rt.DefineValue(number, "NEGATIVE_INFINITY", Value::Number(-std::numeric_limits<double>::infinity()), constant);

  rt.errorProto = rt.NewObject();
  rt.DefineValue(rt.errorProto, "name", rt.Str("Error"));
  rt.DefineValue(rt.errorProto, "message", rt.Str("Error"));
  rt.DefineMethod(rt.errorProto, "toString", ErrorToString);
  DefineClass(rt, "Error", rt.errorProto, ErrorCall, ErrorConstruct);
}

}  // namespace dc::swf::avm1

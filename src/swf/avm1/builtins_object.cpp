// Object, Function, Boolean, Number and Error.
#include <cmath>
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
  if (!o) return Value::Bool(false);
  std::string buffer;
  return Value::Bool(rt.HasOwn(o, rt.KeyOf(Arg(args, 0), buffer)));
}

Value IsPrototypeOf(Runtime&, Value self, std::span<const Value> args) {
  Object* o = Arg(args, 0).AsObject();
  int hops = 0;
  for (Object* cur = o ? o->proto : nullptr; cur && hops < 256; cur = cur->proto, ++hops)
    if (cur == self.AsObject()) return Value::Bool(true);
  return Value::Bool(false);
}

Value PropertyIsEnumerable(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o) return Value::Bool(false);
  std::string buffer;
  Property* p = o->props.Find(rt.KeyOf(Arg(args, 0), buffer), rt.caseSensitive);
  return Value::Bool(p && !(p->flags & kDontEnum));
}

// addProperty(name, getter, setter): the setter may be null (read-only).
Value AddProperty(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  const std::string name = rt.ToString(Arg(args, 0));
  Object* getter = Arg(args, 1).AsObject();
  if (!o || name.empty() || !getter || getter->cls != ObjectClass::Function) return Value::Bool(false);
  Property* p = o->props.Find(name, rt.caseSensitive);
  if (!p) {
    rt.heap.Charge(sizeof(Property) + name.size());
    p = &o->props.Add(name, Value(), rt.caseSensitive);
  }
  p->value = Value::Obj(getter);
  p->setter = Arg(args, 2).IsObject() ? Arg(args, 2) : Value();
  p->flags = static_cast<std::uint8_t>((p->flags & ~kReadOnly) | kAccessor);
  return Value::Bool(true);
}

Value RegisterClass(Runtime&, Value, std::span<const Value>) { return Value::Bool(true); }

Value FunctionCall(Runtime& rt, Value self, std::span<const Value> args) {
  const Value thisArg = Arg(args, 0);
  return rt.Call(self, thisArg, args.size() > 1 ? args.subspan(1) : std::span<const Value>{});
}

Value FunctionApply(Runtime& rt, Value self, std::span<const Value> args) {
  const Value thisArg = Arg(args, 0);
  Object* list = Arg(args, 1).AsObject();
  if (list && list->cls == ObjectClass::Array) {
    const std::vector<Value> copy = static_cast<ArrayObject*>(list)->Values(rt);
    return rt.Call(self, thisArg, copy);
  }
  return rt.Call(self, thisArg, {});
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
  rt.DefineMethod(op, "isPropertyEnumerable", PropertyIsEnumerable);
  rt.DefineMethod(op, "addProperty", AddProperty);
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

// The interpreter's functions and objects: definitions, calls,
// constructors, classes and interfaces, return and throw.
#include "swf/avm1/interpreter_machine.h"

namespace dc::swf::avm1::interp {

Step Machine::FunctionAction(ActionCode op, Reader& r, Cursor& at) {
  switch (op) {
    case ActionCode::DefineFunction:
    case ActionCode::DefineFunction2:
      at.next = DoDefineFunction(r, at.next, at.end, op == ActionCode::DefineFunction2);
      break;
    case ActionCode::CallFunction:
      DoCallFunction();
      break;
    case ActionCode::CallMethod:
      DoCallMethod();
      break;
    case ActionCode::NewObject:
      DoNew(false);
      break;
    case ActionCode::NewMethod:
      DoNew(true);
      break;
    case ActionCode::Return:
      a.returnValue = Pop();
      return Completion::Return;
    case ActionCode::InstanceOf: {
      const Value ctor = Pop();
      const Value v = Pop();
      Push(Value::Bool(rt.InstanceOf(v, ctor.AsObject())));
      break;
    }
    case ActionCode::CastOp: {
      const Value v = Pop();
      const Value ctor = Pop();
      Push(rt.InstanceOf(v, ctor.AsObject()) ? v : Value::Null());
      break;
    }
    case ActionCode::ImplementsOp: {
      // The class's prototype keeps the list: instanceof meets it on the
      // instances' chains.
      const Value ctor = Pop();
      std::vector<Value> interfaces = PopArgs();
      Object* proto = ctor.IsObject() ? rt.GetMember(ctor, "prototype").AsObject() : nullptr;
      if (!proto) break;
      if (!proto->extras) rt.heap.Charge(sizeof(ObjectExtras));
      auto& list = proto->Extras().interfaces;
      list.clear();
      rt.heap.Charge(interfaces.size() * sizeof(Object*));
      for (const Value& i : interfaces)
        if (Object* o = i.AsObject()) list.push_back(o);
      break;
    }
    case ActionCode::Extends: {
      const Value superclass = Pop();
      const Value subclass = Pop();
      if (subclass.IsObject() && superclass.IsObject()) {
        Object* proto = rt.NewObject(rt.GetMember(superclass, "prototype").AsObject());
        rt.DefineValue(proto, "__constructor__", superclass);
        rt.SetMember(subclass, "prototype", Value::Obj(proto));
      }
      break;
    }
    case ActionCode::Throw:
      throw ScriptThrow{Pop()};
    default:
      NotRun(op);
      break;
  }
  return std::nullopt;
}

std::size_t Machine::DoDefineFunction(Reader& r, std::size_t next, std::size_t end, bool version2) {
  FunctionObject* f = rt.heap.Make<FunctionObject>(rt.functionProto, ObjectClass::Function);
  f->name = std::string(r.Str());
  const std::uint16_t count = r.U16();
  f->function2 = version2;
  if (version2) {
    f->registerCount = r.U8();
    f->flags2 = r.U16();
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    f->paramRegisters.push_back(version2 ? r.U8() : 0);
    f->params.emplace_back(r.Str());
  }
  const std::uint16_t codeSize = r.U16();
  if (codeSize > end - next) throw MalformedBlock{};
  f->code = a.keep;
  f->begin = static_cast<std::uint32_t>(next);
  f->end = static_cast<std::uint32_t>(next + codeSize);
  f->scope = a.scope;
  if (a.locals) a.locals->keptByFunction = true;
  f->pool = a.pool;
  f->base = a.target ? a.target : a.base;
  Object* proto = rt.NewObject();
  rt.DefineValue(proto, "constructor", Value::Obj(f));
  rt.DefineValue(f, "prototype", Value::Obj(proto));
  if (f->name.empty()) {
    Push(Value::Obj(f));
  } else {
    DefineLocal(f->name, Value::Obj(f));
  }
  return next + codeSize;
}

void Machine::DoCallFunction() {
  const Value nameValue = Pop();
  std::vector<Value> args = PopArgs();
  std::string buffer;
  const std::string_view name = rt.KeyOf(nameValue, buffer);
  const Value fn = name.empty() ? Value() : GetVariable(name);
  ClipObject* t = Timeline();
  Push(rt.Call(fn, t ? Value::Obj(t) : Value(), args));
  HaltIfHomeGone();
}

void Machine::DoCallMethod() {
  const Value nameValue = Pop();
  const Value target = Pop();
  std::vector<Value> args = PopArgs();
  // No name (undefined, or one whose string is empty) calls the target
  // itself.
  std::string buffer;
  const std::string_view name = nameValue.IsUndefined() ? std::string_view() : rt.KeyOf(nameValue, buffer);
  if (name.empty()) {
    Push(rt.Call(target, Value(), args));
    if (target.IsObject()) HaltIfHomeGone();
    return;
  }
  Push(rt.CallMethod(target, name, args));
  // A method of nothing is no call.
  if (target.IsObject()) HaltIfHomeGone();
}

void Machine::DoNew(bool method) {
  const Value nameValue = Pop();
  Value ctor;
  std::string buffer;
  bool onObject = true;
  if (method) {
    const Value target = Pop();
    onObject = target.IsObject();
    const std::string_view name = rt.KeyOf(nameValue, buffer);
    ctor = nameValue.IsUndefined() || name.empty() ? target : rt.GetMember(target, name);
  } else {
    ctor = GetVariable(rt.KeyOf(nameValue, buffer));
  }
  std::vector<Value> args = PopArgs();
  Push(rt.Construct(ctor, args));
  if (onObject) HaltIfHomeGone();
}

}  // namespace dc::swf::avm1::interp

// The interpreter's variables and members: names through the scope chain
// and target paths, the constant pool, object and array literals,
// deletion and enumeration.
#include <algorithm>
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/interpreter_machine.h"

namespace dc::swf::avm1::interp {

void Machine::VariableAction(ActionCode op, Reader& r) {
  switch (op) {
    case ActionCode::ConstantPool:
      DoConstantPool(r);
      break;
    case ActionCode::GetVariable:
      DoGetVariable();
      break;
    case ActionCode::SetVariable:
      DoSetVariable();
      break;
    case ActionCode::DefineLocal: {
      const Value v = Pop();
      const Value name = Pop();
      std::string buffer;
      DefineLocal(rt.KeyOf(name, buffer), v);
      break;
    }
    case ActionCode::DefineLocal2: {
      const Value name = Pop();
      std::string buffer;
      const std::string_view n = rt.KeyOf(name, buffer);
      Object* where = a.locals ? static_cast<Object*>(a.locals) : Timeline();
      if (where && !rt.HasOwn(where, n)) rt.SetMember(Value::Obj(where), n, Value());
      break;
    }
    case ActionCode::GetMember:
      DoGetMember();
      break;
    case ActionCode::SetMember:
      DoSetMember();
      break;
    case ActionCode::Delete: {
      const Value name = Pop();
      const Value target = Pop();
      std::string buffer;
      Push(Value::Bool(rt.DeleteMember(target, rt.KeyOf(name, buffer))));
      break;
    }
    case ActionCode::Delete2: {
      const Value name = Pop();
      std::string buffer;
      const std::string_view n = rt.KeyOf(name, buffer);
      bool deleted = false;
      for (Scope* s = a.scope; s; s = s->parent) {
        if (rt.HasOwn(s->object, n)) {
          deleted = rt.DeleteMember(Value::Obj(s->object), n);
          break;
        }
      }
      Push(Value::Bool(deleted));
      break;
    }
    case ActionCode::InitArray:
      DoInitArray();
      break;
    case ActionCode::InitObject:
      DoInitObject();
      break;
    case ActionCode::Enumerate: {
      const Value name = Pop();
      std::string buffer;
      DoEnumerate(GetVariable(rt.KeyOf(name, buffer)));
      break;
    }
    case ActionCode::Enumerate2:
      DoEnumerate(Pop());
      break;
    default:
      NotRun(op);
      break;
  }
}

// Names no scope holds: `this` for code that has no `this` variable (the
// block's clip, or a function's timeline), _global, and the clips.
bool Machine::SpecialName(std::string_view name, Value& out) {
  if (name.empty()) return false;
  const bool cs = rt.caseSensitive;
  switch (name[0]) {
    case 't':
    case 'T':
      if (NamesEqual(name, "this", cs)) {
        out = a.locals ? rt.ClipValue(a.base ? a.base->clip : nullptr) : a.self;
        return true;
      }
      return false;
    case '_':
      if (NamesEqual(name, "_global", cs)) {
        out = Value::Obj(rt.global);
        return true;
      }
      if (NamesEqual(name, "_root", cs)) {
        out = rt.ClipValue(rt.root);
        return true;
      }
      if (NamesEqual(name, "_parent", cs)) {
        Clip* c = TargetClip();
        out = c ? rt.ClipValue(c->Parent()) : Value();
        return true;
      }
      if (Clip* level = nullptr; rt.IsLevelName(name, level)) {
        out = rt.ClipValue(level);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void Machine::DoGetVariable() {
  const Value name = Pop();
  std::string buffer;
  Push(GetVariable(rt.KeyOf(name, buffer)));
}

void Machine::DoSetVariable() {
  const Value v = Pop();
  const Value name = Pop();
  std::string buffer;
  SetVariable(rt.KeyOf(name, buffer), v);
}

void Machine::DoGetMember() {
  const Value name = Pop();
  const Value target = Pop();
  // An element by number, without making its name, unless an own property
  // (addProperty's) may come first.
  if (ArrayObject* array = AsArray(target); array && name.IsNumber() && name.n >= 0 && name.n < 2147483647.0 &&
                                             name.n == std::floor(name.n) && array->props.Empty()) {
    if (const auto i = static_cast<std::uint32_t>(name.n); array->Has(i)) {
      Push(array->At(i));
      return;
    }
  }
  std::string buffer;
  Push(rt.GetMember(target, rt.KeyOf(name, buffer)));
}

void Machine::DoSetMember() {
  const Value v = Pop();
  const Value name = Pop();
  const Value target = Pop();
  if (ArrayObject* array = AsArray(target); array && name.IsNumber() && name.n >= 0 && name.n < 2147483647.0 &&
                                             name.n == std::floor(name.n)) {
    array->Set(rt, static_cast<std::uint32_t>(name.n), v);
    return;
  }
  std::string buffer;
  rt.SetMember(target, rt.KeyOf(name, buffer), v);
}
namespace {

// Where a variable path splits into its holder and its name: the last
// colon, or from SWF 5 on the last colon or dot.
std::size_t NameSplit(std::string_view name, int version) {
  return version <= 4 ? name.rfind(':') : name.find_last_of(":.");
}

}  // namespace

Value Machine::PathHolder(std::string_view path) {
  if (path.empty() && rt.version <= 4) return Value();  // ":name" holds nothing in SWF 4
  const Runtime::PathFirst first = [this](std::string_view name, Value& out) {
    // As a plain variable: the scopes first, then the special names.
    for (Scope* s = a.scope; s; s = s->parent)
      if (rt.TryGet(InScope(s->object), name, out)) return true;
    return SpecialName(name, out);
  };
  return rt.ResolvePath(Timeline(), path, &first);
}

bool Machine::GetPath(std::string_view path, Value& out) {
  const std::size_t dot = path.find('.');
  const std::string_view head = path.substr(0, dot);
  const std::string_view rest = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
  // The members after the first name, each of which must be there.
  const auto follow = [&](Value v) {
    std::string_view left = rest;
    while (!left.empty()) {
      const std::size_t next = left.find('.');
      const std::string_view member = left.substr(0, next);
      Object* o = rt.ToObject(v);
      if (!o || !rt.TryGet(o, member, v)) return false;
      left = next == std::string_view::npos ? std::string_view() : left.substr(next + 1);
    }
    out = v;
    return true;
  };
  Value first;
  for (Scope* s = a.scope; s; s = s->parent)
    if (rt.TryGet(InScope(s->object), head, first) && follow(first)) return true;
  return SpecialName(head, first) && follow(first);
}

Value Machine::GetVariable(std::string_view name) {
  const bool path = name.find_first_of(rt.version <= 4 ? ":/" : ":/.") != std::string_view::npos;
  // "a.b.c": the first scope in which the whole path is there.
  if (Value out; path && rt.version > 4 && name.find_first_of(":/") == std::string_view::npos && GetPath(name, out))
    return out;
  if (path) {
    const std::size_t split = NameSplit(name, rt.version);
    if (split != std::string_view::npos) {
      const Value holder = PathHolder(name.substr(0, split));
      if (!holder.IsObject()) return Value();
      if (rt.version > 4) return rt.GetMember(holder, name.substr(split + 1));
      // A SWF 4 variable, never a child clip.
      Property* p = rt.FindProperty(holder.o, name.substr(split + 1));
      return p && !p->accessor ? p->value : Value();
    }
    // Slashes alone name a clip (SWF 4: nothing), else a variable named so.
    if (rt.version <= 4) return Value();
    const Value target = Target(name);
    if (target.IsObject()) return target;
  }
  Value out;
  if (rt.version <= 4) {
    // SWF 4 has no special names (this, _root and _level0 are variables),
    // and a name is a variable, never a clip.
    for (Scope* s = a.scope; s; s = s->parent)
      if (Property* p = rt.FindProperty(InScope(s->object), name); p && !p->accessor) return p->value;
    return Value();
  }
  if (NamesEqual(name, "this", rt.caseSensitive)) {
    // Only a variable of that name counts: a clip's children and members
    // are no `this`.
    for (Scope* s = a.scope; s; s = s->parent) {
      Object* o = InScope(s->object);
      if (o->props.Find(name, rt.caseSensitive) && rt.TryGet(o, name, out)) return out;
      if (o->cls == ObjectClass::Activation && static_cast<ActivationObject*>(o)->hasThis)
        return static_cast<ActivationObject*>(o)->self;
    }
  } else {
    for (Scope* s = a.scope; s; s = s->parent)
      if (rt.TryGet(InScope(s->object), name, out)) return out;
  }
  return SpecialName(name, out) ? out : Value();
}

Object* Machine::InScope(Object* o) {
  if (o->cls != ObjectClass::Clip) return o;
  if (ClipObject* live = rt.Live(static_cast<ClipObject*>(o))) return live;
  // A timeline taken away with nothing at its path: the code's own clip
  // stands in for it, else the root.
  if (ClipObject* base = a.base ? rt.Live(a.base) : nullptr) return base;
  return rt.root ? rt.ObjectFor(*rt.root) : o;
}

void Machine::SetVariable(std::string_view name, Value v) {
  if (const std::size_t split = NameSplit(name, rt.version); split != std::string_view::npos) {
    // A holder's variable; slashes alone make a variable named so. A dotted
    // holder is the first scope's in which its whole path is there.
    const std::string_view holderPath = name.substr(0, split);
    Value holder;
    if (name.find_first_of(":/") != std::string_view::npos || !GetPath(holderPath, holder))
      holder = PathHolder(holderPath);
    rt.SetMember(holder, name.substr(split + 1), v);
    return;
  }
  // Where the name is already, short of _global; else on the timeline.
  for (Scope* s = a.scope; s; s = s->parent) {
    if (s->object == rt.global) break;
    Object* o = InScope(s->object);
    if (rt.HasMember(o, name)) {
      rt.SetMember(Value::Obj(o), name, v);
      return;
    }
  }
  if (ClipObject* t = Timeline()) rt.SetMember(Value::Obj(t), name, v);
}

void Machine::DefineLocal(std::string_view name, Value v) {
  if (a.locals) {
    rt.SetMember(Value::Obj(a.locals), name, v);
  } else if (ClipObject* t = Timeline()) {
    rt.SetMember(Value::Obj(t), name, v);
  }
}

void Machine::DoConstantPool(Reader& r) {
  const std::uint16_t count = r.U16();
  ConstantPool* pool = rt.heap.Make<ConstantPool>();
  pool->entries.reserve(count);
  rt.heap.Charge(count * sizeof(Value));
  for (std::uint16_t i = 0; i < count; ++i) pool->entries.push_back(rt.Str(r.Str()));
  a.pool = pool;
}

void Machine::DoEnumerate(Value target) {
  // undefined ends the names; the first a loop reads is pushed last.
  Push(Value());
  Object* o = target.AsObject();
  if (!o) return;
  // The first name a for-in sees goes on top.
  std::vector<std::string> names = rt.EnumerableNames(o);
  if (rt.stack.size() + names.size() > rt.limits.maxStack) throw ScriptStop{StopReason::Stack};
  for (std::size_t i = names.size(); i-- > 0;) Push(rt.Str(std::move(names[i])));
}

// A count the stack does not hold (or a negative one) makes undefined and
// takes nothing.
void Machine::DoInitArray() {
  const double n = PopNumber();
  if (!(n >= 0 && n <= static_cast<double>(rt.stack.size() - a.stackBase))) {
    Push(Value());
    return;
  }
  std::vector<Value> elements(static_cast<std::size_t>(n));
  for (Value& e : elements) e = Pop();
  Push(Value::Obj(rt.NewArray(elements)));
}

void Machine::DoInitObject() {
  const double n = PopNumber();
  if (!(n >= 0 && 2 * n <= static_cast<double>(rt.stack.size() - a.stackBase))) {
    Push(Value());
    return;
  }
  const auto count = static_cast<std::size_t>(n);
  Object* o = rt.NewObject();
  std::string buffer;
  for (std::size_t i = 0; i < count; ++i) {
    const Value v = Pop();
    const Value name = Pop();
    rt.SetMember(Value::Obj(o), rt.KeyOf(name, buffer), v);
  }
  Push(Value::Obj(o));
}

}  // namespace dc::swf::avm1::interp

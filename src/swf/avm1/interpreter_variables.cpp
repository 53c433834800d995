// The interpreter's variables and members: names through the scope chain
// and target paths, the constant pool, object and array literals,
// deletion and enumeration.
#include <algorithm>
#include <cmath>

#include "swf/avm1/conversions.h"
#include "swf/avm1/interpreter_machine.h"

namespace dc::swf::avm1::interp {

void Machine::VariableAction(ActionCode op, Reader& r) {
  switch (op) {
    case ActionCode::ConstantPool:
      DoConstantPool(r);
      break;
    case ActionCode::GetVariable: {
      const Value name = Pop();
      std::string buffer;
      Push(GetVariable(rt.KeyOf(name, buffer)));
      break;
    }
    case ActionCode::SetVariable: {
      const Value v = Pop();
      const Value name = Pop();
      std::string buffer;
      SetVariable(rt.KeyOf(name, buffer), v);
      break;
    }
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
      Object* where = a.locals ? a.locals : Timeline();
      if (where && !rt.HasOwn(where, n)) rt.SetMember(Value::Obj(where), n, Value());
      break;
    }
    case ActionCode::GetMember: {
      const Value name = Pop();
      const Value target = Pop();
      if (name.IsNumber() && target.IsObject() && target.o->cls == ObjectClass::Array && name.n >= 0 &&
          name.n == std::floor(name.n)) {
        const auto& elements = static_cast<ArrayObject*>(target.o)->elements;
        if (name.n < static_cast<double>(elements.size())) {
          Push(elements[static_cast<std::size_t>(name.n)]);
          break;
        }
      }
      std::string buffer;
      Push(rt.GetMember(target, rt.KeyOf(name, buffer)));
      break;
    }
    case ActionCode::SetMember: {
      const Value v = Pop();
      const Value name = Pop();
      const Value target = Pop();
      std::string buffer;
      rt.SetMember(target, rt.KeyOf(name, buffer), v);
      break;
    }
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
    case ActionCode::InitArray: {
      std::vector<Value> elements = PopArgs();
      Push(Value::Obj(rt.NewArray(elements)));
      break;
    }
    case ActionCode::InitObject: {
      const double n = PopNumber();
      Object* o = rt.NewObject();
      std::size_t count = n > 0 ? static_cast<std::size_t>(std::min(n, 1e9)) : 0;
      count = std::min(count, (rt.stack.size() - a.stackBase) / 2);
      std::string buffer;
      for (std::size_t i = 0; i < count; ++i) {
        const Value v = Pop();
        const Value name = Pop();
        rt.SetMember(Value::Obj(o), rt.KeyOf(name, buffer), v);
      }
      Push(Value::Obj(o));
      break;
    }
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

bool Machine::SpecialName(std::string_view name, Value& out) {
  if (name.empty()) return false;
  const bool cs = rt.caseSensitive;
  switch (name[0]) {
    case 't':
    case 'T':
      if (NamesEqual(name, "this", cs)) {
        out = a.self;
        return true;
      }
      return false;
    case 'a':
    case 'A':
      if (a.callee && NamesEqual(name, "arguments", cs)) {
        out = Arguments();
        return true;
      }
      return false;
    case 's':
    case 'S':
      if (a.callee && NamesEqual(name, "super", cs)) {
        out = Super();
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
      if (Clip* level = rt.Level(name)) {
        out = rt.ClipValue(level);
        return true;
      }
      return false;
    default:
      return false;
  }
}

Value Machine::Arguments() {
  if (a.arguments.IsUndefined()) {
    ArrayObject* args = rt.NewArray(a.args);
    rt.DefineValue(args, "callee", Value::Obj(a.callee));
    a.arguments = Value::Obj(args);
  }
  return a.arguments;
}

Value Machine::Super() {
  Object* home = a.home;
  if (!home) {
    // A method called plainly: its class is the prototype of `this`.
    Object* self = a.self.AsObject();
    home = self ? self->proto : nullptr;
  }
  return Value::Obj(rt.heap.Make<SuperObject>(nullptr, a.self, home));
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
    if (SpecialName(name, out)) return true;
    for (Scope* s = a.scope; s; s = s->parent)
      if (rt.TryGet(InScope(s->object), name, out)) return true;
    return false;
  };
  return rt.ResolvePath(Timeline(), path, &first);
}

Value Machine::GetVariable(std::string_view name) {
  const bool path = name.find_first_of(rt.version <= 4 ? ":/" : ":/.") != std::string_view::npos;
  if (path) {
    const std::size_t split = NameSplit(name, rt.version);
    if (split != std::string_view::npos) {
      const Value holder = PathHolder(name.substr(0, split));
      if (!holder.IsObject()) return Value();
      if (rt.version > 4) return rt.GetMember(holder, name.substr(split + 1));
      // A SWF 4 variable, never a child clip.
      Property* p = rt.FindProperty(holder.o, name.substr(split + 1));
      return p && !(p->flags & kAccessor) ? p->value : Value();
    }
    // Slashes alone name a clip (SWF 4: nothing), else a variable named so.
    if (rt.version <= 4) return Value();
    const Value target = Target(name);
    if (target.IsObject()) return target;
  }
  Value out;
  // SWF 4 has no special names: this, _root and _level0 are variables.
  if (rt.version > 4 && SpecialName(name, out)) return out;
  for (Scope* s = a.scope; s; s = s->parent) {
    Object* o = InScope(s->object);
    if (rt.version <= 4) {
      // A SWF 4 name is a variable, never a clip.
      if (Property* p = rt.FindProperty(o, name); p && !(p->flags & kAccessor)) return p->value;
    } else if (rt.TryGet(o, name, out)) {
      return out;
    }
  }
  return Value();
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
    // A holder's variable; slashes alone make a variable named so.
    rt.SetMember(PathHolder(name.substr(0, split)), name.substr(split + 1), v);
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
  Push(Value::Null());
  Object* o = target.AsObject();
  if (!o) return;
  // Pushed last to first: the loop pops them in the order listed.
  std::vector<std::string> names = rt.EnumerableNames(o);
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    if (rt.stack.size() > kMaxStack) throw ScriptStop{StopReason::Stack};
    Push(rt.Str(std::move(*it)));
  }
}

}  // namespace dc::swf::avm1::interp

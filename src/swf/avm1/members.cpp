// Members read and written: the prototype chain, getters and setters with
// the bound on their nesting, watch()'s watchers, __resolve, deletion,
// for-in's names and instanceof.
#include <algorithm>
#include <unordered_set>

#include "swf/avm1/array_object.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

// Whether one more call of the property's getter, setter or watcher would
// go past ScriptLimits::maxAccessorNesting (said once).
bool TooDeep(Runtime& rt, const Property& p) {
  if (p.busy < std::min(rt.limits.maxAccessorNesting, 255)) return false;
  rt.Capped(Runtime::Cap::AccessorNesting, "the property's own value was read or written, no script called");
  return true;
}

bool IsProtoName(std::string_view name, bool cs) { return NamesEqual(name, "__proto__", cs); }

// What a reference to `o` reaches: a clip taken away reaches the clip
// placed again at its path, or nothing.
Object* Alive(Runtime& rt, Object* o) {
  return o->cls == ObjectClass::Clip ? rt.Live(static_cast<ClipObject*>(o)) : o;
}

// The next object up a chain.
Object* Up(Runtime& rt, Object* o, int& hops) {
  if (++hops > rt.limits.maxProtoHops) throw ScriptStop{StopReason::ProtoChain};
  if (rt.running) rt.CountWork(8 * kWorkPerProtoHop);
  return o->proto;
}

// One call of a property's getter, setter or watcher: the property is busy
// until it returns, unless a script deleted it meanwhile (one made again
// under the name starts idle).
class BusyGuard {
 public:
  BusyGuard(Runtime& rt, PropertyMap& map, Property& p) : rt_(rt), map_(map), name_(p.name), id_(p.id) {
    ++p.busy;
  }
  ~BusyGuard() {
    if (Property* p = map_.FindById(name_, id_, rt_.caseSensitive); p && p->busy) --p->busy;
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  Runtime& rt_;
  PropertyMap& map_;
  const std::string name_;
  const std::uint32_t id_;
};

Value GetThrough(Runtime& rt, Object* holder, Property& p, Value self) {
  if (!p.accessor || TooDeep(rt, p)) return p.value;
  const Value getter = p.getter;
  BusyGuard busy(rt, holder->props, p);
  return rt.Call(getter, self, {});
}

// The setter runs first; the value stays on the property after it.
void SetThrough(Runtime& rt, Object* holder, Property& p, Value self, Value v) {
  if (TooDeep(rt, p)) {
    p.value = v;
    return;
  }
  const Value setter = p.setter;
  const std::string name = p.name;
  const std::uint32_t id = p.id;
  {
    BusyGuard busy(rt, holder->props, p);
    const Value arg[1] = {v};
    rt.Call(setter, self, arg);
  }
  if (Property* q = holder->props.FindById(name, id, rt.caseSensitive)) q->value = v;
}

bool Lookup(Runtime& rt, Object* o, std::string_view name, Value self, Value& out, Object** where) {
  if (!(o = Alive(rt, o))) return false;
  if (IsProtoName(name, rt.caseSensitive)) {
    out = Value::Obj(o->proto);
    if (where) *where = o;
    return o->proto != nullptr;
  }
  int hops = 0;
  for (Object* cur = o; cur; cur = Up(rt, cur, hops)) {
    if (Property* p = cur->props.Find(name, rt.caseSensitive); p && rt.Visible(*p)) {
      if (where) *where = cur;
      out = GetThrough(rt, cur, *p, self);
      return true;
    }
    if (cur->GetSpecial(rt, name, out) || cur->GetAfterOwn(rt, name, out)) {
      if (where) *where = cur;
      return true;
    }
  }
  return false;
}

// A name found nowhere goes to the first __resolve up the chain that holds
// an object: a function is called with the name, anything else gives
// undefined. Other values (and a getter's) are passed over.
bool AskResolve(Runtime& rt, Object* o, std::string_view name, Value self, Value& out) {
  int hops = 0;
  for (Object* cur = o; cur; cur = Up(rt, cur, hops)) {
    Property* p = cur->props.Find("__resolve", rt.caseSensitive);
    if (!p || !rt.Visible(*p)) continue;
    const Value handler = p->value;
    Object* h = handler.AsObject();
    if (!h || h->cls == ObjectClass::Clip) continue;
    out = Value();
    if (h->cls == ObjectClass::Function) {
      const Value arg[1] = {rt.Str(name)};
      out = rt.Call(handler, self, arg);
    }
    return true;
  }
  return false;
}

// watch()'s callback for a set of `name` on `o`: it gets the name, the old
// value (the property's own; no getter is called), the new one and the
// watcher's data, and what it returns is set instead. False when the
// property is too deep in its own calls: the value was then written as it
// is, and nothing else may run.
bool RunWatcher(Runtime& rt, Object* o, std::string_view name, Value self, Value& v) {
  Property* w = o->extras->watchers.Find(name, rt.caseSensitive);
  if (!w) return true;
  Property* own = o->props.Find(name, rt.caseSensitive);
  Property& counted = own ? *own : *w;
  if (TooDeep(rt, counted)) {
    if (own) {
      own->value = v;
    } else {
      rt.heap.Charge(sizeof(Property) + name.size());
      o->props.Add(name, v, rt.caseSensitive);
    }
    return false;
  }
  Value old;
  if (own) {
    old = own->value;
  } else if (Property* inherited = o->proto ? rt.FindProperty(o->proto, name) : nullptr) {
    old = inherited->value;
  }
  const Value callback = w->value, data = w->setter;
  BusyGuard busy(rt, own ? o->props : o->extras->watchers, counted);
  const Value args[4] = {rt.Str(name), old, v, data};
  v = rt.Call(callback, self, args);
  return true;
}

// Whether `interfaces`, or the interfaces they extend in turn, include
// `constructor`.
bool Implements(Runtime& rt, const std::vector<Object*>& interfaces, Object* constructor) {
  std::vector<Object*> pending(interfaces.begin(), interfaces.end());
  std::unordered_set<Object*> seen;
  while (!pending.empty()) {
    Object* i = pending.back();
    pending.pop_back();
    if (i == constructor) return true;
    if (!seen.insert(i).second) continue;
    rt.CountWork(8);
    Property* p = i->props.Find("prototype", rt.caseSensitive);
    Object* proto = p && !p->accessor ? p->value.AsObject() : nullptr;
    if (proto && proto->extras)
      pending.insert(pending.end(), proto->extras->interfaces.begin(), proto->extras->interfaces.end());
  }
  return false;
}

}  // namespace

Property& Runtime::DefineAccessor(Object* owner, std::string_view name, Value getter, Value setter,
                                  std::uint16_t flags) {
  Property* p = owner->props.Find(name, caseSensitive);
  if (!p) {
    heap.Charge(sizeof(Property) + name.size());
    p = &owner->props.Add(name, Value(), caseSensitive);
  }
  p->accessor = true;
  p->getter = getter;
  p->setter = setter;
  p->flags = flags;
  return *p;
}

Value Runtime::GetMember(Value target, std::string_view name) {
  Object* o = nullptr;
  switch (target.type) {
    case ValueType::Object:
      o = target.o;
      break;
    case ValueType::String:
      if (NamesEqual(name, "length", caseSensitive)) return Value::Number(target.s->units);
      o = stringProto;
      break;
    case ValueType::Number:
      o = numberProto;
      break;
    case ValueType::Boolean:
      o = booleanProto;
      break;
    default:
      return Value();
  }
  Value out;
  if (o->cls == ObjectClass::Super) {
    SuperObject* s = static_cast<SuperObject*>(o);
    Object* above = s->home ? s->home->proto : nullptr;
    if (above && Lookup(*this, above, name, s->self, out, nullptr)) return out;
    return Value();
  }
  if (Lookup(*this, o, name, target, out, nullptr)) return out;
  if (Object* live = Alive(*this, o); live && AskResolve(*this, live, name, target, out)) return out;
  return Value();
}

bool Runtime::TryGet(Object* o, std::string_view name, Value& out) {
  if (o->cls == ObjectClass::Super) {
    out = GetMember(Value::Obj(o), name);
    return !out.IsUndefined();
  }
  return Lookup(*this, o, name, Value::Obj(o), out, nullptr);
}

void Runtime::SetMember(Value target, std::string_view name, Value v) {
  Object* o = target.AsObject();
  if (!o || !(o = Alive(*this, o))) return;
  if (IsProtoName(name, caseSensitive)) {
    o->proto = v.AsObject();  // anything but an object leaves it bare
    return;
  }
  if (o->extras && !o->extras->watchers.Empty() && !RunWatcher(*this, o, name, target, v)) return;
  Property* own = o->props.Find(name, caseSensitive);
  if (own && Visible(*own)) {
    if (ArrayObject* array = AsArray(target)) array->NoteNamed(*this, name);
    if (own->accessor) {
      SetThrough(*this, o, *own, target, v);
    } else if (!(own->flags & kReadOnly)) {
      own->value = v;
    }
    return;
  }
  if (o->SetSpecial(*this, name, v)) return;
  // A setter on a prototype takes the write; a plain property there does
  // not stop the object having its own.
  int hops = 0;
  for (Object* cur = o->proto; cur; cur = Up(*this, cur, hops)) {
    Property* p = cur->props.Find(name, caseSensitive);
    if (!p || !Visible(*p)) continue;
    if (p->accessor) {
      SetThrough(*this, cur, *p, target, v);
      return;
    }
    break;
  }
  // A property this movie cannot see gives way to the new one.
  if (Property* hidden = o->props.Find(name, caseSensitive)) {
    hidden->value = v;
    hidden->getter = hidden->setter = Value();
    hidden->accessor = false;
    hidden->flags = 0;
    return;
  }
  CountWork(8 * kWorkPerPropertyAdded);
  heap.Charge(sizeof(Property) + name.size());
  o->props.Add(name, v, caseSensitive);
}

bool Runtime::DeleteMember(Value target, std::string_view name) {
  Object* o = target.AsObject();
  if (!o) return false;
  if (bool deleted = false; o->DeleteSpecial(*this, name, deleted)) return deleted;
  Property* p = o->props.Find(name, caseSensitive);
  if (!p || (p->flags & kDontDelete)) return false;
  return o->props.Remove(name, caseSensitive);
}

Property* Runtime::FindProperty(Object* o, std::string_view name, Object** where) {
  int hops = 0;
  for (Object* cur = o; cur; cur = Up(*this, cur, hops)) {
    if (Property* p = cur->props.Find(name, caseSensitive); p && Visible(*p)) {
      if (where) *where = cur;
      return p;
    }
  }
  return nullptr;
}

bool Runtime::HasOwn(Object* o, std::string_view name) {
  Value ignored;
  if (!(o = Alive(*this, o))) return false;
  return o->props.Find(name, caseSensitive) != nullptr || o->GetSpecial(*this, name, ignored);
}

bool Runtime::HasMember(Object* o, std::string_view name) {
  // Presence only: a getter is not called (its effects would run twice).
  if (!(o = Alive(*this, o))) return false;
  Value ignored;
  int hops = 0;
  for (Object* cur = o; cur; cur = Up(*this, cur, hops)) {
    if (Property* p = cur->props.Find(name, caseSensitive); p && Visible(*p)) return true;
    if (cur->GetSpecial(*this, name, ignored) || cur->GetAfterOwn(*this, name, ignored)) return true;
  }
  return false;
}

std::vector<std::string> Runtime::EnumerableNames(Object* o) {
  // Gathered from the object up, each object's oldest first; a for-in
  // reads them the other way round.
  std::vector<std::string> names;
  if (!(o = Alive(*this, o))) return names;
  // A name seen nearer hides the same name further up, listed or not.
  std::unordered_set<std::string> seen;
  const auto see = [&](const std::string& name) { return seen.insert(FoldName(name, caseSensitive)).second; };
  int hops = 0;
  for (Object* cur = o; cur; cur = Up(*this, cur, hops)) {
    std::vector<std::string> special;
    cur->SpecialNames(*this, special);
    CountWork(8 * kWorkPerPropertyListed * (special.size() + cur->props.Count()));
    for (std::string& s : special)
      if (see(s)) names.push_back(std::move(s));
    for (const Property& p : cur->props)
      if (see(p.name) && !(p.flags & kDontEnum)) names.push_back(p.name);
  }
  std::reverse(names.begin(), names.end());
  return names;
}

bool Runtime::InstanceOf(Value v, Object* constructor) {
  Object* o = v.AsObject();
  if (!o || !constructor) return false;
  Object* target = GetMember(Value::Obj(constructor), "prototype").AsObject();
  if (!target) return false;
  int hops = 0;
  for (Object* cur = o->proto; cur; cur = Up(*this, cur, hops)) {
    if (cur == target) return true;
    if (cur->extras && Implements(*this, cur->extras->interfaces, constructor)) return true;
  }
  return false;
}

bool Runtime::Watch(Object* o, std::string_view name, Value callback, Value userData) {
  Object* f = callback.AsObject();
  if (!f || f->cls != ObjectClass::Function) return false;
  if (!o->extras) heap.Charge(sizeof(ObjectExtras));
  PropertyMap& watchers = o->Extras().watchers;
  Property* w = watchers.Find(name, caseSensitive);
  if (!w) {
    heap.Charge(sizeof(Property) + name.size());
    w = &watchers.Add(name, Value(), caseSensitive);
  }
  w->value = callback;
  w->setter = userData;
  return true;
}

bool Runtime::Unwatch(Object* o, std::string_view name) {
  return o->extras && o->extras->watchers.Remove(name, caseSensitive);
}

}  // namespace dc::swf::avm1

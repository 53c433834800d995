// AsBroadcaster: a listener list on any object. addListener keeps each
// listener once, removeListener takes out the first that equals its
// argument (null and undefined alike), broadcastMessage calls the named
// method on a copy of the list, so listeners may come and go meanwhile.
#include <algorithm>
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::string_view kListeners = "_listeners";

ArrayObject* ListenersOf(Runtime& rt, Value self) {
  if (!self.IsObject()) return nullptr;
  Object* list = rt.GetMember(self, kListeners).AsObject();
  return list && list->cls == ObjectClass::Array ? static_cast<ArrayObject*>(list) : nullptr;
}

// Equality as the list compares listeners: null and undefined alike,
// primitives by value (numbers against booleans and strings as numbers),
// objects by identity. No script runs for it.
bool SameListener(Runtime& rt, Value a, Value b) {
  if (a.IsNullish() || b.IsNullish()) return a.IsNullish() && b.IsNullish();
  if (a.IsObject() || b.IsObject()) return a.IsObject() && b.IsObject() && a.o == b.o;
  if (a.type == b.type) {
    if (a.IsString()) return a.s->text == b.s->text;
    if (a.IsNumber()) return a.n == b.n;
    return a.b == b.b;
  }
  return rt.ToNumber(a) == rt.ToNumber(b);
}

bool RemoveFrom(Runtime& rt, ArrayObject* list, Value listener) {
  std::vector<Value> e = list->Values(rt);
  const auto it = std::find_if(e.begin(), e.end(), [&](const Value& v) { return SameListener(rt, v, listener); });
  if (it == e.end()) return false;
  e.erase(it);
  list->Assign(rt, e);
  return true;
}

Value AddListener(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* list = ListenersOf(rt, self);
  if (!list) return Value::Bool(true);
  const Value listener = Arg(args, 0);
  RemoveFrom(rt, list, listener);
  list->Append(rt, listener);
  return Value::Bool(true);
}

Value RemoveListener(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* list = ListenersOf(rt, self);
  return Value::Bool(list && RemoveFrom(rt, list, Arg(args, 0)));
}

Value BroadcastMessage(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value();
  ArrayObject* list = ListenersOf(rt, self);
  if (!list) return Value();
  const std::string name = rt.ToString(args[0]);
  const std::vector<Value> listeners = list->Values(rt);
  rt.CountWork(listeners.size());
  for (const Value& listener : listeners) {
    // An empty name names the listener itself.
    const Value method = name.empty() ? listener : rt.GetMember(listener, name);
    if (Object* f = method.AsObject(); f && f->cls == ObjectClass::Function) rt.Call(method, listener, args.subspan(1));
  }
  return Value::Bool(!listeners.empty());
}

Value Initialize(Runtime& rt, Value, std::span<const Value> args) {
  if (Object* o = Arg(args, 0).AsObject()) MakeBroadcaster(rt, o);
  return Value();
}

Value BroadcasterCall(Runtime&, Value, std::span<const Value>) { return Value(); }
Value BroadcasterConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  return Value::Obj(rt.NewObject(proto));
}

}  // namespace

void MakeBroadcaster(Runtime& rt, Object* o) {
  HostState& host = *rt.hostState;
  rt.DefineValue(o, "broadcastMessage", Value::Obj(host.broadcastMessage));
  rt.DefineValue(o, "addListener", Value::Obj(host.addListener));
  rt.DefineValue(o, "removeListener", Value::Obj(host.removeListener));
  rt.DefineValue(o, kListeners, Value::Obj(rt.NewArray()));
}

void Broadcast(Runtime& rt, Value source, std::string_view event, std::span<const Value> args) {
  std::vector<Value> all;
  all.reserve(args.size() + 1);
  all.push_back(rt.Str(event));
  all.insert(all.end(), args.begin(), args.end());
  rt.CallMethod(source, "broadcastMessage", all);
}

void InstallBroadcasterBuiltins(Runtime& rt) {
  HostState& host = *rt.hostState;
  host.addListener = rt.NewNative(AddListener);
  host.removeListener = rt.NewNative(RemoveListener);
  host.broadcastMessage = rt.NewNative(BroadcastMessage);
  FunctionObject* ctor = DefineClass(rt, "AsBroadcaster", rt.NewObject(), BroadcasterCall, BroadcasterConstruct);
  rt.DefineMethod(ctor, "initialize", Initialize);
  rt.DefineValue(ctor, "addListener", Value::Obj(host.addListener));
  rt.DefineValue(ctor, "removeListener", Value::Obj(host.removeListener));
  rt.DefineValue(ctor, "broadcastMessage", Value::Obj(host.broadcastMessage));
}

}  // namespace dc::swf::avm1

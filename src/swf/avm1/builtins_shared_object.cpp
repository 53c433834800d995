// SharedObject: a face's local store, kept in memory for the player's life
// and never written to disk. getLocal gives the same object for the same
// name and path each time, so what a face keeps there is there when it
// asks again; flush always succeeds, getSize counts the data as Flash
// stores it (AMF0). Remote shared objects never connect.
#include <map>
#include <string>

#include "swf/avm1/amf0.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {


struct SharedObjectState : HostFamilyState {
  void Mark(Heap& heap) const override {
    heap.Mark(proto);
    for (const auto& [key, store] : stores) heap.Mark(store);
  }
  Object* proto = nullptr;
  std::map<std::string, Object*> stores;  // by path and name
};

SharedObjectState& StateOf(Runtime& rt) { return rt.hostState->Family<SharedObjectState>(); }

// What a store's name may not hold.
bool ValidName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (std::string_view("~%&\\;:\"',<>?# ").find(c) != std::string_view::npos) return false;
  return true;
}

Object* MakeStore(Runtime& rt) {
  Object* store = rt.NewObject(StateOf(rt).proto);
  rt.DefineValue(store, "data", Value::Obj(rt.NewObject()), kDontDelete);
  return store;
}

Value GetLocal(Runtime& rt, Value, std::span<const Value> args) {
  const std::string name = rt.ToString(Arg(args, 0));
  if (args.empty() || !ValidName(name)) return Value::Null();
  const Value pathArg = Arg(args, 1);
  const std::string path = pathArg.IsNullish() ? std::string() : rt.ToString(pathArg);
  SharedObjectState& state = StateOf(rt);
  const std::string key = path + '\n' + name;
  if (const auto it = state.stores.find(key); it != state.stores.end()) return Value::Obj(it->second);
  if (state.stores.size() >= rt.limits.maxSharedObjects) {
    rt.Capped(Runtime::Cap::SharedObjects, "getLocal gave null");
    return Value::Null();
  }
  Object* store = MakeStore(rt);
  state.stores.emplace(key, store);
  return Value::Obj(store);
}

// A remote store: a new object each time, that never connects.
Value GetRemote(Runtime& rt, Value, std::span<const Value> args) {
  const std::string name = rt.ToString(Arg(args, 0));
  if (args.empty() || !ValidName(name)) return Value::Null();
  return Value::Obj(MakeStore(rt));
}

Value DeleteAll(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }
Value Flush(Runtime&, Value self, std::span<const Value>) { return Value::Bool(self.IsObject()); }
Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }

// Every member of the data goes; the data object stays.
Value Clear(Runtime& rt, Value self, std::span<const Value>) {
  Object* data = rt.GetMember(self, "data").AsObject();
  if (!data) return Value();
  std::vector<std::string> names;
  for (const Property& p : data->props.Items()) names.push_back(p.name);
  rt.CountWork(names.size());
  for (const std::string& n : names) rt.DeleteMember(Value::Obj(data), n);
  return Value();
}

// The data's members as a stored file holds them: each name with its
// length, its value and a pad byte.
Value GetSize(Runtime& rt, Value self, std::span<const Value>) {
  Object* data = rt.GetMember(self, "data").AsObject();
  if (!data) return Value::Number(0);
  std::size_t total = 0;
  std::vector<std::string> names;
  for (const Property& p : data->props.Items())
    if (!(p.flags & kDontEnum)) names.push_back(p.name);
  for (const std::string& n : names) {
    const auto size = Amf0Size(rt, rt.GetMember(Value::Obj(data), n), rt.limits.maxSharedObjectBytes);
    if (!size) {
      rt.Capped(Runtime::Cap::SharedObjectBytes, "getSize gave what it counted so far");
      break;
    }
    total += 2 + n.size() + *size + 1;
  }
  return Value::Number(static_cast<double>(total));
}

Value SharedObjectCall(Runtime&, Value, std::span<const Value>) { return Value(); }
Value SharedObjectConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  return Value::Obj(rt.NewObject(proto));
}

}  // namespace

void InstallSharedObjectBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  StateOf(rt).proto = p;
  rt.DefineMethod(p, "flush", Flush);
  rt.DefineMethod(p, "clear", Clear);
  rt.DefineMethod(p, "getSize", GetSize);
  rt.DefineMethod(p, "connect", False);
  rt.DefineMethod(p, "close", Nothing);
  rt.DefineMethod(p, "send", Nothing);
  rt.DefineMethod(p, "setFps", False);
  FunctionObject* ctor = DefineClass(rt, "SharedObject", p, SharedObjectCall, SharedObjectConstruct);
  rt.DefineMethod(ctor, "getLocal", GetLocal);
  rt.DefineMethod(ctor, "getRemote", GetRemote);
  rt.DefineMethod(ctor, "deleteAll", DeleteAll);
  rt.DefineMethod(ctor, "getDiskUsage", Nothing);
}

}  // namespace dc::swf::avm1

// LocalConnection between the connections of this player: a face may talk
// to itself, and nothing else is ever there. A connection name belongs to
// one connection at a time; names without a leading underscore live under
// this movie's domain ("localhost:"). A send copies its arguments at once
// (AMF0) and is delivered at the end of the frame to whoever holds the name
// then: the sender hears onStatus level "status" and the receiver's method
// runs, or the sender hears level "error" (also when no one held the name
// as it was sent).
#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_map>

#include "swf/avm1/amf0.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::string_view kDomain = "localhost";

struct LocalConnectionState : HostFamilyState {
  void Mark(Heap& heap) const override {
    for (const auto& [name, connection] : byName) heap.Mark(connection);
  }
  std::map<std::string, Object*> byName;  // open names, each to its connection
  std::unordered_map<const Object*, std::string> names;
};

LocalConnectionState& StateOf(Runtime& rt) { return rt.hostState->Family<LocalConnectionState>(); }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The full name a connection listens on: the domain's unless it starts
// with an underscore.
std::string ListenName(std::string_view name) {
  return name[0] == '_' ? Lower(name) : Lower(kDomain) + ":" + Lower(name);
}

// The full name a send goes to: a name with a domain as it is.
std::string SendName(std::string_view name) {
  if (name.find(':') != std::string_view::npos) return Lower(name);
  return ListenName(name);
}

// A nonempty string, else nothing.
std::optional<std::string> NameArg(std::span<const Value> args, std::size_t i) {
  const Value v = Arg(args, i);
  if (!v.IsString() || v.s->text.empty()) return std::nullopt;
  return v.s->text;
}

Value Connect(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  const auto name = NameArg(args, 0);
  LocalConnectionState& state = StateOf(rt);
  if (!o || !name || name->find(':') != std::string::npos || state.names.contains(o)) return Value::Bool(false);
  if (state.byName.size() >= rt.limits.maxConnections) {
    rt.Capped(Runtime::Cap::Connections, "connect gave false");
    return Value::Bool(false);
  }
  const std::string full = ListenName(*name);
  if (state.byName.contains(full)) return Value::Bool(false);
  state.byName.emplace(full, o);
  state.names.emplace(o, full);
  return Value::Bool(true);
}

Value Close(Runtime& rt, Value self, std::span<const Value>) {
  LocalConnectionState& state = StateOf(rt);
  const auto it = state.names.find(self.AsObject());
  if (it == state.names.end()) return Value();
  state.byName.erase(it->second);
  state.names.erase(it);
  return Value();
}

Value Domain(Runtime& rt, Value, std::span<const Value>) { return rt.Str(kDomain); }

void SendStatus(Runtime& rt, Value sender, const char* level) {
  Object* info = rt.NewObject();
  rt.SetMember(Value::Obj(info), "level", rt.Str(level));
  const Value args[] = {Value::Obj(info)};
  CallIfFunction(rt, sender, "onStatus", args);
}

// The event's arguments: the method, and whether the name was held when
// the message was sent.
void Deliver(Runtime& rt, HostEvent& event) {
  LocalConnectionState& state = StateOf(rt);
  const auto it = state.byName.find(event.name);
  if (it == state.byName.end() || !rt.ToBoolean(event.args.at(1))) {
    SendStatus(rt, event.target, "error");
    return;
  }
  const Value receiver = Value::Obj(it->second);
  SendStatus(rt, event.target, "status");
  // A receiver's throw ends this delivery only (each event runs guarded).
  const std::vector<Value> args = DecodeAmf0(rt, event.payload);
  CallIfFunction(rt, receiver, event.args.at(0).s->text, args);
}

// What a sender may not call on a receiver.
bool Protected(std::string_view method) {
  for (std::string_view p : {"send", "connect", "close", "allowDomain", "allowInsecureDomain", "domain"})
    if (NamesEqual(method, p, false)) return true;
  return false;
}

Value Send(Runtime& rt, Value self, std::span<const Value> args) {
  const auto name = NameArg(args, 0);
  const auto method = NameArg(args, 1);
  if (!self.IsObject() || !name || !method || Protected(*method)) return Value::Bool(false);
  auto payload = EncodeAmf0(rt, args.subspan(2), rt.limits.maxMessageBytes);
  if (!payload) {
    rt.Capped(Runtime::Cap::MessageBytes, "send gave false");
    return Value::Bool(false);
  }
  std::string full = SendName(*name);
  const bool held = StateOf(rt).byName.contains(full);
  return Value::Bool(
      QueueHostEvent(rt, HostEvent{Deliver, self, std::move(full), {rt.Str(*method), Value::Bool(held)}, std::move(*payload)}));
}

Value ConnectionCall(Runtime&, Value, std::span<const Value>) { return Value(); }
Value ConnectionConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  return Value::Obj(rt.NewObject(proto));
}

}  // namespace

void InstallLocalConnectionBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  const std::pair<const char*, NativeFunction> methods[] = {
      {"connect", Connect}, {"send", Send}, {"close", Close}, {"domain", Domain}};
  for (const auto& [name, fn] : methods) rt.DefineValue(p, name, Value::Obj(rt.NewNative(fn)), kDontEnum | kDontDelete);
  DefineClass(rt, "LocalConnection", p, ConnectionCall, ConnectionConstruct);
}

}  // namespace dc::swf::avm1

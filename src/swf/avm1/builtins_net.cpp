// NetConnection, NetStream and XMLSocket with no network, the Video a
// stream would show in, and the Camera and Microphone a stream would
// publish, of which there are none. A
// NetConnection to null (progressive media) connects at once; one to a
// remoting URL waits for calls that are never answered; one to a server
// fails at the end of the frame. Streams find nothing to play, sockets
// never connect.
#include <unordered_map>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

enum class Link { None, Local, Remoting };

// Connections a movie may hold open.
constexpr std::size_t kMaxLinks = 1024;

// Open connections stay alive, as Flash keeps them.
struct NetState : HostFamilyState {
  void Mark(Heap& heap) const override {
    for (const auto& [connection, link] : links) heap.Mark(connection);
  }
  std::unordered_map<Object*, Link> links;  // by NetConnection; none when closed
};

NetState& StateOf(Runtime& rt) { return rt.hostState->Family<NetState>(); }

// onStatus({code, level}), or with no argument when `code` is null.
void Status(Runtime& rt, Value target, const char* code, const char* level) {
  if (!code) {
    CallIfFunction(rt, target, "onStatus", {});
    return;
  }
  Object* info = rt.NewObject();
  rt.SetMember(Value::Obj(info), "code", rt.Str(code));
  rt.SetMember(Value::Obj(info), "level", rt.Str(level));
  const Value args[] = {Value::Obj(info)};
  CallIfFunction(rt, target, "onStatus", args);
}

// The event's name is the code; its argument the level.
void DeliverStatus(Runtime& rt, HostEvent& event) {
  const std::string level = rt.ToString(event.args.at(0));
  Status(rt, event.target, event.name.c_str(), level.c_str());
}

// Closing tells the movie; a remoting connection's pending answer ends
// with an empty status after it.
void CloseLink(Runtime& rt, Value connection) {
  NetState& state = StateOf(rt);
  const auto it = state.links.find(connection.AsObject());
  if (it == state.links.end()) return;
  const Link link = it->second;
  state.links.erase(it);
  Status(rt, connection, "NetConnection.Connect.Closed", "status");
  if (link == Link::Remoting) Status(rt, connection, nullptr, nullptr);
}

bool IsRemoting(std::string_view url) { return url.starts_with("http://") || url.starts_with("https://"); }

Value Connect(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o || args.empty()) return Value::Bool(false);
  CloseLink(rt, self);
  NetState& state = StateOf(rt);
  if (state.links.size() >= kMaxLinks) return Value::Bool(false);
  if (args[0].IsNull()) {
    state.links[o] = Link::Local;
    Status(rt, self, "NetConnection.Connect.Success", "status");
    return Value::Bool(true);
  }
  const std::string url = rt.ToString(args[0]);
  if (IsRemoting(url)) {
    state.links[o] = Link::Remoting;
    return Value::Bool(true);
  }
  QueueHostEvent(rt, HostEvent{DeliverStatus, self, "NetConnection.Connect.Failed", {rt.Str("error")}});
  return Value::Bool(false);
}

Value Close(Runtime& rt, Value self, std::span<const Value>) {
  CloseLink(rt, self);
  return Value();
}

Value IsConnected(Runtime& rt, Value self, std::span<const Value>) {
  const NetState& state = StateOf(rt);
  const auto it = state.links.find(self.AsObject());
  return Value::Bool(it != state.links.end() && it->second == Link::Local);
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
Value PlainCall(Runtime&, Value, std::span<const Value>) { return Value(); }
Value PlainConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

// A stream has nothing to play: it says so at the end of the frame.
Value Play(Runtime& rt, Value self, std::span<const Value>) {
  if (self.IsObject())
    QueueHostEvent(rt, HostEvent{DeliverStatus, self, "NetStream.Play.StreamNotFound", {rt.Str("error")}});
  return Value();
}

Value StreamConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  Object* stream = rt.NewObject(proto);
  for (const char* name : {"time", "bytesLoaded", "bytesTotal", "bufferLength", "currentFps", "liveDelay"})
    rt.DefineValue(stream, name, Value::Number(0), kDontEnum);
  rt.DefineValue(stream, "bufferTime", Value::Number(0.1), kDontEnum);
  return Value::Obj(stream);
}

Value SetBufferTime(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject()) rt.DefineValue(o, "bufferTime", Value::Number(rt.ToNumber(Arg(args, 0))), kDontEnum);
  return Value();
}

void DeliverSocketFailed(Runtime& rt, HostEvent& event) {
  const Value args[] = {Value::Bool(false)};
  CallIfFunction(rt, event.target, "onConnect", args);
}

// A socket tries and fails: onConnect(false) at the end of the frame.
Value SocketConnect(Runtime& rt, Value self, std::span<const Value> args) {
  if (!self.IsObject() || args.size() < 2) return Value::Bool(false);
  const double port = rt.ToNumber(args[1]);
  if (!(port >= 1024 && port <= 65535)) return Value::Bool(false);
  QueueHostEvent(rt, HostEvent{DeliverSocketFailed, self, {}, {}});
  return Value::Bool(true);
}

void Methods(Runtime& rt, Object* proto, std::initializer_list<std::pair<const char*, NativeFunction>> methods) {
  for (const auto& [name, fn] : methods) rt.DefineValue(proto, name, Value::Obj(rt.NewNative(fn)), kDontEnum | kDontDelete);
}

}  // namespace

void InstallNetBuiltins(Runtime& rt) {
  Object* connection = rt.NewObject();
  Methods(rt, connection, {{"connect", Connect}, {"close", Close}, {"call", Nothing}, {"addHeader", Nothing}});
  DefineAccessor(rt, connection, "isConnected", IsConnected, nullptr);
  DefineClass(rt, "NetConnection", connection, PlainCall, PlainConstruct);

  Object* stream = rt.NewObject();
  Methods(rt, stream, {{"play", Play},          {"pause", Nothing},        {"seek", Nothing},
                       {"close", Nothing},      {"setBufferTime", SetBufferTime}, {"attachAudio", Nothing},
                       {"attachVideo", Nothing}, {"publish", Nothing},     {"receiveAudio", Nothing},
                       {"receiveVideo", Nothing}, {"send", Nothing}});
  DefineClass(rt, "NetStream", stream, PlainCall, StreamConstruct);

  Object* video = rt.NewObject();
  Methods(rt, video, {{"attachVideo", Nothing}, {"clear", Nothing}});
  DefineClass(rt, "Video", video, PlainCall, PlainConstruct);

  Object* socket = rt.NewObject();
  Methods(rt, socket, {{"connect", SocketConnect}, {"send", Nothing}, {"close", Nothing}});
  DefineClass(rt, "XMLSocket", socket, PlainCall, PlainConstruct);

  // No camera or microphone is there.
  for (const char* name : {"Camera", "Microphone"}) {
    FunctionObject* device = DefineClass(rt, name, rt.NewObject(), PlainCall, PlainConstruct);
    rt.DefineMethod(device, "get", [](Runtime&, Value, std::span<const Value>) { return Value::Null(); });
    rt.DefineValue(device, "names", Value::Obj(rt.NewArray()), kDontEnum | kDontDelete);
  }
}

}  // namespace dc::swf::avm1

// The host objects' state and the engine's hooks into it: installing the
// families, marking what they hold, running the events they queued at the
// end of a frame, forgetting a removed clip.
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

// Events a frame may queue, and the bytes they may carry; more are
// dropped (a movie that sends in a loop).
constexpr std::size_t kMaxQueuedEvents = 4096;
constexpr std::size_t kMaxQueuedBytes = 4u << 20;

}  // namespace

bool QueueHostEvent(Runtime& rt, HostEvent event) {
  HostState& host = *rt.hostState;
  if (host.events.size() >= kMaxQueuedEvents || host.queuedBytes + event.payload.size() > kMaxQueuedBytes)
    return false;
  host.queuedBytes += event.payload.size();
  host.events.push_back(std::move(event));
  return true;
}

void CallIfFunction(Runtime& rt, Value target, std::string_view name, std::span<const Value> args) {
  const Value f = rt.GetMember(target, name);
  if (Object* o = f.AsObject(); o && o->cls == ObjectClass::Function) rt.Call(f, target, args);
}

void DeliverCall(Runtime& rt, HostEvent& event) { CallIfFunction(rt, event.target, event.name, event.args); }

void DefineAccessor(Runtime& rt, Object* owner, std::string_view name, NativeFunction get, NativeFunction set,
                    std::uint8_t flags) {
  rt.DefineAccessor(owner, name, Value::Obj(rt.NewNative(get)), set ? Value::Obj(rt.NewNative(set)) : Value(),
                    flags);
}

Object* PackageObject(Runtime& rt, std::string_view path) {
  Object* at = rt.global;
  while (!path.empty()) {
    const std::size_t dot = path.find('.');
    const std::string_view part = path.substr(0, dot);
    path = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
    Property* p = at->props.Find(part, rt.caseSensitive);
    Object* next = p && !p->accessor ? p->value.AsObject() : nullptr;
    if (!next) {
      next = rt.NewObject();
      rt.DefineValue(at, part, Value::Obj(next), 0);
    }
    at = next;
  }
  return at;
}

void InstallHostObjects(Runtime& rt) {
  rt.hostState = std::make_unique<HostState>();
  InstallBroadcasterBuiltins(rt);
  InstallSystemBuiltins(rt);
  InstallStageBuiltins(rt);
  InstallInputBuiltins(rt);
  InstallSelectionBuiltins(rt);
  InstallMovieClipLoaderBuiltins(rt);
  InstallSoundBuiltins(rt);
  InstallContextMenuBuiltins(rt);
  InstallSharedObjectBuiltins(rt);
  InstallLocalConnectionBuiltins(rt);
  InstallNetBuiltins(rt);
  InstallFileReferenceBuiltins(rt);
  InstallExternalInterfaceBuiltins(rt);
}

void MarkHostObjects(Runtime& rt, Heap& heap) {
  const HostState* host = rt.hostState.get();
  if (!host) return;
  heap.Mark(host->addListener);
  heap.Mark(host->removeListener);
  heap.Mark(host->broadcastMessage);
  for (const HostEvent& e : host->events) {
    heap.Mark(e.target);
    for (const Value& v : e.args) heap.Mark(v);
  }
  for (const auto& family : host->families) family->Mark(heap);
}

void RunHostEvents(Runtime& rt) {
  HostState& host = *rt.hostState;
  for (const auto& family : host.families) rt.Guarded([&] { family->Tick(rt); });
  // Events queued while these run wait for the next frame.
  std::size_t due = host.events.size();
  while (due-- > 0 && !host.events.empty()) {
    HostEvent event = std::move(host.events.front());
    host.events.pop_front();
    host.queuedBytes -= event.payload.size();
    // No collection runs while scripts do, so the event's values live on
    // off the queue.
    rt.Guarded([&] { event.deliver(rt, event); });
  }
}

void ForgetClipInHostObjects(Runtime& rt, const Clip& clip) {
  if (!rt.hostState) return;
  for (const auto& family : rt.hostState->families) family->ForgetClip(&clip);
}

}  // namespace dc::swf::avm1

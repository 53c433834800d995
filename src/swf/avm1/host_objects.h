// The host objects' state beyond their script objects (the broadcaster's
// methods, the events they owe scripts) and the engine's hooks into them:
// made with the runtime, marked by its collector, their events run at the
// end of each frame, a removed clip forgotten. Each family of host objects
// installs itself from its own file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

// What a host object does later, as Flash does when its network, file or
// sound device answers (here: never, or at once with a failure): run at the
// end of the frame it was queued in, in order.
struct HostEvent {
  // Runs the event; `event` is still queued-owned (its values are marked).
  void (*deliver)(Runtime& rt, HostEvent& event) = nullptr;
  Value target;
  std::string name;
  std::vector<Value> args;
  std::vector<std::uint8_t> payload;  // values copied as bytes (AMF0)
};

// State a family keeps for the player's life; each family derives its own
// and marks what it holds.
struct HostFamilyState {
  virtual ~HostFamilyState() = default;
  virtual void Mark(Heap&) const {}
  // Once per frame, before the queued events (a sound that ended).
  virtual void Tick(Runtime&) {}
  virtual void ForgetClip(const Clip*) {}
};

struct HostState {
  FunctionObject* addListener = nullptr;
  FunctionObject* removeListener = nullptr;
  FunctionObject* broadcastMessage = nullptr;
  std::deque<HostEvent> events;
  std::size_t queuedBytes = 0;  // the events' payloads
  std::vector<std::unique_ptr<HostFamilyState>> families;

  // The family of type T, made on first use.
  template <class T>
  T& Family() {
    for (const auto& f : families)
      if (auto* t = dynamic_cast<T*>(f.get())) return *t;
    families.push_back(std::make_unique<T>());
    return static_cast<T&>(*families.back());
  }
};

// Queues an event for the frame's end; false, and dropped, past a bound
// on the events or the bytes they carry, so a loop cannot grow the queue.
bool QueueHostEvent(Runtime& rt, HostEvent event);
// Calls `target[name](args)` when the target has such a function.
void CallIfFunction(Runtime& rt, Value target, std::string_view name, std::span<const Value> args);
// Delivery that calls the event's target method with its arguments.
void DeliverCall(Runtime& rt, HostEvent& event);

// A property read and written through natives (`set` null: read-only),
// hidden from for-in and kept from delete unless `flags` say otherwise.
void DefineAccessor(Runtime& rt, Object* owner, std::string_view name, NativeFunction get, NativeFunction set,
                    std::uint8_t flags = kDontEnum | kDontDelete);
// The package object at a dotted path under _global ("flash.net"), made
// where missing.
Object* PackageObject(Runtime& rt, std::string_view path);

// The engine's hooks.
void InstallHostObjects(Runtime& rt);
void MarkHostObjects(Runtime& rt, Heap& heap);
void RunHostEvents(Runtime& rt);
void ForgetClipInHostObjects(Runtime& rt, const Clip& clip);

// Each family's installer (InstallHostObjects calls them in order).
void InstallBroadcasterBuiltins(Runtime& rt);
void InstallSystemBuiltins(Runtime& rt);
void InstallStageBuiltins(Runtime& rt);
void InstallInputBuiltins(Runtime& rt);
void InstallSelectionBuiltins(Runtime& rt);
void InstallMovieClipLoaderBuiltins(Runtime& rt);
void InstallSoundBuiltins(Runtime& rt);
void InstallContextMenuBuiltins(Runtime& rt);
void InstallSharedObjectBuiltins(Runtime& rt);
void InstallLocalConnectionBuiltins(Runtime& rt);
void InstallNetBuiltins(Runtime& rt);
void InstallFileReferenceBuiltins(Runtime& rt);
void InstallExternalInterfaceBuiltins(Runtime& rt);

}  // namespace dc::swf::avm1

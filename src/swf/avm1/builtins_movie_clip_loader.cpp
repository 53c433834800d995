// MovieClipLoader: a loader that is its own first listener. A face loads
// nothing from outside itself, so every load fails as a missing file does:
// at the end of the frame the listeners hear onLoadError(target,
// "URLNotFound", 0), and the target clip stays as it was.
#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

// A clip, a target path from the root, or a level number (only _level0
// exists).
Value TargetClip(Runtime& rt, Value target) {
  if (Runtime::ClipOf(target)) return target;
  if (!rt.root) return Value();
  if (target.IsNumber()) return target.n == 0 ? rt.ClipValue(rt.root) : Value();
  if (!target.IsString()) return Value();
  const Value found = rt.ResolveTarget(rt.ObjectFor(*rt.root), target.s->text);
  return Runtime::ClipOf(found) ? found : Value();
}

void DeliverLoadError(Runtime& rt, HostEvent& event) {
  const Value args[] = {event.args.at(0), rt.Str("URLNotFound"), Value::Number(0)};
  Broadcast(rt, event.target, "onLoadError", args);
}

Value LoadClip(Runtime& rt, Value self, std::span<const Value> args) {
  const Value target = TargetClip(rt, Arg(args, 1));
  if (!self.IsObject() || args.empty() || target.IsUndefined()) return Value::Bool(false);
  QueueHostEvent(rt, HostEvent{DeliverLoadError, self, {}, {target}});
  return Value::Bool(true);
}

Value UnloadClip(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Bool(!TargetClip(rt, Arg(args, 0)).IsUndefined());
}

// What was loaded into the target: nothing.
Value GetProgress(Runtime& rt, Value, std::span<const Value> args) {
  if (TargetClip(rt, Arg(args, 0)).IsUndefined()) return Value();
  Object* progress = rt.NewObject();
  rt.SetMember(Value::Obj(progress), "bytesLoaded", Value::Number(0));
  rt.SetMember(Value::Obj(progress), "bytesTotal", Value::Number(0));
  return Value::Obj(progress);
}

// The loader listens to itself; super() in a subclass makes one too.
void MakeLoader(Runtime& rt, Object* loader) {
  MakeBroadcaster(rt, loader);
  const Value self[] = {Value::Obj(loader)};
  rt.CallMethod(self[0], "addListener", self);
}

Value LoaderCall(Runtime& rt, Value self, std::span<const Value>) {
  if (Object* o = self.AsObject(); o && o != rt.global && o->cls == ObjectClass::Object) MakeLoader(rt, o);
  return Value();
}

Value LoaderConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  Object* loader = rt.NewObject(proto);
  MakeLoader(rt, loader);
  return Value::Obj(loader);
}

}  // namespace

void InstallMovieClipLoaderBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "loadClip", LoadClip);
  rt.DefineMethod(p, "unloadClip", UnloadClip);
  rt.DefineMethod(p, "getProgress", GetProgress);
  DefineClass(rt, "MovieClipLoader", p, LoaderCall, LoaderConstruct);
}

}  // namespace dc::swf::avm1

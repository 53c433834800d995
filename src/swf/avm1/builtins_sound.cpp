// Sound: a face's sounds are never heard, but they read back as Flash's
// do. A Sound object controls the sounds of its target (a clip, a path
// looked up at each call, or, with none, the whole movie): the volume and
// the left/right mix belong to the target and are shared by every Sound
// object on it. An attached sound has its length and plays on the
// player's timer: its position moves, and onSoundComplete comes when its
// loops are done.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

// The mix of a target: each output channel's share of each input, percent.
struct SoundTransform {
  std::int32_t volume = 100;
  std::int32_t ll = 100, lr = 0, rl = 0, rr = 100;
};

class SoundObject final : public Object {
 public:
  explicit SoundObject(Object* prototype) : Object(prototype) {}
  void Trace(Heap& heap) override {
    Object::Trace(heap);
    heap.Mark(clip);
  }
  std::size_t Footprint() const override { return sizeof(SoundObject) + props.Bytes() + path.size() + name.size(); }

  enum class Target { Movie, Clip, Path } target = Target::Movie;
  ClipObject* clip = nullptr;  // Target::Clip; its path when it is gone
  std::string path;            // Target::Clip (absolute) and Path (from the running code)
  // The attached sound.
  std::string name;
  std::optional<double> durationMs;
  bool loadTried = false;  // loadSound was called
  // Playing: started at `startMs` on the player's timer, for `loops` runs.
  bool playing = false;
  double startMs = 0;
  double loops = 1;
  double stoppedAtMs = 0;  // the position when it stopped
};

// At most this many sounds play at once, as in Flash.
constexpr std::size_t kMaxPlaying = 32;

struct SoundState : HostFamilyState {
  void Mark(Heap& heap) const override {
    heap.Mark(proto);
    for (SoundObject* s : playing) heap.Mark(s);
  }
  void ForgetClip(const Clip* clip) override { clips.erase(clip); }
  void Tick(Runtime& rt) override;

  Object* proto = nullptr;
  SoundTransform movie;  // for Sound objects without a target
  std::unordered_map<const Clip*, SoundTransform> clips;
  std::vector<SoundObject*> playing;
};

SoundState& StateOf(Runtime& rt) { return rt.hostState->Family<SoundState>(); }

double NowMs(Runtime& rt) { return rt.host.timerMs ? rt.host.timerMs() : 0; }

// An object made by a subclass's constructor keeps its sound in a slot no
// script names (super() put it there).
constexpr std::string_view kSlot = "\x01sound";

SoundObject* ThisSound(Runtime& rt, Value self) {
  Object* o = self.AsObject();
  if (auto* s = dynamic_cast<SoundObject*>(o)) return s;
  const Property* p = o ? o->props.Find(kSlot, rt.caseSensitive) : nullptr;
  return p ? dynamic_cast<SoundObject*>(p->value.AsObject()) : nullptr;
}

// The transform a Sound object controls now; null when its target clip
// is not there.
SoundTransform* TransformOf(Runtime& rt, SoundObject* s) {
  if (!s) return nullptr;
  SoundState& state = StateOf(rt);
  Clip* clip = nullptr;
  switch (s->target) {
    case SoundObject::Target::Movie:
      return &state.movie;
    case SoundObject::Target::Clip: {
      // The clip while its own path still leads to it (it may be taken off
      // its list and not forgotten yet), else whatever is at the path it
      // had: a clip made again in its place.
      if (!rt.root) break;
      ClipObject* root = rt.ObjectFor(*rt.root);
      if (Clip* own = s->clip ? s->clip->clip : nullptr;
          own && Runtime::ClipOf(rt.ResolveTarget(root, rt.DotPath(own))) == own)
        clip = own;
      else
        clip = Runtime::ClipOf(rt.ResolveTarget(root, s->path));
      break;
    }
    case SoundObject::Target::Path: {
      ClipObject* base = rt.scriptBase ? rt.scriptBase : rt.root ? rt.ObjectFor(*rt.root) : nullptr;
      if (base) clip = Runtime::ClipOf(rt.ResolveTarget(base, s->path));
      break;
    }
  }
  if (!clip) return nullptr;
  return &state.clips[clip];
}

// A number as the player's 32-bit conversion makes it: what does not fit,
// NaN included, becomes the lowest integer.
std::int32_t IntOrLowest(double v) {
  if (!(v >= -2147483648.0 && v < 2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

std::int32_t Wrapped(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

void Aim(Runtime& rt, SoundObject* s, Value target) {
  if (ClipObject* clip = dynamic_cast<ClipObject*>(target.AsObject())) {
    s->target = SoundObject::Target::Clip;
    s->clip = clip;
    s->path = rt.DotPath(clip->clip);
  } else if (!target.IsNullish()) {
    s->target = SoundObject::Target::Path;
    s->path = rt.ToString(target);  // a script's toString may throw from here
  }
}

Value SoundConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  SoundObject* s = rt.heap.Make<SoundObject>(proto);
  Aim(rt, s, Arg(args, 0));
  return Value::Obj(s);
}

// super(target) in a subclass's constructor.
Value SoundCall(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o || o == rt.global || dynamic_cast<SoundObject*>(o) || o->cls != ObjectClass::Object) return Value();
  SoundObject* s = rt.heap.Make<SoundObject>(o->proto);
  Aim(rt, s, Arg(args, 0));
  rt.DefineValue(o, kSlot, Value::Obj(s), kDontEnum | kDontDelete);
  return Value();
}

Value GetVolume(Runtime& rt, Value self, std::span<const Value>) {
  const SoundTransform* t = TransformOf(rt, ThisSound(rt, self));
  return t ? Value::Number(t->volume) : Value();
}

Value SetVolume(Runtime& rt, Value self, std::span<const Value> args) {
  if (SoundTransform* t = TransformOf(rt, ThisSound(rt, self)))
    t->volume = args.empty() ? 0 : IntOrLowest(rt.ToNumber(args[0]));
  return Value();
}

// The pan as the mix gives it: how far the left input is turned down, or
// else how far the right one is.
Value GetPan(Runtime& rt, Value self, std::span<const Value>) {
  const SoundTransform* t = TransformOf(rt, ThisSound(rt, self));
  if (!t) return Value();
  const std::int64_t ll = t->ll, rr = t->rr;
  return Value::Number(Wrapped(ll != 100 ? 100 - std::abs(ll) : std::abs(rr) - 100));
}

Value SetPan(Runtime& rt, Value self, std::span<const Value> args) {
  SoundTransform* t = TransformOf(rt, ThisSound(rt, self));
  if (!t) return Value();
  const std::int64_t pan = args.empty() ? 0 : IntOrLowest(rt.ToNumber(args[0]));
  t->ll = pan >= 0 ? Wrapped(100 - pan) : 100;
  t->rr = pan >= 0 ? 100 : Wrapped(100 + pan);
  t->lr = t->rl = 0;
  return Value();
}

struct MixField {
  const char* name;
  std::int32_t SoundTransform::*member;
};
constexpr MixField kMixFields[] = {
    {"ll", &SoundTransform::ll}, {"lr", &SoundTransform::lr}, {"rl", &SoundTransform::rl}, {"rr", &SoundTransform::rr}};

Value GetTransform(Runtime& rt, Value self, std::span<const Value>) {
  const SoundTransform* t = TransformOf(rt, ThisSound(rt, self));
  if (!t) return Value();
  Object* out = rt.NewObject();
  for (const MixField& f : kMixFields) rt.SetMember(Value::Obj(out), f.name, Value::Number(t->*f.member));
  return Value::Obj(out);
}

// Only the object's own fields change the mix.
Value SetTransform(Runtime& rt, Value self, std::span<const Value> args) {
  SoundTransform* t = TransformOf(rt, ThisSound(rt, self));
  Object* given = Arg(args, 0).AsObject();
  if (!t || !given) return Value();
  for (const MixField& f : kMixFields) {
    if (!rt.HasOwn(given, f.name)) continue;
    const Value v = rt.GetMember(Value::Obj(given), f.name);
    t->*f.member = ToInt32(rt.ToNumber(v));
  }
  return Value();
}

// Where a sound is: in its current loop while it plays, where it stopped
// after.
double PositionOf(Runtime& rt, const SoundObject& s) {
  if (!s.playing) return s.stoppedAtMs;
  const double duration = s.durationMs.value_or(0);
  const double elapsed = std::max(0.0, NowMs(rt) - s.startMs);
  if (duration <= 0) return 0;
  if (elapsed >= duration * s.loops) return duration;
  return std::fmod(elapsed, duration);
}

void StopSound(Runtime& rt, SoundObject& s) {
  if (!s.playing) return;
  s.stoppedAtMs = PositionOf(rt, s);
  s.playing = false;
  auto& list = StateOf(rt).playing;
  list.erase(std::remove(list.begin(), list.end(), &s), list.end());
}

Value AttachSound(Runtime& rt, Value self, std::span<const Value> args) {
  SoundObject* s = ThisSound(rt, self);
  if (!s || args.empty()) return Value();
  StopSound(rt, *s);
  s->name = rt.ToString(args[0]);
  s->durationMs = rt.host.exportedSoundMs ? rt.host.exportedSoundMs(s->name) : std::nullopt;
  s->stoppedAtMs = 0;
  return Value();
}

// start(secondOffset, loops)
Value Start(Runtime& rt, Value self, std::span<const Value> args) {
  SoundObject* s = ThisSound(rt, self);
  if (!s || !s->durationMs || !TransformOf(rt, s)) return Value();
  SoundState& state = StateOf(rt);
  const double offset = args.empty() ? 0 : rt.ToNumber(args[0]);
  const double loops = args.size() < 2 ? 1 : rt.ToNumber(args[1]);
  StopSound(rt, *s);
  if (state.playing.size() >= kMaxPlaying) return Value();
  s->playing = true;
  s->startMs = NowMs(rt) - (std::isfinite(offset) && offset > 0 ? std::min(offset, 1e9) * 1000 : 0);
  s->loops = std::isfinite(loops) && loops >= 1 ? std::min(std::floor(loops), 1e6) : 1;
  state.playing.push_back(s);
  return Value();
}

// stop() stops every sound of the target; stop(name) those attached as
// `name`.
Value Stop(Runtime& rt, Value self, std::span<const Value> args) {
  SoundObject* s = ThisSound(rt, self);
  SoundTransform* mine = TransformOf(rt, s);
  if (!mine) return Value();
  const bool all = s->target == SoundObject::Target::Movie;
  const std::optional<std::string> name = args.empty() ? std::nullopt : std::optional(rt.ToString(args[0]));
  const std::vector<SoundObject*> playing = StateOf(rt).playing;
  for (SoundObject* other : playing) {
    if (name && other->name != *name) continue;
    if (all || TransformOf(rt, other) == mine) StopSound(rt, *other);
  }
  return Value();
}

Value GetDuration(Runtime& rt, Value self, std::span<const Value>) {
  const SoundObject* s = ThisSound(rt, self);
  return s && s->durationMs ? Value::Number(std::round(*s->durationMs)) : Value();
}

Value GetPosition(Runtime& rt, Value self, std::span<const Value>) {
  const SoundObject* s = ThisSound(rt, self);
  return s && s->durationMs ? Value::Number(std::round(PositionOf(rt, *s))) : Value();
}

// Assigning duration or position keeps the value on the object itself,
// over the reading the prototype gives.
Value ShadowDuration(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject()) rt.DefineValue(o, "duration", Arg(args, 0), 0);
  return Value();
}
Value ShadowPosition(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject()) rt.DefineValue(o, "position", Arg(args, 0), 0);
  return Value();
}
Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

void DeliverLoadFailed(Runtime& rt, HostEvent& event) {
  const Value ok[] = {Value::Bool(false)};
  CallIfFunction(rt, event.target, "onLoad", ok);
}

// Nothing can be fetched: onLoad(false) at the end of the frame.
Value LoadSound(Runtime& rt, Value self, std::span<const Value>) {
  SoundObject* s = ThisSound(rt, self);
  if (!s) return Value();
  StopSound(rt, *s);
  s->name.clear();
  s->durationMs.reset();
  s->loadTried = true;
  QueueHostEvent(rt, HostEvent{DeliverLoadFailed, self, {}, {}});
  return Value();
}

Value GetBytes(Runtime& rt, Value self, std::span<const Value>) {
  const SoundObject* s = ThisSound(rt, self);
  return s && s->loadTried ? Value::Number(0) : Value();
}

void DeliverComplete(Runtime& rt, HostEvent& event) { CallIfFunction(rt, event.target, "onSoundComplete", {}); }

void SoundState::Tick(Runtime& rt) {
  const double now = NowMs(rt);
  const std::vector<SoundObject*> list = playing;
  for (SoundObject* s : list) {
    if (now - s->startMs < s->durationMs.value_or(0) * s->loops) continue;
    StopSound(rt, *s);
    QueueHostEvent(rt, HostEvent{DeliverComplete, Value::Obj(s), {}, {}});
  }
}

}  // namespace

void InstallSoundBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  StateOf(rt).proto = p;
  struct Method {
    const char* name;
    NativeFunction fn;
  };
  static constexpr Method kMethods[] = {
      {"getPan", GetPan},       {"getTransform", GetTransform}, {"getVolume", GetVolume},
      {"setPan", SetPan},       {"setTransform", SetTransform}, {"setVolume", SetVolume},
      {"stop", Stop},           {"attachSound", AttachSound},   {"start", Start},
  };
  static constexpr Method kMethods6[] = {
      {"getDuration", GetDuration}, {"setDuration", Nothing},         {"getPosition", GetPosition},
      {"setPosition", Nothing},     {"loadSound", LoadSound},         {"getBytesLoaded", GetBytes},
      {"getBytesTotal", GetBytes},
  };
  for (const Method& m : kMethods) rt.DefineValue(p, m.name, Value::Obj(rt.NewNative(m.fn)), kDontEnum | kDontDelete);
  if (rt.version >= 6) {
    for (const Method& m : kMethods6)
      rt.DefineValue(p, m.name, Value::Obj(rt.NewNative(m.fn)), kDontEnum | kDontDelete);
    DefineAccessor(rt, p, "duration", GetDuration, ShadowDuration);
    DefineAccessor(rt, p, "position", GetPosition, ShadowPosition);
  }
  DefineClass(rt, "Sound", p, SoundCall, SoundConstruct);
}

}  // namespace dc::swf::avm1

// The player's entry points: clips coming and going, blocks and handlers
// run under the frame's budget, intervals, bound text fields, collection.
#include "swf/avm1/engine.h"

#include "swf/avm1/broadcaster.h"

#include "swf/avm1/host_objects.h"
#include <algorithm>

#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

// A collection runs after a frame once this much was made since the last
// one, or this many frames went by.
constexpr std::uint64_t kCollectAfterBytes = 1u << 20;
constexpr int kCollectAfterFrames = 60;

}  // namespace

Engine::Engine(int swfVersion, Host host, ScriptLimits limits)
    : runtime_(std::make_unique<Runtime>(swfVersion, std::move(host), limits)) {}

Engine::~Engine() {
  for (const auto& [clip, object] : runtime_->clips) clip->SetScriptObject(nullptr);
}

void Engine::SetRoot(Clip& root) {
  runtime_->root = &root;
  runtime_->ObjectFor(root);
}

void Engine::ClipAdded(Clip& clip) { runtime_->BindTextField(runtime_->ObjectFor(clip)); }

void Engine::ConstructClip(Clip& clip) {
  if (runtime_->stats.scriptsStopped || runtime_->frameStopped) return;
  runtime_->ConstructClip(clip);
}

namespace {

// The names from the root down to `clip`.
std::vector<std::string> PathOf(const Runtime& rt, const Clip& clip) {
  std::vector<std::string> names;
  for (const Clip* c = &clip; c && c != rt.root && c->Parent(); c = c->Parent()) names.push_back(c->Name());
  std::reverse(names.begin(), names.end());
  return names;
}

}  // namespace

void Engine::ClipLeaving(Clip& clip, bool reachable) {
  auto* o = static_cast<ClipObject*>(clip.ScriptObject());
  if (!o || o->leaving) return;
  o->path = PathOf(*runtime_, clip);
  o->leaving = true;
  if (!reachable) o->removed = true;
}

void Engine::ClipRemoved(Clip& clip) {
  Runtime& rt = *runtime_;
  const auto it = rt.clips.find(&clip);
  if (it != rt.clips.end()) {
    // References to it reach a clip placed at the same path from now on.
    ClipObject* o = it->second;
    if (!o->leaving) o->path = PathOf(rt, clip);
    o->removed = true;
    o->clip = nullptr;
    rt.clips.erase(it);
  }
  clip.SetScriptObject(nullptr);
  ForgetClipInHostObjects(rt, clip);
  if (rt.root == &clip) rt.root = nullptr;
}

void Engine::BeginFrame() {
  Runtime& rt = *runtime_;
  ++rt.frameNumber;
  rt.stack.clear();
  rt.actions = 0;
  rt.frameStopped = false;
  rt.stats.frameStopped = false;
  rt.heap.ClearExceeded();
}

void Engine::RunActions(Clip& clip, const ActionBytes& actions) {
  Runtime& rt = *runtime_;
  if (rt.stats.scriptsStopped) return;
  rt.RunBlock(rt.ObjectFor(clip), actions);
}

bool Engine::RunHandler(Clip& clip, std::string_view name) {
  Runtime& rt = *runtime_;
  if (rt.stats.scriptsStopped || rt.frameStopped) return false;
  ClipObject* o = rt.ObjectFor(clip);
  bool ran = false;
  rt.Guarded([&] {
    const Value self = Value::Obj(o);
    const Value fn = rt.GetMember(self, name);
    if (!fn.IsObject() || fn.o->cls != ObjectClass::Function) return;
    ran = true;
    rt.Call(fn, self, {});
  });
  return ran;
}

bool Engine::HasHandler(Clip& clip, std::string_view name) {
  Runtime& rt = *runtime_;
  // Asked in the middle of the display tree's work (a clip taken away while
  // a script runs), where a stop must not unwind: a chain too long or a
  // budget spent there counts as no handler, and the script stops at its
  // next action.
  try {
    return rt.FindProperty(rt.ObjectFor(clip), name) != nullptr;
  } catch (const ScriptStop&) {
    return false;
  }
}

bool Engine::HasButtonHandler(Clip& clip) {
  for (std::string_view name :
       {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver", "onDragOut"})
    if (HasHandler(clip, name)) return true;
  return false;
}

namespace {

// A flag property as the mouse reads it: only a plain value a script set
// to something false turns it off (undefined leaves it on).
bool FlagOn(Runtime& rt, Clip& clip, std::string_view name, bool unset = true) {
  const Property* p = rt.FindProperty(rt.ObjectFor(clip), name);
  if (!p || p->accessor || p->value.IsUndefined()) return unset;
  return rt.ToBoolean(p->value);
}

}  // namespace

bool Engine::MouseEnabled(Clip& clip) { return FlagOn(*runtime_, clip, "enabled"); }
bool Engine::HandCursor(Clip& clip) { return FlagOn(*runtime_, clip, "useHandCursor"); }
bool Engine::TrackAsMenu(Clip& clip) { return FlagOn(*runtime_, clip, "trackAsMenu", false); }

bool Engine::CallLinkFunction(Clip& timeline, std::string_view reference) {
  Runtime& rt = *runtime_;
  if (rt.stats.scriptsStopped || rt.frameStopped) return false;
  const std::size_t comma = reference.find(',');
  const std::string_view path = reference.substr(0, comma);
  if (path.empty()) return false;
  bool ran = false;
  rt.Guarded([&] {
    ClipObject* base = rt.ObjectFor(timeline);
    const std::size_t split = path.find_last_of(":.");
    Value holder = Value::Obj(base);
    if (split != std::string_view::npos) holder = rt.ResolvePath(base, path.substr(0, split), nullptr);
    const std::string_view name = split == std::string_view::npos ? path : path.substr(split + 1);
    Value fn = holder.IsObject() ? rt.GetMember(holder, name) : Value();
    if (split == std::string_view::npos && !(fn.IsObject() && fn.o->cls == ObjectClass::Function) && rt.global) {
      holder = Value::Obj(rt.global);
      fn = rt.GetMember(holder, name);
    }
    if (!fn.IsObject() || fn.o->cls != ObjectClass::Function) return;
    ran = true;
    if (comma == std::string_view::npos) {
      rt.Call(fn, holder, {});
    } else {
      const Value argument = rt.Str(reference.substr(comma + 1));
      rt.Call(fn, holder, std::span<const Value>(&argument, 1));
    }
  });
  return ran;
}

void Engine::BroadcastMouse(std::string_view event) {
  Runtime& rt = *runtime_;
  if (rt.stats.scriptsStopped || rt.frameStopped || !rt.mouse) return;
  rt.Guarded([&] { Broadcast(rt, Value::Obj(rt.mouse), event); });
}

void Engine::AddWork(std::uint64_t units) {
  Runtime& rt = *runtime_;
  // The next action sees the budget spent.
  if (rt.running) rt.actions += units;
}

bool Engine::RunNextDueInterval(double nowMs) {
  Runtime& rt = *runtime_;
  if (rt.stats.scriptsStopped || rt.frameStopped) return false;
  if (!rt.unscheduled.empty()) {
    // Made without a timer: they count from now.
    for (int id : rt.unscheduled) {
      const auto it = rt.intervals.find(id);
      if (it == rt.intervals.end()) continue;
      it->second.dueMs = nowMs + it->second.periodMs;
      rt.intervalQueue.emplace(it->second.dueMs, id);
    }
    rt.unscheduled.clear();
  }
  if (rt.intervalQueue.empty() || rt.intervalQueue.begin()->first > nowMs) return false;
  const int id = rt.intervalQueue.begin()->second;
  rt.intervalQueue.erase(rt.intervalQueue.begin());
  const auto it = rt.intervals.find(id);
  if (it == rt.intervals.end()) return true;
  Interval& interval = it->second;
  const Value function = interval.function;
  const std::string method = interval.method;
  const std::vector<Value> args = interval.args;
  if (interval.once) {
    rt.intervals.erase(it);
  } else {
    if (interval.frame != rt.frameNumber) {
      interval.frame = rt.frameNumber;
      interval.runsThisFrame = 0;
    }
    interval.dueMs += interval.periodMs;
    if (++interval.runsThisFrame >= rt.limits.maxIntervalRunsAFrame && interval.dueMs <= nowMs) {
      interval.dueMs = nowMs + interval.periodMs;
      rt.Capped(Runtime::Cap::IntervalRuns, "the interval waits for the next frame");
    }
    if (interval.dueMs <= nowMs && interval.periodMs <= 0) interval.dueMs = nowMs + 1;
    rt.intervalQueue.emplace(interval.dueMs, id);
  }
  rt.Guarded([&] {
    if (method.empty()) rt.Call(function, Value(), args);
    else rt.CallMethod(function, method, args);
  });
  return true;
}

void Engine::RunDueIntervals(double nowMs) {
  while (RunNextDueInterval(nowMs)) {
  }
}

void Engine::EndFrame() {
  Runtime& rt = *runtime_;
  // What host objects owe the scripts (a failed load, a message sent).
  if (!rt.stats.scriptsStopped) RunHostEvents(rt);
  // Bound text fields show their variables' values as they are now.
  std::erase_if(rt.boundFields, [](ClipObject* field) {
    if (field->bound && field->clip) return false;
    field->boundListed = false;
    return true;
  });
  // A copy: showing a variable may bind another field.
  const std::vector<ClipObject*> bound = rt.boundFields;
  for (ClipObject* field : bound) {
    rt.Guarded([&] {
      if (!field->clip || !field->clip->Parent()) return;
      const std::string name = field->clip->VariableName();
      Value holder;
      std::string_view member;
      // Only a timeline's variable is watched; an undefined one leaves the
      // text as it is.
      if (!rt.BoundVariable(rt.ObjectFor(*field->clip->Parent()), name, holder, member) ||
          holder.o->cls != ObjectClass::Clip)
        return;
      const Value v = rt.GetMember(holder, member);
      if (v.IsUndefined() || !field->clip) return;
      const std::string text = rt.ToString(v);
      if (!field->shownOnce || text != field->boundText) {
        field->boundText = text;
        field->shownOnce = true;
        rt.TakeFieldText(*field->clip, text.size(), [&] { field->clip->SetText(text); });
      }
    });
  }

  rt.stats.actionsThisFrame = rt.actions;
  // Over-budget frames are counted within a window, not in a row: a
  // script that overruns only every other frame would otherwise never stop.
  const std::uint64_t window =
      static_cast<std::uint64_t>(std::max({1, rt.limits.stopWindowFrames, rt.limits.framesOverBudgetBeforeStop}));
  if (rt.frameStopped) rt.framesOverBudget.push_back(rt.frameNumber);
  while (!rt.framesOverBudget.empty() && rt.framesOverBudget.front() + window <= rt.frameNumber)
    rt.framesOverBudget.pop_front();
  rt.stats.framesOverBudgetInWindow = static_cast<int>(rt.framesOverBudget.size());
  if (rt.stats.framesOverBudgetInWindow >= rt.limits.framesOverBudgetBeforeStop && !rt.stats.scriptsStopped) {
    rt.stats.scriptsStopped = true;
    if (rt.host.warning)
      rt.host.warning("scripts went past their limits on " + std::to_string(rt.stats.framesOverBudgetInWindow) +
                      " of the last " + std::to_string(window) + " frames (framesOverBudgetBeforeStop " +
                      std::to_string(rt.limits.framesOverBudgetBeforeStop) + ", stopWindowFrames " +
                      std::to_string(window) + "); the movie's scripts stopped");
  }

  ++framesSinceCollection_;
  if (rt.heap.BytesInUse() > rt.stats.bytesInUse + kCollectAfterBytes || framesSinceCollection_ >= kCollectAfterFrames ||
      rt.heap.Exceeded()) {
    CollectGarbage();
  }
}

void Engine::CollectGarbage() {
  runtime_->CollectGarbage();
  framesSinceCollection_ = 0;
}

const ScriptStats& Engine::Stats() const { return runtime_->stats; }

Runtime& Engine::Internals() { return *runtime_; }

}  // namespace dc::swf::avm1

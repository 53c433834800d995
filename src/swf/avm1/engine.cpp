// The player's entry points: clips coming and going, blocks and handlers
// run under the frame's budget, intervals, bound text fields, collection.
#include "swf/avm1/engine.h"

#include "swf/avm1/host_objects.h"
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

void Engine::ClipRemoved(Clip& clip) {
  Runtime& rt = *runtime_;
  const auto it = rt.clips.find(&clip);
  if (it != rt.clips.end()) {
    it->second->lastPath = rt.DotPath(&clip);
    it->second->clip = nullptr;
    rt.clips.erase(it);
  }
  clip.SetScriptObject(nullptr);
  ForgetClipInHostObjects(rt, clip);
  if (rt.root == &clip) rt.root = nullptr;
}

void Engine::BeginFrame() {
  Runtime& rt = *runtime_;
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

void Engine::RunClipEvent(Clip& clip, ClipEvent, const ActionBytes& actions) { RunActions(clip, actions); }

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

void Engine::RunDueIntervals(double nowMs) {
  Runtime& rt = *runtime_;
  if (rt.stats.scriptsStopped) return;
  std::vector<int> ids;
  for (const auto& [id, interval] : rt.intervals) ids.push_back(id);
  for (int id : ids) {
    const auto it = rt.intervals.find(id);
    if (it == rt.intervals.end()) continue;
    Interval& interval = it->second;
    if (!interval.scheduled) {
      interval.dueMs = nowMs + interval.periodMs;
      interval.scheduled = true;
      continue;
    }
    if (nowMs < interval.dueMs) continue;
    const Value function = interval.function;
    const std::string method = interval.method;
    const std::vector<Value> args = interval.args;
    if (interval.once) {
      rt.intervals.erase(it);
    } else {
      interval.dueMs += interval.periodMs;
      if (interval.dueMs <= nowMs) interval.dueMs = nowMs + interval.periodMs;
    }
    rt.Guarded([&] {
      if (method.empty()) rt.Call(function, Value(), args);
      else rt.CallMethod(function, method, args);
    });
  }
}

void Engine::EndFrame() {
  Runtime& rt = *runtime_;
  // What host objects owe the scripts (a failed load, a message sent).
  if (!rt.stats.scriptsStopped) RunHostEvents(rt);
  // Bound text fields show their variables' values as they are now.
  std::vector<ClipObject*> bound;
  for (const auto& [clip, object] : rt.clips)
    if (object->bound) bound.push_back(object);
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
        field->clip->SetText(text);
      }
    });
  }

  rt.stats.actionsThisFrame = rt.actions;
  if (rt.frameStopped) {
    ++rt.stats.framesOverBudgetInARow;
    if (rt.stats.framesOverBudgetInARow >= rt.limits.framesOverBudgetBeforeStop && !rt.stats.scriptsStopped) {
      rt.stats.scriptsStopped = true;
      if (rt.host.warning)
        rt.host.warning("scripts went past their limits on too many frames in a row; the movie's scripts stopped");
    }
  } else {
    rt.stats.framesOverBudgetInARow = 0;
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

// The script engine's cost: one frame of an analogue clock's script (a new
// Date, three getters, three _rotation sets through a clip path), and the
// whole action budget of a frame spent in a loop.
#include <benchmark/benchmark.h>

#include "avm1_harness.h"
#include "avm1_sample_programs.h"

namespace {

using namespace dc::swf::avm1;
using namespace dc::swf::avm1::test;

void AnalogueClockFrame(benchmark::State& state) {
  Harness h(6);
  FakeClip* clock = h.root->AddChild("clock", 1);
  FakeClip* hands[] = {clock->AddChild("hour", 1), clock->AddChild("minute", 2), clock->AddChild("second", 3)};
  const dc::swf::ActionBytes script = AnalogueClockScript().Bytes();
  int frame = 0;
  for (auto _ : state) {
    h.time.Second = frame++ % 60;
    h.engine->BeginFrame();
    h.engine->RunClipEvent(*clock, dc::swf::kEventEnterFrame, script);
    h.engine->EndFrame();
  }
  benchmark::DoNotOptimize(hands[2]->Get(DisplayProperty::Rotation));
  state.counters["actions"] = static_cast<double>(h.engine->Stats().actionsThisFrame);
  state.counters["bytes"] = static_cast<double>(h.engine->Stats().bytesInUse);
}

// i = 0; while (true) { i = i + 1; }  until the budget of one million
// actions stops it.
// Limits where the budget stops each frame but never the movie.
ScriptLimits EveryFrameOverBudget() {
  ScriptLimits limits;
  limits.framesOverBudgetBeforeStop = 1 << 30;
  return limits;
}

void MillionActionBudget(benchmark::State& state) {
  Harness h(7, EveryFrameOverBudget());
  Asm a;
  a.Set("i", 0).Label("top").Push({"i"}).Get("i").Push({1}).Op(op::Add2).Op(op::SetVariable).Jump("top");
  const dc::swf::ActionBytes script = a.Bytes();
  for (auto _ : state) {
    h.engine->BeginFrame();
    h.engine->RunActions(*h.root, script);
    h.engine->EndFrame();
  }
  state.counters["actions"] = static_cast<double>(h.engine->Stats().actionsThisFrame);
}

// The same budget spent calling a small function with registers.
void MillionActionBudgetInCalls(benchmark::State& state) {
  Harness h(7, EveryFrameOverBudget());
  Asm a;
  a.Function2("f", 3, 0, {{1, "x"}}, Asm().Push({Reg{1}, 1}).Op(op::Add2).Op(op::Return));
  a.Set("i", 0).Label("top").Push({"i"}).Get("i").Push({1, "f"}).Op(op::CallFunction).Op(op::SetVariable).Jump("top");
  const dc::swf::ActionBytes script = a.Bytes();
  for (auto _ : state) {
    h.engine->BeginFrame();
    h.engine->RunActions(*h.root, script);
    h.engine->EndFrame();
  }
  state.counters["actions"] = static_cast<double>(h.engine->Stats().actionsThisFrame);
}

}  // namespace

BENCHMARK(AnalogueClockFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(MillionActionBudget)->Unit(benchmark::kMillisecond);
BENCHMARK(MillionActionBudgetInCalls)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

// The script engine's cost: one frame of an analogue clock's script (a new
// Date, three getters, three _rotation sets through a clip path), and the
// whole action budget of a frame spent in a loop: plain, in calls, and on
// an object that gains a property and loses one each pass.
#include <benchmark/benchmark.h>

#include "testkit/avm1_harness.h"
#include "testkit/avm1_sample_programs.h"

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
    h.engine->RunActions(*clock, script);
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

// while (true) { o["k" + i] = i; delete o["k" + (i - 1000)]; i++; }: an
// object of a thousand properties, one added and one deleted each pass;
// a deletion costs no more than an addition.
void MillionActionBudgetOnAGrowingObject(benchmark::State& state) {
  Harness h(7, EveryFrameOverBudget());
  Asm a;
  a.Push({0}).Op(op::InitObject).Store("o").Set("i", 0).Label("top");
  a.Get("o").Push({"k"}).Get("i").Op(op::Add2).Get("i").Op(op::SetMember);
  a.Get("o").Push({"k"}).Get("i").Push({1000}).Op(op::Subtract).Op(op::Add2).Op(op::Delete).Op(op::Pop);
  a.Get("i").Op(op::Increment).Store("i").Jump("top");
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
BENCHMARK(MillionActionBudgetOnAGrowingObject)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

// The script engine's cost: one frame of an analogue clock's script (a new
// Date, three getters, three _rotation sets through a clip path), and the
// whole action budget of a frame spent in a loop.
#include <benchmark/benchmark.h>

#include "avm1_harness.h"

namespace {

using namespace dc::swf::avm1;
using namespace dc::swf::avm1::test;

// onClipEvent(enterFrame) as Flash 5 compiles it: the constant pool, then
// _root.clock.hour._rotation = h * 30 + m / 2 and the others.
Asm ClockScript() {
  enum { kNow, kDate, kGetHours, kGetMinutes, kGetSeconds, kHour, kMinute, kSecond, kRotation, kH, kM, kS, kPath };
  Asm a;
  a.Constants({"now", "Date", "getHours", "getMinutes", "getSeconds", "_root.clock.hour", "_root.clock.minute",
               "_root.clock.second", "_rotation", "h", "m", "s"});
  a.Push({Const{kNow}, 0, Const{kDate}}).Op(op::NewObject).Op(op::SetVariable);
  for (auto [var, getter] : {std::pair{kH, kGetHours}, std::pair{kM, kGetMinutes}, std::pair{kS, kGetSeconds}}) {
    a.Push({Const{static_cast<std::uint16_t>(var)}, 0, Const{kNow}}).Op(op::GetVariable)
        .Push({Const{static_cast<std::uint16_t>(getter)}}).Op(op::CallMethod).Op(op::SetVariable);
  }
  a.Push({Const{kHour}}).Op(op::GetVariable).Push({Const{kRotation}, Const{kH}}).Op(op::GetVariable).Push({30})
      .Op(op::Multiply).Push({Const{kM}}).Op(op::GetVariable).Push({2}).Op(op::Divide).Op(op::Add2).Op(op::SetMember);
  a.Push({Const{kMinute}}).Op(op::GetVariable).Push({Const{kRotation}, Const{kM}}).Op(op::GetVariable).Push({6})
      .Op(op::Multiply).Push({Const{kS}}).Op(op::GetVariable).Push({10}).Op(op::Divide).Op(op::Add2).Op(op::SetMember);
  a.Push({Const{kSecond}}).Op(op::GetVariable).Push({Const{kRotation}, Const{kS}}).Op(op::GetVariable).Push({6})
      .Op(op::Multiply).Op(op::SetMember);
  (void)kPath;
  return a;
}

void AnalogueClockFrame(benchmark::State& state) {
  Harness h(6);
  FakeClip* clock = h.root->AddChild("clock", 1);
  FakeClip* hands[] = {clock->AddChild("hour", 1), clock->AddChild("minute", 2), clock->AddChild("second", 3)};
  const dc::swf::ActionBytes script = ClockScript().Bytes();
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

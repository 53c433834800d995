// Arbitrary action bytes as a frame script on a small clip tree (a clock
// with three hands, a bound text field), two frames with handlers and
// intervals, under a small action budget and memory limit. Nothing may
// crash, leak, overflow or run long; malformed blocks stop themselves.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "testkit/avm1_fake_clip.h"
#include "swf/avm1/engine.h"

using namespace dc::swf::avm1;
using dc::swf::avm1::test::FakeClip;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int version = 5 + data[0] % 4;
  const auto code = std::make_shared<const std::vector<std::uint8_t>>(data + 1, data + size);
  ScriptLimits limits;
  limits.actionsPerFrame = 20000;
  limits.maxMemoryBytes = 32u << 20;
  Host host;
  double timer = 0;
  host.now = [] { return LocalTime{dc::CivilDateTime{2026, 12, 9, 10, 8, 30, 0}, 60}; };
  host.timerMs = [&timer] { return timer; };
  auto engine = std::make_unique<Engine>(version, host, limits);
  FakeClip root("", ClipKind::MovieClip, nullptr, 0, engine.get());
  root.totalFrames = 3;
  root.labels["start"] = 2;
  root.exports.insert("hand");
  engine->SetRoot(root);
  // The script may replace or remove any clip: each is looked up anew.
  FakeClip* clock = root.AddChild("clock", 1);
  clock->AddChild("hour", 1);
  clock->AddChild("minute", 2);
  clock->AddChild("second", 3);
  FakeClip* field = root.AddChild("timeField", 2, ClipKind::TextField);
  field->variable = "timeText";
  engine->ClipAdded(*field);
  root.frameActions[2] = {code};
  for (int frame = 0; frame < 2; ++frame) {
    timer += 1000;
    engine->BeginFrame();
    engine->RunActions(root, code);
    if (FakeClip* c = root.Child("clock")) engine->RunHandler(*c, "onEnterFrame");
    engine->RunHandler(root, "onEnterFrame");
    engine->RunDueIntervals(timer);
    engine->EndFrame();
  }
  engine->CollectGarbage();
  engine.reset();
  return 0;
}

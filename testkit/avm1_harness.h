// An engine on a fake clip tree at a faked local time, for the script
// tests: runs assembled blocks as frame scripts and keeps what they traced
// and warned.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "avm1_assembler.h"
#include "avm1_fake_clip.h"
#include "swf/avm1/engine.h"

namespace dc::swf::avm1::test {

struct Harness {
  explicit Harness(int version = 7, ScriptLimits limits = {}) {
    Host host;
    host.now = [this] { return LocalTime{time, utcOffsetMinutes}; };
    host.timerMs = [this] { return timerMs; };
    host.trace = [this](std::string_view s) { traces.emplace_back(s); };
    host.warning = [this](std::string_view s) { warnings.emplace_back(s); };
    engine = std::make_unique<Engine>(version, host, limits);
    root = std::make_unique<FakeClip>("", ClipKind::MovieClip, nullptr, 0, engine.get());
    engine->SetRoot(*root);
  }
  ~Harness() {
    // The engine goes first: the clips may not outlive their announcements.
    engine.reset();
  }

  // One frame that runs `code` on `clip` (the root when null); what it
  // traced, joined by '|'.
  std::string Run(const Asm& code, FakeClip* clip = nullptr) {
    traces.clear();
    engine->BeginFrame();
    engine->RunActions(clip ? *clip : *root, code.Bytes());
    engine->EndFrame();
    return Traced();
  }
  std::string Traced() const {
    std::string out;
    for (std::size_t i = 0; i < traces.size(); ++i) out += (i ? "|" : "") + traces[i];
    return out;
  }

  CivilDateTime time{2026, 12, 9, 10, 8, 30, 0};
  int utcOffsetMinutes = 60;
  double timerMs = 0;
  std::vector<std::string> traces, warnings;
  std::unique_ptr<Engine> engine;
  std::unique_ptr<FakeClip> root;
};

}  // namespace dc::swf::avm1::test

// A face is untrusted code: the action budget, the call depth, the memory
// limit, garbage collection over many frames, blocks that cannot be read,
// and the calls that would reach outside.
#include <gtest/gtest.h>

#include <cstdio>

#include "testkit/avm1_harness.h"
#include "testkit/avm1_sample_programs.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1::test {
namespace {

Asm EndlessLoop() { return Asm().Label("top").Jump("top"); }

TEST(Avm1Limits, EndlessLoopStopsTheFramesScriptsWithOneWarning) {
  ScriptLimits limits;
  limits.actionsPerFrame = 10000;
  Harness h(7, limits);
  h.engine->BeginFrame();
  h.engine->RunActions(*h.root, Asm().Push({"before"}).TraceTop().Append(EndlessLoop()).Bytes());
  h.engine->RunActions(*h.root, Asm().Push({"next block"}).TraceTop().Bytes());
  EXPECT_FALSE(h.engine->RunHandler(*h.root, "onEnterFrame"));
  h.engine->EndFrame();
  EXPECT_EQ(h.Traced(), "before");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
  EXPECT_EQ(h.engine->Stats().actionsThisFrame, 10001u);
  // The next frame runs again; a second stop says nothing more.
  EXPECT_EQ(h.Run(Asm().Push({"again"}).TraceTop().Append(EndlessLoop())), "again");
  EXPECT_EQ(h.warnings.size(), 1u);
  EXPECT_EQ(h.engine->Stats().framesOverBudgetInWindow, 2);
}

TEST(Avm1Limits, NativeWorkCountsAgainstTheBudget) {
  ScriptLimits limits;
  limits.actionsPerFrame = 10000;
  Harness h(7, limits);
  // A sort counts each comparison: 200000 equal elements take Flash's
  // quicksort 200000^2 / 2 of them, 100 take 4950.
  EXPECT_EQ(h.Run(Asm().New("Array", {200000}).Store("a").CallOn("a", "sort").Op(op::Pop).Push({"after"}).TraceTop()),
            "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
  EXPECT_EQ(h.Run(Asm().New("Array", {100}).Store("a").CallOn("a", "sort").Op(op::Pop).Push({"after"}).TraceTop()),
            "after");
  // So does a join of a length no element was ever set for.
  EXPECT_EQ(h.Run(Asm().New("Array", {1e8}).Store("a").CallOn("a", "join").Op(op::Pop).Push({"after"}).TraceTop()),
            "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
}

TEST(Avm1Limits, NativesPayForEachCharacterTheyRead) {
  // Each native reads a text of 2^17 digits character by character: 2^14
  // actions' work, past a budget of 10,000; a text of 2^10 digits is not.
  struct Case {
    const char* what;
    Asm call;  // on s, its result left on the stack
  };
  const Case cases[] = {
      {"Number", Asm().Get("s").Op(op::ToNumber)},
      {"parseInt", Asm().Get("s").Push({1, "parseInt"}).Op(op::CallFunction)},
      {"parseFloat", Asm().Get("s").Push({1, "parseFloat"}).Op(op::CallFunction)},
      {"escape", Asm().Get("s").Push({1, "escape"}).Op(op::CallFunction)},
      {"unescape", Asm().Get("s").Push({1, "unescape"}).Op(op::CallFunction)},
      {"toUpperCase", Asm().CallOn("s", "toUpperCase")},
      {"a property by its number", Asm().Push({""}).Get("s").Op(op::GetProperty)},
      {"new XML", Asm().Get("s").Push({1, "XML"}).Op(op::NewObject)},
  };
  for (const Case& c : cases) {
    for (const int doublings : {10, 17}) {
      ScriptLimits limits;
      limits.actionsPerFrame = 10000;
      Harness h(7, limits);
      Asm script;
      script.Set("s", "7").Set("i", 0).Label("double").Push({"s"}).Get("s").Get("s").Op(op::Add2).Op(op::SetVariable);
      script.Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable).Get("i").Push({doublings}).Op(op::Less2);
      script.If("double");
      script.Append(c.call).Op(op::Pop).Push({"read"}).TraceTop();
      EXPECT_EQ(h.Run(script), doublings == 10 ? "read" : "") << c.what << " " << doublings;
    }
  }
}

TEST(Avm1Limits, EachStepUpAPrototypeChainCountsAgainstTheBudget) {
  ScriptLimits limits;
  limits.actionsPerFrame = 10000;
  Harness h(7, limits);
  // o at the end of a chain of 200 prototypes: reading a name it lacks
  // takes 200 steps (kWorkPerProtoHop each).
  Asm chain;
  chain.Push({0, "Object"}).Op(op::NewObject).Store("o").Set("i", 0).Label("top");
  chain.Push({0, "Object"}).Op(op::NewObject).Store("p").Get("p").Push({"__proto__"}).Get("o").Op(op::SetMember);
  chain.Push({"o"}).Get("p").Op(op::SetVariable).Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable);
  chain.Get("i").Push({200}).Op(op::Less2).If("top");
  EXPECT_EQ(h.Run(chain.Push({"made"}).TraceTop()), "made");
  const auto reads = [](int n) {
    Asm a;
    for (int i = 0; i < n; ++i) a.Get("o").Push({"missing"}).Op(op::GetMember).Op(op::Pop);
    return a.Push({"after"}).TraceTop();
  };
  EXPECT_EQ(h.Run(reads(10)), "after");
  EXPECT_EQ(h.Run(reads(60)), "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
}

// An endless loop on every other frame only.
Asm LoopOnOddFrames() {
  Asm a;
  a.Push({"f"}).Get("f").Op(op::Increment).Op(op::SetVariable);
  a.Get("f").Push({2}).Op(op::Modulo).Op(op::Not).If("rest").Append(EndlessLoop()).Label("rest");
  return a;
}

TEST(Avm1Limits, OverrunsWithinTheWindowStopScriptsForGood) {
  ScriptLimits limits;
  limits.actionsPerFrame = 1000;
  limits.framesOverBudgetBeforeStop = 10;
  limits.stopWindowFrames = 30;
  Harness h(7, limits);
  h.Run(Asm().Set("f", 0));
  // Over on every other frame: the tenth overrun, on the 19th frame, stops
  // the scripts for good, though no two came in a row.
  for (int i = 0; i < 18; ++i) h.Run(LoopOnOddFrames());
  EXPECT_FALSE(h.engine->Stats().scriptsStopped);
  EXPECT_EQ(h.engine->Stats().framesOverBudgetInWindow, 9);
  h.Run(LoopOnOddFrames());
  EXPECT_TRUE(h.engine->Stats().scriptsStopped);
  ASSERT_EQ(h.warnings.size(), 2u);  // the budget, then the stop
  EXPECT_NE(h.warnings[1].find("10 of the last 30 frames"), std::string::npos) << h.warnings[1];
  EXPECT_EQ(h.Run(Asm().Push({"no more"}).TraceTop()), "");
  for (int i = 0; i < 40; ++i) h.Run(LoopOnOddFrames());
  EXPECT_EQ(h.warnings.size(), 2u);
}

TEST(Avm1Limits, OverrunsOutsideTheWindowAreForgotten) {
  ScriptLimits limits;
  limits.actionsPerFrame = 1000;
  limits.framesOverBudgetBeforeStop = 10;
  limits.stopWindowFrames = 30;
  Harness h(7, limits);
  // Nine over, then thirty within: the nine have left the window.
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 9; ++i) h.Run(EndlessLoop());
    for (int i = 0; i < 30; ++i) h.Run(Asm().Push({1}).Op(op::Pop));
    EXPECT_EQ(h.engine->Stats().framesOverBudgetInWindow, 0) << round;
  }
  EXPECT_FALSE(h.engine->Stats().scriptsStopped);
  for (int i = 0; i < 9; ++i) h.Run(EndlessLoop());
  h.Run(Asm().Push({1}).Op(op::Pop));
  h.Run(EndlessLoop());
  EXPECT_TRUE(h.engine->Stats().scriptsStopped);
}

struct LimitCase {
  const char* limit;
  void (*set)(ScriptLimits&);
  Asm code;
  const char* said;
};

// Runs the case's code, then trace("after"), under its limit: the frame
// stops there or goes on, and one warning names that limit and its value.
void ExpectOnlyThisLimitSpeaks(const LimitCase& c, bool stopsFrame) {
  ScriptLimits limits;
  c.set(limits);
  Harness h(7, limits);
  EXPECT_EQ(h.Run(Asm(c.code).Push({"after"}).TraceTop()), stopsFrame ? "" : "after") << c.limit;
  EXPECT_EQ(h.engine->Stats().frameStopped, stopsFrame) << c.limit;
  ASSERT_EQ(h.warnings.size(), 1u) << c.limit;
  EXPECT_NE(h.warnings[0].find(c.said), std::string::npos) << c.limit << ": " << h.warnings[0];
}

// Each limit stops the frame with a warning that names it and its value.
TEST(Avm1Limits, EachLimitSaysItsOwnName) {
  Asm recurse;
  recurse.Function("down", {}, Asm().Call("down", {}).Op(op::Return)).Call("down", {});
  Asm doubling;
  doubling.Set("s", "0123456789abcdef");
  doubling.Label("top").Push({"s"}).Get("s").Get("s").Op(op::Add2).Op(op::SetVariable).Jump("top");
  Asm nested = Asm().Push({"deep"}).TraceTop();
  for (int i = 0; i < 40; ++i) nested = Asm().Push({0}).Op(op::InitObject).With(nested);
  // o = {}; twenty times: n = {}; n.__proto__ = o; o = n; then o.missing.
  Asm chain;
  chain.Push({0}).Op(op::InitObject).Store("o");
  for (int i = 0; i < 20; ++i) {
    chain.Push({0}).Op(op::InitObject).Store("n").Get("n").Push({"__proto__"}).Get("o").Op(op::SetMember);
    chain.Push({"o"}).Get("n").Op(op::SetVariable);
  }
  chain.Get("o").Push({"missing"}).Op(op::GetMember).Op(op::Pop);
  using Case = LimitCase;
  const Case cases[] = {
      {"actions", [](ScriptLimits& l) { l.actionsPerFrame = 1000; }, EndlessLoop(),
       "actionsPerFrame (1000 actions' work a frame)"},
      {"memory", [](ScriptLimits& l) { l.maxMemoryBytes = 4u << 20; }, doubling, "maxMemoryBytes (4194304 bytes)"},
      {"calls", [](ScriptLimits& l) { l.maxCallDepth = 50; }, recurse, "maxCallDepth (50 nested calls)"},
      {"stack", [](ScriptLimits& l) { l.maxStack = 1000; }, Asm().Label("top").Push({1}).Jump("top"),
       "maxStack (1000 stack entries)"},
      {"nesting", [](ScriptLimits& l) { l.maxNesting = 20; }, nested, "maxNesting (20 nested with and try ranges)"},
      {"prototypes", [](ScriptLimits& l) { l.maxProtoHops = 10; }, chain,
       "maxProtoHops (10 steps up a prototype chain)"},
  };
  for (const Case& c : cases) ExpectOnlyThisLimitSpeaks(c, true);
}

TEST(Avm1Limits, EachCapSaysItsOwnNameAndTheFrameGoesOn) {
  // o.p's getter reads o.p: past the nesting it gets the stored value.
  Asm accessor;
  accessor.Push({0}).Op(op::InitObject).Store("o");
  accessor.Push({Null{}}).Function("", {}, Asm().Get("this").Push({"p"}).Op(op::GetMember).Op(op::Return));
  accessor.Push({"p", 3}).Get("o").Push({"addProperty"}).Op(op::CallMethod).Op(op::Pop);
  accessor.Get("o").Push({"p"}).Op(op::GetMember).Op(op::Pop);
  using Case = LimitCase;
  const Case cases[] = {
      {"accessors", [](ScriptLimits& l) { l.maxAccessorNesting = 5; }, accessor,
       "maxAccessorNesting (5 calls of one accessor at once)"},
      {"stores", [](ScriptLimits& l) { l.maxSharedObjects = 1; },
       Asm().CallOn("SharedObject", "getLocal", {"a"}).Op(op::Pop).CallOn("SharedObject", "getLocal", {"b"}).Op(op::Pop),
       "maxSharedObjects (1 SharedObject stores)"},
      {"connections", [](ScriptLimits& l) { l.maxConnections = 0; },
       Asm().New("LocalConnection", {}).Store("lc").CallOn("lc", "connect", {"x"}).Op(op::Pop),
       "maxConnections (0 LocalConnections open)"},
      {"message", [](ScriptLimits& l) { l.maxMessageBytes = 8; },
       Asm().New("LocalConnection", {}).Store("lc").CallOn("lc", "send", {"x", "m", "a longer text"}).Op(op::Pop),
       "maxMessageBytes (8 bytes of a LocalConnection message)"},
  };
  for (const Case& c : cases) ExpectOnlyThisLimitSpeaks(c, false);
}

TEST(Avm1Limits, CallDepth) {
  // sum(n) = n == 0 ? 0 : n + sum(n - 1): 200 deep is fine, 300 is not.
  Asm body;
  body.Get("n").Push({0}).Op(op::Equals2).If("zero");
  body.Get("n").Get("n").Op(op::Decrement).Push({1, "sum"}).Op(op::CallFunction).Op(op::Add2).Op(op::Return);
  body.Label("zero").Push({0}).Op(op::Return);
  const Asm define = Asm().Function("sum", {"n"}, body);
  Harness h(7);
  EXPECT_EQ(h.Run(Asm(define).Call("sum", {200}).TraceTop()), "20100");
  EXPECT_TRUE(h.warnings.empty());
  EXPECT_EQ(h.Run(Asm(define).Call("sum", {300}).TraceTop()), "");
  EXPECT_EQ(h.warnings.size(), 1u);
  EXPECT_EQ(h.Run(Asm(define).Call("sum", {10}).TraceTop()), "55");
}

TEST(Avm1Limits, NestingTooDeepStopsTheFrame) {
  // with ({}) { with ({}) { ... trace("deep") } } two thousand times.
  Asm nested = Asm().Push({"deep"}).TraceTop();
  for (int i = 0; i < 2000; ++i) nested = Asm().Push({0}).Op(op::InitObject).With(nested);
  Asm shallow = Asm().Push({"shallow"}).TraceTop();
  for (int i = 0; i < 100; ++i) shallow = Asm().Push({0}).Op(op::InitObject).With(shallow);
  Harness h(7);
  EXPECT_EQ(h.Run(nested), "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
  EXPECT_EQ(h.warnings.size(), 1u);
  EXPECT_EQ(h.Run(shallow), "shallow");
}

TEST(Avm1Limits, MemoryLimitStopsAStringThatDoubles) {
  ScriptLimits limits;
  limits.maxMemoryBytes = 4u << 20;
  Harness h(7, limits);
  Asm a;
  a.Set("s", "0123456789abcdef");
  a.Label("top").Push({"s"}).Get("s").Get("s").Op(op::Add2).Op(op::SetVariable).Jump("top");
  EXPECT_EQ(h.Run(a), "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
  ASSERT_EQ(h.warnings.size(), 1u);
  // A length alone takes no memory; elements filled past the limit stop
  // the frame the same way, and the engine goes on.
  EXPECT_EQ(h.Run(Asm().Set("s", 0).New("Array", {1e8}).Store("a").Get("a").Push({"length"}).Op(op::GetMember).TraceTop()),
            "100000000");
  Asm fill;
  fill.Set("i", 0).Label("fill").Get("i").Push({1}).Get("a").Push({"push"});
  fill.Op(op::CallMethod).Op(op::Pop).Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable).Jump("fill");
  EXPECT_EQ(h.Run(fill), "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
  h.engine->CollectGarbage();
  EXPECT_LT(h.engine->Stats().bytesInUse, limits.maxMemoryBytes);
  EXPECT_EQ(h.Run(Asm().Push({"fine"}).TraceTop()), "fine");
}

TEST(Avm1Limits, GarbageWithCyclesIsCollected) {
  // Every frame: d = new Date(); o = {}; o.self = o; a = [o, d]; o.all = a;
  // and an onEnterFrame closure made anew.
  Asm frame;
  frame.New("Date").Store("d").Push({0}).Op(op::InitObject).Store("o");
  frame.Get("o").Push({"self"}).Get("o").Op(op::SetMember);
  frame.Get("d").Get("o").Push({2}).Op(op::InitArray).Store("a");
  frame.Get("o").Push({"all"}).Get("a").Op(op::SetMember);
  frame.Get("this").Push({"onEnterFrame"}).Function("", {}, Asm().Get("o")).Op(op::SetMember);
  Harness h(7);
  for (int i = 0; i < 100; ++i) h.Run(frame);
  h.engine->CollectGarbage();
  const ScriptStats early = h.engine->Stats();
  for (int i = 0; i < 5000; ++i) h.Run(frame);
  h.engine->CollectGarbage();
  EXPECT_EQ(h.engine->Stats().bytesInUse, early.bytesInUse);
  EXPECT_EQ(h.engine->Stats().objectsInUse, early.objectsInUse);
}

TEST(Avm1Limits, RemovedClipsLetTheirVariablesGo) {
  Harness h(7);
  h.engine->CollectGarbage();
  const std::uint64_t before = h.engine->Stats().objectsInUse;
  for (int i = 0; i < 50; ++i) {
    FakeClip* c = h.root->AddChild("temp", 5);
    h.Run(Asm().Push({0}).Op(op::InitObject).Store("payload"), c);
    h.root->RemoveAt(5);
  }
  h.engine->CollectGarbage();
  EXPECT_EQ(h.engine->Stats().objectsInUse, before);
}

TEST(Avm1Limits, MalformedBlocksStopThemselvesOnly) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"jump before the block", {0x99, 2, 0, 0x00, 0x80}},
      {"jump past the end", {0x99, 2, 0, 0x10, 0x00}},
      {"length past the end", {0x96, 0x20, 0x00, 0x00}},
      {"push of an unknown type", {0x96, 2, 0, 0x0A, 0x00}},
      {"string without its end", {0x96, 3, 0, 0x00, 'a', 'b'}},
      {"function body past the end", {0x9B, 5, 0, 0x00, 0x00, 0x00, 0xFF, 0x00}},
      {"with past the end", {0x96, 1, 0, 0x02, 0x94, 2, 0, 0x50, 0x00}},
      {"a record cut in its header", {0x96, 0x01}},
  };
  for (const Case& c : cases) {
    Harness h(7);
    h.engine->BeginFrame();
    h.engine->RunActions(*h.root, std::make_shared<const std::vector<std::uint8_t>>(c.bytes));
    h.engine->RunActions(*h.root, Asm().Push({"next"}).TraceTop().Bytes());
    h.engine->EndFrame();
    EXPECT_EQ(h.Traced(), "next") << c.name;
  }
  // An action we do not know is skipped by its length.
  Harness h(7);
  EXPECT_EQ(h.Run(Asm().Record(0xE0, {1, 2, 3}).Op(0x7F).Push({"on"}).TraceTop()), "on");
}

// action_codes.h gives every action its family, and the family runs it:
// none is skipped as one its family does not know. A code outside the table
// is skipped with one warning that names it.
TEST(Avm1Limits, EveryActionOfTheTableRunsInItsFamily) {
  for (int code = 1; code < 256; ++code) {
    const auto op = static_cast<std::uint8_t>(code);
    Harness h(7);
    Asm a;
    for (int twice = 0; twice < 2; ++twice) HasPayload(op) ? a.Record(op, {}) : a.Op(op);
    h.Run(a);
    if (IsKnownAction(op)) {
      EXPECT_TRUE(h.warnings.empty()) << ActionName(op) << ": " << h.warnings.front();
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(op));
      ASSERT_EQ(h.warnings.size(), 1u) << hex;
      EXPECT_NE(h.warnings[0].find(hex), std::string::npos) << h.warnings[0];
    }
  }
}

TEST(Avm1Limits, NoWayOut) {
  Harness h(7);
  FakeClip* clock = h.root->AddChild("clock", 1);
  const Asm a = NoWayOutScript();
  EXPECT_EQ(h.Run(a), "done");
  EXPECT_EQ(h.root->ChildCount(), 1u);
  EXPECT_EQ(clock->ChildCount(), 0u);
  EXPECT_TRUE(clock->props.empty());
  EXPECT_TRUE(clock->log.empty());
  EXPECT_TRUE(h.warnings.empty());
}

}  // namespace
}  // namespace dc::swf::avm1::test

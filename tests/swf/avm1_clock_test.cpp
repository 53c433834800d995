// The scripts clock faces are made of, against the fake clip tree at a
// faked time: the hands' _rotation (or the text) they set follows from the
// time alone.
#include <gtest/gtest.h>

#include "testkit/avm1_harness.h"
#include "clock_scripts.h"

namespace dc::swf::avm1::test {
namespace {

struct Face {
  explicit Face(int version = 6) : h(version) {}
  Harness h;
  FakeClip* clock = h.root->AddChild("clock", 1);
  FakeClip* hour = clock->AddChild("hour", 1);
  FakeClip* minute = clock->AddChild("minute", 2);
  FakeClip* second = clock->AddChild("second", 3);
  double Rotation(FakeClip* c) const { return c->Get(DisplayProperty::Rotation); }
};

struct TimeCase {
  CivilDateTime time;
  double hour, minute, second;  // h·30 + m/2, m·6 + s/10, s·6
};
const TimeCase kTimes[] = {
    {{2026, 12, 9, 10, 8, 30, 0}, 304, 51, 180},
    {{2026, 12, 31, 23, 59, 59, 999}, 719.5, 359.9, 354},
    {{2027, 1, 1, 0, 0, 0, 0}, 0, 0, 0},
};

TEST(Avm1Clock, ClipEventEnterFrameSetsTheHands) {
  // onClipEvent(enterFrame) on the clock: setProperty("hour", _rotation, ...),
  // minute._rotation = ..., second._rotation = ...
  Asm script = ReadTime();
  script.Push({"hour", 10});
  script.Append(HourAngle());
  script.Op(op::SetProperty);
  script.Get("minute").Push({"_rotation"});
  script.Append(MinuteAngle());
  script.Op(op::SetMember);
  script.Get("second").Push({"_rotation"});
  script.Append(SecondAngle());
  script.Op(op::SetMember);
  Face f;
  for (const TimeCase& t : kTimes) {
    f.h.time = t.time;
    f.h.engine->BeginFrame();
    f.h.engine->RunActions(*f.clock, script.Bytes());
    f.h.engine->EndFrame();
    EXPECT_DOUBLE_EQ(f.Rotation(f.hour), t.hour) << t.time.Hour << ":" << t.time.Minute;
    EXPECT_DOUBLE_EQ(f.Rotation(f.minute), t.minute) << t.time.Hour << ":" << t.time.Minute;
    EXPECT_DOUBLE_EQ(f.Rotation(f.second), t.second) << t.time.Hour << ":" << t.time.Minute;
  }
}

TEST(Avm1Clock, OnEnterFrameHandlerWithConstantPoolAndRegisters) {
  // clock.onEnterFrame = function () { var d = new Date(); this.hour._rotation = ...; ... }
  // as a compiler writes it: constant pool, DefineFunction2, registers.
  const Asm frame = HandlerFrameScript();
  Face f(7);
  f.h.Run(frame);
  for (const TimeCase& t : kTimes) {
    f.h.time = t.time;
    f.h.engine->BeginFrame();
    EXPECT_TRUE(f.h.engine->RunHandler(*f.clock, "onEnterFrame"));
    f.h.engine->EndFrame();
    EXPECT_DOUBLE_EQ(f.Rotation(f.hour), t.hour);
    EXPECT_DOUBLE_EQ(f.Rotation(f.minute), t.minute);
    EXPECT_DOUBLE_EQ(f.Rotation(f.second), t.second);
  }
  EXPECT_FALSE(f.h.engine->RunHandler(*f.hour, "onEnterFrame"));
}

TEST(Avm1Clock, SetIntervalTicksOnThePlayersTimer) {
  // setInterval(function () { _root.clock.second._rotation = new Date().getSeconds() * 6; }, 1000)
  Asm tick;
  tick.Push({"_root.clock.second._rotation", 0}).New("Date").Push({"getSeconds"}).Op(op::CallMethod)
      .Push({6}).Op(op::Multiply).Op(op::SetVariable);
  Asm frame;
  frame.Push({1000}).Function("", {}, tick).Push({2, "setInterval"}).Op(op::CallFunction).Store("id");
  // The object form: setInterval(counter, "bump", 500) counts its calls.
  frame.Push({"n", 0, 1}).Op(op::InitObject).Store("counter");
  frame.Get("counter").Push({"bump"})
      .Function("", {}, Asm().Get("this").Push({"n"}).Get("this.n").Op(op::Increment).Op(op::SetMember)).Op(op::SetMember);
  frame.Call("setInterval", {Undef{}, "bump", 500}).Op(op::Pop);
  frame.Push({500, "bump"}).Get("counter").Push({3, "setInterval"}).Op(op::CallFunction).Op(op::Pop);
  Face f;
  f.h.timerMs = 0;
  f.h.Run(frame);
  const struct {
    double now;
    double second;  // the rotation after the call
    int calls;      // counter.n
    int secondOfTime;
  } steps[] = {{400, 0, 0, 30}, {1000, 186, 2, 31}, {1500, 186, 3, 32}, {2100, 198, 4, 33}};
  for (const auto& s : steps) {
    f.h.time.Second = s.secondOfTime;
    f.h.engine->BeginFrame();
    f.h.engine->RunDueIntervals(s.now);
    f.h.engine->EndFrame();
    EXPECT_DOUBLE_EQ(f.Rotation(f.second), s.second) << "at " << s.now;
    EXPECT_EQ(f.h.Run(Asm().Get("counter.n").TraceTop()), std::to_string(s.calls)) << "at " << s.now;
  }
  f.h.Run(Asm().Call("clearInterval", {Undef{}}).Op(op::Pop).Get("id").Push({1, "clearInterval"})
              .Op(op::CallFunction));
  f.h.time.Second = 40;
  f.h.engine->BeginFrame();
  f.h.engine->RunDueIntervals(5000);
  f.h.engine->EndFrame();
  EXPECT_DOUBLE_EQ(f.Rotation(f.second), 198);
}

TEST(Avm1Clock, TwoFrameLoopWithSlashPathsTellTargetAndWith) {
  // Frame 1: tellTarget("/clock") { setProperty("hour", _rotation, /:h ...) }
  //          with (_root.clock) { minute._rotation = ... }
  //          set("/clock/second:_rotation", ...)
  // Frame 2: gotoAndPlay(1)
  Asm one = ReadTime();
  // Inside tellTarget names resolve on the target's timeline: the root's
  // variables are reached by slash paths, as Flash 4 scripts wrote them.
  one.SetTarget("/clock").Push({"hour", 10});
  one.Get("/:h").Push({30}).Op(op::Multiply).Get("/:m").Push({2}).Op(op::Divide).Op(op::Add2);
  one.Op(op::SetProperty).SetTarget("");
  Asm inWith;
  inWith.Get("minute").Push({"_rotation"});
  inWith.Append(MinuteAngle());
  inWith.Op(op::SetMember);
  one.Get("_root.clock").With(inWith);
  one.Push({"/clock/second:_rotation"});
  one.Append(SecondAngle());
  one.Op(op::SetVariable);
  Asm two;
  two.Push({1}).GotoFrame2(true);

  Face f(5);
  f.h.root->totalFrames = 2;
  f.h.root->frameActions[1] = {one.Bytes()};
  f.h.root->frameActions[2] = {two.Bytes()};
  for (const TimeCase& t : kTimes) {
    f.h.time = t.time;
    for (int frame : {1, 2}) {
      f.h.root->frame = frame;
      f.h.engine->BeginFrame();
      for (const ActionBytes& block : f.h.root->FrameActions(frame)) f.h.engine->RunActions(*f.h.root, block);
      f.h.engine->EndFrame();
    }
    EXPECT_DOUBLE_EQ(f.Rotation(f.hour), t.hour);
    EXPECT_DOUBLE_EQ(f.Rotation(f.minute), t.minute);
    EXPECT_DOUBLE_EQ(f.Rotation(f.second), t.second);
    EXPECT_EQ(f.h.root->log.back(), "play 1");
  }
  // tellTarget left the variables on the root's timeline, not the clock's.
  EXPECT_EQ(f.h.Run(Asm().Get("h").TraceTop().Get("/clock:h").TraceTop()), "0|undefined");
  EXPECT_EQ(f.h.Run(Asm().SetTarget("/clock").Get("h").TraceTop().Get("/:h").TraceTop().SetTarget("")),
            "undefined|0");
}

TEST(Avm1Clock, DigitalFaceWithBoundTextFields) {
  // pad(n) { var t = "0" + n; return t.substr(t.length - 2, 2); }
  Asm pad;
  pad.Push({"t", "0"}).Get("n").Op(op::Add2).Op(op::DefineLocal);
  pad.Get("t").Push({"length"}).Op(op::GetMember).Push({2}).Op(op::Subtract).Push({2}).Op(op::StackSwap);
  pad.Push({2}).Get("t").Push({"substr"}).Op(op::CallMethod).Op(op::Return);
  Asm frame;
  frame.Function("pad", {"n"}, pad);
  frame.Array({"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}).Store("days");
  frame.Array({"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}).Store("months");
  frame.New("Date").Store("now");
  // timeText = pad(h) + ":" + pad(m) + ":" + pad(s)
  frame.Push({"timeText"});
  frame.CallOn("now", "getHours").Push({1, "pad"}).Op(op::CallFunction).Push({":"}).Op(op::Add2);
  frame.CallOn("now", "getMinutes").Push({1, "pad"}).Op(op::CallFunction).Op(op::Add2).Push({":"}).Op(op::Add2);
  frame.CallOn("now", "getSeconds").Push({1, "pad"}).Op(op::CallFunction).Op(op::Add2).Op(op::SetVariable);
  // dayText = days[getDay()] + " " + getDate() + " " + months[getMonth()]
  frame.Push({"dayText"}).Get("days").CallOn("now", "getDay").Op(op::GetMember).Push({" "}).Op(op::Add2);
  frame.CallOn("now", "getDate").Op(op::Add2).Push({" "}).Op(op::Add2);
  frame.Get("months").CallOn("now", "getMonth").Op(op::GetMember).Op(op::Add2).Op(op::SetVariable);

  Harness h(6);
  FakeClip* time = h.root->AddChild("timeField", 1, ClipKind::TextField);
  // Before SWF 7 names fold case: a variable "date" would hide Date.
  time->variable = "timeText";
  FakeClip* date = h.root->AddChild("dateField", 2, ClipKind::TextField);
  date->variable = "_root.dayText";
  h.engine->ClipAdded(*time);
  h.engine->ClipAdded(*date);
  const struct {
    CivilDateTime time;
    const char* shown;
    const char* day;
  } steps[] = {
      {{2026, 3, 31, 23, 59, 58, 0}, "23:59:58", "Tue 31 Mar"},
      {{2026, 3, 31, 23, 59, 59, 500}, "23:59:59", "Tue 31 Mar"},
      {{2026, 4, 1, 0, 0, 0, 0}, "00:00:00", "Wed 1 Apr"},
      {{2026, 12, 31, 23, 59, 59, 0}, "23:59:59", "Thu 31 Dec"},
      {{2027, 1, 1, 0, 0, 0, 0}, "00:00:00", "Fri 1 Jan"},
  };
  for (const auto& s : steps) {
    h.time = s.time;
    h.Run(frame);
    EXPECT_EQ(time->text, s.shown);
    EXPECT_EQ(date->text, s.day);
  }
  // A frame that leaves the text as it was does not set it again.
  const int changes = time->textChanges;
  h.Run(frame);
  EXPECT_EQ(time->textChanges, changes);
}

TEST(Avm1Clock, DrawingApiBuildsAShapeInTwips) {
  // mc = createEmptyMovieClip("face", 1); mc.lineStyle(2, 0xFF0000, 100);
  // mc.beginFill(0x00FF00, 50); mc.moveTo(10, 10); mc.lineTo(30, 10);
  // mc.curveTo(40, 20, 30, 30); mc.endFill();
  Harness h(7);
  Asm a;
  a.Push({1, "face", 2}).Get("this").Push({"createEmptyMovieClip"}).Op(op::CallMethod).Store("mc");
  a.CallOn("mc", "lineStyle", {2, 0xFF0000, 100}).Op(op::Pop);
  a.CallOn("mc", "beginFill", {0x00FF00, 50}).Op(op::Pop);
  a.CallOn("mc", "moveTo", {10, 10}).Op(op::Pop);
  a.CallOn("mc", "lineTo", {30, 10}).Op(op::Pop);
  a.CallOn("mc", "curveTo", {40, 20, 30, 30}).Op(op::Pop);
  a.CallOn("mc", "endFill").Op(op::Pop);
  a.CallOn("mc", "getDepth").TraceTop().Get("mc._name").TraceTop();
  EXPECT_EQ(h.Run(a), "1|face");
  FakeClip* face = h.root->Child("face");
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->drawingChanges, 6);
  const Shape s = face->drawing.Current();
  ASSERT_EQ(s.fills.size(), 1u);
  EXPECT_EQ(s.fills[0].kind, FillKind::Solid);
  EXPECT_EQ(s.fills[0].color, (Rgba{0, 255, 0, 128}));
  ASSERT_EQ(s.lines.size(), 1u);
  EXPECT_EQ(s.lines[0].width, 40);
  EXPECT_EQ(s.lines[0].color, (Rgba{255, 0, 0, 255}));
  ASSERT_EQ(s.paths.size(), 2u);
  const Edge top{{200, 200}, {200, 200}, {600, 200}, false};
  const Edge curve{{600, 200}, {800, 400}, {600, 600}, true};
  const Edge closing{{600, 600}, {600, 600}, {200, 200}, false};
  EXPECT_EQ(s.paths[0].fill0, 0);
  EXPECT_EQ(s.paths[0].line, -1);
  EXPECT_EQ(s.paths[0].edges, (std::vector<Edge>{top, curve, closing}));
  EXPECT_EQ(s.paths[1].line, 0);
  EXPECT_EQ(s.paths[1].fill0, -1);
  EXPECT_EQ(s.paths[1].edges, (std::vector<Edge>{top, curve, closing}));  // the closing side is stroked too
  // The curve bulges to x 700; the stroke adds half its width.
  EXPECT_EQ(s.bounds, (TwipRect{180, 720, 180, 620}));
}

}  // namespace
}  // namespace dc::swf::avm1::test

// The host objects where a face relies on them and the corpus does not pin
// them down: a sound's position and end on the player's timer, the stage's
// size under a scale mode, a shared object kept between frames, messages
// to the face's own LocalConnection, a load that fails, and AMF0 bytes.
#include <gtest/gtest.h>

#include "testkit/avm1_harness.h"
#include "swf/avm1/array_object.h"
#include "swf/avm1/amf0.h"
#include "swf/avm1/runtime.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "testkit/swf_writer.h"

namespace dc::swf::avm1::test {
namespace {

namespace w = dc::swf::test;

w::Bytes Joined(std::initializer_list<w::Bytes> parts) {
  w::Bytes out;
  for (const w::Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A movie of one frame running `script`, with a mono MP3 sound of `samples`
// at 11025 Hz exported as "tick".
struct PlayedMovie {
  PlayedMovie(const Asm& script, std::uint32_t samples, double viewportWidth = 0, double viewportHeight = 0) {
    w::BitWriter sound;
    sound.U16(1).U8(2 << 4 | 1 << 2 | 1 << 1).U32(samples);
    const w::Bytes tags = Joined({w::Tag(14, sound.Take()), w::ExportAssets({{1, "tick"}}),
                                  w::DoActionTag(*script.Bytes()), w::ShowFrame()});
    PlayerOptions options;
    options.timerMs = [this] { return timerMs; };
    options.trace = [this](std::string_view s) { traces += (traces.empty() ? "" : "|") + std::string(s); };
    options.viewportWidth = viewportWidth;
    options.viewportHeight = viewportHeight;
    player = std::make_unique<Player>(std::make_shared<const Movie>(ReadMovie(w::Fws({}, tags))), options);
  }
  // The frame at `ms` on the player's timer; what it traced.
  std::string FrameAt(double ms) {
    traces.clear();
    timerMs = ms;
    player->Advance();
    return traces;
  }
  double timerMs = 0;
  std::string traces;
  std::unique_ptr<Player> player;
};

// The value of name.m1.m2..., left on the stack.
Asm Path(const std::string& name, std::initializer_list<const char*> members) {
  Asm a;
  a.Get(name);
  for (const char* m : members) a.Push({m}).Op(op::GetMember);
  return a;
}

// name.member = function (a, b) { trace(<expression left by `body`>); }
Asm& Handler(Asm& a, const std::string& name, const char* member, const Asm& body) {
  return a.Get(name).Push({member}).Function("", {"a", "b"}, Asm(body).TraceTop()).Op(op::SetMember);
}

// name.member = value
Asm& SetOn(Asm& a, const std::string& name, const char* member, PushItem value) {
  return a.Get(name).Push({member, value}).Op(op::SetMember);
}

TEST(Avm1HostObjects, SoundPlaysItsLoopsOnThePlayersTimerThenSaysItIsComplete) {
  // 11025 samples at 11025 Hz: one second, played twice from frame 1.
  Asm script;
  script.New("Sound").Store("s").CallOn("s", "attachSound", {"tick"}).Op(op::Pop);
  Handler(script, "s", "onSoundComplete", Asm().Push({"complete "}).Append(Path("s", {"position"})).Op(op::Add2));
  script.CallOn("s", "start", {0, 2}).Op(op::Pop);
  script.Append(Path("s", {"duration"})).TraceTop();
  Handler(script, "this", "onEnterFrame", Path("s", {"position"}));
  PlayedMovie m(script, 11025);
  EXPECT_EQ(m.traces, "1000");
  EXPECT_EQ(m.FrameAt(250), "250");
  EXPECT_EQ(m.FrameAt(1250), "250");  // the second loop
  EXPECT_EQ(m.FrameAt(2100), "1000|complete 1000");
  EXPECT_EQ(m.FrameAt(2200), "1000");  // once only
}

TEST(Avm1HostObjects, SoundsOfOneTargetShareTheirVolumeAndStopTogether) {
  Asm script;
  script.New("Sound", {"_root"}).Store("one").New("Sound", {"_root"}).Store("two").New("Sound").Store("all");
  script.CallOn("one", "setVolume", {30}).Op(op::Pop);
  script.CallOn("two", "getVolume").TraceTop().CallOn("all", "getVolume").TraceTop();
  for (const char* s : {"one", "two"})
    script.CallOn(s, "attachSound", {"tick"}).Op(op::Pop).CallOn(s, "start").Op(op::Pop);
  // Each frame: two.stop(), which stops both; trace both positions.
  Asm tick;
  tick.CallOn("two", "stop").Op(op::Pop).Append(Path("one", {"position"})).TraceTop();
  Handler(script, "this", "onEnterFrame", tick.Append(Path("two", {"position"})));
  PlayedMovie m(script, 22050);
  EXPECT_EQ(m.traces, "30|100");
  EXPECT_EQ(m.FrameAt(400), "400|400");
  EXPECT_EQ(m.FrameAt(900), "400|400");  // stopped where they were
}

TEST(Avm1HostObjects, ASubclassOfSoundIsMadeASoundByItsSuperCall) {
  // Sound.call(mine, "_root") is what super("_root") does.
  Harness h(8);
  Asm a;
  a.Push({0}).Op(op::InitObject).Store("mine");
  a.Get("mine").Push({"__proto__"}).Append(Path("Sound", {"prototype"})).Op(op::SetMember);
  a.Push({"_root"}).Get("mine").Push({2}).Get("Sound").Push({"call"}).Op(op::CallMethod).Op(op::Pop);
  a.CallOn("mine", "setVolume", {40}).Op(op::Pop);
  a.New("Sound", {"_root"}).Store("other").CallOn("other", "getVolume").TraceTop();
  a.CallOn("mine", "getPan").TraceTop();
  EXPECT_EQ(h.Run(a), "40|0");
}

TEST(Avm1HostObjects, StageSizeIsTheWindowsOnlyWhenTheMovieDoesNotScale) {
  Asm script;
  script.Append(Path("Stage", {"width"})).TraceTop().Append(Path("Stage", {"height"})).TraceTop();
  SetOn(script, "Stage", "scaleMode", "noScale");
  script.Append(Path("Stage", {"height"})).TraceTop();
  SetOn(script, "Stage", "scaleMode", "exactFit");
  script.Append(Path("Stage", {"height"})).TraceTop();
  script.Append(Path("System", {"capabilities", "screenResolutionX"})).TraceTop();
  PlayedMovie m(script, 1, 800, 600);
  EXPECT_EQ(m.traces, "550|400|600|400|800");
}

TEST(Avm1HostObjects, AStageListenerHearsEachChangeOfSize) {
  Asm script;
  script.Push({0}).Op(op::InitObject).Store("l");
  Handler(script, "l", "onResize", Asm().Push({"resize "}).Append(Path("Stage", {"width"})).Op(op::Add2));
  script.Get("l").Push({1}).Get("Stage").Push({"addListener"}).Op(op::CallMethod).Op(op::Pop);
  for (const char* mode : {"noScale", "NOSCALE", "exactFit", "noBorder"}) SetOn(script, "Stage", "scaleMode", mode);
  PlayedMovie m(script, 1, 800, 600);
  EXPECT_EQ(m.traces, "resize 800|resize 550");
}

TEST(Avm1HostObjects, SharedObjectKeepsItsDataForThePlayersLife) {
  Harness h(8);
  Asm first;
  first.CallOn("SharedObject", "getLocal", {"prefs"}).Store("so");
  first.Append(Path("so", {"data"})).Push({"alarm", "07:30"}).Op(op::SetMember);
  first.CallOn("so", "flush").TraceTop();
  EXPECT_EQ(h.Run(first), "true");
  Asm later;
  later.CallOn("SharedObject", "getLocal", {"prefs"}).Store("again");
  later.Append(Path("again", {"data", "alarm"})).TraceTop();
  later.Get("again").Get("so").Op(op::StrictEquals).TraceTop();
  later.CallOn("SharedObject", "getLocal", {"prefs", "/elsewhere"}).Push({"data"}).Op(op::GetMember);
  later.Push({"alarm"}).Op(op::GetMember).TraceTop();
  for (const char* bad : {"", "a b", "x:y", "50%"})
    later.CallOn("SharedObject", "getLocal", {bad}).TraceTop();
  later.CallOn("again", "clear").Op(op::Pop).Append(Path("so", {"data", "alarm"})).TraceTop();
  EXPECT_EQ(h.Run(later), "07:30|true|undefined|null|null|null|null|undefined");
}

TEST(Avm1HostObjects, LocalConnectionDeliversACopyToTheFacesOwnReceiverAtTheFramesEnd) {
  Harness h(8);
  Asm a;
  a.New("LocalConnection").Store("r").CallOn("r", "connect", {"face"}).TraceTop();
  Asm show;
  SetOn(show, "o", "n", 2).Append(Path("o", {"self", "n"})).TraceTop().CallOn("d", "getTime").TraceTop();
  a.Get("r").Push({"show"}).Function("", {"o", "d"}, show).Op(op::SetMember);
  a.New("LocalConnection").Store("s");
  Handler(a, "s", "onStatus", Path("a", {"level"}));
  a.Push({"n", 1, 1}).Op(op::InitObject).Store("o");
  a.Get("o").Push({"self"}).Get("o").Op(op::SetMember);
  // s.send("FACE", "show", o, new Date(5)): names are not case-sensitive.
  a.New("Date", {5}).Get("o").Push({"show", "FACE", 4}).Get("s").Push({"send"}).Op(op::CallMethod).TraceTop();
  a.CallOn("s", "send", {"nobody", "show"}).TraceTop();
  a.CallOn("s", "send", {"face", "connect"}).TraceTop();
  a.Push({"sent"}).TraceTop();
  // The receiver's copy changed, with its cycle kept; the original did not.
  EXPECT_EQ(h.Run(a), "true|true|true|false|sent|status|2|5|error");
  EXPECT_EQ(h.Run(Path("o", {"n"}).TraceTop()), "1");
}

TEST(Avm1HostObjects, MovieClipLoaderFailsAsAMissingFileAtTheFramesEnd) {
  Harness h(8);
  Asm a;
  a.New("MovieClipLoader").Store("mcl");
  Handler(a, "mcl", "onLoadError", Asm().Get("a").Push({" "}).Op(op::Add2).Get("b").Op(op::Add2));
  a.CallOn("mcl", "loadClip", {"face.swf", "_root"}).TraceTop();
  a.CallOn("mcl", "loadClip", {"face.swf", "nowhere"}).TraceTop();
  a.Push({"asked"}).TraceTop();
  EXPECT_EQ(h.Run(a), "true|false|asked|_level0 URLNotFound");
}

TEST(Avm1HostObjects, WhatCannotConnectSaysSoAtTheFramesEnd) {
  struct Case {
    const char* made;     // the class
    const char* handler;  // the event it hears
    const char* method;
    std::vector<PushItem> args;
    const char* traced;  // the call's result, then the event's argument
  };
  const Case cases[] = {
      {"XMLSocket", "onConnect", "connect", {"localhost", 8080}, "true|later|false"},
      {"XMLSocket", "onConnect", "connect", {"localhost", 80}, "false|later"},
      {"NetStream", "onStatus", "play", {"face.flv"}, "undefined|later|NetStream.Play.StreamNotFound error"},
      {"NetConnection", "onStatus", "connect", {"rtmp://host/app"}, "false|later|NetConnection.Connect.Failed error"},
      {"Sound", "onLoad", "loadSound", {"tick.mp3", false}, "undefined|later|false"},
  };
  for (const Case& c : cases) {
    Harness h(8);
    Asm a;
    a.New(c.made).Store("x");
    // A status object shows its code and level; anything else as it is.
    Asm said;
    said.Push({"object"}).Get("a").Op(op::TypeOf).Op(op::Equals2).Op(op::Not).If("plain");
    said.Append(Path("a", {"code"})).Push({" "}).Op(op::Add2).Append(Path("a", {"level"})).Op(op::Add2).Op(op::Trace);
    said.Jump("end").Label("plain").Get("a").TraceTop().Label("end");
    a.Get("x").Push({c.handler}).Function("", {"a"}, said).Op(op::SetMember);
    a.CallOn("x", c.method, c.args).TraceTop().Push({"later"}).TraceTop();
    EXPECT_EQ(h.Run(a), c.traced) << c.made << "." << c.method;
  }
}

TEST(Avm1HostObjects, ExternalInterfaceReadsBackTheXmlItWrites) {
  // _toAS over nodes as XML gives them: an <array> of two properties, the
  // second an <object> with a number.
  Harness h(8);
  Asm a;
  const auto node = [&](const char* var, const char* name) {
    a.Push({"nodeName", name, 1}).Op(op::InitObject).Store(var);
  };
  node("n5", "number");
  SetOn(a, "n5", "firstChild", "5");
  node("obj", "object");
  node("t", "true");
  const auto property = [&](const char* var, const char* id, const char* child) {
    a.Push({"id", id, 1}).Op(op::InitObject).Store("attrs");
    a.Push({"firstChild"}).Get(child).Push({"attributes"}).Get("attrs").Push({2}).Op(op::InitObject).Store(var);
  };
  property("p0", "0", "t");
  property("p1", "1", "obj");
  property("px", "x", "n5");
  a.Get("px").Push({1}).Op(op::InitArray).Store("objKids");
  a.Get("obj").Push({"childNodes"}).Get("objKids").Op(op::SetMember);
  a.Get("p1").Get("p0").Push({2}).Op(op::InitArray).Store("arrKids");
  node("arr", "array");
  a.Get("arr").Push({"childNodes"}).Get("arrKids").Op(op::SetMember);
  a.Get("arr").Push({1}).Get("flash").Push({"external"}).Op(op::GetMember).Push({"ExternalInterface"});
  a.Op(op::GetMember).Push({"_toAS"}).Op(op::CallMethod).Store("back");
  a.Append(Path("back", {"length"})).TraceTop().Append(Path("back", {"0"})).TraceTop();
  a.Append(Path("back", {"1", "x"})).TraceTop().Push({"number"}).Append(Path("back", {"1", "x"})).Op(op::TypeOf);
  a.Op(op::Equals2).TraceTop();
  EXPECT_EQ(h.Run(a), "2|true|5|true");
}

TEST(Avm1HostObjects, MouseShowAndHideSayWhetherThePointerWasShown) {
  Harness h(8);
  Asm a;
  for (const char* m : {"hide", "hide", "show", "show"}) a.CallOn("Mouse", m).TraceTop();
  EXPECT_EQ(h.Run(a), "1|0|0|1");
}

TEST(Avm1HostObjects, Amf0WritesEachKindAsTheFormatSays) {
  Harness h(8);
  Runtime& rt = h.engine->Internals();
  ArrayObject* dense = rt.NewArray(std::vector<Value>{Value::Number(1), rt.Str("a")});
  Object* o = rt.NewObject();
  rt.SetMember(Value::Obj(o), "x", Value::Bool(true));
  rt.SetMember(Value::Obj(o), "me", Value::Obj(o));
  struct Case {
    Value value;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {Value(), {0x06}},
      {Value::Null(), {0x05}},
      {Value::Number(1), {0x00, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0}},
      {Value::Obj(dense), {0x0A, 0, 0, 0, 2, 0x00, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0x02, 0, 1, 'a'}},
      // A member that is the object itself is a reference to it.
      {Value::Obj(o), {0x03, 0, 1, 'x', 0x01, 1, 0, 2, 'm', 'e', 0x07, 0, 0, 0, 0, 0x09}},
      {rt.ClipValue(h.root.get()), {0x06}},
  };
  for (const Case& c : cases) {
    const Value one[] = {c.value};
    EXPECT_EQ(EncodeAmf0(rt, one, 1024), c.bytes) << rt.ToString(c.value);
  }
  // An array with a member of its own goes as an ECMA array.
  rt.SetMember(Value::Obj(dense), "extra", Value::Null());
  const Value withExtra[] = {Value::Obj(dense)};
  EXPECT_EQ(EncodeAmf0(rt, withExtra, 1024)->at(0), 0x08);
  EXPECT_FALSE(EncodeAmf0(rt, withExtra, 8));
  // Cut short, the values read so far come back and no more.
  const std::vector<std::uint8_t> cut = {0x05, 0x01, 0x01, 0x02, 0x00, 0x09, 'a'};
  const std::vector<Value> read = DecodeAmf0(rt, cut);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_TRUE(read[0].IsNull());
  EXPECT_TRUE(read[1].type == ValueType::Boolean && read[1].b);
}

}  // namespace
}  // namespace dc::swf::avm1::test

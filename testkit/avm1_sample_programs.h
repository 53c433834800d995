// Whole scripts of the kinds clock faces run, assembled: the fuzz target's
// seeds and the benchmark's clock come from here.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "avm1_assembler.h"

namespace dc::swf::avm1::test {

// onClipEvent(enterFrame) as Flash 5 compiles it: the constant pool, a new
// Date, three getters, three _rotation sets through _root.clock.
inline Asm AnalogueClockScript() {
  enum { kNow, kDate, kGetHours, kGetMinutes, kGetSeconds, kHour, kMinute, kSecond, kRotation, kH, kM, kS };
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
  return a;
}

// Every call that would reach outside the face in a browser's player,
// each of which must do nothing; traces "done" at the end. Run on a root
// holding a clip "clock".
inline Asm NoWayOutScript() {
  Asm a;
  a.GetUrl("http://example.invalid/", "_blank").GetUrl("FSCommand:quit", "");
  a.Push({"file:///etc/passwd", "_level1"}).Record(op::GetURL2, {0x41});
  a.Call("getURL", {"http://x/"}).Op(op::Pop).Call("fscommand", {"exec", "cmd"}).Op(op::Pop);
  a.Call("loadMovieNum", {"x.swf", 1}).Op(op::Pop).Call("loadVariables", {"x.txt", "_root"}).Op(op::Pop);
  a.CallOn("clock", "loadMovie", {"x.swf"}).Op(op::Pop).CallOn("clock", "getURL", {"x"}).Op(op::Pop);
  a.CallOn("clock", "unloadMovie").Op(op::Pop);
  for (const char* cls : {"XML", "LoadVars", "LocalConnection", "Sound", "XMLSocket"}) {
    a.New(cls).Store("o");
    for (const char* m : {"load", "send", "connect", "start", "sendAndLoad"}) a.CallOn("o", m, {"x"}).Op(op::Pop);
  }
  a.CallOn("SharedObject", "getLocal", {"so"}).Store("so").Get("so").Push({"data"}).Op(op::GetMember).Op(op::Pop);
  a.CallOn("System", "setClipboard", {"x"}).Op(op::Pop).CallOn("Key", "isDown", {65}).Op(op::Pop);
  a.CallOn("Mouse", "hide").Op(op::Pop).CallOn("Stage", "addListener", {1}).Op(op::Pop);
  a.Push({"done"}).TraceTop();
  return a;
}

// Named programs that between them use every kind of record.
inline std::vector<std::pair<std::string, Asm>> SamplePrograms() {
  std::vector<std::pair<std::string, Asm>> out;
  out.emplace_back("analogue", AnalogueClockScript());

  Asm handler;
  handler.Get("clock").Push({"onEnterFrame"})
      .Function2("", 4, kPreloadThis | kPreloadGlobal, {{3, "unused"}},
                 Asm().Push({0, "Date"}).Op(op::NewObject).StoreRegister(3).Op(op::Pop)
                     .Push({Reg{1}, "hour"}).Op(op::GetMember).Push({"_rotation", 0, Reg{3}, "getHours"})
                     .Op(op::CallMethod).Push({30}).Op(op::Multiply).Op(op::SetMember))
      .Op(op::SetMember);
  out.emplace_back("handler", handler);

  Asm slash;
  slash.SetTarget("/clock").Push({"hour", 10, 90}).Op(op::SetProperty).SetTarget("");
  slash.Push({"/clock/minute:_rotation", 45}).Op(op::SetVariable).Get("_root.clock").With(Asm().Set("x", 1));
  slash.Push({1}).GotoFrame2(true).GotoFrame(0).GotoLabel("start").Op(op::Play).Op(op::Stop);
  out.emplace_back("slash", slash);

  Asm text;
  text.Function("pad", {"n"}, Asm().Push({"0"}).Get("n").Op(op::Add2).Store("t").Push({2, -2, 2}).Op(op::StackSwap)
                                    .Op(op::Pop).Get("t").Push({"substr"}).Op(op::CallMethod).Op(op::Return));
  text.Array({"Sun", "Mon", "Tue"}).Store("days").Push({"timeText"}).Call("pad", {7}).Op(op::SetVariable);
  text.Set("s", "a,b,c").CallOn("s", "split", {","}).Store("parts").CallOn("parts", "sort", {2}).Op(op::Pop);
  text.Push({"abc", 2, 1}).Op(op::StringExtract).Push({"\xC3\xA9"}).Op(op::MBStringLength).Op(op::Add2).Op(op::Trace);
  out.emplace_back("text", text);

  Asm cls;
  cls.Get("_global").Push({"Base"}).Function("", {"n"}, Asm().Get("this").Push({"n"}).Get("n").Op(op::SetMember))
      .Op(op::SetMember);
  cls.Get("_global").Push({"Sub"})
      .Function2("", 4, kPreloadThis | kPreloadSuper, {{3, "n"}},
                 Asm().Push({Reg{3}, 1, Reg{2}, Undef{}}).Op(op::CallMethod).Op(op::Pop))
      .Op(op::SetMember);
  cls.Get("Sub").Get("Base").Op(op::Extends).New("Sub", {3}).Store("s").Get("s").Get("Base").Op(op::InstanceOf);
  cls.Op(op::Pop).Get("s").Op(op::Enumerate2).Label("loop").StoreRegister(0).Push({Null{}}).Op(op::Equals2)
      .If("done").Jump("loop").Label("done");
  out.emplace_back("class", cls);

  Asm guarded;
  const Asm catchBody = Asm().Get("e").Op(op::Trace);
  const Asm finallyBody = Asm().Push({"f"}).Op(op::Trace);
  guarded.Try(Asm().Push({"x"}).Op(op::Throw), &catchBody, "e", &finallyBody);
  guarded.Call("setInterval", {Undef{}, 10}).Op(op::Pop).Call("getTimer").Op(op::Pop);
  out.emplace_back("try", guarded);

  Asm draw;
  draw.Push({1, "face", 2}).Get("this").Push({"createEmptyMovieClip"}).Op(op::CallMethod).Store("mc");
  draw.CallOn("mc", "lineStyle", {2, 0xFF0000, 100}).Op(op::Pop).CallOn("mc", "beginFill", {0x00FF00, 50}).Op(op::Pop);
  draw.CallOn("mc", "moveTo", {10, 10}).Op(op::Pop).CallOn("mc", "curveTo", {40, 20, 30, 30}).Op(op::Pop);
  draw.CallOn("mc", "endFill").Op(op::Pop);
  out.emplace_back("draw", draw);

  // Settings kept as XML and as URL-encoded variables.
  Asm xml;
  xml.New("XML", {"<?xml version='1.0'?><face tz='+1'><hand id='h'>&lt;x&gt;</hand><![CDATA[c]]><!-- n --></face>"})
      .Store("x");
  xml.Get("x").Push({"firstChild"}).Op(op::GetMember).Store("f");
  xml.Get("f").Push({"attributes"}).Op(op::GetMember).Push({"tz"}).Op(op::GetMember).Op(op::Trace);
  xml.CallOn("x", "createElement", {"dial"}).Push({1}).Get("f").Push({"appendChild"}).Op(op::CallMethod).Op(op::Pop);
  xml.CallOn("x", "cloneNode", {true}).Op(op::Trace);
  xml.New("LoadVars").Store("v").CallOn("v", "decode", {"a=1&b=%20+"}).Op(op::Pop).CallOn("v", "toString").Op(op::Trace);
  out.emplace_back("xml", xml);

  // Found by fuzzing: frame 2 (where the fuzz target puts its input) calls
  // itself through Call; it must stop at the call depth.
  out.emplace_back("call-self", Asm().Push({2}).CallFrame());
  return out;
}

}  // namespace dc::swf::avm1::test

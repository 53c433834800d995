// The scripts of analogue clock faces, assembled once for the script
// engine's tests and the clock-face movies: reading the time, the hands'
// angles, and an onEnterFrame handler as a compiler writes it.
#pragma once

#include "testkit/avm1_assembler.h"

namespace dc::swf::avm1::test {

// now = new Date(); then the three getters into h, m, s.
inline Asm ReadTime() {
  Asm a;
  a.New("Date").Store("now");
  a.CallOn("now", "getHours").Store("h").CallOn("now", "getMinutes").Store("m").CallOn("now", "getSeconds").Store("s");
  return a;
}
// h * 30 + m / 2, m * 6 + s / 10, s * 6 on the stack, one at a time.
inline Asm HourAngle() {
  return Asm().Get("h").Push({30}).Op(op::Multiply).Get("m").Push({2}).Op(op::Divide).Op(op::Add2);
}
inline Asm MinuteAngle() {
  return Asm().Get("m").Push({6}).Op(op::Multiply).Get("s").Push({10}).Op(op::Divide).Op(op::Add2);
}
inline Asm SecondAngle() { return Asm().Get("s").Push({6}).Op(op::Multiply); }

// clock.onEnterFrame = function () { var d = new Date(); this.hour._rotation
// = ...; ... } as a compiler writes it: constant pool, DefineFunction2,
// registers.
inline Asm HandlerFrameScript() {
  enum { kClock, kOnEnterFrame, kDate, kGetHours, kGetMinutes, kGetSeconds, kHour, kMinute, kSecond, kRotation };
  Asm body;
  body.Push({0, Const{kDate}}).Op(op::NewObject).StoreRegister(2).Op(op::Pop);
  body.Push({0, Reg{2}, Const{kGetHours}}).Op(op::CallMethod).StoreRegister(3).Op(op::Pop);
  body.Push({0, Reg{2}, Const{kGetMinutes}}).Op(op::CallMethod).StoreRegister(4).Op(op::Pop);
  body.Push({0, Reg{2}, Const{kGetSeconds}}).Op(op::CallMethod).StoreRegister(5).Op(op::Pop);
  body.Push({Reg{1}, Const{kHour}}).Op(op::GetMember).Push({Const{kRotation}, Reg{3}, 30}).Op(op::Multiply)
      .Push({Reg{4}, 2}).Op(op::Divide).Op(op::Add2).Op(op::SetMember);
  body.Push({Reg{1}, Const{kMinute}}).Op(op::GetMember).Push({Const{kRotation}, Reg{4}, 6}).Op(op::Multiply)
      .Push({Reg{5}, 10}).Op(op::Divide).Op(op::Add2).Op(op::SetMember);
  body.Push({Reg{1}, Const{kSecond}}).Op(op::GetMember).Push({Const{kRotation}, Reg{5}, 6}).Op(op::Multiply)
      .Op(op::SetMember);
  Asm frame;
  frame.Constants({"clock", "onEnterFrame", "Date", "getHours", "getMinutes", "getSeconds", "hour", "minute", "second",
                   "_rotation"});
  frame.Push({Const{kClock}}).Op(op::GetVariable).Push({Const{kOnEnterFrame}})
      .Function2("", 6, kPreloadThis | kSuppressArguments | kSuppressSuper, {}, body)
      .Op(op::SetMember);
  return frame;
}

}  // namespace dc::swf::avm1::test

// Names and scopes: paths (dot, slash, _parent, _root, _levelN), closures,
// with, prototypes, an AS2 class with Extends and super, try/catch/finally,
// DefineFunction2's registers.
#include <gtest/gtest.h>

#include "testkit/avm1_harness.h"

namespace dc::swf::avm1::test {
namespace {

// _root.clock.hour, with a variable on each timeline.
struct ClockTree {
  Harness h{6};
  FakeClip* clock = h.root->AddChild("clock", 1);
  FakeClip* hour = clock->AddChild("hour", 1);
};

TEST(Avm1Scope, PathsReachClipsAndVariables) {
  struct Case {
    const char* name;
    Asm code;
    const char* traced;
    bool onHour;  // run on _root.clock.hour instead of the root
  };
  const Case cases[] = {
      {"slash path set", Asm().Push({"/clock/hour:_rotation", 90}).Op(op::SetVariable).Get("_root.clock.hour._rotation").TraceTop(), "90", false},
      {"dot path set", Asm().Push({"_root.clock.hour._x", 12}).Op(op::SetVariable).Get("/clock/hour:_x").TraceTop(), "12", false},
      {"relative slash", Asm().Push({"clock/hour:v", "a"}).Op(op::SetVariable).Get("clock.hour.v").TraceTop(), "a", false},
      {"_parent", Asm().Get("_parent._name").TraceTop(), "clock", true},
      {"../ from a child", Asm().Push({"../:w", 5}).Op(op::SetVariable).Get("_root.clock.w").TraceTop(), "5", true},
      {"_root and /:", Asm().Push({"/:rv", 3}).Op(op::SetVariable).Get("_root.rv").TraceTop(), "3", true},
      {"_level0", Asm().Get("_level0.clock._name").TraceTop().Get("_level1").TraceTop(), "clock|undefined", true},
      {"level names read their number as far as it goes",
       Asm().Get("_flash0").TraceTop().Get("_level").TraceTop().Get("_level0a").TraceTop().Get("_level4294967296")
           .TraceTop().Get("_level-1").TraceTop().Get("_level2147483648").TraceTop().Get("_level1a").TraceTop(),
       "_level0|_level0|_level0|_level0|undefined|undefined|undefined", false},
      {"a level's name hides what the prototype holds",
       Asm().Get("MovieClip").Push({"prototype"}).Op(op::GetMember).Push({"_level1", 99}).Op(op::SetMember)
           .Get("_root").Push({"_level1"}).Op(op::GetMember).TraceTop().Get("_root._level1").TraceTop(),
       "undefined|undefined", false},
      {"TargetPath and _target", Asm().Get("this").Op(op::TargetPath).TraceTop().Get("_target").TraceTop(), "_level0.clock.hour|/clock/hour", true},
      {"GetProperty by index", Asm().Push({"/clock", 13}).Op(op::GetProperty).TraceTop(), "clock", false},
      {"SetProperty by index", Asm().Push({"clock/hour", 10, 45}).Op(op::SetProperty).Get("clock.hour._rotation").TraceTop(), "45", false},
      {"a variable beats a child", Asm().Set("clock", 7).Get("clock").TraceTop(), "7", false},
      {"a removed clip resolves to nothing", Asm().Get("clock").Store("c").CallOn("c", "removeMovieClip").Op(op::Pop).Get("c._name").TraceTop().Get("clock").Op(op::TypeOf).TraceTop(), "undefined|undefined", false},
  };
  for (const Case& c : cases) {
    ClockTree t;
    const std::string traced = t.h.Run(c.code, c.onHour ? t.hour : nullptr);
    EXPECT_EQ(traced, c.traced) << c.name;
  }
}

TEST(Avm1Scope, AChildNamedLikeAPropertyComesFirstButNotForGetProperty) {
  Harness h(7);
  h.root->AddChild("_x", 1);
  h.root->props[DisplayProperty::X] = 42;
  Asm a;
  a.Get("_root").Push({"_x"}).Op(op::GetMember).TraceTop();
  a.Push({"", 0}).Op(op::GetProperty).TraceTop();
  a.Get("_root").Push({"_y"}).Op(op::GetMember).TraceTop();
  EXPECT_EQ(h.Run(a), "_level0._x|42|0");
}

TEST(Avm1Scope, WaitForFrameSkipsPastTheLastFrameAMovieCanHave) {
  struct Case {
    const char* name;
    Asm wait;
    const char* traced;
  };
  const auto frame = [](std::uint16_t f) {
    return Asm().Record(op::WaitForFrame, {static_cast<std::uint8_t>(f), static_cast<std::uint8_t>(f >> 8), 2});
  };
  const auto frame2 = [](PushItem f) { return Asm().Push({f}).Record(op::WaitForFrame2, {2}); };
  const Case cases[] = {
      {"WaitForFrame 16000", frame(16000), "a|b|c"},
      {"WaitForFrame 16001", frame(16001), "b|c"},
      {"WaitForFrame2 16001", frame2(16001), "a|b|c"},
      {"WaitForFrame2 16002", frame2(16002), "b|c"},
      {"WaitForFrame2 2^31 wraps below 1", frame2(2147483649.0), "a|b|c"},
      {"WaitForFrame2 a label it lacks", frame2("nowhere"), "a|b|c"},
  };
  for (const Case& c : cases) {
    Harness h(7);
    Asm a = c.wait;
    a.Push({"a"}).TraceTop().Push({"b"}).TraceTop().Push({"c"}).TraceTop();
    EXPECT_EQ(h.Run(a), c.traced) << c.name;
  }
}

TEST(Avm1Scope, ClosuresCaptureTheirScope) {
  // function make() { var n = 0; return function () { n++; return n; }; }
  Asm counter;
  counter.Push({"n", 0}).Op(op::DefineLocal);
  counter.Function("", {}, Asm().Push({"n"}).Get("n").Op(op::Increment).Op(op::SetVariable).Get("n").Op(op::Return));
  counter.Op(op::Return);
  Harness h(7);
  Asm a;
  a.Function("make", {}, counter);
  a.Call("make").Store("c1").Call("make").Store("c2");
  a.Call("c1").Op(op::Pop).Call("c1").TraceTop().Call("c2").TraceTop().Get("n").TraceTop();
  EXPECT_EQ(h.Run(a), "2|1|undefined");
}

TEST(Avm1Scope, WithSetsMembersItHasAndTheTimelineOtherwise) {
  Harness h(7);
  Asm a;
  a.Push({"a", 1, 1}).Op(op::InitObject).Store("o");
  a.Get("o").With(Asm().Set("a", 5).Set("b", 7).Get("a").TraceTop());
  a.Get("o.a").TraceTop().Get("o.b").TraceTop().Get("b").TraceTop();
  EXPECT_EQ(h.Run(a), "5|5|undefined|7");
}

TEST(Avm1Scope, PrototypesAndConstructors) {
  Harness h(6);
  Asm a;
  a.Function("A", {}, Asm().Get("this").Push({"made", true}).Op(op::SetMember));
  a.Get("A.prototype").Push({"hi"}).Function("", {}, Asm().Push({"A"}).Op(op::Return)).Op(op::SetMember);
  a.New("A").Store("x");
  a.CallOn("x", "hi").TraceTop().Get("x.made").TraceTop();
  a.Get("x.__proto__").Get("A.prototype").Op(op::StrictEquals).TraceTop();
  a.Get("x").Get("A").Op(op::InstanceOf).TraceTop();
  a.Get("x.constructor").Get("A").Op(op::StrictEquals).TraceTop();
  // A prototype changed later is seen by the objects made before.
  a.Get("A.prototype").Push({"late", 9}).Op(op::SetMember).Get("x.late").TraceTop();
  a.Get("x").Push({"__proto__", Null{}}).Op(op::SetMember).Get("x.late").TraceTop();
  EXPECT_EQ(h.Run(a), "A|true|true|true|true|9|undefined");
}

TEST(Avm1Scope, As2ClassWithExtendsAndSuper) {
  Harness h(7);
  Asm a;
  // _global.Base = function (n) { this.n = n; }
  a.Get("_global").Push({"Base"}).Function("", {"n"}, Asm().Get("this").Push({"n"}).Get("n").Op(op::SetMember))
      .Op(op::SetMember);
  // Base.prototype.describe = function () { return "base " + this.n; }
  a.Get("Base.prototype").Push({"describe"})
      .Function("", {}, Asm().Push({"base "}).Get("this").Push({"n"}).Op(op::GetMember).Op(op::Add2).Op(op::Return))
      .Op(op::SetMember);
  // _global.Sub = function (n) { super(n * 2); }   (registers: this, super, n)
  Asm subCtor;
  subCtor.Push({Reg{3}, 2}).Op(op::Multiply).Push({1, Reg{2}, Undef{}}).Op(op::CallMethod).Op(op::Pop);
  a.Get("_global").Push({"Sub"}).Function2("", 4, kPreloadThis | kPreloadSuper, {{3, "n"}}, subCtor).Op(op::SetMember);
  a.Get("Sub").Get("Base").Op(op::Extends);
  // Sub.prototype.describe = function () { return "sub " + super.describe(); }
  Asm subDescribe;
  subDescribe.Push({"sub ", 0, Reg{1}, "describe"}).Op(op::CallMethod).Op(op::Add2).Op(op::Return);
  a.Get("Sub.prototype").Push({"describe"}).Function2("", 2, kPreloadSuper, {}, subDescribe).Op(op::SetMember);
  // An interface and a cast.
  a.Function("Shape", {}, Asm());
  a.Get("Shape").Push({1}).Get("Sub").Op(op::ImplementsOp);
  a.New("Sub", {3}).Store("s");
  a.CallOn("s", "describe").TraceTop();
  a.Get("s").Get("Base").Op(op::InstanceOf).TraceTop();
  a.Get("s").Get("Shape").Op(op::InstanceOf).TraceTop();
  a.Get("Base").Get("s").Op(op::CastOp).Push({"n"}).Op(op::GetMember).TraceTop();
  a.Push({"Date"}).Op(op::GetVariable).Get("s").Op(op::CastOp).TraceTop();
  a.Get("_global").Push({"Sub", Null{}, 1}).Push({"ASSetPropFlags"}).Op(op::CallFunction).Op(op::Pop);
  EXPECT_EQ(h.Run(a), "sub base 6|true|true|6|null");
}

TEST(Avm1Scope, TryCatchFinally) {
  struct Case {
    const char* name;
    Asm code;
    const char* traced;
  };
  const Asm throwX = Asm().Push({"x"}).Op(op::Throw);
  const Asm catchE = Asm().Push({"caught "}).Get("e").Op(op::Add2).TraceTop();
  const Asm catchReg = Asm().Push({"in register "}).Push({Reg{2}}).Op(op::Add2).TraceTop();
  const Asm fin = Asm().Push({"finally"}).TraceTop();
  const Asm thrower = Asm().Function("thrower", {}, Asm().Push({"deep"}).Op(op::Throw).Push({"not here"}).TraceTop());
  const Case cases[] = {
      {"catch and finally", Asm().Try(throwX, &catchE, "e", &fin).Push({"after"}).TraceTop(), "caught x|finally|after"},
      {"catch into a register", Asm().Try(throwX, &catchReg, "", nullptr, 2), "in register x"},
      {"finally only rethrows", Asm().Try(throwX, nullptr, "", &fin).Push({"not reached"}).TraceTop(),
       "finally|Warning: Uncaught exception, x"},
      {"from a called function", Asm(thrower).Try(Asm().Call("thrower").Op(op::Pop), &catchE, "e", nullptr), "caught deep"},
      {"no throw", Asm().Try(Asm().Push({"body"}).TraceTop(), &catchE, "e", &fin), "body|finally"},
      {"a throw in catch still runs finally",
       Asm().Try(Asm().Try(throwX, &throwX, "e", &fin), &catchE, "e", nullptr), "finally|caught x"},
  };
  for (const Case& c : cases) {
    Harness h(7);
    EXPECT_EQ(h.Run(c.code), c.traced) << c.name;
  }
}

TEST(Avm1Scope, FinallyRunsWhenTheTryReturns) {
  Harness h(7);
  const Asm fin = Asm().Push({"fin"}).TraceTop();
  Asm body;
  body.Try(Asm().Push({"r"}).Op(op::Return), nullptr, "", &fin);
  Asm a;
  a.Function("f", {}, body).Call("f").TraceTop();
  EXPECT_EQ(h.Run(a), "fin|r");
}

TEST(Avm1Scope, Function2Registers) {
  ClockTree t;
  // Preloaded in order from register 1: this, arguments, _root, _parent, _global.
  Asm body;
  body.Push({Reg{1}}).Op(op::TargetPath).TraceTop();
  body.Push({Reg{2}, "length"}).Op(op::GetMember).TraceTop();
  body.Push({Reg{3}}).Op(op::TargetPath).TraceTop();
  body.Push({Reg{4}}).Op(op::TargetPath).TraceTop();
  body.Push({Reg{5}, "Math"}).Op(op::GetMember).Op(op::TypeOf).TraceTop();
  body.Push({Reg{6}}).TraceTop();  // the parameter
  body.Get("p").TraceTop();        // a parameter in a register is no local variable
  Asm a;
  a.Function2("f", 7, kPreloadThis | kPreloadArguments | kPreloadRoot | kPreloadParent | kPreloadGlobal, {{6, "p"}}, body);
  a.Push({"b", "a", 2, "f"}).Op(op::CallFunction).Op(op::Pop);
  EXPECT_EQ(t.h.Run(a, t.hour), "_level0.clock.hour|2|_level0|_level0.clock|object|a|undefined");
}

TEST(Avm1Scope, ArgumentsKnowCalleeAndCaller) {
  Harness h(7);
  Asm a;
  // function inner() { trace(arguments.caller == outer); ... }
  const auto member = [](Asm& code, const char* name) {
    code.Get("arguments").Push({name}).Op(op::GetMember);
  };
  Asm inner;
  member(inner, "caller");
  inner.Get("outer").Op(op::Equals2).TraceTop();
  member(inner, "callee");
  inner.Get("inner").Op(op::Equals2).TraceTop();
  member(inner, "length");
  inner.TraceTop();
  a.Function("inner", {}, inner);
  a.Function("outer", {}, Asm().Call("inner", {1, 2}).Op(op::Pop));
  a.Call("outer").Op(op::Pop).Call("inner").Op(op::Pop);
  // A variable of the call like any other: set, it stays set.
  a.Function("again", {}, Asm().Set("arguments", 5).Get("arguments").TraceTop());
  a.Call("again", {1}).Op(op::Pop);
  EXPECT_EQ(h.Run(a), "true|true|2|false|true|0|5");
}

// function outer() { return function () { trace(arguments...) } }: the
// inner function has no `arguments` of its own, so it reads outer's, after
// outer returned and its caller's argument list is gone.
TEST(Avm1Scope, ArgumentsOutliveTheCallThatKeptThem) {
  Harness h(7);
  Asm inner;
  inner.Get("arguments").Push({"length"}).Op(op::GetMember).TraceTop();
  inner.Get("arguments").Push({0}).Op(op::GetMember).TraceTop();
  inner.Get("arguments").Push({"callee"}).Op(op::GetMember).Get("outer").Op(op::Equals2).TraceTop();
  Asm outer;
  outer.Function2("", 1, kSuppressArguments, {}, inner).Op(op::Return);
  Asm a;
  a.Function("outer", {}, outer);
  a.Call("outer", {"first", "second"}).Store("kept");
  a.Call("kept").Op(op::Pop);
  EXPECT_EQ(h.Run(a), "2|first|true");
}

TEST(Avm1Scope, DeleteAndEnumerate) {
  Harness h(7);
  Asm a;
  a.Push({"a", 1, "b", 2, 2}).Op(op::InitObject).Store("o");
  a.Get("o").Push({"a"}).Op(op::Delete).TraceTop().Get("o.a").TraceTop();
  // for (k in o) trace(k) — Enumerate2 pushes null, then the names.
  a.Get("o").Op(op::Enumerate2);
  a.Label("loop").StoreRegister(0).Push({Null{}}).Op(op::Equals2).If("done");
  a.Push({Reg{0}}).TraceTop().Jump("loop");
  a.Label("done");
  a.Set("g", 1).Push({"g"}).Op(op::Delete2).TraceTop().Get("g").TraceTop();
  EXPECT_EQ(h.Run(a), "true|undefined|b|true|undefined");
}

}  // namespace
}  // namespace dc::swf::avm1::test

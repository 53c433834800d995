// The built-in objects' methods: Date at a faked local time and offset,
// Math, String, Array with sort, Object and Function.
#include <gtest/gtest.h>

#include "testkit/avm1_harness.h"

namespace dc::swf::avm1::test {
namespace {

struct MethodCase {
  const char* method;
  std::vector<PushItem> args;
  const char* traced;
};

// `object` is made by `setup`; each case traces object.method(args).
void RunMethods(int version, const Asm& setup, const std::string& object, const std::vector<MethodCase>& cases,
                int utcOffset = 60) {
  for (const MethodCase& c : cases) {
    Harness h(version);
    h.utcOffsetMinutes = utcOffset;
    Asm a = setup;
    a.CallOn(object, c.method, c.args).TraceTop();
    EXPECT_EQ(h.Run(a), c.traced) << object << "." << c.method;
  }
}

TEST(Avm1Objects, DateAtFakedLocalTime) {
  // The harness's clock: Wednesday 2026-12-09 10:08:30.000 at GMT+0100.
  const Asm now = Asm().New("Date").Store("d");
  RunMethods(7, now, "d",
             {
                 {"getFullYear", {}, "2026"},        {"getYear", {}, "126"},
                 {"getMonth", {}, "11"},             {"getDate", {}, "9"},
                 {"getDay", {}, "3"},                {"getHours", {}, "10"},
                 {"getMinutes", {}, "8"},            {"getSeconds", {}, "30"},
                 {"getMilliseconds", {}, "0"},       {"getUTCHours", {}, "9"},
                 {"getUTCDate", {}, "9"},            {"getUTCDay", {}, "3"},
                 {"getTimezoneOffset", {}, "-60"},   {"getTime", {}, "1796807310000"},
                 {"valueOf", {}, "1796807310000"},   {"toString", {}, "Wed Dec 9 10:08:30 GMT+0100 2026"},
                 {"setHours", {23, 59, 59}, "1796857199000"},
                 {"setMonth", {0}, "1767949710000"},
                 {"setFullYear", {2000, 1, 29}, "951815310000"},
             });
  RunMethods(7, now, "d", {{"toString", {}, "Wed Dec 9 10:08:30 GMT-0500 2026"}, {"getTimezoneOffset", {}, "300"}},
             -300);
}

TEST(Avm1Objects, DateFromFields) {
  // 31 January 2000 was a Monday; February 31 of 2000 is 2 March.
  const Asm jan31 = Asm().New("Date", {2000, 0, 31}).Store("d");
  RunMethods(7, jan31, "d", {{"getDay", {}, "1"}, {"getDate", {}, "31"}, {"getHours", {}, "0"}});
  Harness h(7);
  Asm a = jan31;
  a.CallOn("d", "setMonth", {1}).Op(op::Pop);
  a.CallOn("d", "getMonth").TraceTop().CallOn("d", "getDate").TraceTop();
  // Two-digit years are 1900s; ms since 1970 UTC as one argument.
  a.New("Date", {99, 11, 31}).Store("e").CallOn("e", "getFullYear").TraceTop();
  a.New("Date", {0}).Store("z").CallOn("z", "getUTCFullYear").TraceTop().CallOn("z", "getHours").TraceTop();
  a.CallOn("Date", "UTC", {2000, 1, 29}).TraceTop();
  a.CallOn("Date", "UTC", {1970, 0, 1}).TraceTop();
  EXPECT_EQ(h.Run(a), "2|2|1999|1970|1|951782400000|0");
}

TEST(Avm1Objects, Math) {
  const Asm none;
  RunMethods(7, none, "Math",
             {
                 {"floor", {-1.5}, "-2"},      {"round", {-1.5}, "-1"},     {"round", {2.5}, "3"},
                 {"ceil", {1.2}, "2"},         {"abs", {-3}, "3"},          {"max", {}, "-Infinity"},
                 {"min", {}, "Infinity"},      {"max", {1, "x"}, "NaN"},    {"max", {1, 7, 3}, "7"},
                 {"min", {4, -2}, "-2"},       {"pow", {2, 10}, "1024"},    {"sqrt", {16}, "4"},
                 {"sin", {0}, "0"},            {"cos", {0}, "1"},           {"tan", {0}, "0"},
                 {"asin", {1}, "1.5707963267949"},   {"acos", {1}, "0"},    {"atan", {1}, "0.785398163397448"},
                 {"atan2", {1, 1}, "0.785398163397448"}, {"exp", {0}, "1"}, {"log", {1}, "0"},
             });
  Harness h(7);
  Asm a;
  for (const char* name : {"PI", "E", "SQRT2", "SQRT1_2", "LN2", "LN10", "LOG2E", "LOG10E"})
    a.Get("Math").Push({name}).Op(op::GetMember).TraceTop();
  // random() lies in [0, 1).
  a.CallOn("Math", "random").Op(op::PushDuplicate).Push({0}).Op(op::Less2).TraceTop();
  a.Push({1}).Op(op::Less2).TraceTop();
  EXPECT_EQ(h.Run(a),
            "3.14159265358979|2.71828182845905|1.4142135623731|0.707106781186548|0.693147180559945|"
            "2.30258509299405|1.44269504088896|0.434294481903252|false|true");
}

TEST(Avm1Objects, String) {
  const Asm hello = Asm().Set("s", "hello");
  RunMethods(7, hello, "s",
             {
                 {"substr", {1, 3}, "ell"},       {"substr", {-3}, "llo"},       {"substring", {3, 1}, "el"},
                 {"substring", {-2, 2}, "he"},    {"slice", {-3, -1}, "ll"},     {"slice", {2}, "llo"},
                 {"charAt", {1}, "e"},            {"charAt", {9}, ""},           {"charCodeAt", {0}, "104"},
                 {"charCodeAt", {9}, "NaN"},      {"indexOf", {"l"}, "2"},       {"indexOf", {"l", 3}, "3"},
                 {"lastIndexOf", {"l"}, "3"},     {"lastIndexOf", {"l", 2}, "2"}, {"indexOf", {"z"}, "-1"},
                 {"toUpperCase", {}, "HELLO"},    {"concat", {" ", 1, true}, "hello 1true"},
                 {"toString", {}, "hello"},
             });
  RunMethods(7, Asm().Set("s", "a,b,,c"), "s", {{"split", {","}, "a,b,,c"}, {"split", {",", 2}, "a,b"}});
  RunMethods(7, Asm().Set("s", "h\xC3\xA9llo W"), "s",
             {{"charCodeAt", {1}, "233"}, {"substr", {1, 2}, "\xC3\xA9l"}, {"toLowerCase", {}, "h\xC3\xA9llo w"}});
  Harness h(7);
  Asm a;
  a.Set("s", "h\xC3\xA9llo").Get("s").Push({"length"}).Op(op::GetMember).TraceTop();
  a.CallOn("String", "fromCharCode", {72, 105}).TraceTop();
  a.Set("t", "abc").CallOn("t", "split", {""}).Store("parts").CallOn("parts", "join", {"|"}).TraceTop();
  a.New("String", {"boxed"}).Store("b").Get("b").Push({"length"}).Op(op::GetMember).TraceTop();
  EXPECT_EQ(h.Run(a), "5|Hi|a|b|c|5");
}

TEST(Avm1Objects, ArrayMethods) {
  // a = [1, 2, 3] before each case; the case traces what it returns, then
  // the array.
  struct Case {
    const char* method;
    std::vector<PushItem> args;
    const char* traced;
  };
  const Case cases[] = {
      {"push", {4, 5}, "5|1,2,3,4,5"},
      {"pop", {}, "3|1,2"},
      {"shift", {}, "1|2,3"},
      {"unshift", {0}, "4|0,1,2,3"},
      {"join", {"-"}, "1-2-3|1,2,3"},
      {"slice", {1}, "2,3|1,2,3"},
      {"slice", {-2, -1}, "2|1,2,3"},
      {"splice", {1, 1, "x", "y"}, "2|1,x,y,3"},
      {"splice", {1}, "2,3|1"},
      {"reverse", {}, "3,2,1|3,2,1"},
      {"concat", {4, "five"}, "1,2,3,4,five|1,2,3"},
      {"toString", {}, "1,2,3|1,2,3"},
  };
  for (const Case& c : cases) {
    Harness h(7);
    Asm a;
    a.Push({3, 2, 1, 3}).Op(op::InitArray).Store("a");
    a.CallOn("a", c.method, c.args).TraceTop().Get("a").TraceTop();
    EXPECT_EQ(h.Run(a), c.traced) << c.method;
  }
  Harness h(7);
  Asm a;
  a.New("Array", {3}).Store("n").Get("n").Push({"length"}).Op(op::GetMember).TraceTop();
  a.Get("n").Push({"length", 1}).Op(op::SetMember).Get("n").Push({"length"}).Op(op::GetMember).TraceTop();
  a.Push({"x", "y", 2}).Op(op::InitArray).Store("m").Get("m").Push({5, "z"}).Op(op::SetMember);
  a.Get("m").Push({"length"}).Op(op::GetMember).TraceTop();
  EXPECT_EQ(h.Run(a), "3|1|6");
}

TEST(Avm1Objects, ArraySort) {
  struct Case {
    std::vector<PushItem> elements;  // in order
    std::vector<PushItem> args;
    const char* traced;
  };
  const Case cases[] = {
      {{"b", "a", "C"}, {}, "C,a,b"},
      {{"b", "a", "C"}, {1}, "a,b,C"},           // CASEINSENSITIVE
      {{10, 9, 100}, {}, "10,100,9"},            // as strings
      {{10, 9, 100}, {16}, "9,10,100"},          // NUMERIC
      {{10, 9, 100}, {18}, "100,10,9"},          // NUMERIC | DESCENDING
      {{30, 10, 20}, {24}, "1,2,0"},             // NUMERIC | RETURNINDEXEDARRAY
      {{2, 1, 2}, {20}, "0"},                    // NUMERIC | UNIQUESORT with a tie
      {{"b", "c", "a"}, {2}, "c,b,a"},           // DESCENDING
  };
  for (const Case& c : cases) {
    Harness h(7);
    Asm a;
    std::vector<PushItem> pushed(c.elements.rbegin(), c.elements.rend());
    pushed.push_back(static_cast<int>(c.elements.size()));
    a.Push(pushed).Op(op::InitArray).Store("a").CallOn("a", "sort", c.args).TraceTop();
    EXPECT_EQ(h.Run(a), c.traced);
  }
  // A compare function: descending by b - a, and the sort keeps going with
  // one that answers at random.
  Harness h(7);
  Asm a;
  a.Push({5, 1, 4, 3}).Op(op::InitArray).Store("a");
  a.Function2("", 3, 0, {{1, "x"}, {2, "y"}}, Asm().Push({Reg{2}, Reg{1}}).Op(op::Subtract).Op(op::Return)).Store("f");
  a.Get("f").Push({1}).Get("a").Push({"sort"}).Op(op::CallMethod).TraceTop();
  a.Function("", {}, Asm().Push({3}).Op(op::RandomNumber).Push({1}).Op(op::Subtract).Op(op::Return)).Store("r");
  a.Get("r").Push({1}).Get("a").Push({"sort"}).Op(op::CallMethod).Push({"length"}).Op(op::GetMember).TraceTop();
  EXPECT_EQ(h.Run(a), "5,4,1|3");
}

TEST(Avm1Objects, BitmapDataBoundsAndHitThresholds) {
  Harness h(8);
  Asm a;
  const auto cls = [&](const char* package, const char* name, const char* as) {
    a.Get("flash").Push({package}).Op(op::GetMember).Push({name}).Op(op::GetMember).Store(as);
  };
  cls("display", "BitmapData", "BD");
  cls("geom", "Point", "P");
  const double white = 4294967295.0, green = 4278255360.0;
  const auto bounds = [&] { a.CallOn("b", "getColorBoundsRect", {white, white, false}).TraceTop(); };
  a.New("BD", {3, 3, true, white}).Store("b");
  // A box that ends at (0, 0) is taken for nothing found.
  a.CallOn("b", "setPixel32", {0, 0, green}).Op(op::Pop);
  bounds();
  a.CallOn("b", "setPixel32", {1, 1, green}).Op(op::Pop);
  bounds();
  a.CallOn("b", "setPixel32", {0, 0, white}).Op(op::Pop);
  bounds();
  // hitTest(point, threshold, point) on alpha 0xAA: a negative threshold
  // is below every alpha.
  a.New("P", {1, 1}).Store("pt").New("BD", {3, 3, true, 2864434397.0}).Store("t");
  for (int threshold : {-1, 170, 171})
    a.Get("pt").Push({threshold}).Get("pt").Push({3}).Get("t").Push({"hitTest"}).Op(op::CallMethod).TraceTop();
  // copyPixels merging alpha drops what is left of the destination's
  // share: 13 + 13 * 15 / 255 stays 13.
  a.New("BD", {1, 1, false, 4279045389.0}).Store("o").New("BD", {1, 1, true, 4027452942.0}).Store("s");
  a.New("P", {0, 0}).Store("p0");
  a.Push({true, avm1::test::Null{}, avm1::test::Null{}}).Get("p0").Get("s.rectangle").Get("s").Push({6}).Get("o");
  a.Push({"copyPixels"}).Op(op::CallMethod).Op(op::Pop).CallOn("o", "getPixel32", {0, 0}).TraceTop();
  // fillRect with a rectangle of negative size fills back from its corner:
  // (15, 15) less 8 each way is 7..9 of a 10 x 10 bitmap.
  cls("geom", "Rectangle", "R");
  a.New("BD", {10, 10, false, 0}).Store("f").New("R", {15, 15, -8, -8}).Store("r");
  a.Push({255}).Get("r").Push({2}).Get("f").Push({"fillRect"}).Op(op::CallMethod).Op(op::Pop);
  for (int at : {6, 7, 9}) a.CallOn("f", "getPixel", {at, at}).TraceTop();
  // Copied onto an opaque bitmap, half-clear red shows over its blue, not
  // over black. An alpha bitmap copies only the pixels it covers, and one
  // without alpha of its own is as none.
  a.New("BD", {1, 1, false, 4278190335.0}).Store("o2").New("BD", {2, 1, true, 2164195328.0}).Store("red");
  a.Get("p0").Get("red.rectangle").Get("red").Push({3}).Get("o2").Push({"copyPixels"}).Op(op::CallMethod).Op(op::Pop);
  a.CallOn("o2", "getPixel32", {0, 0}).TraceTop();
  for (const bool ownAlpha : {true, false}) {
    a.New("BD", {2, 1, true, 4278255360.0}).Store("g").New("BD", {1, 1, ownAlpha, 4278190080.0}).Store("al");
    a.Push({false}).Get("p0").Get("al").Get("p0").Get("red.rectangle").Get("red").Push({6}).Get("g");
    a.Push({"copyPixels"}).Op(op::CallMethod).Op(op::Pop).CallOn("g", "getPixel32", {1, 0}).TraceTop();
  }
  EXPECT_EQ(h.Run(a), "(x=0, y=0, w=0, h=0)|(x=0, y=0, w=2, h=2)|(x=1, y=1, w=1, h=1)|true|true|false|-15921907|0|255|255|"
                      "-8388481|-16711936|-2130771968");
}

TEST(Avm1Objects, ConvolutionFilterPropertiesSitInItsNativeTable) {
  Harness h(8);
  Asm a;
  a.Get("flash").Push({"filters"}).Op(op::GetMember).Push({"ConvolutionFilter"}).Op(op::GetMember).Store("CF");
  a.New("CF").Store("f");
  // alpha is the ninth accessor from index 1: its getter is 17, setter 18.
  a.Get("f").Push({"getAlpha"}).Call("ASnative", {1109, 17}).Op(op::SetMember);
  a.Get("f").Push({"setAlpha"}).Call("ASnative", {1109, 18}).Op(op::SetMember);
  a.CallOn("f", "setAlpha", {0.2}).Op(op::Pop).Get("f.alpha").TraceTop();
  a.Push({"f.alpha", 0.6}).Op(op::SetVariable).CallOn("f", "getAlpha").TraceTop();
  a.Call("ASnative", {1109, 19}).Op(op::TypeOf).TraceTop();
  EXPECT_EQ(h.Run(a), "0.2|0.6|undefined");
}

TEST(Avm1Objects, ObjectAndFunction) {
  Harness h(7);
  Asm a;
  a.Push({"k", 1, 1}).Op(op::InitObject).Store("o");
  a.CallOn("o", "hasOwnProperty", {"k"}).TraceTop().CallOn("o", "hasOwnProperty", {"toString"}).TraceTop();
  a.CallOn("o", "toString").TraceTop();
  // f.call(thisObject, 2) and f.apply(thisObject, [3]) with f returning this.k + arg.
  a.Function("f", {"n"}, Asm().Get("this").Push({"k"}).Op(op::GetMember).Get("n").Op(op::Add2).Op(op::Return));
  a.Push({2}).Get("o").Push({2}).Get("f").Push({"call"}).Op(op::CallMethod).TraceTop();
  a.Push({3, 1}).Op(op::InitArray).Get("o").Push({2}).Get("f").Push({"apply"}).Op(op::CallMethod).TraceTop();
  // addProperty: a getter and a setter.
  a.Function("getter", {}, Asm().Push({42}).Op(op::Return));
  a.Function("setter", {"v"}, Asm().Push({"seen"}).Get("v").Op(op::SetVariable));
  a.Get("setter").Get("getter").Push({"p", 3}).Get("o").Push({"addProperty"}).Op(op::CallMethod).Op(op::Pop);
  a.Get("o").Push({"p"}).Op(op::GetMember).TraceTop();
  a.Get("o").Push({"p", 7}).Op(op::SetMember).Get("seen").TraceTop();
  // new Number / Boolean / String and their values.
  a.New("Number", {255}).Store("num").CallOn("num", "toString", {16}).TraceTop();
  a.Call("Number", {"12"}).TraceTop().Call("String", {12}).TraceTop().Call("Boolean", {"x"}).TraceTop();
  EXPECT_EQ(h.Run(a), "true|false|[object Object]|3|4|42|7|ff|12|12|true");
}

}  // namespace
}  // namespace dc::swf::avm1::test

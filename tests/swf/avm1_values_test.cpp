// Conversions and operators of ActionScript 1 and 2 by SWF version, as the
// ActionScript reference gives them, run through the interpreter.
#include <gtest/gtest.h>

#include <cmath>

#include "testkit/avm1_harness.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1::test {
namespace {

struct OpCase {
  int version;
  std::vector<PushItem> push;
  std::vector<std::uint8_t> ops;
  const char* traced;
};

void RunCases(const std::vector<OpCase>& cases) {
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const OpCase& c = cases[i];
    Harness h(c.version);
    Asm a;
    a.Push(c.push);
    for (std::uint8_t o : c.ops) a.Op(o);
    a.Op(op::Trace);
    EXPECT_EQ(h.Run(a), c.traced) << "case " << i << " (SWF " << c.version << ")";
  }
}

TEST(Avm1Values, ConversionsByVersion) {
  RunCases({
      // undefined in string and number context: "" and 0 before SWF 7.
      {6, {"", Undef{}}, {op::Add2}, ""},
      {7, {"", Undef{}}, {op::Add2}, "undefined"},
      {6, {Undef{}}, {op::ToNumber}, "0"},
      {7, {Undef{}}, {op::ToNumber}, "NaN"},
      {6, {Undef{}, 1}, {op::Add2}, "1"},
      {7, {Undef{}, 1}, {op::Add2}, "NaN"},
      {5, {"", Null{}}, {op::Add2}, "null"},
      // Strings in number context.
      {6, {"0x1A"}, {op::ToNumber}, "26"},
      {7, {"0x-10"}, {op::ToNumber}, "-16"},
      {7, {"-0x10"}, {op::ToNumber}, "NaN"},
      {6, {"010"}, {op::ToNumber}, "8"},
      {5, {"0x10"}, {op::ToNumber}, "NaN"},
      {7, {"  12"}, {op::ToNumber}, "12"},
      {7, {"12abc"}, {op::ToNumber}, "NaN"},
      {7, {"3.5e2"}, {op::ToNumber}, "350"},
      {5, {".5"}, {op::ToNumber}, "0.5"},
      {7, {"abc"}, {op::ToNumber}, "NaN"},
      // Booleans.
      {7, {true, 1}, {op::Add2}, "2"},
      {7, {"", true}, {op::Add2}, "true"},
      // A string's truth: a nonzero number before SWF 7, not empty from 7.
      {6, {"abc"}, {op::Not}, "true"},
      {7, {"abc"}, {op::Not}, "false"},
      {6, {"2"}, {op::Not}, "false"},
      {7, {""}, {op::Not}, "true"},
      // Numbers as strings.
      {7, {"", 1e21}, {op::Add2}, "1e+21"},
      {7, {"", 1.5e-7}, {op::Add2}, "1.5e-7"},
      {7, {"", 100.0}, {op::Add2}, "100"},
      {7, {"", -0.0}, {op::Add2}, "0"},
      {7, {"", 0.1, 0.2}, {op::Add2, op::Add2}, "0.3"},
      {7, {"", 1.0, 3.0}, {op::Divide, op::Add2}, "0.333333333333333"},
      {7, {"", 123456789012345680000.0}, {op::Add2}, "1.23456789012346e+20"},
      {7, {"", 1.0, 0.0}, {op::Divide, op::Add2}, "Infinity"},
      {7, {"", -1.0, 0.0}, {op::Divide, op::Add2}, "-Infinity"},
      {7, {"", 0.0, 0.0}, {op::Divide, op::Add2}, "NaN"},
      {7, {"", Float{0.5f}}, {op::Add2}, "0.5"},
  });
}

TEST(Avm1Values, Operators) {
  RunCases({
      // Add (SWF 4) is numeric; Add2 joins when either side is a string.
      {5, {"2", "3"}, {op::Add}, "5"},
      {5, {"2", 3}, {op::Add2}, "23"},
      {5, {2, 3}, {op::Add2}, "5"},
      {4, {1, 0}, {op::Divide}, "#ERROR#"},
      // Equals2's abstract equality; StrictEquals.
      {7, {Null{}, Undef{}}, {op::Equals2}, "true"},
      {7, {"1", 1}, {op::Equals2}, "true"},
      {7, {true, 1}, {op::Equals2}, "true"},
      {7, {Null{}, 0}, {op::Equals2}, "false"},
      // NaN equals NaN, but not a string that reads as NaN.
      {7, {0.0, 0.0, 0.0}, {op::Divide, op::PushDuplicate, op::Equals2}, "true"},
      {7, {"x", 0.0, 0.0}, {op::Divide, op::Equals2}, "false"},
      {7, {"1", 1}, {op::StrictEquals}, "false"},
      {7, {"a", "a"}, {op::StrictEquals}, "true"},
      // Less2: strings by character codes, numbers otherwise, NaN undefined.
      {7, {"10", "9"}, {op::Less2}, "true"},
      {7, {10, "9"}, {op::Less2}, "false"},
      {7, {"a", 1}, {op::Less2}, "undefined"},
      {7, {"b", "a"}, {op::Greater}, "true"},
      {5, {"abc", "abd"}, {op::StringLess}, "true"},
      {6, {"abd", "abc"}, {op::StringGreater}, "true"},
      {4, {2, 1}, {op::Less}, "0"},
      {5, {1, 2}, {op::Less}, "true"},
      // Modulo keeps the dividend's sign.
      {7, {-7, 3}, {op::Modulo}, "-1"},
      {7, {7, -3}, {op::Modulo}, "1"},
      {7, {5.5, 2}, {op::Modulo}, "1.5"},
      // Bit operations on 32-bit integers.
      // >>> gives a signed result up to SWF 8.
      {8, {-1, 0}, {op::BitURShift}, "-1"},
      {9, {-1, 0}, {op::BitURShift}, "4294967295"},
      {7, {1, 31}, {op::BitLShift}, "-2147483648"},
      {7, {4294967295.0, 0}, {op::BitOr}, "-1"},
      {7, {5, 3}, {op::BitAnd}, "1"},
      {7, {5, 3}, {op::BitXor}, "6"},
      {7, {-8, 1}, {op::BitRShift}, "-4"},
      {7, {1, 33}, {op::BitLShift}, "2"},
      // int() truncates toward zero.
      {5, {-2.7}, {op::ToInteger}, "-2"},
      {5, {3.9}, {op::ToInteger}, "3"},
      {7, {1}, {op::Increment}, "2"},
      {7, {"5"}, {op::Decrement}, "4"},
  });
}

TEST(Avm1Values, TypeOf) {
  Harness h(7);
  Asm a;
  a.Push({Undef{}}).Ops({op::TypeOf, op::Trace});
  a.Push({Null{}}).Ops({op::TypeOf, op::Trace});
  a.Push({true}).Ops({op::TypeOf, op::Trace});
  a.Push({1}).Ops({op::TypeOf, op::Trace});
  a.Push({"s"}).Ops({op::TypeOf, op::Trace});
  a.Push({0}).Ops({op::InitObject, op::TypeOf, op::Trace});
  a.Function("", {}, Asm()).Ops({op::TypeOf, op::Trace});
  a.Get("_root").Ops({op::TypeOf, op::Trace});
  EXPECT_EQ(h.Run(a), "undefined|null|boolean|number|string|object|function|movieclip");
}

TEST(Avm1Values, NamesFoldCaseBeforeSwf7) {
  for (const auto& [version, traced] : {std::pair{6, "1"}, std::pair{7, "undefined"}}) {
    Harness h(version);
    EXPECT_EQ(h.Run(Asm().Set("Foo", 1).Get("foo").TraceTop()), traced) << version;
  }
}

TEST(Avm1Values, StringActions) {
  RunCases({
      {6, {"h\xC3\xA9llo"}, {op::MBStringLength}, "5"},
      {6, {"abcdef", 2, 3}, {op::StringExtract}, "bcd"},
      {6, {"abcdef", 0, -1}, {op::StringExtract}, "abcdef"},
      {6, {"A"}, {op::CharToAscii}, "65"},
      {6, {"\xC3\xA9"}, {op::MBCharToAscii}, "233"},
      {6, {97}, {op::AsciiToChar}, "a"},
      {6, {"ab", "cd"}, {op::StringAdd}, "abcd"},
      {6, {"ab", "ab"}, {op::StringEquals}, "true"},
  });
}

struct ParseCase {
  const char* text;
  int radix;  // 0: none
  double expected;
};

TEST(Avm1Values, ParseIntAndParseFloat) {
  const double nan = std::nan("");
  const ParseCase ints[] = {
      {"0x3F8", 0, 1016}, {"3E8", 16, 1000}, {"1010", 2, 10}, {"777", 8, 511}, {"0777", 0, 511},
      {"  42px", 0, 42},  {"-12", 0, -12},   {"abc", 0, nan},  {"12", 1, nan},  {"z", 36, 35},
      {"0x1A", 16, 26},   {"9", 8, nan},
  };
  for (const ParseCase& c : ints) {
    const double got = ParseInt(c.text, c.radix ? std::optional<int>(c.radix) : std::nullopt);
    if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(got)) << c.text << " got " << got;
    else EXPECT_EQ(got, c.expected) << c.text << " radix " << c.radix;
  }
  const ParseCase floats[] = {
      {"3.5abc", 0, 3.5}, {"-.5", 0, -0.5}, {"1e3x", 0, 1000}, {"abc", 0, nan}, {"  2.25", 0, 2.25}, {"1e", 0, 1},
  };
  for (const ParseCase& c : floats) {
    const double got = ParseFloat(c.text);
    if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(got)) << c.text << " got " << got;
    else EXPECT_EQ(got, c.expected) << c.text;
  }
  // The same through the script's globals.
  Harness h(7);
  EXPECT_EQ(h.Run(Asm().Call("parseInt", {"ff", 16}).TraceTop().Call("parseFloat", {"2.5e1"}).TraceTop()
                       .Call("isNaN", {"x"}).TraceTop().Call("isFinite", {1}).TraceTop()),
            "255|25|true|true");
}

TEST(Avm1Values, NumberToStringRadix) {
  const std::tuple<double, int, const char*> cases[] = {
      {255, 16, "ff"}, {255, 2, "11111111"}, {-255, 16, "-ff"}, {16777215, 10, "16777215"}, {35, 36, "z"}, {0, 16, "0"},
  };
  for (const auto& [n, radix, text] : cases) EXPECT_EQ(NumberToStringRadix(n, radix), text) << n << " in " << radix;
}

TEST(Avm1Values, EscapeAndUnescape) {
  Harness h(7);
  EXPECT_EQ(h.Run(Asm().Call("escape", {"Hello{[World]}"}).TraceTop().Call("unescape", {"a%20b%2"}).TraceTop()),
            "Hello%7B%5BWorld%5D%7D|a b%2");
}

}  // namespace
}  // namespace dc::swf::avm1::test

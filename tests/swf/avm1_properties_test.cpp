// The object model where scripts can make it expensive or strange: the
// property map under many properties and deletions, for-in charged to the
// budget, a looping prototype chain, watchers, version flags, and script
// classes that extend built-in ones.
#include <gtest/gtest.h>

#include <string>

#include "testkit/avm1_harness.h"
#include "swf/avm1/property_map.h"

namespace dc::swf::avm1::test {
namespace {

std::string Names(PropertyMap& map) {
  std::string out;
  for (const Property& p : map) out += (out.empty() ? "" : ",") + p.name;
  return out;
}

TEST(Avm1Properties, MapKeepsOrderThroughDeletionsAndFindsByFoldedName) {
  PropertyMap map;
  for (int i = 0; i < 40; ++i) map.Add("P" + std::to_string(i), Value::Number(i), false);
  // Every name but multiples of ten goes: the gaps close, the order stays.
  for (int i = 0; i < 40; ++i) {
    if (i % 10 == 0) continue;
    EXPECT_TRUE(map.Remove("p" + std::to_string(i), false)) << i;
  }
  EXPECT_EQ(Names(map), "P0,P10,P20,P30");
  EXPECT_EQ(map.Count(), 4u);
  ASSERT_NE(map.Find("p20", false), nullptr);
  EXPECT_EQ(map.Find("p20", false)->value.n, 20);
  EXPECT_EQ(map.Find("P21", false), nullptr);
  EXPECT_FALSE(map.Remove("P21", false));
  // A name made again is another property: what held the old one's id
  // does not find it.
  const std::uint32_t old = map.Find("P10", false)->id;
  map.Remove("P10", false);
  map.Add("P10", Value::Number(1), false);
  EXPECT_EQ(map.FindById("P10", old, false), nullptr);
  EXPECT_EQ(Names(map), "P0,P20,P30,P10");
}

TEST(Avm1Properties, MapFindsByEitherCaseRuleWhateverRuleMadeIt) {
  for (const int count : {4, 40}) {  // a list searched, and one hashed
    PropertyMap map;
    for (int i = 0; i < count; ++i) map.Add("Name" + std::to_string(i), Value::Number(i), true);
    ASSERT_NE(map.Find("name3", false), nullptr) << count;
    EXPECT_EQ(map.Find("name3", false)->value.n, 3) << count;
    EXPECT_EQ(map.Find("name3", true), nullptr) << count;
    EXPECT_NE(map.Find("Name3", true), nullptr) << count;
  }
}

TEST(Avm1Properties, MapStaysSmallUnderAddAndDeleteOfOneName) {
  PropertyMap map;
  for (int i = 0; i < 20; ++i) map.Add("keep" + std::to_string(i), Value(), true);
  const std::size_t before = map.Bytes();
  for (int i = 0; i < 20000; ++i) {
    map.Add("tmp", Value::Number(i), true);
    map.Remove("tmp", true);
  }
  EXPECT_EQ(map.Count(), 20u);
  EXPECT_LE(map.Bytes(), before + 2 * sizeof(Property));
}

TEST(Avm1Properties, EnumeratingCountsEachPropertyAgainstTheBudget) {
  Harness h(7);
  // for (i = 0; i < 16000; i++) o["k" + i] = i;
  Asm make;
  make.Push({0}).Op(op::InitObject).Store("o").Set("i", 0);
  make.Label("top").Get("i").Push({16000}).Op(op::Less2).Op(op::Not).If("done");
  make.Get("o").Push({"k"}).Get("i").Op(op::Add2).Get("i").Op(op::SetMember);
  make.Get("i").Op(op::Increment).Store("i").Jump("top").Label("done");
  h.Run(make);
  ASSERT_FALSE(h.engine->Stats().frameStopped);
  // A frame of a few actions that lists them pays kWorkPerPropertyListed
  // actions each (and each of Object.prototype's dozen hidden ones).
  h.Run(Asm().Get("o").Op(op::Enumerate2));
  EXPECT_GE(h.engine->Stats().actionsThisFrame, 16000u * kWorkPerPropertyListed);
  EXPECT_LT(h.engine->Stats().actionsThisFrame, 16016u * kWorkPerPropertyListed);
}

TEST(Avm1Properties, PrototypeLoopStopsTheFrameNotTheMovie) {
  Harness h(7);
  Asm a;
  a.Push({0}).Op(op::InitObject).Store("o");
  a.Get("o").Push({"__proto__"}).Get("o").Op(op::SetMember);
  a.Get("o").Push({"missing"}).Op(op::GetMember).Push({"not reached"}).TraceTop();
  EXPECT_EQ(h.Run(a), "");
  EXPECT_TRUE(h.engine->Stats().frameStopped);
  EXPECT_EQ(h.warnings.size(), 1u);
  EXPECT_EQ(h.Run(Asm().Push({"next frame"}).TraceTop()), "next frame");
}

TEST(Avm1Properties, WatchersOnObjectsAndTimelineVariables) {
  Harness h(7);
  Asm a;
  // The watcher sees name, old value, new value and its data; what it
  // returns is set.
  a.Function("w", {"name", "old", "now", "data"},
             Asm()
                 .Get("name").Push({":"}).Op(op::Add2).Get("old").Op(op::Add2).Push({">"}).Op(op::Add2)
                 .Get("now").Op(op::Add2).Push({" "}).Op(op::Add2).Get("data").Op(op::Add2).TraceTop()
                 .Get("now").Push({10}).Op(op::Multiply).Op(op::Return));
  // object.watch(name, w, data), the result left on the stack.
  const auto watch = [&](const char* object, const char* name, std::vector<PushItem> data) {
    a.Push(data).Get("w").Push({name, static_cast<int>(data.size()) + 2}).Get(object);
    a.Push({"watch"}).Op(op::CallMethod);
  };
  a.Push({0}).Op(op::InitObject).Store("o").Get("o").Push({"x", 1}).Op(op::SetMember);
  watch("o", "x", {"tag"});
  a.TraceTop();
  a.Get("o").Push({"x", 2}).Op(op::SetMember).Get("o").Push({"x"}).Op(op::GetMember).TraceTop();
  a.CallOn("o", "unwatch", {"x"}).TraceTop().CallOn("o", "unwatch", {"x"}).TraceTop();
  a.Get("o").Push({"x", 3}).Op(op::SetMember).Get("o").Push({"x"}).Op(op::GetMember).TraceTop();
  // A timeline variable set by name is watched on its clip.
  a.Set("hour", 4);
  watch("this", "hour", {});
  a.Op(op::Pop).Set("hour", 5).Get("hour").TraceTop();
  // No function, no watcher.
  a.CallOn("o", "watch", {"y", 7}).TraceTop();
  EXPECT_EQ(h.Run(a), "true|x:1>2 tag|20|true|false|3|hour:4>5 undefined|50|false");
}

TEST(Avm1Properties, VersionBitsHideFromOlderMovies) {
  // ASSetPropFlags(o, "p", bit): which movies still see o.p.
  struct Case {
    int bit;
    int firstVersion;
  };
  const Case cases[] = {{0x80, 6}, {0x100, 7}, {0x400, 7}, {0x1000, 8}, {0x2000, 9}, {0x4000, 10}, {0x200, 5}};
  for (const Case& c : cases) {
    for (int version = 5; version <= 10; ++version) {
      Harness h(version);
      Asm a;
      a.Push({"p", 1, 1}).Op(op::InitObject).Store("o");
      a.Push({c.bit, "p"}).Get("o").Push({3, "ASSetPropFlags"}).Op(op::CallFunction).Op(op::Pop);
      a.Get("o").Push({"p"}).Op(op::GetMember).Op(op::TypeOf).TraceTop();
      EXPECT_EQ(h.Run(a), version >= c.firstVersion ? "number" : "undefined") << "bit " << c.bit << " in SWF " << version;
    }
  }
}

TEST(Avm1Properties, ScriptClassesExtendingBuiltInsGetRealInstances) {
  Harness h(7);
  Asm a;
  // function List() { super(1, 2, 3); }  List extends Array
  a.Function("List", {}, Asm().Push({3, 2, 1, 3, "super"}).Op(op::CallFunction).Op(op::Pop));
  a.Get("List").Get("Array").Op(op::Extends);
  a.New("List").Store("l");
  a.Get("l").Push({"length"}).Op(op::GetMember).TraceTop();
  a.Get("l").Push({5, "x"}).Op(op::SetMember).Get("l").Push({"length"}).Op(op::GetMember).TraceTop();
  a.Get("l").Push({1}).Op(op::GetMember).TraceTop();
  a.Get("l").Get("Array").Op(op::InstanceOf).TraceTop();
  // function Doc(text) { super(text); }  Doc extends XML
  a.Function("Doc", {"text"}, Asm().Get("text").Push({1, "super"}).Op(op::CallFunction).Op(op::Pop));
  a.Get("Doc").Get("XML").Op(op::Extends);
  a.New("Doc", {"<clock><hand/></clock>"}).Store("d");
  a.Get("d").Push({"firstChild"}).Op(op::GetMember).Push({"nodeName"}).Op(op::GetMember).TraceTop();
  // function Moment() { super(0); }  Moment extends Date
  a.Function("Moment", {}, Asm().Push({0, 1, "super"}).Op(op::CallFunction).Op(op::Pop));
  a.Get("Moment").Get("Date").Op(op::Extends);
  a.New("Moment").Store("m").CallOn("m", "getTime").TraceTop();
  EXPECT_EQ(h.Run(a), "3|6|2|true|clock|0");
}

}  // namespace
}  // namespace dc::swf::avm1::test

// Scripts on the real display objects, through a real Player: what a clip
// does once it is taken away, depths at the ends of the range and found by
// depth, property values that are no numbers, and classes linked to
// symbols.
#include <gtest/gtest.h>

#include <limits>

#include "testkit/avm1_assembler.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "testkit/swf_writer.h"

namespace dc::swf {
namespace {

using avm1::test::Asm;
namespace op = avm1::test::op;
using test::Bytes;
using test::Placed;

Bytes Square(std::uint16_t id) {
  return test::DefineShape(1, id, {0, 200, 0, 200}, {{FillStyle{FillKind::Solid, {255, 0, 0, 255}}}, {}},
                           {test::StyleChange{{{0, 0}}, std::nullopt, 1, std::nullopt, std::nullopt},
                            test::LineTo{200, 0}, test::LineTo{0, 200}, test::LineTo{-200, 0}, test::LineTo{0, -200}});
}

// Sprite 3 shows the square; sprite 2 is empty on its first frame and
// places sprite 3 as "inner" on its second. The root places sprite 2 as
// "a" and runs `script` on its first frame.
Bytes MovieWith(const Asm& script, int rootFrames = 1) {
  Bytes tags = test::Concat({Square(1), test::DefineSprite(3, 1, test::Concat({test::PlaceObjectTag(Placed(1, 1), 2, 6),
                                                                               test::ShowFrame()})),
                             test::DefineSprite(2, 2, test::Concat({test::ShowFrame(),
                                                                    test::PlaceObjectTag(Placed(1, 3, "inner"), 2, 6),
                                                                    test::ShowFrame()})),
                             test::PlaceObjectTag(Placed(1, 2, "a"), 2, 6), test::DoActionTag(*script.Bytes()),
                             test::ShowFrame()});
  for (int f = 1; f < rootFrames; ++f) tags = test::Concat({tags, test::ShowFrame()});
  test::Header header;
  header.frameCount = static_cast<std::uint16_t>(rootFrames);
  return test::Fws(header, tags);
}

std::string Play(const Bytes& movie, int frames) {
  std::string traced;
  PlayerOptions options;
  options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
  {
    Player player(std::make_shared<const Movie>(ReadMovie(movie)), options);
    for (int f = 1; f < frames; ++f) player.Advance();
  }
  return traced;
}

TEST(PlayerClip, AClipTakenAwayTakesNoNewChildren) {
  // The script still holds the clip it removed: sending it to the frame
  // that places a child, or making children in it, must leave it empty
  // (the children would be freed with it, unknown to the scripts).
  Asm script;
  script.CallOn("a", "swapDepths", {5}).Op(op::Pop).Get("a").Store("r");
  script.CallOn("a", "removeMovieClip").Op(op::Pop);
  script.CallOn("r", "gotoAndStop", {2}).Op(op::Pop);
  script.CallOn("r", "createEmptyMovieClip", {"made", 3}).TraceTop();
  script.CallOn("r", "attachMovie", {"x", "y", 4}).TraceTop();
  script.Get("r.inner").Op(op::TypeOf).TraceTop();
  script.Get("r._currentframe").TraceTop();  // nothing is at its path now
  EXPECT_EQ(Play(MovieWith(script, 2), 2), "undefined|undefined|undefined|undefined|");
}

TEST(PlayerClip, DepthsAtTheEndsOfTheRange) {
  struct Case {
    double depth;
    const char* after;  // getDepth() after swapDepths, from -16383
    bool made;          // createEmptyMovieClip at that depth
  };
  const Case cases[] = {
      {0, "0", true},
      {999.234, "999", true},
      {-1.123, "-1", true},
      {4294967297.1, "1", true},  // modulo 2^32
      {2130690044, "2130690044", true},
      {2130690045, "-16383", false},  // out of range: ignored
      {-16384, "-16384", true},
      {-16385, "-16383", false},
      {2147483647, "-16383", false},
      {-2147483648.0, "-16383", false},
      {1e300, "0", true},  // no number of 32 bits: 0
  };
  for (const Case& c : cases) {
    Asm script;
    script.CallOn("a", "swapDepths", {c.depth}).Op(op::Pop).CallOn("a", "getDepth").TraceTop();
    script.CallOn("this", "createEmptyMovieClip", {"m", c.depth}).Op(op::Pop).Get("m").Op(op::TypeOf).TraceTop();
    EXPECT_EQ(Play(MovieWith(script), 1), std::string(c.after) + "|" + (c.made ? "movieclip" : "undefined") + "|")
        << c.depth;
  }
}

TEST(PlayerClip, InstancesFoundByDepth) {
  Asm script;
  script.CallOn("this", "getInstanceAtDepth", {-16383}).TraceTop();
  script.CallOn("this", "getInstanceAtDepth", {-16000}).TraceTop();
  script.CallOn("a", "getInstanceAtDepth", {-16383}).TraceTop();  // nothing placed in "a" yet
  script.CallOn("_root", "getDepth").TraceTop();
  EXPECT_EQ(Play(MovieWith(script), 1), "_level0.a|undefined|undefined|-16384|");
}

TEST(PlayerClip, PropertyValuesThatAreNoNumbers) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* property;
    avm1::test::PushItem first, then;
    const char* after;
  };
  const Case cases[] = {
      {"_x", 3, avm1::test::Undef{}, "3"},
      {"_x", 3, avm1::test::Null{}, "3"},
      {"_x", 3, "abc", "3"},
      {"_x", 3, inf, "-107374182.4"},  // the lowest 32-bit twips
      {"_y", 3, -inf, "-107374182.4"},
      {"_xscale", 50, inf, "Infinity"},
      {"_yscale", 50, -inf, "-Infinity"},
      {"_rotation", 30, inf, "NaN"},
      {"_alpha", 50, inf, "0"},
      {"_alpha", 50, avm1::test::Null{}, "50"},
      {"_visible", 0, "abc", "false"},
      {"_visible", 0, inf, "true"},
      {"_visible", 1, avm1::test::Undef{}, "true"},
  };
  for (const Case& c : cases) {
    Asm script;
    script.Get("a").Push({c.property, c.first}).Op(op::SetMember);
    script.Get("a").Push({c.property, c.then}).Op(op::SetMember);
    script.Get("a").Push({c.property}).Op(op::GetMember).TraceTop();
    EXPECT_EQ(Play(MovieWith(script), 1), std::string(c.after) + "|") << c.property << " " << c.after;
  }
}

TEST(PlayerClip, SwappedClipsAreNoLongerMovedByTheTimeline) {
  // Frame 2 moves whatever is at depth 1; "a" was swapped away and back.
  Asm script;
  script.CallOn("a", "swapDepths", {5}).Op(op::Pop).CallOn("a", "swapDepths", {-16383}).Op(op::Pop);
  PlaceObject move;
  move.depth = 1;
  move.move = true;
  move.matrix = Matrix{1, 0, 0, 1, 400, 0};
  Asm read;
  read.Get("a._x").TraceTop();
  test::Header header;
  header.frameCount = 2;
  const Bytes movie = test::Fws(
      header, test::Concat({test::DefineSprite(2, 1, test::ShowFrame()), test::PlaceObjectTag(Placed(1, 2, "a"), 2, 6),
                            test::DoActionTag(*script.Bytes()), test::ShowFrame(), test::PlaceObjectTag(move, 2, 6),
                            test::DoActionTag(*read.Bytes()), test::ShowFrame()}));
  EXPECT_EQ(Play(movie, 2), "0|");
}

TEST(PlayerClip, AMirroredPlacementReadsAsATurnWithPositiveScales) {
  // Placed mirrored left to right: a half turn, both scales positive; a
  // scale set then keeps the mirror, the square still left of the origin.
  PlaceObject mirrored = Placed(1, 2, "a");
  mirrored.matrix = Matrix{-1, 0, 0, 1, 0, 0};
  Asm script;
  for (const char* p : {"_xscale", "_yscale", "_rotation"}) script.Get("a").Push({p}).Op(op::GetMember).TraceTop();
  script.Get("a").Push({"_yscale", 50}).Op(op::SetMember);
  script.Get("_root").Push({1}).Get("a").Push({"getBounds"}).Op(op::CallMethod).Store("b").Get("b.xMin").TraceTop().Get("b.yMax").TraceTop();
  const Bytes movie = test::Fws(
      test::Header{}, test::Concat({Square(1), test::DefineSprite(2, 1, test::Concat({test::PlaceObjectTag(Placed(1, 1), 2, 6),
                                                                                      test::ShowFrame()})),
                                    test::PlaceObjectTag(mirrored, 2, 6), test::DoActionTag(*script.Bytes()),
                                    test::ShowFrame()}));
  EXPECT_EQ(Play(movie, 1), "100|100|180|-10|5|");
}

TEST(PlayerClip, PointsMappedBetweenAClipAndTheRoot) {
  Asm script;
  script.Get("a").Push({"_x", 100}).Op(op::SetMember).Get("a").Push({"_xscale", 200}).Op(op::SetMember);
  script.Push({"x", 5, "y", 1, 2}).Op(op::InitObject).Store("p");
  script.CallOn("a", "localToGlobal", {"p"}).Op(op::Pop);  // a string: not a point, nothing happens
  script.Get("p").Push({"x"}).Op(op::GetMember).TraceTop();
  script.Get("p").Push({1, "a"}).Op(op::GetVariable).Push({"localToGlobal"}).Op(op::CallMethod).Op(op::Pop);
  script.Get("p.x").TraceTop().Get("p.y").TraceTop();
  script.Get("p").Push({1, "a"}).Op(op::GetVariable).Push({"globalToLocal"}).Op(op::CallMethod).Op(op::Pop);
  script.Get("p.x").TraceTop();
  EXPECT_EQ(Play(MovieWith(script), 1), "5|110|1|5|");
}

TEST(PlayerClip, RegisteredClassesMakeTheSymbolsClips) {
  // The constructor sees the init object's properties and the prototype;
  // a registration taken away makes plain clips again.
  Asm ctor;
  ctor.Push({"made "}).Get("this").Push({"p"}).Op(op::GetMember).Op(op::Add2);
  ctor.Push({" "}).Op(op::Add2).Get("this").Push({"q"}).Op(op::GetMember).Op(op::Add2).TraceTop();
  Asm script;
  script.Function("C", {}, ctor);
  script.Get("C").Push({"prototype"}).Op(op::GetMember).Push({"q", "proto"}).Op(op::SetMember);
  script.Get("C").Push({"sym", 2, "Object"}).Op(op::GetVariable).Push({"registerClass"}).Op(op::CallMethod).TraceTop();
  script.Push({"p", "init", 1}).Op(op::InitObject).Push({5, "m", "sym", 4}).Get("this");
  script.Push({"attachMovie"}).Op(op::CallMethod).Op(op::Pop);
  script.Get("m.q").TraceTop();
  script.Push({avm1::test::Null{}, "sym", 2, "Object"}).Op(op::GetVariable).Push({"registerClass"});
  script.Op(op::CallMethod).Op(op::Pop);
  script.CallOn("this", "attachMovie", {"sym", "n", 6}).Op(op::Pop);
  script.Get("n.q").TraceTop();
  const Bytes movie = test::Fws(
      test::Header{}, test::Concat({test::DefineSprite(2, 1, test::ShowFrame()), test::ExportAssets({{2, "sym"}}),
                                    test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
  EXPECT_EQ(Play(movie, 1), "true|made init proto|proto|undefined|");
}


// The display properties as scripts set and read them on a real clip (a
// 10 x 10 pixel square, "sq"): what one property does to the others.
TEST(PlayerClip, DisplayPropertiesActOnEachOther) {
  struct Set {
    const char* property;
    avm1::test::PushItem value;
  };
  struct Case {
    std::vector<Set> sets;
    const char* read;
    const char* traced;
  };
  const Case cases[] = {
      {{{"_xscale", 200}}, "_width", "20"},
      {{{"_width", 40}}, "_xscale", "400"},
      {{{"_height", 5}}, "_yscale", "50"},
      {{{"_xscale", -100}}, "_width", "10"},
      {{{"_xscale", 200}, {"_rotation", 90}}, "_height", "20"},
      {{{"_xscale", 200}, {"_rotation", 90}}, "_width", "10"},
      {{{"_rotation", 270}}, "_rotation", "-90"},
      // Turned a quarter, the size goes to the scale of its name and the
      // other scale takes what the other axis showed.
      {{{"_yscale", 300}, {"_rotation", 90}, {"_width", 15}}, "_yscale", "100"},
      {{{"_yscale", 300}, {"_rotation", 90}, {"_width", 15}}, "_height", "15"},
      {{{"_xscale", 300}, {"_rotation", -90}, {"_height", 5}}, "_xscale", "100"},
      {{{"_xscale", 300}, {"_rotation", -90}, {"_height", 5}}, "_yscale", "50"},
      {{{"_x", 12.5}, {"_y", -3}}, "_x", "12.5"},
      {{{"_x", 12.5}, {"_y", -3}}, "_y", "-3"},
      {{{"_alpha", 50}}, "_alpha", "50"},
      {{{"_visible", false}}, "_visible", "false"},
      {{{"_name", "b"}}, "_target", "/b"},
  };
  for (const Case& c : cases) {
    Asm script;
    for (const Set& set : c.sets) script.Get("sq").Push({set.property, set.value}).Op(op::SetMember);
    script.Push({"_level0"}).Op(op::GetVariable).Push({"sq"}).Op(op::GetMember);
    if (std::string_view(c.read) == "_target") script.Op(op::Pop).Get("b");
    script.Push({c.read}).Op(op::GetMember).TraceTop();
    const Bytes square =
        test::DefineSprite(3, 1, test::Concat({test::PlaceObjectTag(Placed(1, 1), 2, 6), test::ShowFrame()}));
    const Bytes movie =
        test::Fws(test::Header{}, test::Concat({Square(1), square, test::PlaceObjectTag(Placed(1, 3, "sq"), 2, 6),
                                                test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
    EXPECT_EQ(Play(movie, 1), std::string(c.traced) + "|") << c.sets.front().property << " then " << c.read;
  }
}


// A clip's or button's tab index is a signed 32-bit number, a field's an
// unsigned one; undefined takes it away.
TEST(PlayerClip, TabIndexIsCutTo32BitsAsEachKindKeepsIt) {
  struct Case {
    avm1::test::PushItem value;
    const char* clip;
    const char* field;
  };
  const Case cases[] = {
      {-4, "-4", "4294967292"},
      {2147483648.0, "-2147483648", "2147483648"},
      {"x", "-2147483648", "0"},
      {1.1, "1", "1"},
      {avm1::test::Undef{}, "undefined", "undefined"},
  };
  for (const Case& c : cases) {
    Asm script;
    script.CallOn("this", "createTextField", {"tf", 3, 0, 0, 100, 20}).Op(op::Pop);
    for (const char* target : {"a", "tf"}) {
      script.Get(target).Push({"tabIndex", c.value}).Op(op::SetMember);
      script.Get(target).Push({"tabIndex"}).Op(op::GetMember).TraceTop();
    }
    EXPECT_EQ(Play(MovieWith(script), 1), std::string(c.clip) + "|" + c.field + "|") << c.clip;
  }
}

// What Selection.setFocus gives the focus to, and what getFocus reads then.
TEST(PlayerClip, ScriptsGiveTheFocusToWhatCanTakeIt) {
  struct Case {
    const char* what;
    Asm setup;
    const char* target;
    const char* traced;
  };
  const Case cases[] = {
      {"a plain clip", Asm(), "a", "false|null|"},
      {"a clip whose focusEnabled is true", Asm().Get("a").Push({"focusEnabled", "yes"}).Op(op::SetMember), "a",
       "true|_level0.a|"},
      {"a clip that acts as a button",
       Asm().Get("a").Push({"onRelease"}).Function("", {}, Asm()).Op(op::SetMember), "a", "true|_level0.a|"},
      {"a field", Asm().CallOn("this", "createTextField", {"tf", 3, 0, 0, 100, 20}).Op(op::Pop), "tf",
       "true|_level0.tf|"},
  };
  for (const Case& c : cases) {
    Asm script = c.setup;
    script.Get(c.target).Push({1, "Selection"}).Op(op::GetVariable).Push({"setFocus"}).Op(op::CallMethod).TraceTop();
    script.CallOn("Selection", "getFocus").TraceTop();
    EXPECT_EQ(Play(MovieWith(script), 1), c.traced) << c.what;
  }
}

// Moving the focus tells the one that loses it and the one that takes it
// at once, and shows it on a clip as the pointer going over and out at the
// frame's end, each time the clip is given it.
TEST(PlayerClip, MovingTheFocusTellsBothHoldersThenShowsItOnTheClip) {
  const auto tracer = [](const char* text, const char* arg) {
    Asm body;
    body.Push({text});
    if (arg) body.Get(arg).Op(op::Add2);
    return Asm().Function("", arg ? std::vector<std::string>{arg} : std::vector<std::string>{}, body.TraceTop());
  };
  Asm script;
  script.CallOn("this", "createTextField", {"tf", 3, 0, 0, 100, 20}).Op(op::Pop);
  script.Get("tf").Push({"onKillFocus"}).Append(tracer("tf kill ", "n")).Op(op::SetMember);
  script.Get("a").Push({"onSetFocus"}).Append(tracer("a set ", "o")).Op(op::SetMember);
  script.Get("a").Push({"onKillFocus"}).Append(tracer("a kill ", "n")).Op(op::SetMember);
  script.Get("a").Push({"onRollOver"}).Append(tracer("a over", nullptr)).Op(op::SetMember);
  script.Get("a").Push({"onRollOut"}).Append(tracer("a out", nullptr)).Op(op::SetMember);
  for (const char* target : std::initializer_list<const char*>{"tf", "a", "a", nullptr}) {
    if (target) script.Get(target);
    else script.Push({avm1::test::Null{}});
    script.Push({1, "Selection"}).Op(op::GetVariable).Push({"setFocus"}).Op(op::CallMethod).Op(op::Pop);
  }
  script.Push({"end"}).TraceTop();
  EXPECT_EQ(Play(MovieWith(script), 1),
            "tf kill _level0.a|a set _level0.tf|a kill null|end|a over|a out|a over|a out|");
}

// replaceSel puts its text where the field's selection is and the caret
// after it; the focus selects all the text; Selection's indices are the
// focused field's.
TEST(PlayerClip, AFieldsSelectionIsWhereReplaceSelWrites) {
  const auto focus = [] { return Asm().CallOn("Selection", "setFocus", {"tf"}).Op(op::Pop); };
  const auto replace = [](const char* text) { return Asm().CallOn("tf", "replaceSel", {text}).Op(op::Pop); };
  struct Case {
    const char* what;
    Asm steps;
    const char* traced;
  };
  const Case cases[] = {
      {"never selected", replace("|"), "|abcd|-1|"},
      {"twice, the caret after the first", Asm(replace("|")).Append(replace("-")), "|-abcd|-1|"},
      {"focused", Asm(focus()).Append(replace("|")), "||1|"},
      {"a range set",
       Asm(focus()).CallOn("Selection", "setSelection", {3, 1}).Op(op::Pop).Append(replace("XY")), "aXYd|3|"},
  };
  for (const Case& c : cases) {
    Asm script;
    script.CallOn("this", "createTextField", {"tf", 3, 0, 0, 100, 20}).Op(op::Pop);
    script.Get("tf").Push({"text", "abcd"}).Op(op::SetMember);
    script.Append(c.steps).Get("tf.text").TraceTop().CallOn("Selection", "getCaretIndex").TraceTop();
    EXPECT_EQ(Play(MovieWith(script), 1), c.traced) << c.what;
  }
}

// A clip a script makes empty is on frame 0 until the movie next steps.
TEST(PlayerClip, AnEmptyClipIsOnFrameZeroUntilTheNextFrame) {
  Asm first, second;
  first.CallOn("this", "createEmptyMovieClip", {"e", 4}).Op(op::Pop).Get("e._currentframe").TraceTop();
  second.Get("e._currentframe").TraceTop();
  test::Header header;
  header.frameCount = 2;
  const Bytes movie = test::Fws(header, test::Concat({test::DoActionTag(*first.Bytes()), test::ShowFrame(),
                                                      test::DoActionTag(*second.Bytes()), test::ShowFrame()}));
  EXPECT_EQ(Play(movie, 2), "0|1|");
}

// What a clip made empty reads before anything is in it; "a" is the
// movie's own, also empty on its first frame.
TEST(PlayerClip, AnEmptyClipsBoundsBytesAndLockRoot) {
  Asm a;
  a.CallOn("this", "createEmptyMovieClip", {"e", 4}).Op(op::Pop);
  for (const char* space : {"e", "_root"})
    a.Get(space).Push({1}).Get("e").Push({"getBounds"}).Op(op::CallMethod).Store("r").Get("r.xMin").TraceTop()
        .Get("r.yMax").TraceTop();
  a.CallOn("e", "getBytesLoaded").TraceTop().CallOn("e", "getBytesTotal").TraceTop().CallOn("a", "getBytesTotal")
      .TraceTop().Get("e._lockroot").TraceTop().Push({"e._lockroot", 1}).Op(op::SetVariable).Get("e._lockroot")
      .TraceTop();
  EXPECT_EQ(Play(MovieWith(a), 1), "6710886.35|6710886.35|6710886.4|6710886.4|0|0|1|false|true|");
}

// Clips made and taken away are charged to the frame's budget by the
// work they are, not as one action each.
EditText BoundField(const char* variable, bool html, const char* text) {
  EditText f;
  f.bounds = {0, 2000, 0, 400};
  f.height = 240;
  f.html = html;
  f.variableName = variable;
  f.initialText = text;
  return f;
}

TEST(PlayerClip, BoundFieldsReadTheirVariablesAsHtmlAndStartAgainWhenBoundAnew) {
  // Frame 1 sets the variable of the HTML field frame 2 places; the plain
  // field gives its own variable its text, then is bound to another.
  Asm first, second;
  first.Set("held", "<b>bold</b>");
  second.Get("f.text").TraceTop();
  second.Push({"g.text", "changed"}).Op(op::SetVariable).Get("plain").TraceTop();
  second.Push({"g.variable", "other"}).Op(op::SetVariable).Get("other").TraceTop().Get("g.text").TraceTop();
  test::Header header;
  header.frameCount = 2;
  const Bytes movie = test::Fws(
      header, test::Concat({test::DoActionTag(*first.Bytes()), test::ShowFrame(),
                            test::DefineEditText(5, BoundField("held", true, "")),
                            test::DefineEditText(6, BoundField("plain", false, "Hello")),
                            test::PlaceObjectTag(Placed(2, 5, "f"), 2, 8), test::PlaceObjectTag(Placed(3, 6, "g"), 2, 8),
                            test::DoActionTag(*second.Bytes()), test::ShowFrame()}));
  EXPECT_EQ(Play(movie, 2), "bold|changed|Hello|Hello|");
}

TEST(PlayerClip, MakingClipsSpendsTheFramesBudget) {
  struct Case {
    int clips;
    const char* traced;
  };
  const Case cases[] = {{100, "made|"}, {1000, ""}};
  for (const Case& c : cases) {
    // for (i = 0; i < clips; ++i) this.createEmptyMovieClip("c" + i, i); trace("made")
    Asm script;
    script.Set("i", 0).Label("top").Get("i").Push({c.clips}).Op(op::Less2).Op(op::Not).If("done");
    script.Get("i").Push({"c"}).Get("i").Op(op::Add2).Push({2}).Get("this");
    script.Push({"createEmptyMovieClip"}).Op(op::CallMethod);
    script.Op(op::Pop).Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable).Jump("top").Label("done");
    script.Push({"made"}).TraceTop();
    std::string traced;
    PlayerOptions options;
    options.scriptLimits.actionsPerFrame = 100 * (kWorkPerObjectMade + 64);
    options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
    Player player(std::make_shared<const Movie>(ReadMovie(MovieWith(script))), options);
    EXPECT_EQ(traced, c.traced) << c.clips;
    const std::vector<std::string> warnings = player.TakeWarnings();
    EXPECT_EQ(warnings.size(), c.traced[0] ? 0u : 1u) << c.clips;
    if (!warnings.empty()) {
      EXPECT_NE(warnings[0].find("actionsPerFrame"), std::string::npos) << warnings[0];
    }
  }
}

TEST(PlayerClip, ABudgetSpentWhileAClipIsReplacedLeavesTheTreeWhole) {
  // for (;;) this.createEmptyMovieClip("b", 9): each call replaces the
  // clip before, and the budget runs out inside a replacement, where
  // nothing may unwind: the clip taken away is told to the scripts and
  // counted out (else freed under their reference), and "b" is whole on
  // the next frame.
  Asm loop;
  loop.Label("top").CallOn("this", "createEmptyMovieClip", {"b", 9}).Op(op::Pop).Jump("top");
  Asm read;
  read.Get("b._name").TraceTop();
  Bytes tags = test::Concat({test::DoActionTag(*loop.Bytes()), test::ShowFrame(), test::DoActionTag(*read.Bytes()),
                             test::ShowFrame()});
  test::Header header;
  header.frameCount = 2;
  std::string traced;
  PlayerOptions options;
  options.scriptLimits.actionsPerFrame = 20 * kWorkPerObjectMade;
  options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
  Player player(std::make_shared<const Movie>(ReadMovie(test::Fws(header, tags))), options);
  EXPECT_EQ(player.Tree().LiveObjects(), 2u);  // the root and "b"
  for (int f = 0; f < 40; ++f) player.Advance();  // the scripts' memory is collected on the way
  EXPECT_EQ(player.Tree().LiveObjects(), 2u);
  EXPECT_EQ(traced.substr(0, 2), "b|");
}

TEST(PlayerClip, FieldsTextsCountAgainstTheScriptsMemory) {
  // s doubled `doublings` times from "x", then 40 fields each given s,
  // tracing how many took it.
  struct Case {
    int doublings;
    int mostFields;  // that the memory holds
  };
  constexpr std::uint64_t kMemory = 8u << 20;
  // 128 K characters held as UTF-8 and as 4-byte characters take 640 KB a
  // field: 12 fit at most. 1 K characters fit 40 times.
  const Case cases[] = {{17, static_cast<int>(kMemory / (5 << 17))}, {10, 40}};
  for (const Case& c : cases) {
    Asm script;
    script.Set("s", "x").Set("d", 0).Label("double").Push({"s"}).Get("s").Get("s").Op(op::Add2).Op(op::SetVariable);
    script.Push({"d"}).Get("d").Op(op::Increment).Op(op::SetVariable).Get("d").Push({c.doublings}).Op(op::Less2).If("double");
    script.Set("i", 0).Label("top").Get("i").Push({40}).Op(op::Less2).Op(op::Not).If("done");
    script.Push({100, 100, 0, 0}).Get("i").Push({"f"}).Get("i").Op(op::Add2).Push({6}).Get("this");
    script.Push({"createTextField"}).Op(op::CallMethod).Op(op::Pop);
    script.Push({"f"}).Get("i").Op(op::Add2).Op(op::GetVariable).Push({"text"}).Get("s").Op(op::SetMember);
    script.Get("i").TraceTop().Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable).Jump("top").Label("done");
    int traced = 0;
    PlayerOptions options;
    options.scriptLimits.maxMemoryBytes = kMemory;
    options.trace = [&traced](std::string_view) { ++traced; };
    Player player(std::make_shared<const Movie>(ReadMovie(MovieWith(script))), options);
    const std::vector<std::string> warnings = player.TakeWarnings();
    if (c.mostFields == 40) {
      EXPECT_EQ(traced, 40);
      EXPECT_TRUE(warnings.empty());
    } else {
      EXPECT_GE(traced, 1);
      EXPECT_LE(traced, c.mostFields);
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_NE(warnings[0].find("maxMemoryBytes"), std::string::npos) << warnings[0];
    }
  }
}

TEST(PlayerClip, BoundsPayForEachObjectTheyTakeIn) {
  // 1000 clips on the root, then its bounds read `reads` times: each read
  // takes in 1001 objects (sprite "a" too) at kWorkPerObjectMeasured.
  struct Case {
    int reads;
    const char* traced;
  };
  const Case cases[] = {{100, "read|"}, {1000, ""}};
  for (const Case& c : cases) {
    Asm script;
    script.Set("i", 0).Label("make").Get("i").Push({10}).Op(op::Add2).Push({"c"}).Get("i").Op(op::Add2).Push({2});
    script.Get("this").Push({"createEmptyMovieClip"}).Op(op::CallMethod).Op(op::Pop);
    script.Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable).Get("i").Push({1000}).Op(op::Less2).If("make");
    script.Set("j", 0).Label("read").Push({0}).Get("this").Push({"getBounds"}).Op(op::CallMethod).Op(op::Pop);
    script.Push({"j"}).Get("j").Op(op::Increment).Op(op::SetVariable).Get("j").Push({c.reads}).Op(op::Less2).If("read");
    script.Push({"read"}).TraceTop();
    std::string traced;
    PlayerOptions options;
    options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
    Player player(std::make_shared<const Movie>(ReadMovie(MovieWith(script))), options);
    EXPECT_EQ(traced, c.traced) << c.reads;
    const std::vector<std::string> warnings = player.TakeWarnings();
    ASSERT_EQ(warnings.size(), c.traced[0] ? 0u : 1u) << c.reads;
    if (!warnings.empty()) {
      EXPECT_NE(warnings[0].find("actionsPerFrame"), std::string::npos) << warnings[0];
    }
  }
}

TEST(PlayerClip, JumpsPayForTheFramesTheyWalkPast) {
  // A clip of 16,000 empty frames sent to its last frame and back `jumps`
  // times: nothing is replayed, but every frame is walked past.
  struct Case {
    int jumps;
    const char* traced;
  };
  const Case cases[] = {{50, "jumped|"}, {500, ""}};
  constexpr int kFrames = 16000;
  Bytes frames;
  for (int f = 0; f < kFrames; ++f) frames = test::Concat({frames, test::ShowFrame()});
  for (const Case& c : cases) {
    Asm script;
    script.Set("j", 0).Label("jump").CallOn("s", "gotoAndStop", {kFrames}).Op(op::Pop);
    script.CallOn("s", "gotoAndStop", {1}).Op(op::Pop);
    script.Push({"j"}).Get("j").Op(op::Increment).Op(op::SetVariable).Get("j").Push({c.jumps}).Op(op::Less2).If("jump");
    script.Push({"jumped"}).TraceTop();
    const Bytes movie = test::Fws({}, test::Concat({test::DefineSprite(5, kFrames, frames),
                                                     test::PlaceObjectTag(Placed(1, 5, "s"), 2, 6),
                                                     test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
    std::string traced;
    PlayerOptions options;
    options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
    Player player(std::make_shared<const Movie>(ReadMovie(movie)), options);
    EXPECT_EQ(traced, c.traced) << c.jumps;
    const std::vector<std::string> warnings = player.TakeWarnings();
    ASSERT_EQ(warnings.size(), c.traced[0] ? 0u : 1u) << c.jumps;
    if (!warnings.empty()) {
      EXPECT_NE(warnings[0].find("actionsPerFrame"), std::string::npos) << warnings[0];
    }
  }
}

TEST(PlayerClip, AnAttachedBitmapShowsItsPixelsAsTheyAreEachFrame) {
  // A 4 x 3 bitmap of one colour attached to the root of a 10 x 10 stage,
  // then a pixel set in it, then the bitmap disposed: each frame shows the
  // pixels of the time.
  const double green = 4278255360.0, red = 16711680.0;
  Asm first, second, third;
  first.Get("flash").Push({"display"}).Op(op::GetMember).Push({"BitmapData"}).Op(op::GetMember).Store("BD");
  first.New("BD", {4, 3, false, green}).Store("b");
  first.Push({5}).Get("b").Push({2}).Get("_root").Push({"attachBitmap"}).Op(op::CallMethod).Op(op::Pop);
  second.CallOn("b", "setPixel", {1, 2, red}).Op(op::Pop);
  third.CallOn("b", "dispose").Op(op::Pop);
  test::Header header;
  header.stage = {0, 200, 0, 200};
  header.frameCount = 3;
  const Bytes movie = test::Fws(header, test::Concat({test::DoActionTag(*first.Bytes()), test::ShowFrame(),
                                                      test::DoActionTag(*second.Bytes()), test::ShowFrame(),
                                                      test::DoActionTag(*third.Bytes()), test::ShowFrame()}));
  Player player(std::make_shared<const Movie>(ReadMovie(movie)));
  std::vector<std::uint32_t> pixels(100);
  PixelTarget face{pixels.data(), 10, 10, 10};
  const auto row = [&](int y) {
    std::string out;
    for (int x = 0; x < 5; ++x) out += pixels[y * 10 + x] == 0x00FF00 ? 'g' : pixels[y * 10 + x] == 0xFF0000 ? 'r' : '.';
    return out;
  };
  const std::string frames[][3] = {{"gggg.", "gggg.", "gggg."}, {"gggg.", "gggg.", "grgg."}, {".....", ".....", "....."}};
  for (int frame = 0; frame < 3; ++frame) {
    if (frame > 0) player.Advance();
    EXPECT_TRUE(player.NeedsRender()) << "frame " << frame + 1;
    player.Render(face);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(row(y), frames[frame][y]) << "frame " << frame + 1 << " row " << y;
    EXPECT_EQ(row(3), ".....") << "frame " << frame + 1;
  }
}

// A font "Sq" whose 'A' is the whole em square.
test::FontSpec SquareFont() {
  test::FontSpec font;
  font.name = "Sq";
  font.ascent = 1024;
  font.glyphs = {{{test::StyleChange{{{0, 0}}, std::nullopt, 1}, test::LineTo{1024, 0}, test::LineTo{0, -1024},
                   test::LineTo{-1024, 0}, test::LineTo{0, 1024}},
                  'A',
                  1024}};
  return font;
}

// A field "t" made by the script at (0, 0), 100 x 40 pixels, in "Sq" at 20
// pixels with embedded fonts, showing `text`.
void SquareField(Asm& script, const char* text) {
  script.Push({40, 100, 0, 0, 1, "t", 6}).Get("_root").Push({"createTextField"}).Op(op::CallMethod).Op(op::Pop);
  script.Push({"t.embedFonts", true}).Op(op::SetVariable);
  script.New("TextFormat").Store("tf").Push({"tf.font", "Sq"}).Op(op::SetVariable).Push({"tf.size", 20}).Op(op::SetVariable);
  script.Get("tf").Push({1}).Get("t").Push({"setNewTextFormat"}).Op(op::CallMethod).Op(op::Pop);
  script.Push({"t.text", text}).Op(op::SetVariable);
}

TEST(PlayerClip, AScriptsFieldDrawsInTheEmbeddedFontItsFormatNames) {
  // A font "Sq" whose 'A' is the whole em square; a field made by a script
  // names it at 20 pixels, with embedded fonts. The 'A' is then a black
  // square of 20 x 20 pixels from the 2-pixel gutter on, not a letter.
  const test::FontSpec font = SquareFont();
  Asm script;
  SquareField(script, "A");
  test::Header header;
  header.stage = {0, 800, 0, 800};
  const Bytes movie =
      test::Fws(header, test::Concat({test::DefineFont2(1, font), test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
  Player player(std::make_shared<const Movie>(ReadMovie(movie)));
  std::vector<std::uint32_t> pixels(40 * 40);
  PixelTarget face{pixels.data(), 40, 40, 40};
  player.Render(face);
  int inside = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (pixels[y * 40 + x] == 0) ++(x >= 2 && x < 22 && y >= 2 && y < 22 ? inside : outside);
  EXPECT_EQ(inside, 400);
  EXPECT_EQ(outside, 0);
}

TEST(PlayerClip, ARunSetSmallerOnAShownFieldIsDrawnSmallerOnTheSameBaseline) {
  // "AA" in the square font at 20 pixels, drawn; then a script sets the
  // second 'A' to 10 pixels, the text staying the same: the field is laid
  // out again, the second square 10 x 10 pixels on the first's baseline.
  const test::FontSpec font = SquareFont();
  Asm first;
  SquareField(first, "AA");
  Asm second;
  second.New("TextFormat").Store("small").Push({"small.size", 10}).Op(op::SetVariable);
  second.Get("small").Push({2, 1, 3}).Get("t").Push({"setTextFormat"}).Op(op::CallMethod).Op(op::Pop);
  second.Op(op::Stop);
  test::Header header;
  header.stage = {0, 800, 0, 800};
  const Bytes movie = test::Fws(header, test::Concat({test::DefineFont2(1, font), test::DoActionTag(*first.Bytes()),
                                                      test::ShowFrame(), test::DoActionTag(*second.Bytes()),
                                                      test::ShowFrame()}));
  Player player(std::make_shared<const Movie>(ReadMovie(movie)));
  std::vector<std::uint32_t> pixels(40 * 40);
  PixelTarget face{pixels.data(), 40, 40, 40};
  const auto black = [&](int x0, int x1, int y0, int y1) {
    int inside = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (pixels[y * 40 + x] == 0) ++(x >= x0 && x < x1 && y >= y0 && y < y1 ? inside : outside);
    return std::pair{inside, outside};
  };
  player.Render(face);
  EXPECT_EQ(black(2, 40, 2, 22), (std::pair{400 + 18 * 20, 0})) << "two squares of 20 pixels, as far as the face shows";
  player.Advance();
  player.Render(face);
  EXPECT_EQ(black(22, 32, 12, 22).first, 100);
  EXPECT_EQ(black(2, 32, 2, 22), (std::pair{500, 0}));
}

}  // namespace
}  // namespace dc::swf

// MovieClip and TextField methods through the Clip interface, and the
// drawing API's gradients and line styles.
#include <gtest/gtest.h>

#include "testkit/avm1_harness.h"

namespace dc::swf::avm1::test {
namespace {

struct Stage {
  Harness h{7};
  FakeClip* clock = h.root->AddChild("clock", 1);
  Stage() {
    h.root->exports.insert("hand");
    h.root->totalFrames = 3;
    h.root->labels["start"] = 2;
    clock->props[DisplayProperty::X] = 40;
  }
};

TEST(Avm1Clip, MethodsChangeTheTree) {
  struct Case {
    const char* name;
    Asm code;
    const char* traced;
    const char* lastGoto;  // the root's last timeline call, "" for none
  };
  const Case cases[] = {
      {"attachMovie", Asm().CallOn("this", "attachMovie", {"hand", "h1", 5}).Store("m").Get("m._name").TraceTop()
                           .CallOn("m", "getDepth").TraceTop().Get("h1").Op(op::TypeOf).TraceTop(),
       "h1|5|movieclip", ""},
      {"attachMovie of no export", Asm().CallOn("this", "attachMovie", {"nothing", "h1", 5}).TraceTop(), "undefined", ""},
      {"duplicateMovieClip", Asm().CallOn("clock", "duplicateMovieClip", {"copy", 7}).Op(op::Pop).Get("copy._x").TraceTop(),
       "40", ""},
      {"CloneSprite counts depths from 16384", Asm().Push({"clock", "twin", 16384 + 4}).Op(op::CloneSprite)
                                                   .CallOn("twin", "getDepth").TraceTop(), "4", ""},
      {"swapDepths", Asm().CallOn("clock", "swapDepths", {10}).Op(op::Pop).CallOn("clock", "getDepth").TraceTop(), "10", ""},
      {"setMask says whether it named a clip",
       Asm().CallOn("clock", "setMask", {"clock"}).TraceTop().CallOn("clock", "setMask", {"nothing"}).TraceTop()
           .CallOn("clock", "setMask", {Null{}}).TraceTop().CallOn("clock", "setMask").TraceTop().New("Object")
           .Store("o").Get("o").Push({1}).Get("clock").Push({"setMask"}).Op(op::CallMethod).TraceTop(),
       "true|false|true|undefined|false", ""},
      {"getNextHighestDepth", Asm().CallOn("this", "getNextHighestDepth").TraceTop(), "2", ""},
      {"createEmptyMovieClip replaces what is at its depth",
       Asm().CallOn("this", "createEmptyMovieClip", {"face", 1}).Op(op::Pop).Get("clock").TraceTop().Get("face._x").TraceTop(),
       "undefined|0", ""},
      {"removeMovieClip", Asm().CallOn("clock", "removeMovieClip").Op(op::Pop).Get("clock").TraceTop(), "undefined", ""},
      {"RemoveSprite", Asm().Push({"/clock"}).Op(op::RemoveSprite).Get("clock").TraceTop(), "undefined", ""},
      {"gotoAndStop a label", Asm().CallOn("this", "gotoAndStop", {"start"}), "", "stop 2"},
      {"gotoAndPlay a number", Asm().CallOn("this", "gotoAndPlay", {3}), "", "play 3"},
      {"GotoLabel", Asm().GotoLabel("start"), "", "stop 2"},
      {"GotoFrame counts from 0", Asm().GotoFrame(2), "", "stop 3"},
      {"GotoFrame2 with a label", Asm().Push({"start"}).GotoFrame2(true), "", "play 2"},
      {"nextFrame", Asm().Op(op::NextFrame), "", "stop 2"},
      {"_currentframe and _totalframes", Asm().Get("_currentframe").TraceTop().Get("_totalframes").TraceTop(), "1|3", ""},
      {"_visible", Asm().Push({"clock._visible", false}).Op(op::SetVariable).Get("clock._visible").TraceTop(), "false", ""},
      {"_name set", Asm().Push({"clock._name", "dial"}).Op(op::SetVariable).Get("dial._x").TraceTop(), "40", ""},
      {"a text field", Asm().CallOn("this", "createTextField", {"tf", 3, 10, 20, 100, 20}).Op(op::Pop)
                           .Push({"tf.text", "hi"}).Op(op::SetVariable).Get("tf._x").TraceTop().Get("tf.text").TraceTop()
                           .Get("tf").Op(op::TypeOf).TraceTop(),
       "10|hi|object", ""},
  };
  for (const Case& c : cases) {
    Stage s;
    EXPECT_EQ(s.h.Run(c.code), c.traced) << c.name;
    EXPECT_EQ(s.h.root->log.empty() ? std::string() : s.h.root->log.back(), c.lastGoto) << c.name;
  }
}

TEST(Avm1Clip, CallRunsAnotherFramesScript) {
  Stage s;
  s.h.root->frameActions[2] = {Asm().Push({"called on "}).Get("this").Op(op::TargetPath).Op(op::Add2).TraceTop().Bytes()};
  EXPECT_EQ(s.h.Run(Asm().Push({"start"}).CallFrame().Push({2}).CallFrame().Push({"/:2"}).CallFrame()),
            "called on _level0|called on _level0|called on _level0");
  EXPECT_TRUE(s.h.root->log.empty());  // the playhead stays
}

TEST(Avm1Clip, AFrameThatCallsItselfStopsAtTheCallDepth) {
  Stage s;
  s.h.root->frameActions[2] = {Asm().Push({2}).CallFrame().Bytes()};
  EXPECT_EQ(s.h.Run(Asm().Push({2}).CallFrame().Push({"not reached"}).TraceTop()), "");
  EXPECT_TRUE(s.h.engine->Stats().frameStopped);
  EXPECT_EQ(s.h.warnings.size(), 1u);
}

TEST(Avm1Clip, GradientFillsAndLineStyles) {
  Stage s;
  Asm a;
  a.Push({"matrixType", "box", "x", 0, "y", 0, "w", 100, "h", 50, "r", 0, 6}).Op(op::InitObject).Store("m");
  a.Get("m").Array({0, 255}).Array({100, 50}).Array({0xFF0000, 0x0000FF}).Push({"linear", 5}).Get("clock")
      .Push({"beginGradientFill"}).Op(op::CallMethod).Op(op::Pop);
  a.CallOn("clock", "lineTo", {10, 0}).Op(op::Pop);
  a.CallOn("clock", "lineStyle", {3, 0x123456, 100, true, "none", "square", "miter", 5}).Op(op::Pop);
  a.CallOn("clock", "lineTo", {10, 10}).Op(op::Pop);
  a.CallOn("clock", "lineStyle").Op(op::Pop).CallOn("clock", "lineTo", {0, 10}).Op(op::Pop);
  s.h.Run(a);
  const Shape shape = s.clock->drawing.Current();
  ASSERT_EQ(shape.fills.size(), 1u);
  const FillStyle& f = shape.fills[0];
  EXPECT_EQ(f.kind, FillKind::LinearGradient);
  EXPECT_EQ(f.gradient.stops,
            (std::vector<GradientStop>{{0, Rgba{255, 0, 0, 255}}, {255, Rgba{0, 0, 255, 128}}}));
  // A 100 x 50 px box at the origin: the 32768-twip square scaled to it,
  // centred on (50, 25) px.
  EXPECT_DOUBLE_EQ(f.matrix.a, 100 / 1638.4);
  EXPECT_DOUBLE_EQ(f.matrix.d, 50 / 1638.4);
  EXPECT_DOUBLE_EQ(f.matrix.tx, 1000);
  EXPECT_DOUBLE_EQ(f.matrix.ty, 500);
  ASSERT_EQ(shape.lines.size(), 1u);
  const LineStyle& l = shape.lines[0];
  EXPECT_EQ(l.width, 60);
  EXPECT_EQ(l.color, (Rgba{0x12, 0x34, 0x56, 255}));
  EXPECT_TRUE(l.pixelHinting);
  EXPECT_TRUE(l.noHScale && l.noVScale);
  EXPECT_EQ(l.startCap, CapStyle::Square);
  EXPECT_EQ(l.join, JoinStyle::Miter);
  EXPECT_EQ(l.miterLimit, 5);
  // One fill path closed back to the origin, one stroke of one edge: the
  // last lineTo had no line style.
  ASSERT_EQ(shape.paths.size(), 2u);
  EXPECT_EQ(shape.paths[0].edges.size(), 4u);
  EXPECT_EQ(shape.paths[0].edges.back().to, (Point{0, 0}));
  EXPECT_EQ(shape.paths[1].edges, (std::vector<Edge>{{{200, 0}, {200, 0}, {200, 200}, false}}));
  s.h.Run(Asm().CallOn("clock", "clear"));
  EXPECT_TRUE(s.clock->drawing.Current().paths.empty());
}

// clock.<method>(type, [red, blue], [100, 100], ratios, m, more...), where
// `m` is a box matrix stored before.
Asm& GradientCall(Asm& a, const char* method, const char* type, std::vector<PushItem> ratios,
                  std::vector<PushItem> more = {}) {
  for (auto it = more.rbegin(); it != more.rend(); ++it) a.Push({*it});
  a.Get("m").Array(ratios).Array({100, 100}).Array({0xFF0000, 0x0000FF}).Push({type, int(5 + more.size())});
  return a.Get("clock").Push({method}).Op(op::CallMethod).Op(op::Pop);
}

TEST(Avm1Clip, GradientArgumentsThatMakeNoGradient) {
  // Each case begins a solid fill, calls beginGradientFill, then draws a
  // side: the fill styles made and the fill the side belongs to.
  struct Case {
    const char* name;
    const char* type;
    std::vector<PushItem> ratios, more;
    std::size_t fills;
    std::int32_t sideFill;  // -1: the side is in no fill
  };
  const Case cases[] = {
      {"a gradient", "radial", {0, 255}, {"reflect", "linearRGB", 0.5}, 2, 1},
      {"ratios of another length", "linear", {255}, {}, 1, 0},
      {"a ratio below 0", "linear", {-1, 255}, {}, 1, 0},
      {"a ratio past 255", "linear", {0, 256}, {}, 1, 0},
      {"ratios cut to whole numbers", "linear", {-0.99, 255.9}, {}, 2, 1},
      {"a ratio not a number is 0", "linear", {Undef{}, 200}, {}, 2, 1},
      {"a ninth argument", "linear", {0, 255}, {"pad", "RGB", 0, "x"}, 1, 0},
      {"a type in capitals", "LINEAR", {0, 255}, {}, 1, 0},
      {"a null type", nullptr, {0, 255}, {}, 1, 0},
  };
  for (const Case& c : cases) {
    Stage s;
    Asm a;
    a.Push({"matrixType", "box", "x", 0, "y", 0, "w", 10, "h", 10, "r", 0, 6}).Op(op::InitObject).Store("m");
    a.CallOn("clock", "beginFill", {0x00FF00}).Op(op::Pop);
    if (c.type) {
      GradientCall(a, "beginGradientFill", c.type, c.ratios, c.more);
    } else {
      a.Push({Null{}, 1}).Get("clock").Push({"beginGradientFill"}).Op(op::CallMethod).Op(op::Pop);
    }
    a.CallOn("clock", "lineTo", {10, 0}).Op(op::Pop);
    s.h.Run(a);
    const Shape shape = s.clock->drawing.Current();
    EXPECT_EQ(shape.fills.size(), c.fills) << c.name;
    ASSERT_FALSE(shape.paths.empty()) << c.name;
    EXPECT_EQ(shape.paths.back().fill0, c.sideFill) << c.name;
  }
  // An undefined type ends the fill.
  Stage s;
  s.h.Run(Asm().CallOn("clock", "beginFill", {0x00FF00}).Op(op::Pop).CallOn("clock", "lineTo", {10, 0}).Op(op::Pop)
              .CallOn("clock", "beginGradientFill", {Undef{}, 1, 2, 3, 4}).Op(op::Pop)
              .CallOn("clock", "lineStyle", {1}).Op(op::Pop).CallOn("clock", "lineTo", {10, 10}).Op(op::Pop));
  const Shape shape = s.clock->drawing.Current();
  ASSERT_EQ(shape.paths.size(), 2u);
  EXPECT_EQ(shape.paths[1].fill0, -1);
  EXPECT_EQ(shape.paths[1].line, 0);
}

TEST(Avm1Clip, AScriptsFocalPointKeepsEightBitsOfFraction) {
  // 0.9 is 230.4 / 256: the file's 8.8 fixed point keeps 230, either way.
  for (const double focal : {0.9, -0.9}) {
    Stage s;
    Asm a;
    a.Push({"matrixType", "box", "x", 0, "y", 0, "w", 10, "h", 10, "r", 0, 6}).Op(op::InitObject).Store("m");
    GradientCall(a, "beginGradientFill", "radial", {0, 255}, {"pad", "RGB", focal});
    a.CallOn("clock", "lineTo", {10, 0}).Op(op::Pop);
    s.h.Run(a);
    const Shape shape = s.clock->drawing.Current();
    ASSERT_EQ(shape.fills.size(), 1u) << focal;
    EXPECT_EQ(shape.fills[0].kind, FillKind::FocalGradient) << focal;
    EXPECT_EQ(shape.fills[0].gradient.focalPoint, std::copysign(230.0 / 256, focal));
  }
}

TEST(Avm1Clip, LineGradientStyleStrokesWithTheGradient) {
  Stage s;
  Asm a;
  a.Push({"matrixType", "box", "x", 0, "y", 0, "w", 10, "h", 10, "r", 0, 6}).Op(op::InitObject).Store("m");
  a.CallOn("clock", "lineTo", {10, 0}).Op(op::Pop);  // no line style yet: nothing to paint
  GradientCall(a, "lineGradientStyle", "linear", {0, 255});
  a.CallOn("clock", "lineStyle", {2, 0x123456}).Op(op::Pop).CallOn("clock", "lineTo", {10, 10}).Op(op::Pop);
  GradientCall(a, "lineGradientStyle", "radial", {0, 255}, {"repeat"});
  a.CallOn("clock", "lineTo", {0, 10}).Op(op::Pop);
  s.h.Run(a);
  const Shape shape = s.clock->drawing.Current();
  ASSERT_EQ(shape.lines.size(), 2u);
  EXPECT_FALSE(shape.lines[0].hasFill);
  EXPECT_TRUE(shape.lines[1].hasFill);
  EXPECT_EQ(shape.lines[1].width, 40);  // the rest of the style is kept
  EXPECT_EQ(shape.lines[1].fill.kind, FillKind::RadialGradient);
  EXPECT_EQ(shape.lines[1].fill.gradient.spread, SpreadMode::Repeat);
  ASSERT_EQ(shape.paths.size(), 2u);
  EXPECT_EQ(shape.paths[1].line, 1);
  EXPECT_EQ(shape.paths[1].edges.front().to, (Point{0, 200}));
}

TEST(Avm1Clip, ColorSetsTheClipsColourTransform) {
  // Multipliers in percent, offsets in 0..255 (the ActionScript reference's
  // Color and its transform object).
  const auto newColor = [](const char* target, bool byPath) {
    Asm a;
    byPath ? a.Push({target}) : a.Get(target);
    return a.Push({1, "Color"}).Op(op::NewObject).Store("c");
  };
  struct Case {
    const char* name;
    Asm code;
    const char* traced;
    ColorTransform clock;
  };
  const Case cases[] = {
      {"setTransform changes only the fields given",
       Asm().Append(newColor("clock", true)).Push({"ra", 50, "gb", -20, "aa", 25, 3}).Op(op::InitObject)
           .Push({1}).Get("c").Push({"setTransform"}).Op(op::CallMethod).Op(op::Pop)
           .CallOn("c", "getTransform").Store("t").Get("t.ra").TraceTop().Get("t.rb").TraceTop()
           .Get("t.gb").TraceTop().Get("t.aa").TraceTop().Get("t.ba").TraceTop(),
       "50|0|-20|25|100", {0.5, 1, 1, 0.25, 0, -20, 0, 0}},
      {"a target that is not there",
       Asm().Append(newColor("nothing", false)).CallOn("c", "setRGB", {0xFF}).Op(op::Pop)
           .CallOn("c", "getRGB").TraceTop(),
       "undefined", {}},
  };
  for (const Case& c : cases) {
    Stage s;
    EXPECT_EQ(s.h.Run(c.code), c.traced) << c.name;
    EXPECT_EQ(s.clock->colour, c.clock) << c.name;
  }
}

TEST(Avm1Clip, TextFormatReachesTheField) {
  Stage s;
  s.h.root->AddChild("tf", 2, ClipKind::TextField);
  Asm a;
  a.New("TextFormat", {"_sans", 24, 0xFF8000}).Store("f").Push({"f.align", "CENTER"}).Op(op::SetVariable);
  a.Get("f").Push({5, 0, 3}).Get("tf").Push({"setTextFormat"}).Op(op::CallMethod).Op(op::Pop);
  a.CallOn("tf", "getTextFormat").Store("g").Get("g.size").TraceTop().Get("g.align").TraceTop().Get("g.bold").TraceTop();
  a.Get("tf.textColor").TraceTop().Push({"tf.textColor", 0x0000FF}).Op(op::SetVariable).Get("tf.textColor").TraceTop();
  EXPECT_EQ(s.h.Run(a), "24|center|null|16744448|255");
  const FakeClip* tf = static_cast<const FakeClip*>(s.h.root->ChildByName("tf", true));
  EXPECT_EQ(tf->field.format.color, 0x0000FFu);
  EXPECT_EQ(tf->field.format.size, 24);
  EXPECT_EQ(tf->field.format.align, TextAlign::Center);
}

TEST(Avm1Clip, MovieClipPrototypeIsExtendable) {
  Stage s;
  Asm a;
  a.Get("MovieClip.prototype").Push({"spin"})
      .Function("", {"by"}, Asm().Get("this").Push({"_rotation"}).Get("by").Op(op::SetMember)).Op(op::SetMember);
  a.CallOn("clock", "spin", {30}).Op(op::Pop).Get("clock._rotation").TraceTop();
  EXPECT_EQ(s.h.Run(a), "30");
  EXPECT_EQ(s.clock->Get(DisplayProperty::Rotation), 30);
}

}  // namespace
}  // namespace dc::swf::avm1::test

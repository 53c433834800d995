// Scripts on the real display objects, through a real Player: what a clip
// does once it is taken away, and depths at the ends of the range.
#include <gtest/gtest.h>

#include "avm1_assembler.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "swf_writer.h"

namespace dc::swf {
namespace {

using avm1::test::Asm;
namespace op = avm1::test::op;
using test::Bytes;

PlaceObject Placed(std::uint16_t depth, std::uint16_t id, const char* name = nullptr) {
  PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  if (name) p.name = name;
  return p;
}

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

// Clips made and taken away are charged to the frame's budget by the
// work they are, not as one action each.
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

}  // namespace
}  // namespace dc::swf

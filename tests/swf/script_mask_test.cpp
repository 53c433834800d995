// Masks set by script (setMask) through a real Player: drawn in place of
// the clip layer over the clip, following the mask clip where it stands,
// lifted by setMask(null), by the mask's removal or by its moving to
// another clip, and held by hitTest's shape test and the mouse's search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/avm1_assembler.h"
#include "swf/display/hit_test.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "swf/player/render.h"
#include "testkit/swf_writer.h"

namespace dc::swf {
namespace {

using avm1::test::Asm;
using avm1::test::Null;
namespace op = avm1::test::op;
using test::Bytes;
using test::Placed;

Bytes Square(std::uint16_t id, std::int32_t side, Rgba colour) {
  return test::DefineShape(1, id, {0, side, 0, side}, {{FillStyle{FillKind::Solid, colour}}, {}},
                           {test::StyleChange{{{0, 0}}, std::nullopt, 1, std::nullopt, std::nullopt},
                            test::LineTo{side, 0}, test::LineTo{0, side}, test::LineTo{-side, 0},
                            test::LineTo{0, -side}});
}

// A 40 × 40 px stage on white:
//   depth 1  "layer", a 10 px clip layer at (0, 0) over depth 2
//   depth 2  "pic", a 20 px green square at (0, 0)
//   depth 3  "q", the same at (20, 20)
//   depth 4  "h" at (10, 0) holding "m", a 10 px blue square
//   0    10   20   30   40
//   +----+----+         |     (the clip layer shows pic's top left
//   |pic | m  |         |      quarter; m is drawn over pic's top right)
//   +----+----+----+----+
//   |         | q       |
//   +         +---------+
Bytes MaskMovie(const Asm& script) {
  PlaceObject layer = Placed(1, 11, "layer");
  layer.clipDepth = 2;
  test::Header header;
  header.stage = {0, 800, 0, 800};
  return test::Fws(
      header,
      test::Concat({Square(1, 400, {0, 200, 0, 255}), Square(2, 200, {0, 0, 255, 255}),
                    test::DefineSprite(10, 1, test::Concat({test::PlaceObjectTag(Placed(1, 1), 2, 8), test::ShowFrame()})),
                    test::DefineSprite(11, 1, test::Concat({test::PlaceObjectTag(Placed(1, 2), 2, 8), test::ShowFrame()})),
                    test::DefineSprite(12, 1,
                                       test::Concat({test::PlaceObjectTag(Placed(1, 11, "m"), 2, 8), test::ShowFrame()})),
                    test::PlaceObjectTag(layer, 2, 8), test::PlaceObjectTag(Placed(2, 10, "pic"), 2, 8),
                    test::PlaceObjectTag(Placed(3, 10, "q", Matrix::Translate(400, 400)), 2, 8),
                    test::PlaceObjectTag(Placed(4, 12, "h", Matrix::Translate(200, 0)), 2, 8),
                    test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
}

Asm SetProperty(Asm a, const char* clip, const char* property, int value) {
  a.Get(clip).Push({property, value}).Op(op::SetMember);
  return a;
}

constexpr std::uint32_t kGreen = 0x00C800, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

struct Probe {
  int x, y;
  std::uint32_t pixel;  // 0x00RRGGBB
  const char* target;   // the clip the mouse finds there, "" for none
};

TEST(ScriptMask, DrawnHitAndLifted) {
  struct Case {
    const char* what;
    Asm script;
    std::vector<Probe> probes;
    const char* traced;
  };
  const auto masked = [] { return std::move(Asm().CallOn("pic", "setMask", {"h.m"}).Op(op::Pop)); };
  Case cases[] = {
      {"no script mask", Asm(), {{5, 5, kGreen, "pic"}, {15, 5, kBlue, ""}, {15, 15, kWhite, ""}, {30, 30, kGreen, "q"}}, ""},
      {"pic through m, its clip layer replaced, m not drawn",
       std::move(masked().CallOn("pic", "hitTest", {15, 5, true}).TraceTop().CallOn("pic", "hitTest", {5, 5, true}).TraceTop()),
       {{5, 5, kWhite, ""}, {15, 5, kGreen, "pic"}, {15, 15, kWhite, ""}, {30, 30, kGreen, "q"}},
       "true|false|"},
      {"m moved down: the mask follows it",
       std::move(SetProperty(masked(), "h.m", "_y", 10).CallOn("pic", "hitTest", {15, 15, true}).TraceTop()),
       {{5, 5, kWhite, ""}, {15, 5, kWhite, ""}, {15, 15, kGreen, "pic"}},
       "true|"},
      {"setMask(null) brings back the clip layer and m",
       std::move(masked().CallOn("pic", "setMask", {Null{}}).TraceTop().CallOn("pic", "hitTest", {15, 15, true}).TraceTop()),
       {{5, 5, kGreen, "pic"}, {15, 5, kBlue, ""}, {15, 15, kWhite, ""}},
       "true|true|"},
      {"a path to nothing leaves the mask",
       std::move(masked().CallOn("pic", "setMask", {"nothing"}).TraceTop()),
       {{5, 5, kWhite, ""}, {15, 5, kGreen, "pic"}},
       "false|"},
      {"m taken away lifts the mask",
       std::move(masked().CallOn("h", "swapDepths", {50}).Op(op::Pop).CallOn("h", "removeMovieClip").Op(op::Pop)),
       {{5, 5, kGreen, "pic"}, {15, 5, kWhite, ""}, {15, 15, kWhite, ""}},
       ""},
      {"a clip layer takes no script mask: m still drawn",
       std::move(Asm().CallOn("layer", "setMask", {"h.m"}).Op(op::Pop)),
       {{5, 5, kGreen, "pic"}, {15, 5, kBlue, ""}, {15, 15, kWhite, ""}},
       ""},
      {"m given to q leaves pic",
       std::move(masked().CallOn("q", "setMask", {"h.m"}).Op(op::Pop)),
       {{5, 5, kGreen, "pic"}, {15, 5, kWhite, ""}, {30, 30, kWhite, ""}},
       ""},
  };
  for (const Case& c : cases) {
    std::string traced;
    PlayerOptions options;
    options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
    Player player(std::make_shared<const Movie>(ReadMovie(MaskMovie(c.script))), options);
    EXPECT_EQ(traced, c.traced) << c.what;
    DisplayTree& tree = player.Tree();
    std::vector<std::uint32_t> px(40 * 40);
    PixelTarget face{px.data(), 40, 40, 40};
    Renderer renderer;
    ASSERT_TRUE(renderer.Render(tree, face)) << c.what;
    for (const Probe& p : c.probes) {
      EXPECT_EQ(face.At(p.x, p.y), p.pixel) << c.what << " at (" << p.x << ", " << p.y << ")";
      std::uint64_t edges = 0;
      const DisplayObject* found = MouseTarget(
          tree.movie(), tree.Root(), {p.x * 20.0 + 10, p.y * 20.0 + 10},
          [](DisplayObject& o) { return o.name == "pic" || o.name == "q"; }, edges);
      EXPECT_EQ(found ? found->name : "", p.target) << c.what << " mouse at (" << p.x << ", " << p.y << ")";
    }
  }
}

}  // namespace
}  // namespace dc::swf

// Objects drawn through layers on a face: a blend mode over what lies
// beneath, a scroll rectangle's part moved to the object's origin, alpha
// on the opaque face, and the filters' work charged to the frame.
#include <gtest/gtest.h>

#include "raster_support.h"
#include "swf/player/player.h"
#include "swf/player/render.h"

namespace dc::swf {
namespace {

using test::Rect;
using test::Place;
using test::Solid;


// A 40 × 40 px stage on white: a green and yellow field at depth 1 (left
// and right halves), a grey band at depth 2 across its top 10 px.
std::shared_ptr<Movie> Field() {
  auto m = std::make_shared<Movie>();
  m->stage = {0, 800, 0, 800};
  m->background = {255, 255, 255, 255};
  Shape field;
  field.fills = {Solid({100, 200, 50, 255}), Solid({255, 255, 0, 255})};
  field.paths = {Rect(0, 0, 20, 40, 0), Rect(20, 0, 40, 40, 1)};
  Shape band;
  band.fills = {Solid({128, 128, 128, 255})};
  band.paths = {Rect(0, 0, 40, 10, 0)};
  m->characters[1] = std::make_shared<Character>(std::move(field));
  m->characters[2] = std::make_shared<Character>(std::move(band));
  m->root.frames = {Frame{{Place(1, 1), Place(2, 2)}, std::nullopt, {}}};
  return m;
}

struct Probe {
  int x, y;
  std::uint32_t pixel;  // 0x00RRGGBB
};

TEST(LayerRender, BlendScrollAndAlphaOnTheFace) {
  struct Case {
    const char* what;
    void (*look)(DisplayObject& field, DisplayObject& band);
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {"multiplied band", [](DisplayObject&, DisplayObject& band) { band.blendMode = BlendMode::Multiply; },
       {{5, 5, 0x326419}, {30, 5, 0x808000}, {5, 20, 0x64C832}}},
      {"the field's right half scrolled to its origin",
       [](DisplayObject& field, DisplayObject&) { field.scrollRect = PixelRect{20, 0, 10, 30}; },
       {{5, 15, 0xFFFF00}, {15, 15, 0xFFFFFF}, {5, 35, 0xFFFFFF}, {5, 5, 0x808080}}},
      {"alpha on the face changes nothing", [](DisplayObject&, DisplayObject& band) { band.blendMode = BlendMode::Alpha; },
       {{5, 5, 0x64C832}, {30, 5, 0xFFFF00}}},
  };
  for (const Case& c : cases) {
    Player player(Field());
    DisplayTree& tree = player.Tree();
    c.look(*tree.Root().children.at(1), *tree.Root().children.at(2));
    std::vector<std::uint32_t> px(40 * 40);
    PixelTarget face{px.data(), 40, 40, 40};
    Renderer renderer;
    ASSERT_TRUE(renderer.Render(tree, face)) << c.what;
    for (const Probe& p : c.probes)
      EXPECT_EQ(face.At(p.x, p.y), p.pixel) << c.what << " at (" << p.x << ", " << p.y << ")";
  }
}

// A grey 4 px square whose corner is at (0.6, 0.3) px, so the shape's box
// starts there, and a red 4 px square at (5.2, 5.6) px; placed at (10, 10)
// on a white 40 × 40 px stage. Drawn in place, the red square covers
// columns 15-18 and rows 16-19.
std::shared_ptr<Movie> OffGrid() {
  auto m = std::make_shared<Movie>();
  m->stage = {0, 800, 0, 800};
  m->background = {255, 255, 255, 255};
  Shape squares;
  squares.bounds = {12, 184, 6, 192};
  squares.fills = {Solid({128, 128, 128, 255}), Solid({255, 0, 0, 255})};
  squares.paths = {Rect(0.6, 0.3, 4.6, 4.3, 0), Rect(5.2, 5.6, 9.2, 9.6, 1)};
  m->characters[1] = std::make_shared<Character>(std::move(squares));
  m->root.frames = {Frame{{Place(1, 1, Matrix::Translate(200, 200))}, std::nullopt, {}}};
  return m;
}

TEST(LayerRender, ACachedBitmapStartsAtAWholePixel) {
  // Cached, the box's corner (10.6, 10.3) is rounded to (11, 10): the red
  // square moves by (+0.4, -0.3) px to columns 16-19 and rows 15-18. Drawn
  // at low quality, a pixel is all in or all out.
  constexpr std::uint32_t kRed = 0xFF0000, kWhite = 0xFFFFFF;
  struct Case {
    const char* what;
    void (*look)(DisplayObject& squares);
    std::uint32_t at15x16, at19x15, at16x16;
  };
  const Case cases[] = {
      {"drawn in place", [](DisplayObject&) {}, kRed, kWhite, kRed},
      {"cached", [](DisplayObject& o) { o.cacheAsBitmap = true; }, kWhite, kRed, kRed},
      {"filtered", [](DisplayObject& o) { o.filters = {ColorMatrixFilter{}}; }, kWhite, kRed, kRed},
      {"a blend mode alone does not cache", [](DisplayObject& o) { o.blendMode = BlendMode::Multiply; }, kRed, kWhite,
       kRed},
      {"cached with a scroll rectangle, whose corner is the object's origin",
       [](DisplayObject& o) {
         o.cacheAsBitmap = true;
         o.scrollRect = PixelRect{0, 0, 20, 20};
       },
       kRed, kWhite, kRed},
  };
  for (const Case& c : cases) {
    Player player(OffGrid());
    player.Tree().SetQuality(Quality::Low);
    c.look(*player.Tree().Root().children.at(1));
    std::vector<std::uint32_t> px(40 * 40);
    PixelTarget face{px.data(), 40, 40, 40};
    Renderer renderer;
    ASSERT_TRUE(renderer.Render(player.Tree(), face)) << c.what;
    EXPECT_EQ(face.At(15, 16), c.at15x16) << c.what;
    EXPECT_EQ(face.At(19, 15), c.at19x15) << c.what;
    EXPECT_EQ(face.At(16, 16), c.at16x16) << c.what;
  }
}

TEST(LayerRender, FilterPassesAreChargedToTheFrame) {
  // Fifteen passes of a 4 px blur over the band (its layer well within
  // the surface's count) cost more work than a frame of 100 000 units may
  // spend; one pass does not.
  for (const auto& [passes, blur, affordable] : {std::tuple{1, 4.0, true}, std::tuple{15, 4.0, false}}) {
    Player player(Field());
    DisplayObject& band = *player.Tree().Root().children.at(2);
    band.filters = {BlurFilter{blur, blur, static_cast<std::uint8_t>(passes)}};
    Limits limits;
    limits.maxDrawWorkPerFrame = 100'000;
    std::vector<std::uint32_t> px(40 * 40);
    PixelTarget face{px.data(), 40, 40, 40};
    Renderer renderer(limits);
    EXPECT_EQ(renderer.Render(player.Tree(), face), affordable) << passes << " passes";
    if (!affordable) {
      EXPECT_EQ(renderer.Overrun().rfind("maxDrawWorkPerFrame", 0), 0u) << renderer.Overrun();
    }
  }
}

}  // namespace
}  // namespace dc::swf

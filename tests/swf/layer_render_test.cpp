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
using test::Solid;

PlaceObject Place(std::uint16_t depth, std::uint16_t id, Matrix m = {}) {
  PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.matrix = m;
  return p;
}

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

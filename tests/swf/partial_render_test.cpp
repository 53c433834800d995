// A frame drawn again only where it changed: the face drawn in part must
// be, pixel for pixel, the face drawn whole, and the part small when a
// hand turns.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "raster_support.h"
#include "swf/avm1/bitmap_pixels.h"
#include "swf/player/player.h"
#include "swf/player/render.h"

namespace dc::swf {
namespace {

using test::Pen;
using test::PathThrough;
using test::Rect;
using test::Place;
using test::Solid;

constexpr int kSize = 200;
enum Id : std::uint16_t { kDial = 1, kHand, kSquare, kLabel, kBadge };
enum Depth : std::int32_t { kMaskDepth = 1, kDialDepth, kHandDepth, kSquareDepth, kLabelDepth, kBadgeDepth, kNewDepth };


Matrix At(double x, double y) { return Matrix::Translate(x * kTwipsPerPixel, y * kTwipsPerPixel); }

// A 200 × 200 px face: a dial with a radial gradient and an outline, a hand
// from the centre up (turned by its matrix), a square, a text field, and a
// sprite holding a second square drawn through a drop shadow.
std::shared_ptr<Movie> Face() {
  auto m = std::make_shared<Movie>();
  m->stage = {0, kSize * 20, 0, kSize * 20};
  m->background = {250, 240, 230, 255};
  Shape dial;
  FillStyle ramp{FillKind::RadialGradient, {}};
  ramp.gradient.stops = {{0, {255, 255, 255, 255}}, {255, {90, 110, 160, 255}}};
  ramp.matrix = Matrix::Scale(90 * 20 / 16384.0, 90 * 20 / 16384.0);
  ramp.matrix.tx = ramp.matrix.ty = 100 * 20;
  dial.fills = {ramp};
  dial.lines = {Pen(3, {20, 20, 20, 255})};
  std::vector<Point> ring;
  for (int i = 0; i < 24; ++i) {
    const double a = i * std::numbers::pi / 12;
    ring.push_back({100 + 90 * std::cos(a), 100 + 90 * std::sin(a)});
  }
  dial.paths = {PathThrough(ring, 0, -1, 0)};
  dial.bounds = {8 * 20, 192 * 20, 8 * 20, 192 * 20};
  Shape hand;
  hand.fills = {Solid({200, 0, 0, 255})};
  hand.lines = {Pen(1, {0, 0, 0, 255})};
  hand.paths = {PathThrough({{-3, -80}, {3, -80}, {3, 0}, {-3, 0}}, 0, -1, 0)};
  hand.bounds = {-4 * 20, 4 * 20, -81 * 20, 20};
  Shape square;
  square.fills = {Solid({0, 120, 220, 200})};
  square.paths = {Rect(0, 0, 20, 20, 0)};
  square.bounds = {0, 400, 0, 400};
  EditText label;
  label.bounds = {0, 60 * 20, 0, 20 * 20};
  label.initialText = "12:00";
  label.height = 14 * 20;
  Sprite badge;
  PlaceObject inBadge = Place(1, kSquare);
  inBadge.filters = std::vector<Filter>{ShadowFilter{.blurX = 3, .blurY = 3, .distance = 5}};
  badge.frames = {Frame{{inBadge}, std::nullopt, {}}};
  m->characters[kDial] = std::make_shared<Character>(std::move(dial));
  m->characters[kHand] = std::make_shared<Character>(std::move(hand));
  m->characters[kSquare] = std::make_shared<Character>(std::move(square));
  m->characters[kLabel] = std::make_shared<Character>(std::move(label));
  m->characters[kBadge] = std::make_shared<Character>(std::move(badge));
  m->root.frames = {Frame{{Place(kDialDepth, kDial), Place(kHandDepth, kHand, At(100, 100)),
                           Place(kSquareDepth, kSquare, At(30, 140)), Place(kLabelDepth, kLabel, At(70, 150)),
                           Place(kBadgeDepth, kBadge, At(140, 30))},
                          std::nullopt,
                          {}}};
  return m;
}

DisplayObject& At(Player& p, std::int32_t depth) { return *p.Tree().Root().children.at(depth); }

void Turn(Player& p, double degrees) {
  const double r = degrees * std::numbers::pi / 180;
  At(p, kHandDepth).SetMatrix(At(100, 100) * Matrix{std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0});
}

struct Case {
  const char* what;
  void (*change)(Player&, int step);
  std::int64_t mostPixels;  // the box drawn, at most
};

std::int64_t Area(const PixelBox& b) { return b.Empty() ? 0 : std::int64_t{b.x1 - b.x0} * (b.y1 - b.y0); }

TEST(PartialRender, DrawsWhatAWholeRedrawDraws) {
  const Case cases[] = {
      {"the hand turns a second", [](Player& p, int step) { Turn(p, 6.0 * (step + 1)); }, kSize * kSize / 8},
      {"the hand turns back", [](Player& p, int step) { Turn(p, -4.0 * (step + 1)); }, kSize * kSize / 8},
      {"a clip is added", [](Player& p, int step) {
         DisplayTree& tree = p.Tree();
         std::unique_ptr<DisplayObject> o = tree.Make(tree.Root(), kSquare, kNewDepth + step);
         o->matrix = At(60 + 7 * step, 60);
         tree.Insert(tree.Root(), std::move(o));
       }, 40 * 40},
      {"a clip is removed", [](Player& p, int step) {
         if (step == 0) p.Tree().Remove(At(p, kSquareDepth));
       }, 40 * 40},
      {"a colour changes", [](Player& p, int step) {
         At(p, kSquareDepth).SetColorTransform(ColorTransform{1, 0.5, 1, 1, 10.0 * step, 0, 0, 0});
       }, 40 * 40},
      {"a text changes", [](Player& p, int step) {
         At(p, kLabelDepth).SetText(step % 2 ? "12:01" : "9:59");
       }, 80 * 40},
      {"a shadowed clip moves", [](Player& p, int step) {
         At(p, kBadgeDepth).SetMatrix(At(140 - 3 * step, 30 + 2 * step));
       }, 60 * 60},
      {"a shadow's distance changes", [](Player& p, int step) {
         std::get<ShadowFilter>(At(p, kBadgeDepth).children.at(1)->filters[0]).distance = 2.0 + step;
       }, 60 * 60},
      {"a mask comes over the face and moves", [](Player& p, int step) {
         DisplayTree& tree = p.Tree();
         if (step == 0) {
           std::unique_ptr<DisplayObject> mask = tree.Make(tree.Root(), kSquare, kMaskDepth);
           mask->clipDepth = kHandDepth;
           tree.Insert(tree.Root(), std::move(mask));
         }
         At(p, kMaskDepth).SetMatrix(At(90 + 2 * step, 90) * Matrix::Scale(2, 2));
       }, kSize * kSize},
      {"the hand goes beneath the dial and back", [](Player& p, int step) {
         DisplayObject& hand = *p.Tree().Root().children.at(step % 2 ? kDialDepth : kHandDepth);
         p.Tree().MoveToDepth(hand, step % 2 ? kHandDepth : kDialDepth);
       }, kSize * kSize},
      {"a script's bitmap is drawn into", [](Player& p, int step) {
         static std::shared_ptr<avm1::BitmapPixels> pixels;
         if (step == 0) {
           pixels = std::make_shared<avm1::BitmapPixels>(20, 20, false, 0xFF00FF00u);
           p.Tree().Root().AttachBitmap(pixels, 500, false);
         }
         pixels->SetColour(step, step, 0xFFFF0000u);
         pixels->Touch();
       }, 30 * 30},
      {"a device font's turned field moves", [](Player& p, int step) {
         At(p, kLabelDepth).SetMatrix(At(20 + 30 * step, 150) * Matrix{0, 1, -1, 0, 0, 0});
       }, kSize * kSize / 2},
      {"nothing changes", [](Player&, int) {}, 0},
  };
  for (const Case& c : cases) {
    Player player(Face());
    std::vector<std::uint32_t> shown(kSize * kSize), whole(kSize * kSize);
    PixelTarget face{shown.data(), kSize, kSize, kSize};
    player.Render(face);
    for (int step = 0; step < 4; ++step) {
      c.change(player, step);
      const PixelBox drawn = player.RenderChanges(face);
      EXPECT_LE(Area(drawn), c.mostPixels) << c.what << ", step " << step;
      PixelTarget fresh{whole.data(), kSize, kSize, kSize};
      Renderer renderer;
      ASSERT_TRUE(renderer.Render(player.Tree(), fresh)) << c.what;
      int differ = 0;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
          if (face.At(x, y) != fresh.At(x, y) && differ++ < 3)
            ADD_FAILURE() << c.what << ", step " << step << ": (" << x << ", " << y << ") is " << std::hex
                          << face.At(x, y) << " drawn in part, " << fresh.At(x, y) << " drawn whole" << std::dec;
      EXPECT_EQ(differ, 0) << c.what << ", step " << step;
    }
  }
}

TEST(PartialRender, TheWholeFaceWhenItsSizeChanges) {
  Player player(Face());
  std::vector<std::uint32_t> px(kSize * kSize);
  PixelTarget face{px.data(), kSize, kSize, kSize};
  player.Render(face);
  PixelTarget smaller{px.data(), 100, 100, 100};
  const PixelBox drawn = player.RenderChanges(smaller);
  EXPECT_EQ(drawn, (PixelBox{0, 0, 100, 100}));
}

}  // namespace
}  // namespace dc::swf

// Paints: gradient ramps at exact pixels, spreads, the focal point, mixing
// in linear light, bitmap fills, the colour transform, the mask and the
// colour that overrides every style.
#include <gtest/gtest.h>

#include "raster_support.h"
#include "swf/model/bitmap.h"
#include "swf/raster/paint.h"

namespace dc::swf::test {
namespace {

constexpr Rgba kBlack{0, 0, 0, 255}, kWhite{255, 255, 255, 255};

// The gradient square's x from -16384 to 16384 lands on pixel x0 .. x1.
Matrix Across(double x0, double x1) {
  const double s = kTwipsPerPixel * (x1 - x0) / 32768;
  return {s, 0, 0, s, kTwipsPerPixel * (x0 + x1) / 2, 0};
}
// The gradient circle at centre (x, y) with radius r, in pixels.
Matrix Disc(double x, double y, double r) {
  const double s = kTwipsPerPixel * r / 16384;
  return {s, 0, 0, s, kTwipsPerPixel * x, kTwipsPerPixel * y};
}
FillStyle GradientFill(FillKind kind, Matrix m, std::vector<GradientStop> stops, SpreadMode spread = SpreadMode::Pad,
                       InterpolationMode mix = InterpolationMode::Normal, double focal = 0) {
  FillStyle f{kind, {}, m};
  f.gradient = {spread, mix, std::move(stops), focal};
  return f;
}

struct PixelCheck {
  std::int32_t x, y;
  std::uint32_t expected;
};

struct PaintCase {
  const char* what;
  FillStyle fill;
  std::vector<PixelCheck> pixels;
};

TEST(RasterPaint, GradientsAtExactPixels) {
  const std::vector<GradientStop> rgb{{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 255}}, {255, {0, 0, 255, 255}}};
  const std::vector<GradientStop> blackToWhite{{0, kBlack}, {255, kWhite}}, whiteToBlack{{0, kWhite}, {255, kBlack}};
  const auto grey = [](std::uint32_t v) { return Opaque(v, v, v); };
  // Ratio i at pixel i: the ramp runs from pixel centre 0.5 to 255.5, its
  // 256 entries spread evenly over it (pixel 192 takes entry 192); mixes
  // are truncated.
  const Matrix ratioPerPixel = Across(0.5, 255.5);
  // 17 px from ratio 0 to 255: 15 ratios a pixel from pixel 20.
  const Matrix short17 = Across(20.5, 37.5);
  const PaintCase cases[] = {
      {"linear stops", GradientFill(FillKind::LinearGradient, ratioPerPixel, rgb),
       {{0, 0, Opaque(255, 0, 0)}, {64, 0, Opaque(127, 127, 0)}, {128, 0, Opaque(0, 255, 0)},
        {192, 0, Opaque(0, 126, 128)}, {255, 0, Opaque(0, 0, 255)}, {299, 0, Opaque(0, 0, 255)}}},
      {"radial: centre, 10 px out, the edge, beyond",
       GradientFill(FillKind::RadialGradient, Disc(20.5, 20.5, 17), whiteToBlack),
       {{20, 20, grey(255)}, {30, 20, grey(105)}, {28, 26, grey(105)}, {20, 37, grey(0)}, {0, 0, grey(0)}}},
      {"pad", GradientFill(FillKind::LinearGradient, short17, blackToWhite, SpreadMode::Pad),
       {{12, 0, grey(0)}, {28, 0, grey(120)}, {45, 0, grey(255)}}},
      {"repeat", GradientFill(FillKind::LinearGradient, short17, blackToWhite, SpreadMode::Repeat),
       {{12, 0, grey(135)}, {28, 0, grey(120)}, {45, 0, grey(120)}}},
      {"reflect", GradientFill(FillKind::LinearGradient, short17, blackToWhite, SpreadMode::Reflect),
       {{12, 0, grey(120)}, {28, 0, grey(120)}, {45, 0, grey(135)}}},
      // From the focal point to the circle along a ray: (30.5, 30.5) is 1/3
      // of the way from (40.5, 30.5) to (10.5, 30.5).
      {"focal point right", GradientFill(FillKind::FocalGradient, Disc(30.5, 30.5, 20), whiteToBlack, SpreadMode::Pad,
                                         InterpolationMode::Normal, 0.5),
       {{40, 30, grey(255)}, {30, 30, grey(170)}, {44, 30, grey(153)}}},
      {"focal point left", GradientFill(FillKind::FocalGradient, Disc(30.5, 30.5, 20), whiteToBlack, SpreadMode::Pad,
                                        InterpolationMode::Normal, -0.5),
       {{20, 30, grey(255)}, {30, 30, grey(170)}, {16, 30, grey(153)}}},
      {"mixed as sRGB values", GradientFill(FillKind::LinearGradient, ratioPerPixel, blackToWhite),
       {{64, 0, grey(64)}, {128, 0, grey(128)}}},
      // Linear values held in 8 bits, truncated both ways: 1.055·(128/255)^(1/2.4)
      // - 0.055 = 0.7366 → 187; for 64/255, 0.5381 → 137; white comes back 254.
      {"mixed in linear light", GradientFill(FillKind::LinearGradient, ratioPerPixel, blackToWhite, SpreadMode::Pad,
                                             InterpolationMode::Linear),
       {{0, 0, grey(0)}, {64, 0, grey(137)}, {128, 0, grey(187)}, {255, 0, grey(254)}}},
      // Grey 128 is 55 in linear light; half way (entry 128) is 27.6, which
      // rounds to 28 and comes back as 93 (27 would give 91).
      {"a linear mix rounded", GradientFill(FillKind::LinearGradient, ratioPerPixel, {{0, kBlack}, {255, {128, 128, 128, 255}}},
                                            SpreadMode::Pad, InterpolationMode::Linear),
       {{128, 0, grey(93)}}},
  };
  for (const PaintCase& c : cases) {
    TestCanvas canvas(300, 50);
    canvas.Draw(Shape{{}, {c.fill}, {}, {Rect(0, 0, 300, 50, 0)}});
    for (const PixelCheck& p : c.pixels)
      EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(p.expected)) << c.what << " at (" << p.x << ", " << p.y << ")";
  }
}

TEST(RasterPaint, TranslucentRampInLinearLightComesBackPremultiplied) {
  // An entry below full alpha returns from linear light premultiplied: for
  // blue 255 at alpha 140 the table gives 254, 254·140/255 = 0.5469 in sRGB
  // is 0.2600 in linear light, / (140/255) = 0.4736, back to sRGB 0.7177 →
  // 183, premultiplied 100. Opaque entries are mixed as before.
  struct RampCase {
    const char* what;
    GradientStop from, to;
    int entry;
    std::uint32_t expected;
  } cases[] = {
      {"blue at alpha 140", {0, {0, 0, 255, 140}}, {255, {0, 0, 255, 140}}, 0, 0x8C000064},
      {"white at alpha 128", {0, {255, 255, 255, 128}}, {255, {255, 255, 255, 128}}, 0, 0x80585858},
      {"opaque red end", {0, {255, 0, 0, 255}}, {255, {0, 0, 255, 204}}, 0, 0xFFFE0000},
      {"half way, alpha 229", {0, {255, 0, 0, 255}}, {255, {0, 0, 255, 204}}, 128, 0xE59E009E},
      {"blue end at alpha 204", {0, {255, 0, 0, 255}}, {255, {0, 0, 255, 204}}, 255, 0xCC0000B3},
  };
  for (const RampCase& c : cases) {
    GradientRamp ramp;
    BuildRamp(Gradient{SpreadMode::Pad, InterpolationMode::Linear, {c.from, c.to}, 0}, ColorTransform{}, ramp);
    EXPECT_EQ(Hex(ramp.pixels[c.entry]), Hex(c.expected)) << c.what;
    EXPECT_FALSE(ramp.opaque) << c.what;
  }
}

TEST(RasterPaint, BitmapFillsNearestRepeatingOrClipped) {
  // A B
  // C D
  const Bitmap bitmap{2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}};
  struct BitmapCase {
    const char* what;
    Matrix m;  // bitmap pixels to twips
    bool repeating;
    std::uint16_t id;
    const char* picture;
  } cases[] = {
      {"1:1 repeating", Matrix::Scale(20, 20), true, 7, "ABABAB/CDCDCD/ABABAB/CDCDCD/ABABAB/CDCDCD"},
      {"1:1 clipped", Matrix::Scale(20, 20), false, 7, "ABBBBB/CDDDDD/CDDDDD/CDDDDD/CDDDDD/CDDDDD"},
      {"2x repeating", Matrix::Scale(40, 40), true, 7, "AABBAA/AABBAA/CCDDCC/CCDDCC/AABBAA/AABBAA"},
      {"2x clipped", Matrix::Scale(40, 40), false, 7, "AABBBB/AABBBB/CCDDDD/CCDDDD/CCDDDD/CCDDDD"},
      {"a pixel right, repeating", Matrix{20, 0, 0, 20, 20, 0}, true, 7, "BABABA/DCDCDC/BABABA/DCDCDC/BABABA/DCDCDC"},
      {"a pixel right, clipped", Matrix{20, 0, 0, 20, 20, 0}, false, 7, "AABBBB/CCDDDD/CCDDDD/CCDDDD/CCDDDD/CCDDDD"},
      {"a bitmap the movie lacks", Matrix::Scale(20, 20), true, 8, "....../....../....../....../....../......"},
  };
  for (const BitmapCase& c : cases) {
    FillStyle fill{FillKind::Bitmap, {}, c.m};
    fill.bitmapId = c.id;
    fill.repeating = c.repeating;
    fill.smoothed = false;
    TestCanvas canvas(6, 6);
    canvas.bitmaps = [&](std::uint16_t id) { return id == 7 ? &bitmap : nullptr; };
    canvas.Draw(Shape{{}, {fill}, {}, {Rect(0, 0, 6, 6, 0)}});
    EXPECT_EQ(canvas.Picture([&](std::uint32_t p) {
      const auto at = std::find(bitmap.pixels.begin(), bitmap.pixels.end(), p);
      return p == 0 ? '.' : at == bitmap.pixels.end() ? '?' : char('A' + (at - bitmap.pixels.begin()));
    }), c.picture) << c.what;
  }
}

TEST(RasterPaint, SmoothedBitmapMixesNeighbours) {
  // Black | white, four times larger, clipped: pixel x samples 0.375 + (x - 3) / 4 between the centres.
  const Bitmap bitmap{2, 1, {0xFF000000, 0xFFFFFFFF}};
  FillStyle fill{FillKind::Bitmap, {}, Matrix::Scale(80, 80)};
  fill.repeating = false;
  TestCanvas canvas(8, 1);
  canvas.bitmaps = [&](std::uint16_t) { return &bitmap; };
  canvas.Draw(Shape{{}, {fill}, {}, {Rect(0, 0, 8, 1, 0)}});
  const std::uint32_t expected[8] = {0, 0, 32, 96, 159, 223, 255, 255};
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(Hex(canvas.At(x, 0)), Hex(Opaque(expected[x], expected[x], expected[x]))) << "pixel " << x;
}

TEST(RasterPaint, ColourTransformMaskAndOverridingColour) {
  const Bitmap red{1, 1, {0xFFFF0000}};
  FillStyle bitmapFill{FillKind::Bitmap, {}, Matrix::Scale(20, 20)};
  const FillStyle gradient = GradientFill(FillKind::LinearGradient, Across(0.5, 3.5), {{0, kWhite}, {255, kBlack}});
  ColorTransform halfAlpha;
  halfAlpha.mulA = 0.5;
  ColorTransform redAdded;
  redAdded.addR = 255;
  const Rgba green{0, 255, 0, 255};
  struct ColourCase {
    const char* what;
    FillStyle fill;
    ColorTransform cx;
    std::uint32_t background;
    std::uint8_t mask;  // 255: no mask
    const Rgba* solid;
    std::uint32_t expected;  // pixel 0
  } cases[] = {
      {"alpha halved", Solid(kWhite), halfAlpha, 0, 255, nullptr, 0x7F7F7F7F},
      {"alpha halved over black", Solid(kWhite), halfAlpha, 0xFF000000, 255, nullptr, 0xFF7F7F7F},
      {"red added to blue", Solid({0, 0, 255, 255}), redAdded, 0, 255, nullptr, 0xFFFF00FF},
      {"mask at half", Solid(kWhite), {}, 0, 128, nullptr, 0x80808080},
      {"mask at half over black", Solid(kWhite), {}, 0xFF000000, 128, nullptr, 0xFF808080},
      {"mask shut", Solid(kWhite), {}, 0xFF000000, 0, nullptr, 0xFF000000},
      {"gradient alpha halved", gradient, halfAlpha, 0, 255, nullptr, 0x7F7F7F7F},
      {"bitmap alpha halved", bitmapFill, halfAlpha, 0, 255, nullptr, 0x7F7F0000},
      {"gradient masked", gradient, {}, 0, 128, nullptr, 0x80808080},
      {"overriding colour", gradient, {}, 0, 255, &green, 0xFF00FF00},
      {"overriding colour, alpha halved", bitmapFill, halfAlpha, 0, 255, &green, 0x7F007F00},
  };
  for (const ColourCase& c : cases) {
    TestCanvas canvas(4, 1, c.background);
    canvas.bitmaps = [&](std::uint16_t) { return &red; };
    if (c.mask != 255) canvas.mask.assign(4, c.mask);
    canvas.Draw(Shape{{}, {c.fill}, {}, {Rect(0, 0, 4, 1, 0)}}, kPixels, c.cx, c.solid);
    EXPECT_EQ(Hex(canvas.At(0, 0)), Hex(c.expected)) << c.what;
  }
}

}  // namespace
}  // namespace dc::swf::test

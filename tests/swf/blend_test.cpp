// Blend modes, one layer pixel over one backdrop pixel each, premultiplied,
// and a layer composited through a mask onto part of a canvas.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "swf/raster/blend_modes.h"

namespace dc::swf::test {
namespace {

struct BlendCase {
  BlendMode mode;
  std::uint32_t dst, src, expected;
};

constexpr std::uint32_t kBackdrop = 0xFF60A020u;  // opaque (96, 160, 32)
constexpr std::uint32_t kOpaque = 0xFFC04080u;    // opaque (192, 64, 128)
constexpr std::uint32_t kHalf = 0x80402000u;      // alpha 128: (128, 64, 0) straight

TEST(BlendModes, OnePixelOverAnother) {
  const BlendCase cases[] = {
      {BlendMode::Normal, kBackdrop, kOpaque, kOpaque},
      {BlendMode::Layer, kBackdrop, kHalf, 0xFF707010u},
      {BlendMode::Normal, kBackdrop, kHalf, 0xFF707010u},
      {BlendMode::Multiply, kBackdrop, kOpaque, 0xFF482810u},
      {BlendMode::Multiply, kBackdrop, kHalf, 0xFF486410u},
      {BlendMode::Multiply, 0, kOpaque, kOpaque},  // onto nothing: the source
      {BlendMode::Screen, kBackdrop, kOpaque, 0xFFD8B890u},
      {BlendMode::Lighten, kBackdrop, kOpaque, 0xFFC0A080u},
      {BlendMode::Darken, kBackdrop, kOpaque, 0xFF604020u},
      {BlendMode::Difference, kBackdrop, kOpaque, 0xFF606060u},
      {BlendMode::Add, kBackdrop, kOpaque, 0xFFFFE0A0u},
      {BlendMode::Add, kBackdrop, kHalf, 0xFFA0C020u},
      {BlendMode::Subtract, kBackdrop, kOpaque, 0xFF006000u},
      {BlendMode::Invert, kBackdrop, kOpaque, 0xFF9F5FDFu},
      {BlendMode::Alpha, kBackdrop, kHalf, 0x80305010u},
      {BlendMode::Erase, kBackdrop, kHalf, 0x7F305010u},
      {BlendMode::Overlay, kBackdrop, kOpaque, 0xFF917120u},
      {BlendMode::Hardlight, kBackdrop, kOpaque, 0xFFB05021u},
  };
  for (const BlendCase& c : cases) {
    EXPECT_EQ(BlendPixel(c.dst, c.src, c.mode), c.expected)
        << "mode " << static_cast<int>(c.mode) << " src " << std::hex << c.src;
  }
}

TEST(BlendModes, LayerLandsAtItsOriginThroughTheMask) {
  // A 2×2 layer whose pixel (0, 0) lies on canvas (2, -1): only its bottom
  // row shows, at (2, 0) and (3, 0), the second through half coverage.
  std::vector<std::uint32_t> pixels(4 * 2, kBackdrop);
  const Canvas canvas{pixels.data(), 4, 2, 4};
  const std::uint32_t layer[4] = {kOpaque, kOpaque, kOpaque, 0xFFFFFFFFu};
  std::vector<std::uint8_t> mask(8, 255);
  mask[3] = 128;
  CompositeLayer(canvas, layer, 2, 2, 2, 2, -1, BlendMode::Subtract, mask.data());
  const std::vector<std::uint32_t> expected{kBackdrop, kBackdrop, 0xFF006000u, 0xFF002000u,
                                            kBackdrop, kBackdrop, kBackdrop,   kBackdrop};
  EXPECT_EQ(pixels, expected);
}

}  // namespace
}  // namespace dc::swf::test

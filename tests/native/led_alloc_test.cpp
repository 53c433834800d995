// The render pass makes no heap allocation of its own: the pixel buffer is
// the caller's (the DIB section of the pass).
#include <gtest/gtest.h>

#include <vector>

#include "testkit/alloc_counter.h"
#include "led/led_model.h"

TEST(LedRenderPass, AllocatesNothingBeyondItsPixelBuffer) {
  for (const char* text : {"12:34:56", "12:34:56 PM", "1.2.3", ""}) {
    dc::led::LedModel m;
    m.SetText(text);
    m.size = {400, 40};
    std::vector<std::uint32_t> pixels(400 * 40);
    dc::PixelTarget target{pixels.data(), 400, 40, 400};
    const std::size_t before = dcbench::allocations;
    m.Render(target);
    (void)m.SizeAfterPass();
    EXPECT_EQ(dcbench::allocations - before, 0u) << text;
  }
}

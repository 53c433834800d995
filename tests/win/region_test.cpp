// Regions from many rectangles: joined bands equal one call.
#include <gtest/gtest.h>

#include <vector>

#include "layout/window_layout.h"
#include "ui/region.win.h"

TEST(Region, BandsJoinedPairwiseEqualOneCall) {
  // A 100 x 60 dithered face: many runs of varying length.
  std::vector<std::uint32_t> px(100 * 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) px[y * 100 + x] = ((x * 7 + y * 3) % 5 < 2) ? 0x00FF00FF : 0x00101010;
  std::vector<dc::Rect> rects = dc::PictureRegionRects(px, 100, 60, 0x00FF00FF, 5, 7);
  ASSERT_GT(rects.size(), 1000u);
  dc::ui::UniqueRegion oneRegion = dc::ui::RegionFromRects(rects, rects.size());
  dc::ui::UniqueRegion bandedRegion = dc::ui::RegionFromRects(rects, 64);
  dc::ui::UniqueRegion oddRegion = dc::ui::RegionFromRects(rects, 7);
  HRGN one = oneRegion.get(), banded = bandedRegion.get(), odd = oddRegion.get();
  ASSERT_TRUE(one && banded && odd);
  EXPECT_TRUE(EqualRgn(one, banded));
  EXPECT_TRUE(EqualRgn(one, odd));
  EXPECT_TRUE(PtInRegion(banded, 5 + 2, 7 + 0));    // (2, 0) is face
  EXPECT_FALSE(PtInRegion(banded, 5 + 0, 7 + 0));   // (0, 0) is key
  EXPECT_FALSE(PtInRegion(banded, 105, 7));          // right of the face
  dc::ui::UniqueRegion empty = dc::ui::RegionFromRects({}, 64);
  RECT box;
  EXPECT_EQ(GetRgnBox(empty.get(), &box), NULLREGION);
}

// Under Wine or on Windows: the whole window shape of a 1024 x 1024 face,
// the pixel scan plus the one ExtCreateRegion call, in milliseconds, for
// faces with more and more runs. Run by hand:
//   cmake/wine-run.sh build/win/bin/shape_region_bench.exe
#include <windows.h>

#include <cstdio>
#include <vector>

#include "layout/window_layout.h"
#include "ui/region.win.h"

int main() {
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  // One call for everything, for comparison, only where it ends in seconds.
  for (std::size_t chunk : {dc::ui::kRectsPerCall, std::size_t{1} << 30})
  for (int period : {1024, 64, 8, 2}) {
    if (chunk > dc::ui::kRectsPerCall && period < 64) continue;
    std::vector<std::uint32_t> px(1024 * 1024);
    for (int y = 0; y < 1024; ++y)
      for (int x = 0; x < 1024; ++x) px[y * 1024 + x] = ((x / period + y) % 2) ? 0x00FF00FF : 0x00404040;
    double best = 1e9;
    std::size_t runs = 0;
    for (int round = 0; round < 3; ++round) {
      LARGE_INTEGER t0, t1;
      QueryPerformanceCounter(&t0);
      std::vector<dc::Rect> rects = dc::PictureRegionRects(px, 1024, 1024, 0x00FF00FF, 0, 0);
      dc::ui::UniqueRegion region = dc::ui::RegionFromRects(rects, chunk);
      QueryPerformanceCounter(&t1);
      if (!region) {
        std::printf("ExtCreateRegion failed for %zu runs\n", rects.size());
        return 1;
      }
      runs = rects.size();
      best = std::min(best, 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart));
    }
    std::printf("%5zu rects a call, %8zu runs: %7.2f ms (best of 3)\n", chunk, runs, best);
  }
  return 0;
}

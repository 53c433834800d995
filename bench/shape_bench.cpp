// The window shape's pixel scan for a 1024 x 1024 face: a checkerboard of
// key and face pixels in 2-pixel stripes (the worst case for runs), and
// fewer runs for comparison; reports runs per pass.
#include <benchmark/benchmark.h>

#include <vector>

#include "layout/window_layout.h"

namespace {

std::vector<std::uint32_t> Face(int size, int period) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) px[static_cast<std::size_t>(y) * size + x] = ((x / period + y) % 2) ? 0x00FF00FF : 0x00404040;
  return px;
}

void Scan(benchmark::State& state) {
  const int period = static_cast<int>(state.range(0));
  std::vector<std::uint32_t> px = Face(1024, period);
  std::size_t runs = 0;
  for (auto _ : state) {
    std::vector<dc::Rect> rects = dc::PictureRegionRects(px, 1024, 1024, 0x00FF00FF, 0, 0);
    runs = rects.size();
    benchmark::DoNotOptimize(rects.data());
  }
  state.counters["runs"] = static_cast<double>(runs);
}

}  // namespace

BENCHMARK(Scan)->Arg(2)->Arg(8)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

// The LED render pass: nanoseconds per pass and heap allocations per pass,
// for the clock's time texts at the default and at a large geometry.
#include <benchmark/benchmark.h>

#include <vector>

#include "testkit/alloc_counter.h"
#include "led/led_model.h"

namespace {

void RenderPass(benchmark::State& state, const char* text, int w, int h, int t) {
  dc::led::LedModel m;
  m.SetCellWidth(w);
  m.SetCellHeight(h);
  m.SetThickness(t);
  m.SetUnlitColour(m.Background());  // as the clock window configures it
  m.SetText(text);
  m.size = {m.TextWidth(), 2 * m.MarginY() + m.CellHeight()};
  // The pass's one pixel buffer (the DIB section in the player).
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(m.size.width) * m.size.height);
  dc::PixelTarget target{pixels.data(), m.size.width, m.size.height, m.size.width};
  const std::size_t before = dcbench::allocations;
  for (auto _ : state) {
    m.Render(target);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::DoNotOptimize(m.SizeAfterPass());
  }
  state.counters["allocs/pass"] =
      benchmark::Counter(static_cast<double>(dcbench::allocations - before) / static_cast<double>(state.iterations()));
}

}  // namespace

BENCHMARK_CAPTURE(RenderPass, default_8_chars, "12:34:56", 17, 29, 3);
BENCHMARK_CAPTURE(RenderPass, default_11_chars, "12:34:56 PM", 17, 29, 3);
BENCHMARK_CAPTURE(RenderPass, large_8_chars, "12:34:56", 60, 101, 9);
BENCHMARK_CAPTURE(RenderPass, large_11_chars, "12:34:56 PM", 60, 101, 9);

BENCHMARK_MAIN();

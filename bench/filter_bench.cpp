// One frame of a 200 × 200 face whose three hands carry drop shadows, drawn
// by the player's renderer: each hand is drawn into a layer, its shadow
// blurred (4 px, one pass and three passes) and offset, and the layer
// composited over the dial. The goal is under 2 ms a frame. For an
// instruction count (FILTER_BENCH_FRAME=file.ppm writes the frame):
//   valgrind --tool=callgrind build/host/bin/filter_bench --benchmark_filter=ShadowedHands/1
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "swf/player/render.h"
#include "testkit/swf_writer.h"

namespace {

using namespace dc::swf;
using namespace dc::swf::test;

Bytes Append(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A bar `width` px wide from the centre up to `length` px.
Bytes Hand(std::uint16_t id, int length, int width, Rgba colour) {
  const std::int32_t top = -length * 20, half = width * 10;
  return DefineShape(3, id, {-half, half, top, 0}, {{FillStyle{FillKind::Solid, colour}}, {}},
                     {StyleChange{std::pair{-half, top}, std::nullopt, 1u, std::nullopt, std::nullopt},
                      LineTo{2 * half, 0}, LineTo{0, -top}, LineTo{-2 * half, 0}, LineTo{0, top}});
}

// A disc of radius 95 px from eight curves.
Bytes Dial(std::uint16_t id) {
  std::vector<ShapeRecord> records{StyleChange{std::pair{1900, 0}, std::nullopt, 1u, std::nullopt, std::nullopt}};
  const double r = 1900, c = r / std::cos(std::numbers::pi / 8);
  double px = r, py = 0;
  for (int i = 1; i <= 8; ++i) {
    const double a = i * std::numbers::pi / 4, m = a - std::numbers::pi / 8;
    const double cx = std::round(c * std::cos(m)), cy = std::round(c * std::sin(m));
    const double ax = std::round(r * std::cos(a)), ay = std::round(r * std::sin(a));
    records.push_back(CurveTo{static_cast<std::int32_t>(cx - px), static_cast<std::int32_t>(cy - py),
                              static_cast<std::int32_t>(ax - cx), static_cast<std::int32_t>(ay - cy)});
    px = ax, py = ay;
  }
  return DefineShape(3, id, {-1950, 1950, -1950, 1950}, {{FillStyle{FillKind::Solid, {240, 235, 220, 255}}}, {}},
                     records);
}

std::shared_ptr<const Movie> Face() {
  Bytes tags = Append(Dial(1), Hand(2, 55, 8, {30, 30, 30, 255}));
  tags = Append(tags, Hand(3, 80, 5, {30, 30, 30, 255}));
  tags = Append(tags, Hand(4, 90, 2, {200, 20, 20, 255}));
  const Matrix centre{1, 0, 0, 1, 2000, 2000};
  tags = Append(tags, PlaceObjectTag(Placed(1, 1, nullptr, centre), 2, 8));
  const double angles[] = {1.1, 3.9, 5.2};
  for (std::uint16_t i = 0; i < 3; ++i) {
    const double a = angles[i];
    // Scales and turns in 16.16, as the file holds them.
    const auto fixed = [](double v) { return std::round(v * 65536) / 65536; };
    PlaceObject hand = Placed(static_cast<std::uint16_t>(2 + i), static_cast<std::uint16_t>(2 + i), nullptr,
                              {fixed(std::cos(a)), fixed(std::sin(a)), fixed(-std::sin(a)), fixed(std::cos(a)), 2000, 2000});
    tags = Append(tags, PlaceObjectTag(hand, 2, 8));
  }
  tags = Append(tags, ShowFrame());
  const Bytes file = Fws(Header{8, {0, 4000, 0, 4000}, 12 << 8, 1}, tags);
  return std::make_shared<const Movie>(ReadMovie(file));
}

void ShadowedHands(benchmark::State& state) {
  Player player(Face());  // shows the first frame
  DisplayTree& tree = player.Tree();
  // The hands' shadows, as a script sets them (0 passes: plain hands, to
  // compare).
  ShadowFilter shadow;
  shadow.color = {0, 0, 0, 160};
  shadow.passes = static_cast<std::uint8_t>(state.range(0));
  for (auto& [depth, child] : tree.Root().children) {
    if (depth > 1 && shadow.passes > 0) child->filters = {shadow};
  }
  std::vector<std::uint32_t> pixels(200 * 200);
  dc::PixelTarget face{pixels.data(), 200, 200, 200};
  Renderer renderer;
  renderer.Render(tree, face);  // the layers grow once
  if (const char* path = std::getenv("FILTER_BENCH_FRAME")) {  // the frame as a PPM, to look at
    if (std::FILE* f = std::fopen(path, "wb")) {
      std::fprintf(f, "P6 200 200 255\n");
      for (std::uint32_t p : pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
      }
      std::fclose(f);
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(renderer.Render(tree, face));
    benchmark::DoNotOptimize(pixels.data());
  }
}

}  // namespace

BENCHMARK(ShadowedHands)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

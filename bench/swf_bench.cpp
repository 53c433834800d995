// One frame of a 200 × 200 clock face drawn by the SWF rasterizer: a
// radial gradient disc, a ring, twelve rotated hour marks, sixty minute
// ticks, three curved hands with strokes and shadows, a linear gradient
// highlight, a date window and a centre cap; 30 shapes. Reports the time
// and heap allocations per frame; SWF_BENCH_FRAME=file.ppm writes the frame
// to look at. For an instruction count:
//   valgrind --tool=callgrind --toggle-collect="*DrawFace*"
//     build/host/bin/swf_bench --benchmark_filter=FaceFrame/low:0/iterations:100
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "testkit/alloc_counter.h"
#include "swf/raster/draw_shape.h"

namespace {

using namespace dc::swf;

constexpr double kTwips = 20;
constexpr double kPi = std::numbers::pi;

Point Tw(double x, double y) { return {x * kTwips, y * kTwips}; }

// A circle of eight quadratic curves, in twips, centred on the origin.
std::vector<Edge> Circle(double r, bool reversed = false) {
  std::vector<Edge> edges;
  const double reach = r / std::cos(kPi / 8);
  for (int i = 0; i < 8; ++i) {
    const double a0 = i * kPi / 4, a1 = (i + 1) * kPi / 4, am = (a0 + a1) / 2;
    edges.push_back({Tw(r * std::cos(a0), r * std::sin(a0)), Tw(reach * std::cos(am), reach * std::sin(am)),
                     Tw(r * std::cos(a1), r * std::sin(a1)), true});
  }
  if (reversed) {
    std::vector<Edge> back;
    for (auto e = edges.rbegin(); e != edges.rend(); ++e) back.push_back({e->to, e->control, e->from, true});
    edges = back;
  }
  return edges;
}

std::vector<Edge> Polygon(std::vector<Point> px) {
  std::vector<Edge> edges;
  for (std::size_t i = 0; i < px.size(); ++i) {
    const Point& a = px[i];
    const Point& b = px[(i + 1) % px.size()];
    edges.push_back({Tw(a.x, a.y), {}, Tw(b.x, b.y), false});
  }
  return edges;
}

FillStyle SolidFill(Rgba c) { return FillStyle{FillKind::Solid, c}; }

FillStyle Gradient(FillKind kind, Matrix m, std::vector<GradientStop> stops) {
  FillStyle f{kind, {}, m};
  f.gradient.stops = std::move(stops);
  return f;
}

LineStyle Stroke(double widthPx, Rgba c) {
  LineStyle l;
  l.width = static_cast<std::uint16_t>(widthPx * kTwips);
  l.color = c;
  return l;
}

// A hand pointing up from the centre: a curved blade of `length` and `width`
// pixels, outlined unless `strokePx` is negative.
Shape Hand(double length, double width, Rgba fill, double strokePx) {
  Shape s{{}, {SolidFill(fill)}, {}, {}};
  if (strokePx >= 0) s.lines.push_back(Stroke(strokePx, {20, 20, 20, 255}));
  const double w = width / 2;
  Path p{0, -1, strokePx >= 0 ? 0 : -1, 0, {}};
  p.edges.push_back({Tw(-w, 8), Tw(-w * 1.6, -length * 0.5), Tw(0, -length), true});
  p.edges.push_back({Tw(0, -length), Tw(w * 1.6, -length * 0.5), Tw(w, 8), true});
  p.edges.push_back({Tw(w, 8), {}, Tw(-w, 8), false});
  s.paths.push_back(p);
  return s;
}

struct Placed {
  Shape shape;
  Matrix matrix;  // shape twips to canvas pixels
};

Matrix Place(double x, double y, double angle) {
  const double c = std::cos(angle) / kTwips, s = std::sin(angle) / kTwips;
  return {c, s, -s, c, x, y};
}

std::vector<Placed> Face() {
  std::vector<Placed> face;
  const Matrix centre = Place(100, 100, 0);
  // The disc: a radial gradient, light in the upper left.
  {
    const double r = 96 * kTwips / 16384;
    Shape s{{}, {Gradient(FillKind::RadialGradient, {r, 0, 0, r, -20 * kTwips, -20 * kTwips},
                          {{0, {250, 250, 245, 255}}, {180, {200, 205, 215, 255}}, {255, {120, 125, 140, 255}}})},
            {}, {Path{0, -1, -1, 0, Circle(96)}}};
    face.push_back({s, centre});
  }
  // The ring: a band between two circles, stroked on the outside.
  {
    Shape s{{}, {SolidFill({40, 40, 50, 255})}, {Stroke(1, {10, 10, 10, 255})}, {}};
    s.paths.push_back(Path{0, -1, 0, 0, Circle(98)});
    s.paths.push_back(Path{0, -1, -1, 0, Circle(91, true)});
    face.push_back({s, centre});
  }
  // Twelve hour marks, each its own placed rectangle.
  for (int h = 0; h < 12; ++h) {
    const std::vector<Edge> mark = Polygon({{-2, -86}, {2, -86}, {2, -72}, {-2, -72}});
    Shape s{{}, {SolidFill({30, 30, 30, 255})}, {}, {Path{0, -1, -1, 0, mark}}};
    face.push_back({s, Place(100, 100, h * kPi / 6)});
  }
  // Sixty minute ticks in four shapes of fifteen hairlines.
  for (int q = 0; q < 4; ++q) {
    Shape s{{}, {}, {Stroke(0, {60, 60, 60, 255})}, {}};
    for (int m = q * 15; m < q * 15 + 15; ++m) {
      const double a = m * kPi / 30;
      s.paths.push_back(Path{-1, -1, 0, 0, {{Tw(86 * std::sin(a), -86 * std::cos(a)), {},
                                             Tw(82 * std::sin(a), -82 * std::cos(a)), false}}});
    }
    face.push_back({s, centre});
  }
  // A date window with a frame.
  {
    Shape s{{}, {SolidFill({255, 255, 255, 255})}, {Stroke(1, {0, 0, 0, 255})},
            {Path{0, -1, 0, 0, Polygon({{40, -8}, {64, -8}, {64, 8}, {40, 8}})}}};
    face.push_back({s, centre});
  }
  // Three hands with shadows, at 10:10:30.
  const struct {
    double length, width, angle, stroke;
    Rgba colour;
  } hands[] = {{50, 8, 2 * kPi * 10.17 / 12, 1, {20, 20, 30, 255}},
               {78, 6, 2 * kPi * 10.5 / 60, 1, {20, 20, 30, 255}},
               {86, 2, 2 * kPi * 30 / 60, 0, {200, 20, 20, 255}}};
  for (const auto& h : hands) {
    face.push_back({Hand(h.length, h.width, {0, 0, 0, 60}, -1), Place(102, 103, h.angle)});
    face.push_back({Hand(h.length, h.width, h.colour, h.stroke), Place(100, 100, h.angle)});
  }
  // The glass: a linear gradient from white to clear over the upper half.
  {
    Matrix m{0, 90 * kTwips / 32768, -90 * kTwips / 32768, 0, 0, -45 * kTwips};  // runs down the face
    const FillStyle glass =
        Gradient(FillKind::LinearGradient, m, {{0, {255, 255, 255, 140}}, {255, {255, 255, 255, 0}}});
    Shape s{{}, {glass}, {}, {}};
    Path p{0, -1, -1, 0, {}};
    p.edges.push_back({Tw(-80, -10), Tw(-80, -90), Tw(0, -90), true});
    p.edges.push_back({Tw(0, -90), Tw(80, -90), Tw(80, -10), true});
    p.edges.push_back({Tw(80, -10), Tw(0, 10), Tw(-80, -10), true});
    s.paths.push_back(p);
    face.push_back({s, centre});
  }
  // The centre cap: a small radial gradient button with a rim.
  {
    const double r = 6 * kTwips / 16384;
    const FillStyle brass = Gradient(FillKind::RadialGradient, {r, 0, 0, r, -kTwips, -kTwips},
                                     {{0, {255, 230, 150, 255}}, {255, {150, 110, 30, 255}}});
    Shape s{{}, {brass}, {Stroke(1, {60, 40, 10, 255})}, {Path{0, -1, 0, 0, Circle(6)}}};
    face.push_back({s, centre});
  }
  return face;
}

void WritePpm(const char* path, const std::vector<std::uint32_t>& pixels, int w, int h) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) {
    std::perror(path);
    return;
  }
  std::fprintf(f, "P6 %d %d 255\n", w, h);
  for (std::uint32_t p : pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, f);
  }
  if (std::fclose(f) != 0) std::perror(path);
}

__attribute__((noinline)) void DrawFace(const std::vector<Placed>& face, const DrawTarget& target) {
  for (const Placed& p : face) DrawShape(p.shape, p.matrix, {}, target);
}

// Argument 0: HIGH quality, smoothed; 1: LOW, each pixel in or out.
void FaceFrame(benchmark::State& state) {
  const std::vector<Placed> face = Face();
  std::vector<std::uint32_t> pixels(200 * 200);
  DrawTarget target{{pixels.data(), 200, 200, 200}, nullptr, {}, nullptr};
  target.quality = state.range(0) == 1 ? Quality::Low : Quality::High;
  std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
  DrawFace(face, target);  // the buffers grow once
  if (const char* path = std::getenv("SWF_BENCH_FRAME")) WritePpm(path, pixels, 200, 200);
  const std::size_t before = dcbench::allocations;
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
    DrawFace(face, target);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["shapes"] = static_cast<double>(face.size());
  state.counters["allocs/frame"] =
      benchmark::Counter(static_cast<double>(dcbench::allocations - before) / static_cast<double>(state.iterations()));
}

// The same face drawn again only in the box a second hand's turn leaves
// changed (about 20 x 90 pixels), as a frame of a clock drawn in part.
void FaceFrameInPart(benchmark::State& state) {
  const std::vector<Placed> face = Face();
  std::vector<std::uint32_t> pixels(200 * 200, 0xFFFFFFFFu);
  DrawTarget target{{pixels.data(), 200, 200, 200, {96, 8, 116, 102}}, nullptr, {}, nullptr};
  DrawFace(face, target);
  const std::size_t before = dcbench::allocations;
  for (auto _ : state) {
    DrawFace(face, target);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["allocs/frame"] =
      benchmark::Counter(static_cast<double>(dcbench::allocations - before) / static_cast<double>(state.iterations()));
}

}  // namespace

BENCHMARK(FaceFrame)->ArgName("low")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(FaceFrame)->ArgName("low")->Arg(0)->Arg(1)->Iterations(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(FaceFrameInPart)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

// Text layout's cost per frame for a digital face: a clock field laid out
// in the fallback font, in a font of the movie's and in a device font
// whose glyphs are cached, a paragraph wrapped in a wide field, and a
// static text; plus building the fallback font, which happens once at
// first use.
#include <benchmark/benchmark.h>

#include "swf/text/device_fonts.h"
#include "swf/text/fallback_font.h"
#include "swf/text/text_layout.h"

namespace {

using namespace dc::swf;

EditText ClockField(bool ownFont) {
  EditText field;
  field.bounds = {0, 4000, 0, 1200};
  field.height = 720;
  field.align = TextAlign::Center;
  field.fontId = 1;
  field.useOutlines = ownFont;
  return field;
}

void BuildFallbackFontOnce(benchmark::State& state) {
  // Only the first iteration builds it; the mean is the build spread over
  // the iterations, so read the first run's total.
  for (auto _ : state) benchmark::DoNotOptimize(&FallbackFont());
}

void ClockTextInFallback(benchmark::State& state) {
  const EditText field = ClockField(false);
  for (auto _ : state) benchmark::DoNotOptimize(LayOutEditText(field, "10:08:30 AM", {}).glyphs.data());
}

void ClockTextInMovieFont(benchmark::State& state) {
  const Font& font = FallbackFont();  // stands in for a movie's embedded font of some 200 glyphs
  const FontLookup fonts = [&](std::uint16_t) { return &font; };
  const EditText field = ClockField(true);
  for (auto _ : state) benchmark::DoNotOptimize(LayOutEditText(field, "10:08:30 AM", fonts).glyphs.data());
}

// The system's font as the clock's cache holds it after the first frame:
// the fallback font's glyphs stand in for the system's.
class CachedSystemFont : public DeviceFontSource {
 public:
  std::optional<DeviceFontMetrics> Metrics(std::string_view, bool, bool) override {
    return DeviceFontMetrics{FallbackFont().ascent, FallbackFont().descent};
  }
  std::optional<Glyph> GlyphOf(std::string_view, bool, bool, char32_t code) override {
    return FallbackFont().glyphs[FallbackGlyphIndex(code)];
  }
};

void ClockTextInDeviceFont(benchmark::State& state) {
  DeviceFonts device(std::make_shared<CachedSystemFont>());
  const EditText field = ClockField(false);
  for (auto _ : state)
    benchmark::DoNotOptimize(LayOutEditText(field, "10:08:30 AM", {}, kDefaultLimits.maxGlyphs, &device).glyphs.data());
}

void WrappedParagraph(benchmark::State& state) {
  EditText field = ClockField(false);
  field.bounds = {0, 8000, 0, 100000};
  field.multiline = field.wordWrap = true;
  field.align = TextAlign::Justify;
  field.height = 240;
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Wednesday the twenty-first of December ";
  for (auto _ : state) benchmark::DoNotOptimize(LayOutEditText(field, text, {}).glyphs.data());
  state.counters["chars"] = static_cast<double>(text.size());
}

void StaticClockText(benchmark::State& state) {
  const Font& font = FallbackFont();
  StaticText text;
  TextRecord record{1, {}, 720, 0, 600, {}};
  for (char c : std::string("10:08:30 AM")) record.glyphs.push_back({static_cast<std::uint32_t>(FallbackGlyphIndex(c)), 400});
  text.records.push_back(record);
  const FontLookup fonts = [&](std::uint16_t) { return &font; };
  for (auto _ : state) benchmark::DoNotOptimize(LayOutStaticText(text, fonts).data());
}

}  // namespace

BENCHMARK(BuildFallbackFontOnce)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ClockTextInFallback)->Unit(benchmark::kMicrosecond);
BENCHMARK(ClockTextInMovieFont)->Unit(benchmark::kMicrosecond);
BENCHMARK(ClockTextInDeviceFont)->Unit(benchmark::kMicrosecond);
BENCHMARK(WrappedParagraph)->Unit(benchmark::kMicrosecond);
BENCHMARK(StaticClockText)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

// Text layout's cost per frame for a digital face: a clock field laid out
// and placed in the fallback font, in a font of the movie's and in a device font
// whose glyphs are cached, a paragraph wrapped in a wide field, and a
// static text; plus building the fallback font, which happens once at
// first use.
#include <benchmark/benchmark.h>

#include "swf/model/movie.h"
#include "swf/text/device_fonts.h"
#include "swf/text/fallback_font.h"
#include "swf/text/field_glyphs.h"
#include "swf/text/text_layout.h"

namespace {

using namespace dc::swf;

// A field's text in one run, laid out as scripts measure it and placed as
// it is drawn.
EditTextLayout LayOutAndPlace(const std::u32string& text, const FontLibrary& fonts, bool embed, std::int32_t width,
                              bool wrap, TextAlign align, double sizePx) {
  FieldDocument doc;
  TextFormat format;
  format.font = "Clock", format.size = sizePx, format.align = align;
  doc.Set(text, format);
  FieldFrame frame;
  frame.width = width, frame.wordWrap = wrap, frame.embedFonts = embed;
  return PlaceFieldGlyphs(doc, LayOutField(doc, format, frame, fonts), frame, FieldBox{{0, width, 0, 100000}, {}, {}},
                          fonts);
}

void BuildFallbackFontOnce(benchmark::State& state) {
  // Only the first iteration builds it; the mean is the build spread over
  // the iterations, so read the first run's total.
  for (auto _ : state) benchmark::DoNotOptimize(&FallbackFont());
}

void ClockTextInFallback(benchmark::State& state) {
  const FontLibrary fonts;
  for (auto _ : state)
    benchmark::DoNotOptimize(LayOutAndPlace(U"10:08:30 AM", fonts, false, 4000, false, TextAlign::Center, 36).glyphs.data());
}

void ClockTextInMovieFont(benchmark::State& state) {
  Movie movie;
  Font font = FallbackFont();  // stands in for a movie's embedded font of some 200 glyphs
  font.name = "Clock";
  movie.characters[1] = std::make_shared<const Character>(std::move(font));
  const FontLibrary fonts(movie);
  for (auto _ : state)
    benchmark::DoNotOptimize(LayOutAndPlace(U"10:08:30 AM", fonts, true, 4000, false, TextAlign::Center, 36).glyphs.data());
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
  FontLibrary fonts;
  fonts.SetDeviceFonts(&device);
  for (auto _ : state)
    benchmark::DoNotOptimize(LayOutAndPlace(U"10:08:30 AM", fonts, false, 4000, false, TextAlign::Center, 36).glyphs.data());
}

void WrappedParagraph(benchmark::State& state) {
  const FontLibrary fonts;
  std::u32string text;
  for (int i = 0; i < 40; ++i) text += U"Wednesday the twenty-first of December ";
  for (auto _ : state)
    benchmark::DoNotOptimize(LayOutAndPlace(text, fonts, false, 8000, true, TextAlign::Justify, 12).glyphs.data());
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

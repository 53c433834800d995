// Placing a laid-out field's glyphs run by run.
#include "swf/text/field_glyphs.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace dc::swf {
namespace {

constexpr std::int32_t kUnderlineThickness = 20;  // twips
constexpr char32_t kBullet = 0x2022;

Rgba Opaque(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb), 255};
}

// An underline: a pixel thick, its top half the line's descent below the
// baseline, from `x0` to `x1`. Held by the placed glyph as a glyph of its
// own.
PlacedGlyph Underline(double x0, double x1, double top, Rgba color) {
  auto line = std::make_shared<Glyph>();
  const auto y = static_cast<std::int32_t>(std::floor(top));
  line->shape = FieldBoxShape({static_cast<std::int32_t>(std::floor(x0)), static_cast<std::int32_t>(std::ceil(x1)), y,
                               y + kUnderlineThickness},
                              Rgba{0, 0, 0, 255}, std::nullopt);
  const Shape* shape = &line->shape;
  return {shape, Matrix{}, color, std::move(line)};
}

}  // namespace

EditTextLayout PlaceFieldGlyphs(const FieldDocument& doc, const FieldLayout& layout, const FieldFrame& frame,
                                const FieldBox& box, const FontLibrary& fonts, std::size_t maxGlyphs) {
  const std::u32string& text = doc.Text();
  const auto& runs = doc.Runs();
  // Each run's face, made when a line first shows one of its characters.
  std::vector<std::optional<FontFace>> faces(runs.size());
  const auto face = [&](std::size_t r) -> const FontFace& {
    if (!faces[r]) {
      const TextFormat& f = runs[r].format;
      faces[r].emplace(fonts, frame.embedFonts ? fonts.FindForEmbedding(f.font, f.bold, f.italic) : nullptr, f.size, f.font,
                       f.bold, f.italic);
    }
    return *faces[r];
  };

  std::vector<std::size_t> runEnd;  // past each run's last character
  runEnd.reserve(runs.size());
  for (std::size_t r = 0, at = 0; r < runs.size(); ++r) runEnd.push_back(at += runs[r].length);

  EditTextLayout out;
  const TwipRect& b = box.bounds;
  std::size_t placed = 0;
  for (const LaidLine& line : layout.lines) {
    const double top = b.yMin + kFieldGutter + line.top;
    if (top >= b.yMax || placed >= maxGlyphs) break;
    const double baseline = top + line.ascent;
    double x = b.xMin + kFieldGutter + line.x;
    std::int32_t pen = 0;  // twips into the line, spaces not spread
    std::size_t r = line.run;
    bool underlining = false;
    double underFrom = 0;  // where the underline being drawn starts
    Rgba underColour;
    if (line.bullet && line.run < runs.size()) {
      // The bullet, in the paragraph's first character's font, at the margin.
      const FontFace::Drawn drawn = face(line.run).Draw(kBullet);
      const double at = x - kBulletIndent;
      if (drawn.shape != nullptr && at < b.xMax)
        out.glyphs.push_back({drawn.shape, Matrix{drawn.scale, 0, 0, drawn.scale, at, baseline},
                              Opaque(runs[line.run].format.color), drawn.device});
    }
    const auto endUnderline = [&](double at) {
      if (underlining && at > underFrom)
        out.glyphs.push_back(Underline(underFrom, at, baseline + line.descent / 2.0, underColour));
      underlining = false;
    };
    for (std::size_t i = line.begin; i < line.end && i < text.size() && placed < maxGlyphs; ++i, ++placed) {
      while (r + 1 < runs.size() && i >= runEnd[r]) ++r;
      const char32_t code = text[i];
      const TextFormat& format = runs[r].format;
      const Rgba colour = Opaque(format.color);
      const double advance = layout.advances[i];
      if (code >= U' ' && code != 0xFEFF) {  // breaks, tabs and other controls show nothing
        const FontFace::Drawn drawn = face(r).Draw(frame.password ? U'*' : code);
        const bool beside = x + advance <= b.xMin || x >= b.xMax;
        if (drawn.shape != nullptr && !beside)
          out.glyphs.push_back({drawn.shape, Matrix{drawn.scale, 0, 0, drawn.scale, x, baseline}, colour, drawn.device});
      }
      const bool under = format.underline && code != U'\r';
      if (underlining && (!under || !(underColour == colour))) endUnderline(x);
      if (under && !underlining) underlining = true, underFrom = x, underColour = colour;
      pen += layout.advances[i];
      x += advance + (code == U' ' && pen < line.inked ? line.spread : 0);
    }
    endUnderline(x);
  }
  if (box.background) out.background = FieldBoxShape(b, *box.background, std::nullopt);
  if (box.border) out.border = FieldBoxShape(b, std::nullopt, *box.border);
  return out;
}

}  // namespace dc::swf

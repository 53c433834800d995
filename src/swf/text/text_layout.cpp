// Placing the glyphs of static texts, and a field's box.
#include "swf/text/text_layout.h"

#include <utility>

#include "swf/model/rectangle_edges.h"
#include "swf/text/device_fonts.h"
#include "swf/text/fallback_font.h"
#include "swf/limits.h"

namespace dc::swf {
namespace {

bool IsBlank(char32_t code) {
  return code == ' ' || code == '\t' || code == 0xA0 || code == 0x3000 || (code >= 0x2000 && code <= 0x200B);
}

// A glyph the font holds, but with no outline, stands for a character the
// movie did not embed, unless the character is a space anyway. Code 0 is
// a glyph of a font that gives no codes (DefineFont alone): nothing to
// stand in for.
bool OutlineMissing(const Glyph& glyph) {
  return glyph.shape.paths.empty() && glyph.code != 0 && !IsBlank(glyph.code);
}

const Glyph& FallbackGlyph(char32_t code) {
  return FallbackFont().glyphs[FallbackGlyphIndex(code == '\t' ? U' ' : code)];
}

Matrix GlyphMatrix(double x, double y, double scale) { return {scale, 0, 0, scale, x, y}; }

// ---- Static text ----

void PlaceRecord(const TextRecord& record, const Font& font, const Matrix& textMatrix, std::size_t budget,
                 DeviceFonts* device, std::vector<PlacedGlyph>& out) {
  const double scale = record.height / font.unitsPerEm;
  const double fallbackScale = record.height / FallbackFont().unitsPerEm;
  const double deviceScale = record.height / kDeviceUnitsPerEm;
  const DeviceFonts::Face* face =
      device != nullptr && !font.hasOutlines ? device->FaceFor(font.name, font.bold, font.italic) : nullptr;
  double x = record.x;
  for (const GlyphEntry& entry : record.glyphs) {
    if (out.size() >= budget) return;
    const Glyph* glyph = entry.index < font.glyphs.size() ? &font.glyphs[entry.index] : nullptr;
    std::shared_ptr<const Glyph> system =
        face != nullptr && glyph != nullptr && glyph->code != 0 ? device->GlyphOf(*face, glyph->code) : nullptr;
    if (glyph != nullptr && font.hasOutlines && !OutlineMissing(*glyph)) {
      if (!glyph->shape.paths.empty())
        out.push_back({&glyph->shape, textMatrix * GlyphMatrix(x, record.y, scale), record.color});
    } else if (system) {
      if (!system->shape.paths.empty()) {
        const Shape* shape = &system->shape;
        out.push_back({shape, textMatrix * GlyphMatrix(x, record.y, deviceScale), record.color, std::move(system)});
      }
    } else if (glyph != nullptr && glyph->code != 0) {
      const Glyph& stand = FallbackGlyph(glyph->code);
      if (!stand.shape.paths.empty())
        out.push_back({&stand.shape, textMatrix * GlyphMatrix(x, record.y, fallbackScale), record.color});
    }
    x += entry.advance;
  }
}

}  // namespace

Shape FieldBoxShape(const TwipRect& r, std::optional<Rgba> fill, std::optional<Rgba> line) {
  Shape box;
  box.bounds = r;
  Path path;
  if (fill) {
    box.fills.push_back(FillStyle{FillKind::Solid, *fill});
    path.fill1 = 0;
  }
  if (line) {
    LineStyle hairline;
    hairline.width = 0;  // one pixel at any scale
    hairline.color = *line;
    hairline.join = JoinStyle::Miter;  // square corners
    box.lines.push_back(hairline);
    path.line = 0;
  }
  path.edges = RectangleEdges(r.xMin, r.yMin, r.xMax, r.yMax);
  box.paths.push_back(std::move(path));
  return box;
}

std::vector<PlacedGlyph> LayOutStaticText(const StaticText& text, const FontLookup& fonts, std::size_t maxGlyphs,
                                          DeviceFonts* device) {
  std::vector<PlacedGlyph> out;
  const std::size_t budget = maxGlyphs;
  for (const TextRecord& record : text.records) {
    const Font* font = fonts ? fonts(record.fontId) : nullptr;
    if (font == nullptr || !(font->unitsPerEm > 0)) continue;
    PlaceRecord(record, *font, text.matrix, budget, device, out);
  }
  return out;
}

}  // namespace dc::swf

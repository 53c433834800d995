// The fallback font, built once from its drawings.
#include "swf/text/fallback_font.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "swf/text/fallback_glyphs.h"
#include "swf/text/glyph_outline.h"

namespace dc::swf {
namespace {

using namespace fallback;

// Accents stand this far above a lower-case letter; over a capital they
// stand closer and flatter, so that they stay within the ascent.
constexpr double kAccentGap = 70;
constexpr double kCapitalAccentGap = 40;
constexpr double kCapitalAccentHeight = 0.75;

struct BuiltFont {
  Font font;
  std::array<std::uint16_t, 256> latin1{};  // code → glyph index, 0: none
  std::vector<std::pair<char32_t, std::uint16_t>> others;  // sorted by code

  void Add(char32_t code, double advance, Shape shape) {
    const auto index = static_cast<std::uint16_t>(font.glyphs.size());
    font.glyphs.push_back({std::move(shape), static_cast<std::uint16_t>(code), advance});
    if (code < latin1.size())
      latin1[code] = index;
    else
      others.emplace_back(code, index);
  }
  const Glyph* Find(char32_t code) const {
    const std::size_t index = IndexOf(code);
    return index == 0 ? nullptr : &font.glyphs[index];
  }
  std::size_t IndexOf(char32_t code) const {
    if (code < latin1.size()) return latin1[code];
    const auto it = std::lower_bound(others.begin(), others.end(), std::pair{code, std::uint16_t{0}});
    return it != others.end() && it->first == code ? it->second : 0;
  }
};

Shape AccentShape(Accent accent) {
  for (const AccentDrawing& a : AccentDrawings()) {
    if (a.accent == accent) return BuildGlyphOutline(a.commands, kStroke);
  }
  return {};
}

// The base's outline with the accent centred over its ink (under it, for
// the cedilla).
Shape ComposeGlyph(const Shape& base, Accent accent) {
  Shape shape = base;
  const double centre = (base.bounds.xMin + base.bounds.xMax) / 2.0;
  // Glyph space runs y down: the base's top is its smallest y.
  const double top = std::min<double>(base.bounds.yMin, -kXHeight);
  const bool capital = top < -(kXHeight + kCapHeight) / 2;
  Matrix place = Matrix::Translate(centre, top - (capital ? kCapitalAccentGap : kAccentGap));
  if (capital) place = place * Matrix::Scale(1, kCapitalAccentHeight);
  if (accent == Accent::Cedilla) place = Matrix::Translate(centre, 0);
  AppendOutline(shape, AccentShape(accent), place);
  return shape;
}

BuiltFont Build() {
  BuiltFont built;
  Font& font = built.font;
  font.name = "Deskclock Fallback";
  font.unitsPerEm = kUnitsPerEm;
  font.hasLayout = true;
  font.ascent = kAscent;
  font.descent = kDescent;
  font.leading = 0;
  built.Add(kBoxGlyph.code, kBoxGlyph.advance, BuildGlyphOutline(kBoxGlyph.commands, kStroke));
  for (const GlyphDrawing& g : GlyphDrawings()) built.Add(g.code, g.advance, BuildGlyphOutline(g.commands, kStroke));
  std::sort(built.others.begin(), built.others.end());
  for (const ComposedGlyph& c : ComposedGlyphs()) {
    const Glyph* base = built.Find(c.base);
    if (base == nullptr) continue;
    const double advance = base->advance;
    built.Add(c.code, advance, ComposeGlyph(base->shape, c.accent));
  }
  for (const ScaledGlyph& s : ScaledGlyphs()) {
    const Glyph* base = built.Find(s.base);
    if (base == nullptr) continue;
    Shape shape;
    AppendOutline(shape, base->shape, Matrix{s.scale, 0, 0, s.scale, s.dx, -s.dy});
    built.Add(s.code, s.advance, std::move(shape));
  }
  std::sort(built.others.begin(), built.others.end());
  return built;
}

const BuiltFont& Built() {
  static const BuiltFont built = Build();
  return built;
}

}  // namespace

const Font& FallbackFont() { return Built().font; }

std::size_t FallbackGlyphIndex(char32_t code) { return Built().IndexOf(code); }

}  // namespace dc::swf

// The drawings of the fallback font's glyphs, in the construction language
// of glyph_outline.h, and how its accented letters are composed.
#pragma once

#include <span>

namespace dc::swf::fallback {

// Vertical measures, font units (1024 to the em), y up from the baseline.
inline constexpr double kUnitsPerEm = 1024;
inline constexpr double kStroke = 92;
inline constexpr double kCapHeight = 712;
inline constexpr double kXHeight = 520;
inline constexpr double kAscent = 928;   // over the accents on capitals
inline constexpr double kDescent = 224;  // under the descenders
inline constexpr double kDigitAdvance = 580;

struct GlyphDrawing {
  char32_t code;
  double advance;
  const char* commands;
};

enum class Accent { Grave, Acute, Circumflex, Tilde, Diaeresis, Ring, Caron, Cedilla };

struct AccentDrawing {
  Accent accent;
  // Centred on x 0, resting on y 0 (the cedilla hangs from it).
  const char* commands;
};

// A letter made of a drawn glyph and an accent centred over it (under it,
// for the cedilla).
struct ComposedGlyph {
  char32_t code;
  char32_t base;
  Accent accent;
};

// A glyph drawn smaller (the superscript digits): the base scaled by
// `scale`, then moved by (dx, dy), y up.
struct ScaledGlyph {
  char32_t code;
  char32_t base;
  double scale;
  double advance;
  double dx, dy;
};

std::span<const GlyphDrawing> GlyphDrawings();
std::span<const AccentDrawing> AccentDrawings();
std::span<const ComposedGlyph> ComposedGlyphs();
std::span<const ScaledGlyph> ScaledGlyphs();

// The box drawn for a character the font lacks.
inline constexpr GlyphDrawing kBoxGlyph{0, 560, "W 60 B 70 0 490 60 B 70 652 490 712 B 70 0 130 712 B 430 0 490 712"};

}  // namespace dc::swf::fallback

// A text field's characters broken into lines and measured, in twips, as
// Flash's text fields lay them out: each character's advance from its font
// at its size (whole twips) plus its letter spacing; tabs to the
// paragraph's stops; lines wrapped before the word that would cross the
// width (or inside a word longer than the line); each line as high as its
// tallest font plus its paragraph's leading; margins, block indent and the
// first line's indent inside the 2-pixel gutters; a bulleted paragraph's
// lines further in, by the room its bullet takes; the alignment's offset.
// The work is linear in the characters and the runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/text/field_document.h"
#include "swf/text/font_library.h"

namespace dc::swf {

// What of the field, besides its characters, the layout depends on.
struct FieldFrame {
  std::int32_t width = 0;  // twips: the field's bounds
  bool wordWrap = false;
  bool password = false;    // every character measured as '*'
  bool embedFonts = false;  // fonts from the movie (else device fonts)
  // Movies before SWF 8 measure a line's trailing spaces in textWidth
  // whatever its alignment; later ones only on lines aligned left.
  bool trailingSpacesAlways = false;
  bool operator==(const FieldFrame&) const = default;
};

struct LaidLine {
  std::size_t begin = 0, end = 0;  // characters [begin, end), the paragraph's '\r' included
  std::size_t run = 0;             // the run of `begin`
  TextAlign align = TextAlign::Left;
  bool lastOfParagraph = true;
  bool bullet = false;      // the first line of a bulleted paragraph
  std::int32_t left = 0;    // twips: left margin, block indent and the first line's indent
  std::int32_t inset = 0;   // twips: `left` and the right margin
  std::int32_t inked = 0;   // twips of the characters but the spaces they end in
  std::int32_t width = 0;   // as textWidth counts it: trailing spaces too when aligned left (or always)
  std::int32_t gaps = 0;    // spaces inside the inked part
  std::int32_t ascent = 0, descent = 0, leading = 0;
  std::int32_t top = 0;     // twips from the top gutter to the line's top
  // Set by AlignLines for a width.
  std::int32_t x = 0;       // twips from the left gutter to the first character
  std::int32_t spread = 0;  // twips added to each space of a justified line
  std::int32_t Height() const { return ascent + descent + leading; }
};

struct FieldLayout {
  std::vector<LaidLine> lines;          // at least one
  std::vector<std::int32_t> advances;   // per character, twips
  std::int32_t textWidth = 0;           // twips: the widest line
  std::int32_t textHeight = 0;          // twips
};

// Lays `doc` out, its lines aligned in `frame.width`. An empty text has
// one empty line in the format `empty`.
FieldLayout LayOutField(const FieldDocument& doc, const TextFormat& empty, const FieldFrame& frame,
                        const FontLibrary& fonts);

// Places the lines again in another width (a field that sizes itself to
// its text): their breaks stay, their offsets follow the alignment.
void AlignLines(FieldLayout& layout, std::int32_t width);

// The 2-pixel gutter inside a field's bounds on each side, in twips.
inline constexpr std::int32_t kFieldGutter = 40;

// How far a bulleted paragraph's lines stand in from its margin, in twips
// (half an inch); its bullet is drawn at the margin.
inline constexpr std::int32_t kBulletIndent = 720;

// The default tab stops, when a paragraph sets none, in twips apart.
inline constexpr std::int32_t kDefaultTabInterval = 648;

}  // namespace dc::swf

// Glyph outlines written in a small construction language: strokes of one
// width, boxes, rings and arcs of rings, discs and free outlines, each
// turned into closed contours of straight and quadratic edges. The fallback
// font is written in it.
#pragma once

#include <string_view>

#include "swf/model/shape.h"

namespace dc::swf {

// Builds a glyph from `commands`, numbers in font units with y up from the
// baseline and angles in degrees counter-clockwise from the x axis:
//   B x0 y0 x1 y1         a box
//   V x0 y0 x1 y1         a stroke along the line, its ends cut level (stems)
//   H x0 y0 x1 y1         a stroke along the line, its ends cut upright
//   N x0 y0 x1 y1         a stroke along the line, its ends cut square to it
//   O x0 y0 x1 y1         a ring whose outer edge is the ellipse in the box
//   A x0 y0 x1 y1 a0 a1   that ring from angle a0 to a1 only (a0 < a1)
//   D cx cy r             a disc
//   M x y, L x y, Q cx cy x y, Z   a free outline, filled, closed by Z
//   W w                   the stroke width from here on
// The result is in glyph space (y down), one path per contour, with one
// solid fill at index 0 on the inside of every contour: outer contours run
// clockwise on screen and the holes of rings the other way, so overlapping
// strokes fill as one under the nonzero rule. Throws std::invalid_argument
// on a malformed command: the language is for data compiled into the
// program, not for input.
Shape BuildGlyphOutline(std::string_view commands, double strokeWidth);

// Adds `from`'s contours to `into`, mapped by `map` (glyph space to glyph
// space; a map that mirrors would turn the contours the wrong way).
void AppendOutline(Shape& into, const Shape& from, const Matrix& map);

}  // namespace dc::swf

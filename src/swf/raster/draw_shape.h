// Drawing a shape onto a canvas: fills and strokes, anti-aliased with
// exact area coverage, composited source-over through the target's mask.
#pragma once

#include "swf/raster/canvas.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

// Draws `shape` style group by style group (each group's fills, then its
// strokes). `toCanvas` maps the shape's twips to canvas pixels; `cx` applies
// to every colour, gradient stop and bitmap pixel. With `solidColor`, every
// fill and stroke paints that colour instead (glyphs of a text).
void DrawShape(const Shape& shape, const Matrix& toCanvas, const ColorTransform& cx, const DrawTarget& target,
               const Rgba* solidColor = nullptr);

}  // namespace dc::swf

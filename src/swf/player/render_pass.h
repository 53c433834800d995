// One drawing pass of the renderer: the canvas it draws on (the face, a
// mask's scratch or an object's layer) and what the frame may still spend.
#pragma once

#include <cstddef>

#include "swf/player/render.h"

namespace dc::swf {

struct Renderer::Pass {
  const Movie& movie;
  Canvas canvas;
  DrawBudget budget;
  BitmapLookup bitmaps;
  FontLookup fonts;
  std::size_t maskLevel = 0;
  Quality quality = Quality::High;
  bool strokes = true;  // false inside a mask
  std::size_t layerLevel = 0;  // layers this pass lies within
  // Filter sizes in face pixels: the stage's scale onto the face. An
  // object's own scale, and its parents', leave them as they are.
  FilterScale filterScale;
};

}  // namespace dc::swf

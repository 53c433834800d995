// Drawing a frame: the display tree walked in depth order, matrices and
// colour transforms combined through nesting, clip layers turned into masks
// over the depths they cover, onto the face with the stage fitted to it.
#pragma once

#include <cstdint>
#include <vector>

#include "base/pixels.h"
#include "swf/raster/canvas.h"
#include "swf/display/display_tree.h"
#include "swf/limits.h"

namespace dc::swf {

class Renderer {
 public:
  explicit Renderer(const Limits& limits = kDefaultLimits) : limits_(limits) {}

  // Draws the tree's frame onto `face` (0x00RRGGBB pixels), the whole stage
  // scaled uniformly and centred, the movie's background beneath and
  // around it. False when the frame cost more than the limit allows: it is
  // then left as drawn so far.
  bool Render(const DisplayTree& tree, PixelTarget& face);

 private:
  struct Pass;
  void DrawObject(Pass& pass, const DisplayObject& object, const Matrix& m, const ColorTransform& cx,
                  const std::uint8_t* mask);
  void DrawChildren(Pass& pass, const DisplayObject& parent, const Matrix& m, const ColorTransform& cx,
                    const std::uint8_t* mask);
  // The coverage of a clip layer's content (within the outer mask).
  const std::uint8_t* MaskOf(Pass& pass, const DisplayObject& layer, const Matrix& m, const std::uint8_t* outer);

  Limits limits_;
  // Scratch for masks, one per nesting level of clip layers, kept across
  // frames.
  std::vector<std::vector<std::uint32_t>> maskCanvases_;
  std::vector<std::vector<std::uint8_t>> masks_;
};

}  // namespace dc::swf

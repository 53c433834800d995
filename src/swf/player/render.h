// Drawing a frame: the display tree walked in depth order, matrices and
// colour transforms combined through nesting, clip layers turned into masks
// over the depths they cover, onto the face with the stage fitted to it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/pixels.h"
#include "swf/raster/canvas.h"
#include "swf/raster/filters.h"
#include "swf/display/display_tree.h"
#include "swf/limits.h"
#include "swf/player/face_changes.h"
#include "swf/text/text_layout.h"

namespace dc::swf {

class Renderer {
 public:
  // Text in device fonts comes from `deviceFonts` when given, else from
  // the fallback font.
  explicit Renderer(const Limits& limits = kDefaultLimits, DeviceFonts* deviceFonts = nullptr)
      : limits_(limits), changes_(limits, deviceFonts), deviceFonts_(deviceFonts) {}

  // Draws the tree's frame onto `face` (0x00RRGGBB pixels), the whole stage
  // scaled uniformly and centred, the movie's background beneath and
  // around it. With `onlyChanged`, `face` holds the picture this renderer
  // drew last, and only the box holding what changed since is drawn again
  // (nothing when nothing did); the pixels outside it stay. False when the
  // frame cost more than the limit allows: it is then left as drawn so far.
  bool Render(const DisplayTree& tree, PixelTarget& face, bool onlyChanged = false);
  // The part of the face the last Render drew.
  PixelBox DrawnBox() const { return drawn_; }
  // After a Render that returned false: the limit that spoke, by its name
  // and value.
  std::string Overrun() const;

 private:
  struct Pass;
  void DrawObject(Pass& pass, const DisplayObject& object, const Matrix& m, const ColorTransform& cx,
                  const std::uint8_t* mask);
  void DrawChildren(Pass& pass, const DisplayObject& parent, const Matrix& m, const ColorTransform& cx,
                    const std::uint8_t* mask);
  // An object with a blend mode, filters, a bitmap cache or a scroll
  // rectangle is drawn alone into a layer, clipped and filtered there and
  // composited onto the canvas by its mode (layers.cpp).
  static bool NeedsLayer(const Pass& pass, const DisplayObject& object);
  void DrawLayered(Pass& pass, const DisplayObject& object, const Matrix& m, const ColorTransform& cx,
                   const std::uint8_t* mask);
  // The coverage of a clip layer's content (within the outer mask).
  const std::uint8_t* MaskOf(Pass& pass, const DisplayObject& layer, const Matrix& m, const std::uint8_t* outer);

  // An edit text's layout, kept while its field, text and runs stay the same
  // and it is drawn every frame: laying out thousands of glyphs costs more
  // than drawing the few that show.
  struct ShownField {
    const Movie* movie;
    EditText field;
    std::string text;  // as much as the layout reads
    std::uint64_t content;  // the object's contentChanges: a run's format changed
    EditTextLayout layout;
    std::uint64_t render;  // the last Render that drew it
    std::size_t bytes;
  };
  const EditTextLayout* FieldLayout(Pass& pass, const DisplayObject& object);
  // The work of the device font glyphs fetched since it was last asked.
  std::uint64_t DeviceFontWork();
  void ForgetFieldsNotShown();

  Limits limits_;
  FaceChanges changes_;
  PixelBox drawn_{0, 0, 0, 0};
  DeviceFonts* deviceFonts_;
  std::unordered_map<const DisplayObject*, ShownField> shownFields_;
  std::size_t shownBytes_ = 0;
  EditTextLayout scratchLayout_;  // one not kept, past kMaxKeptLayoutBytes
  std::uint64_t renders_ = 0;
  bool workSpent_ = false;
  // Scratch for masks, one per nesting level of clip layers, kept across
  // frames.
  std::vector<std::vector<std::uint32_t>> maskCanvases_;
  std::vector<std::vector<std::uint8_t>> masks_;
  // Scratch for layers, one per nesting level, and for their filters.
  std::vector<std::vector<std::uint32_t>> layers_;
  FilterScratch filterScratch_;
};

}  // namespace dc::swf

// What changed on the face between the picture last drawn and the tree as
// it stands: each object drawn is noted with how it is drawn (its
// character, content, place on the face, colour, masks) and the box of
// face pixels it may paint; an object added, removed or drawn otherwise
// makes its old and new boxes dirty. An object drawn through a layer of
// its own (filters, a blend mode, a bitmap cache, a scroll rectangle, an
// opaque background, a script's mask) is noted whole, its box grown by its
// filters' reach. The renderer then draws only the box holding them.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "swf/display/display_tree.h"
#include "swf/limits.h"
#include "swf/raster/canvas.h"
#include "swf/raster/filters.h"

namespace dc::swf {

class FaceChanges {
 public:
  // Texts in device fonts are measured in `deviceFonts`' glyphs when given,
  // as the renderer draws them.
  explicit FaceChanges(const Limits& limits = kDefaultLimits, DeviceFonts* deviceFonts = nullptr)
      : limits_(limits), deviceFonts_(deviceFonts) {}

  // Notes the tree as drawn onto a face of `width` × `height` and returns
  // the box of the face whose pixels may differ from the picture noted
  // last: empty when nothing drawn changed; the whole face when nothing was
  // noted for a face of this size, the movie or its quality changed, or
  // a box cannot be known (a transform that is not finite).
  PixelBox Changes(const DisplayTree& tree, std::int32_t width, std::int32_t height);
  // The face does not show what the last Changes noted (a frame that went
  // past a drawing limit): the next Changes is the whole face.
  void Forget();

 private:
  struct Entry {
    std::uint64_t content = 0;  // what the object draws, whatever its place
    TwipRect local;             // the bounds of that, in the object's twips
    double pad = 0;             // and face pixels past them (unscaled strokes)
    std::uint64_t look = 0;     // the content as drawn: place, colour, masks
    PixelBox box;               // the face pixels it may paint
    std::uint64_t walk = 0;     // the last walk that saw it
  };
  // How an object stands on the face as the walk reaches it.
  struct Place {
    Matrix m;
    ColorTransform cx;
    std::uint64_t masks = 0;  // the clip layers and script masks over it
    std::uint64_t order = 0;  // its depths and its parents': what it lies over
    bool inMask = false;      // drawn as a mask's content
  };
  // An object noted whole: what lies within it folds into its look and box.
  struct Whole {
    std::uint64_t look = 0;
    PixelBox box{0, 0, 0, 0};
  };
  void WalkChildren(const DisplayObject& parent, const Place& place, Whole* whole);
  void WalkObject(const DisplayObject& object, const Place& place, Whole* whole);
  // The object's own drawing: what it shows apart from its children.
  void Note(const DisplayObject& object, const Place& place, Whole* whole);
  void NoteWhole(const DisplayObject& object, const Place& place, Whole* whole);
  void Record(const DisplayObject& object, const Entry& entry, Whole* whole);
  std::uint64_t ContentOf(const DisplayObject& object) const;
  TwipRect LocalBounds(const DisplayObject& object, double& pad);
  FontLookup Fonts() const;
  TwipRect SubtreeBounds(const DisplayObject& object);
  PixelBox OnFace(const TwipRect& local, const Matrix& m, double pad);
  void Dirty(const PixelBox& box) { dirty_ = Union(dirty_, box); }

  Limits limits_;
  DeviceFonts* deviceFonts_;
  std::unordered_map<const DisplayObject*, Entry> shown_;
  // Bounds of the movie's shapes, tweens and texts, measured once.
  struct Measured {
    TwipRect local;
    double pad = 0;
    double reach = 0;  // tweens: their strokes', in twips
  };
  std::unordered_map<const void*, Measured> measured_;
  const Movie* movie_ = nullptr;
  std::int32_t width_ = -1, height_ = -1;
  Quality quality_ = Quality::High;
  Matrix stage_;
  FilterScale filterScale_;
  bool foldingMask_ = false;
  std::uint64_t walk_ = 0;
  PixelBox dirty_{0, 0, 0, 0};
  bool whole_ = false;  // the walk met what it cannot bound
};

}  // namespace dc::swf

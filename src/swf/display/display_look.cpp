// What scripts set of a display object's Flash 8 look (blend mode, bitmap
// caching, opaque background, scroll rectangle) and of the movie's quality.
#include <cmath>

#include "swf/display/display_object.h"
#include "swf/display/display_tree.h"

namespace dc::swf {

namespace {

template <typename T>
bool Assign(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void DisplayObject::SetBlendMode(BlendMode mode) {
  if (Assign(blendMode, mode)) Changed();
}

void DisplayObject::SetCacheAsBitmap(bool cache) {
  if (Assign(cacheAsBitmap, cache)) Changed();
}

void DisplayObject::SetOpaqueBackground(std::optional<std::uint32_t> colour) {
  if (colour) *colour &= 0xFFFFFFu;
  if (Assign(opaqueBackground, colour)) Changed();
}

void DisplayObject::SetScrollRect(std::optional<PixelRect> rect) {
  // A rectangle that is not all numbers shows nothing of the clip.
  if (rect && !(std::isfinite(rect->x) && std::isfinite(rect->y) && std::isfinite(rect->width) &&
                std::isfinite(rect->height)))
    rect = PixelRect{};
  if (Assign(scrollRect, rect)) Changed();
}

Quality DisplayObject::GetQuality() const { return tree_ ? tree_->quality() : Quality::High; }

void DisplayObject::SetQuality(Quality quality) {
  if (tree_) tree_->SetQuality(quality);
}

}  // namespace dc::swf

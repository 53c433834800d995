// A region from many rectangles: the face's shape.
#pragma once

#include <windows.h>

#include <span>

#include "base/geometry.h"
#include "ui/handles.win.h"

namespace dc::ui {

// The union of `rects`, which lie in top-to-bottom rows (as
// PictureRegionRects gives them). Up to kRectsPerCall rectangles are one
// ExtCreateRegion call. Beyond that, bands of rows are made one call each
// and joined pairwise: some ExtCreateRegion implementations (Wine's) add
// rectangles one by one, which grows with the square of their number.
// Empty when the system cannot make the region.
inline constexpr std::size_t kRectsPerCall = 64;
UniqueRegion RegionFromRects(std::span<const Rect> rects, std::size_t rectsPerCall = kRectsPerCall);

}  // namespace dc::ui

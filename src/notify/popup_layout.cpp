// The popup's parts at a scale.
#include "notify/popup_layout.h"

#include <algorithm>

#include "base/scale.h"

namespace dc::notify {
namespace {

// A size in points as a character height in pixels at `dpi`, to the
// nearest pixel, within what a screen shows.
std::int32_t PointsToPixels(std::int32_t points, int dpi) {
  const std::int64_t p = std::int64_t{points} * dpi;
  const std::int64_t pixels = std::clamp<std::int64_t>((p + (p < 0 ? -36 : 36)) / 72, -kMaxPixels, kMaxPixels);
  return static_cast<std::int32_t>(-pixels);
}

}  // namespace

PopupLayout LayOutPopup(std::int32_t width, std::int32_t height, int dpi) {
  return PlacePopupParts(ScaleLength(width ? width : kDefaultPopupWidth, dpi),
                         ScaleLength(height ? height : kDefaultPopupHeight, dpi), dpi);
}

PopupLayout PlacePopupParts(std::int32_t width, std::int32_t height, int dpi) {
  const auto s = [dpi](std::int32_t v) { return ScaleLength(v, dpi); };
  PopupLayout l{};
  l.width = width;
  l.height = height;
  // The close button keeps 2 pixels (scaled) from the right edge; the
  // drop-down button lies 16 left of it.
  l.close = {l.width - s(17), s(10), l.width - s(2), s(25)};
  l.dropDown = {l.close.left - s(16), l.close.top, l.close.right - s(16), l.close.bottom};
  l.captionRows = s(8);
  l.bodyTop = s(9);
  l.line = ScaleStroke(1, dpi);
  l.gripLeft = l.width / 2 - s(20);
  l.gripTop = s(3);
  l.gripStep = s(4);
  l.gripDot = s(2);
  l.gripShift = l.line;
  l.headerLeft = s(13);
  l.headerTop = s(13);
  l.messageLeft = s(21);
  l.messageRight = l.width - s(33);
  l.messageBottom = l.height - l.line;
  l.closeGlyph = PointsToPixels(7, dpi);
  l.dropGlyph = PointsToPixels(10, dpi);
  return l;
}

std::int32_t FontHeightAt(const FontStyle& font, int dpi) {
  return font.points ? PointsToPixels(font.points, dpi) : ScaleLength(font.height, dpi);
}

}  // namespace dc::notify

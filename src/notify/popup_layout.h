// Where the popup's parts lie at a screen's scale: its size, the caption
// bar, the grip, the frame, the two buttons, the header's and the message's
// places, the buttons' glyph sizes and the fonts' heights. The popup is
// designed in pixels of a 100 % screen; at another DPI every length scales
// to the nearest pixel and every line keeps at least one.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "notify/popup_config.h"

namespace dc::notify {

struct PopupLayout {
  std::int32_t width, height;
  Rect close, dropDown;          // the buttons, in client coordinates
  std::int32_t captionRows;      // the caption bar's gradient, from the top
  std::int32_t bodyTop;          // the body's gradient, to the frame at the bottom
  std::int32_t line;             // the frame's width, and the unit of the fallback glyphs
  std::int32_t gripLeft, gripTop, gripStep, gripDot, gripShift;  // ten dots in the caption bar
  std::int32_t headerLeft, headerTop;
  std::int32_t messageLeft, messageRight, messageBottom;  // the message wraps in here
  std::int32_t closeGlyph, dropGlyph;                      // the glyphs' font heights (pixels, negative)
  bool operator==(const PopupLayout&) const = default;
};

// `width` and `height` at 100 % (0: the default 329 x 76).
PopupLayout LayOutPopup(std::int32_t width, std::int32_t height, int dpi);
// The parts of a popup whose client area is `width` x `height` at `dpi`
// (the buttons keep to the right edge).
PopupLayout PlacePopupParts(std::int32_t width, std::int32_t height, int dpi);

// A font's height at `dpi`: from its size in points when it has one,
// otherwise its 100 % height scaled.
std::int32_t FontHeightAt(const FontStyle& font, int dpi);

}  // namespace dc::notify

// The popup's background as pixels: caption bar gradient, grip dots, body
// gradient and frame.
#pragma once

#include <cstdint>
#include <vector>

#include "base/pixels.h"
#include "notify/popup_layout.h"

namespace dc::notify {

// Rounds to nearest, halves away from zero, as the platform's MulDiv; -1
// when c is 0 or the result has no place in 32 bits.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

struct Band {
  std::int32_t top, bottom;  // rows top .. bottom - 1
  std::uint32_t colour;      // 0x00BBGGRR
};
// A vertical gradient of `height` rows from colour a to colour b in (up to)
// `count` bands; the rows left at the bottom take b.
std::vector<Band> GradientBands(std::int32_t top, std::int32_t height, std::uint32_t a, std::uint32_t b,
                                std::int32_t count);

struct PopupPaintColours {
  std::uint32_t captionFrom, captionTo, windowFrom, windowTo;  // resolved, 0x00BBGGRR
};
// The whole background of a popup of the target's size, with its parts
// where `layout` puts them: the rows between the caption bar and the body
// keep `background`. Grip dots when `grip`.
void PaintPopupBackground(PixelTarget& target, const PopupPaintColours& c, bool grip, std::uint32_t background,
                          const PopupLayout& layout);

}  // namespace dc::notify

// A bitmap file held in memory (a BMP: file header, then the bitmap) made
// into a device-dependent bitmap the window can draw.
#pragma once

#include <cstdint>
#include <span>

struct HBITMAP__;
typedef HBITMAP__* HBITMAP;

namespace dc::ui {

// Throws UserError saying why a picture cannot be loaded. The caller owns
// the bitmap (DeleteObject).
HBITMAP BitmapFromBmpBytes(std::span<const std::uint8_t> bmp);

}  // namespace dc::ui

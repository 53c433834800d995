// One bitmap drawn into another (BitmapData.draw of a BitmapData) and the
// filters BitmapData.applyFilter works out itself: the colour matrix and
// the box blur.
#pragma once

#include <array>
#include <cstdint>

#include "swf/avm1/bitmap_pixels.h"
#include "swf/model/swf_types.h"

namespace dc::swf::avm1 {

// The target pixels `toTarget` maps the source onto, within `clip` (in
// the target's pixels), as a bounding box: what a draw touches.
BitmapRect DrawnArea(const BitmapPixels& target, std::int32_t sourceWidth, std::int32_t sourceHeight,
                    const Matrix& toTarget, BitmapRect clip);

// Each target pixel of that area whose centre maps into the source takes
// the source's pixel there (the nearest one, or the four around it mixed
// with `smoothing`) through `cx`, laid over it.
void DrawBitmap(BitmapPixels& target, const BitmapPixels& source, const Matrix& toTarget, const ColorTransform& cx,
                BitmapRect clip, bool smoothing);

// The source rectangle's pixels through a colour matrix (four rows of
// five: red, green, blue, alpha; the fifth of each an offset in 0..255
// units), placed at (x, y) of the target. The source is read whole first,
// so the two may be one bitmap.
void ApplyColorMatrix(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                      std::int32_t y, const std::array<double, 20>& matrix);

// The source rectangle blurred by boxes blurX by blurY wide, `passes`
// times, placed at (x, y) of the target.
void ApplyBoxBlur(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                  std::int32_t y, double blurX, double blurY, int passes);

}  // namespace dc::swf::avm1

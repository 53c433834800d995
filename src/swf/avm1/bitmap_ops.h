// BitmapData's pixel operations as plain functions over BitmapPixels, as
// Flash computes them: rectangles are clipped to the bitmaps, colours are
// straight-alpha 0xAARRGGBB, channels are 1 red, 2 green, 4 blue, 8 alpha.
// Each writes only pixels inside its target; the caller has counted the
// work (the pixels a rectangle covers) and the memory a write may make.
#pragma once

#include <cstdint>
#include <optional>

#include "swf/avm1/bitmap_pixels.h"
#include "swf/model/swf_types.h"

namespace dc::swf::avm1 {

void FillRect(BitmapPixels& target, BitmapRect rect, std::uint32_t argb);

// The source rectangle's pixels placed at (x, y) of the target. An alpha
// bitmap's alpha, from `alphaX`, `alphaY` on, multiplies the source's.
// With `mergeAlpha` (and always onto an opaque target) the source is laid
// over the target; without, it replaces the target's pixels.
struct AlphaSource {
  const BitmapPixels* bitmap;
  std::int32_t x, y;
};
void CopyPixels(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                std::int32_t y, std::optional<AlphaSource> alpha, bool mergeAlpha);

// One channel of the source into one channel of the target; a source
// channel that is not one of the four reads as 0, a target channel that is
// not one of the four is left alone.
void CopyChannel(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                 std::int32_t y, std::uint32_t sourceChannel, std::uint32_t targetChannel);

void ApplyColorTransform(BitmapPixels& target, BitmapRect rect, const ColorTransform& cx);

// Moves the pixels by (dx, dy); what they leave keeps its old pixels.
void Scroll(BitmapPixels& target, std::int32_t dx, std::int32_t dy);

// The box around the pixels whose stored value under `mask` is (or, with
// `find` false, is not) `argb` as the bitmap would store it; an opaque
// bitmap compares no alpha.
BitmapRect ColorBounds(const BitmapPixels& bitmap, std::uint32_t mask, std::uint32_t argb, bool find);

// threshold(): each source pixel in the rectangle is tested, `argb & mask`
// against its colour under `mask`, by `op` ("<", "<=", ">", ">=", "==",
// "!="); a pixel that passes becomes `colour`, one that fails is copied
// from the source when `copySource`, else left. Returns how many passed.
enum class ThresholdOp { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };
std::int64_t Threshold(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                       std::int32_t y, ThresholdOp op, std::uint32_t threshold, std::uint32_t colour,
                       std::uint32_t mask, bool copySource);

// compare(): none when the two are equal everywhere; else their difference,
// per pixel: 0xFF and each colour channel's difference where the colours
// differ, the alpha difference over white where only alpha does, 0 where
// nothing does.
std::optional<BitmapPixels> Compare(const BitmapPixels& a, const BitmapPixels& b);

// floodFill(): the region of the start pixel's colour that touches it
// (four ways) becomes `argb`.
void FloodFill(BitmapPixels& target, std::int32_t x, std::int32_t y, std::uint32_t argb);

// hitTest() between two bitmaps placed at their points: whether any pixel
// both cover is at least as opaque as each one's threshold (an opaque
// bitmap is opaque everywhere).
// A threshold is signed: one below 1 is taken as 1.
bool BitmapsHit(const BitmapPixels& a, std::int32_t ax, std::int32_t ay, std::int32_t aThreshold,
                const BitmapPixels& b, std::int32_t bx, std::int32_t by, std::int32_t bThreshold);
bool PixelHits(const BitmapPixels& a, std::int32_t x, std::int32_t y, std::int32_t threshold);
// hitTest() against a rectangle of the bitmap's own pixels.
bool RectHits(const BitmapPixels& a, BitmapRect rect, std::int32_t threshold);

}  // namespace dc::swf::avm1

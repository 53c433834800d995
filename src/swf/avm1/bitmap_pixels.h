// A script's bitmap (BitmapData's pixels): its size, whether it has alpha,
// and its pixels as Flash stores them: premultiplied 0xAARRGGBB when
// transparent, alpha 255 when opaque. A bitmap filled with one colour holds
// that one pixel until a pixel differs, so a large plain bitmap costs
// nothing until it is drawn into. The pixels are shared with the display
// objects that show them (MovieClip.attachBitmap); the revision says when
// they changed.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/bitmap.h"

namespace dc::swf::avm1 {

// A straight-alpha colour 0xAARRGGBB as Flash premultiplies it (each
// channel times alpha / 255, rounded) and back (each channel times 255 /
// alpha, a half rounded down).
std::uint32_t Premultiply(std::uint32_t argb);
std::uint32_t Unpremultiply(std::uint32_t premultiplied);

// Pixels x .. x + width - 1, y .. y + height - 1.
struct BitmapRect {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
  std::int64_t Area() const { return Empty() ? 0 : std::int64_t{width} * height; }
  bool operator==(const BitmapRect&) const = default;
};

// `r` within 0, 0, width, height.
BitmapRect Clipped(BitmapRect r, std::int32_t width, std::int32_t height);

class BitmapPixels {
 public:
  // `fill` is a straight-alpha colour; an opaque bitmap drops its alpha.
  BitmapPixels(std::int32_t width, std::int32_t height, bool transparent, std::uint32_t fill);

  std::int32_t Width() const { return bitmap_.width; }
  std::int32_t Height() const { return bitmap_.height; }
  bool Transparent() const { return transparent_; }
  BitmapRect Bounds() const { return {0, 0, bitmap_.width, bitmap_.height}; }
  bool Contains(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < bitmap_.width && y < bitmap_.height;
  }

  // A colour (straight alpha) as this bitmap stores it, and back.
  std::uint32_t ToStored(std::uint32_t argb) const;
  std::uint32_t ToColour(std::uint32_t stored) const;

  // The stored pixel; (x, y) must lie inside.
  std::uint32_t Stored(std::int32_t x, std::int32_t y) const {
    return Uniform() ? uniform_ : bitmap_.pixels[static_cast<std::size_t>(y) * bitmap_.width + x];
  }
  std::uint32_t Colour(std::int32_t x, std::int32_t y) const { return ToColour(Stored(x, y)); }

  // One colour everywhere, no pixels held.
  bool Uniform() const { return bitmap_.pixels.empty(); }
  std::uint32_t UniformPixel() const { return uniform_; }
  // The bytes its pixels take once they differ, and what it holds now.
  std::uint64_t FullBytes() const { return std::uint64_t(bitmap_.width) * bitmap_.height * 4; }
  std::uint64_t HeldBytes() const { return bitmap_.pixels.size() * 4; }

  // Writing. The first write to a uniform bitmap makes its pixels (the
  // caller has counted FullBytes against its memory).
  std::uint32_t* Row(std::int32_t y);
  void Put(std::int32_t x, std::int32_t y, std::uint32_t stored) { Row(y)[x] = stored; }
  void SetColour(std::int32_t x, std::int32_t y, std::uint32_t argb) { Put(x, y, ToStored(argb)); }
  // Every pixel one stored value again; the pixels are let go.
  void FillAll(std::uint32_t stored);

  // dispose(): the pixels are let go for good; what shows them shows
  // nothing.
  void Dispose();
  bool Disposed() const { return disposed_; }

  // The pixels as the renderer reads them; empty when uniform.
  const Bitmap& AsBitmap() const { return bitmap_; }

  // Counts a change: what shows the bitmap draws again.
  void Touch() { ++revision_; }
  std::uint64_t Revision() const { return revision_; }

 private:
  Bitmap bitmap_;
  bool transparent_;
  std::uint32_t uniform_ = 0;
  std::uint64_t revision_ = 0;
  bool disposed_ = false;
};

}  // namespace dc::swf::avm1

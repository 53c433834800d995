// The face picture of a package is a BMP file held in memory, handed to the
// system's bitmap functions. Before any of them sees it, every size in its
// headers is checked against the bytes present, so no crafted package can
// make the system read past the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace dc {

// Where the parts of a checked BMP lie.
struct FaceBitmapLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;       // rows, always positive
  bool topDown = false;          // the header's height was negative
  std::uint16_t bitCount = 0;
  std::size_t infoOffset = 0;    // the BITMAPINFO: header, masks, colour table
  std::size_t pixelOffset = 0;   // the first pixel row
  std::uint64_t pixelBytes = 0;  // stride x rows
};

// Why the bytes are no BMP the player shows, or an empty text. Accepted: a
// file header "BM"; an info header of 40, 52, 56, 108 or 124 bytes; width
// and height 1 to 16384 (a negative height is a top-down picture); one
// plane; 1, 4, 8, 16, 24 or 32 bits; uncompressed, or bit fields at 16 and
// 32 bits with their masks present; a colour table within the bytes and
// before the pixels; and every pixel row present.
std::string CheckFaceBitmap(std::span<const std::uint8_t> bmp, FaceBitmapLayout* layout = nullptr);

}  // namespace dc

// Palette pictures checked before decoding: the colour table lies where the
// headers say, and no pixel names a colour the table does not hold. The
// decoder keeps its colour table on the stack and never clears it, so a
// pixel naming an entry that was never read would copy stack bytes into
// the face.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace clockpack {

// Why a BMP's layout or palette cannot be taken, or an empty text. Checks:
// compression is none or bit fields; the pixels lie after the headers, the
// masks and the colour table; at 1, 4 or 8 bits, every pixel's index lies
// within the table. The file must already be known to hold its rows.
std::string BmpPaletteFault(std::span<const std::uint8_t> bmp);

// Why a palette PNG cannot be taken, or an empty text: every pixel's index
// must lie within its PLTE chunk (the PNG standard calls any other an
// error). Pictures of other colour types pass. The chunks must already be
// known to lie within the bytes.
std::string PngPaletteFault(std::span<const std::uint8_t> png);

}  // namespace clockpack

// Bitmap tags decoded at read time into premultiplied pixels: the lossless
// kinds (colour-mapped, 15-bit, 32-bit) and the JPEG kinds (with the shared
// tables, inline tables, an alpha plane, or a PNG or GIF in their place).
#pragma once

#include <optional>

#include "swf/format/bit_reader.h"
#include "swf/model/bitmap.h"
#include "swf/format/read_context.h"

namespace dc::swf {

// DefineBitsLossless, or DefineBitsLossless2 with `withAlpha`, after the
// id. Nothing, with a warning, past the movie's pixels or when the pixels
// cannot be decoded.
std::optional<Bitmap> ReadLosslessBitmap(BitReader& r, bool withAlpha, ReadContext& context);

// DefineBits (1, with the movie's JPEGTables), DefineBitsJPEG2 (2),
// DefineBitsJPEG3 (3) or DefineBitsJPEG4 (4), after the id.
std::optional<Bitmap> ReadJpegBitmap(BitReader& r, int jpegVersion, ReadContext& context);

}  // namespace dc::swf

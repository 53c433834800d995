// How a layer's premultiplied pixels meet those beneath it: each blend mode
// as one pixel's arithmetic, and a whole layer composited through a mask.
#pragma once

#include <cstdint>

#include "swf/raster/canvas.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

// `src` (the layer's pixel) met with `dst` (what lies beneath) by `mode`,
// both premultiplied 0xAARRGGBB. The separable modes mix as
// s·(1 − αd) + d·(1 − αs) + αs·αd·B(s/αs, d/αd); alpha and erase keep the
// backdrop's colours and scale its alpha (and so all of it) by the layer's
// alpha or its complement.
std::uint32_t BlendPixel(std::uint32_t dst, std::uint32_t src, BlendMode mode);

// A layer of pixels (rows of `layerStride`) whose pixel (0, 0) lies on
// `target`'s pixel (originX, originY), composited by `mode` onto `target`
// where the two overlap, each pixel first scaled by `mask` (a coverage per
// target pixel, rows of target.width; null: none).
void CompositeLayer(const Canvas& target, const std::uint32_t* layer, std::int32_t layerWidth,
                    std::int32_t layerHeight, std::int32_t layerStride, std::int32_t originX, std::int32_t originY,
                    BlendMode mode, const std::uint8_t* mask);

}  // namespace dc::swf

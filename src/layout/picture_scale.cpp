// Filtering the face picture to a scale, and its shape pixel for pixel.
#include "layout/picture_scale.h"

#include <algorithm>

#include "base/scale.h"

namespace dc {
namespace {

// One output pixel's sources along one side: up to `kMost` source pixels
// with integer weights.
struct Taps {
  static constexpr int kMost = 64;
  std::int32_t first = 0, count = 0;
  std::int32_t weight[kMost] = {};
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// Larger: the two source pixels around the output pixel's centre, in
// 256ths. Smaller: the source pixels the output pixel covers, each by the
// length it covers (source pixels `dpi` long, output pixels 96 long).
Taps TapsOf(std::int32_t i, std::int32_t length, int dpi) {
  Taps t;
  if (dpi >= kBaseDpi) {
    const std::int64_t u = FloorDiv((2 * std::int64_t{i} + 1) * kBaseDpi * 256, 2 * std::int64_t{dpi}) - 128;
    const std::int64_t x0 = FloorDiv(u, 256);
    const auto fraction = static_cast<std::int32_t>(u - x0 * 256);
    const auto a = static_cast<std::int32_t>(std::clamp<std::int64_t>(x0, 0, length - 1));
    const auto b = static_cast<std::int32_t>(std::clamp<std::int64_t>(x0 + 1, 0, length - 1));
    t.first = a;
    t.count = b - a + 1;
    t.weight[0] = 256 - fraction;
    t.weight[t.count - 1] += fraction;
    return t;
  }
  const std::int64_t from = std::int64_t{i} * kBaseDpi, to = from + kBaseDpi;  // in 1/dpi of a source pixel
  const auto firstSource = static_cast<std::int32_t>(std::min<std::int64_t>(from / dpi, length - 1));
  t.first = firstSource;
  for (std::int32_t j = firstSource; j < length && t.count < Taps::kMost; ++j) {
    const std::int64_t lo = std::max(from, std::int64_t{j} * dpi), hi = std::min(to, std::int64_t{j + 1} * dpi);
    if (hi <= lo) break;
    t.weight[t.count++] = static_cast<std::int32_t>(hi - lo);
  }
  if (t.count == 0) t.weight[t.count++] = 1;  // past the source's end: its last pixel
  return t;
}

std::int32_t ScaledSide(std::int32_t length, int dpi) { return std::max(1, ScaleLength(length, dpi)); }

}  // namespace

std::int32_t SourceIndex(std::int32_t i, std::int32_t length, int dpi) {
  const std::int64_t s = (2 * std::int64_t{i} + 1) * kBaseDpi / (2 * std::int64_t{dpi});
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(s, 0, length - 1));
}

ScaledPicture ScalePicture(std::span<const std::uint32_t> colours, std::int32_t width, std::int32_t height, int dpi,
                           std::optional<std::uint32_t> key, std::int32_t maxWidth, std::int32_t maxHeight) {
  ScaledPicture out;
  if (width <= 0 || height <= 0) return out;
  out.width = std::min(ScaledSide(width, dpi), std::max(maxWidth, 0));
  out.height = std::min(ScaledSide(height, dpi), std::max(maxHeight, 0));
  out.colours.resize(static_cast<std::size_t>(out.width) * out.height);
  if (dpi == kBaseDpi) {
    for (std::int32_t y = 0; y < out.height; ++y)
      std::copy_n(colours.begin() + static_cast<std::ptrdiff_t>(y) * width, out.width,
                  out.colours.begin() + static_cast<std::ptrdiff_t>(y) * out.width);
    return out;
  }
  std::vector<Taps> columns(static_cast<std::size_t>(out.width));
  for (std::int32_t x = 0; x < out.width; ++x) columns[x] = TapsOf(x, width, dpi);
  for (std::int32_t y = 0; y < out.height; ++y) {
    const Taps rows = TapsOf(y, height, dpi);
    for (std::int32_t x = 0; x < out.width; ++x) {
      const Taps& cols = columns[x];
      std::int64_t sum[3] = {}, total = 0;
      for (std::int32_t r = 0; r < rows.count; ++r) {
        const std::uint32_t* row = colours.data() + static_cast<std::size_t>(rows.first + r) * width + cols.first;
        for (std::int32_t c = 0; c < cols.count; ++c) {
          if (key && row[c] == *key) continue;
          const std::int64_t w = std::int64_t{rows.weight[r]} * cols.weight[c];
          for (int k = 0; k < 3; ++k) sum[k] += w * ((row[c] >> (8 * k)) & 0xFF);
          total += w;
        }
      }
      std::uint32_t& pixel = out.colours[static_cast<std::size_t>(y) * out.width + x];
      if (total == 0) {
        pixel = colours[static_cast<std::size_t>(SourceIndex(y, height, dpi)) * width + SourceIndex(x, width, dpi)];
        continue;
      }
      pixel = 0;
      for (int k = 0; k < 3; ++k) pixel |= static_cast<std::uint32_t>((sum[k] + total / 2) / total) << (8 * k);
    }
  }
  return out;
}

std::vector<Rect> ScaledPictureRegionRects(std::span<const std::uint32_t> colours, std::int32_t width,
                                           std::int32_t height, std::uint32_t keyColour, int dpi, std::int32_t left,
                                           std::int32_t top) {
  std::vector<Rect> rects;
  if (width <= 0 || height <= 0) return rects;
  const std::int32_t w = ScaledSide(width, dpi), h = ScaledSide(height, dpi);
  std::vector<std::int32_t> sourceColumn(static_cast<std::size_t>(w));
  for (std::int32_t x = 0; x < w; ++x) sourceColumn[x] = SourceIndex(x, width, dpi);
  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint32_t* row = colours.data() + static_cast<std::size_t>(SourceIndex(y, height, dpi)) * width;
    const auto shown = [&](std::int32_t x) { return row[sourceColumn[x]] != keyColour; };
    std::int32_t x = 0;
    while (x < w) {
      while (x < w && !shown(x)) ++x;
      if (x == w) break;
      const std::int32_t start = x;
      while (x < w && shown(x)) ++x;
      rects.push_back({left + start, top + y, left + x, top + y + 1});
    }
  }
  return rects;
}

}  // namespace dc

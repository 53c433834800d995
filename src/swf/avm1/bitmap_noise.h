// The random pixels of BitmapData: noise(), perlinNoise() and
// pixelDissolve(), all driven by Flash's generator, the minimal standard
// one (seed · 16807 mod 2^31 − 1), so a seed gives the pixels Flash gave.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/avm1/bitmap_pixels.h"

namespace dc::swf::avm1 {

class NoiseRandom {
 public:
  // A seed of 0 or below counts from 1 upwards (0 is 1, -1 is 2).
  explicit NoiseRandom(std::int64_t seed);
  std::uint32_t Next();
  std::uint32_t State() const { return state_; }

 private:
  std::uint32_t state_;
};

// noise(): each chosen channel a random value in low..high, one per
// channel in red, green, blue, alpha order (one for all three colours
// with `grayScale`); channels not chosen are 0, alpha 255.
void Noise(BitmapPixels& target, std::int64_t seed, std::uint32_t low, std::uint32_t high, std::uint32_t channels,
           bool grayScale);

struct PerlinOptions {
  double baseX = 1, baseY = 1;
  std::uint32_t octaves = 1;
  std::int64_t seed = 0;
  bool stitch = false, fractal = false;
  std::uint32_t channels = 7;
  bool grayScale = false;
  std::vector<double> offsets;  // x, y per octave
};
void PerlinNoise(BitmapPixels& target, const PerlinOptions& options);

// pixelDissolve(): from the seed's pixel on, pixels of the rectangle in an
// order the seed fixes take the source's pixel (or `colour` when the
// source is the target); returns the seed to continue from.
std::int64_t PixelDissolve(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                           std::int32_t y, std::int64_t seed, std::int64_t count, std::uint32_t colour,
                           bool sameBitmap);

}  // namespace dc::swf::avm1

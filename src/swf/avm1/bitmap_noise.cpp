// Random pixels: Flash's generator, noise, Perlin noise and the dissolve.
#include "swf/avm1/bitmap_noise.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace dc::swf::avm1 {

namespace {

constexpr std::uint32_t kModulus = 2147483647u;  // 2^31 - 1

std::uint32_t Channel(std::uint32_t v, int shift) { return (v & 0xFF) << shift; }

}  // namespace

NoiseRandom::NoiseRandom(std::int64_t seed) {
  if (seed <= 0) seed = 1 - seed;
  state_ = static_cast<std::uint32_t>(seed % kModulus);
  if (state_ == 0) state_ = 1;
}

std::uint32_t NoiseRandom::Next() {
  state_ = static_cast<std::uint32_t>(std::uint64_t{state_} * 16807 % kModulus);
  return state_;
}

void Noise(BitmapPixels& target, std::int64_t seed, std::uint32_t low, std::uint32_t high, std::uint32_t channels,
           bool grayScale) {
  NoiseRandom random(seed);
  const std::uint32_t range = high >= low ? high - low + 1 : 1;
  const auto value = [&] { return low + random.Next() % range; };
  for (std::int32_t y = 0; y < target.Height(); ++y) {
    std::uint32_t* row = target.Row(y);
    for (std::int32_t x = 0; x < target.Width(); ++x) {
      std::uint32_t argb = 0;
      if (grayScale) {
        const std::uint32_t v = value() & 0xFF;
        argb = v << 16 | v << 8 | v;
      } else {
        if (channels & 1) argb |= Channel(value(), 16);
        if (channels & 2) argb |= Channel(value(), 8);
        if (channels & 4) argb |= Channel(value(), 0);
      }
      argb |= (channels & 8) ? Channel(value(), 24) : 0xFF000000u;
      row[x] = target.ToStored(argb);
    }
  }
}

namespace {

// Gradient noise on a lattice whose corners take one of eight directions
// from a table the seed shuffles.
class Lattice {
 public:
  explicit Lattice(std::int64_t seed) {
    NoiseRandom random(seed);
    for (int i = 0; i < 256; ++i) perm_[i] = static_cast<std::uint8_t>(i);
    for (int i = 255; i > 0; --i) std::swap(perm_[i], perm_[random.Next() % (i + 1)]);
  }
  // -1..1 (about), at (x, y); `period` > 0 wraps the lattice there.
  double At(double x, double y, int periodX, int periodY) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const double dx = x - fx, dy = y - fy;
    long ix = static_cast<long>(fx), iy = static_cast<long>(fy);
    const auto wrap = [](long v, int period) { return period > 0 ? ((v % period) + period) % period : v; };
    const long x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX), y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    const double n00 = Grad(Hash(x0, y0), dx, dy), n10 = Grad(Hash(x1, y0), dx - 1, dy);
    const double n01 = Grad(Hash(x0, y1), dx, dy - 1), n11 = Grad(Hash(x1, y1), dx - 1, dy - 1);
    const double u = Fade(dx), v = Fade(dy);
    return std::lerp(std::lerp(n00, n10, u), std::lerp(n01, n11, u), v);
  }

 private:
  static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
  int Hash(long x, long y) const { return perm_[(perm_[x & 255] + y) & 255]; }
  static double Grad(int h, double x, double y) {
    switch (h & 7) {
      case 0: return x + y;
      case 1: return -x + y;
      case 2: return x - y;
      case 3: return -x - y;
      case 4: return x;
      case 5: return -x;
      case 6: return y;
      default: return -y;
    }
  }
  std::array<std::uint8_t, 256> perm_{};
};

}  // namespace

void PerlinNoise(BitmapPixels& target, const PerlinOptions& o) {
  const int count = o.grayScale ? 1 : 4;
  std::vector<Lattice> lattices;
  for (int c = 0; c < count; ++c) lattices.emplace_back(o.seed + c * 131);
  const double baseX = o.baseX == 0 ? 1 : std::abs(o.baseX), baseY = o.baseY == 0 ? 1 : std::abs(o.baseY);
  const auto sample = [&](const Lattice& lattice, double px, double py) {
    double sum = 0, amplitude = 1, frequency = 1;
    for (std::uint32_t octave = 0; octave < o.octaves; ++octave) {
      const double ox = 2 * octave < o.offsets.size() ? o.offsets[2 * octave] : 0;
      const double oy = 2 * octave + 1 < o.offsets.size() ? o.offsets[2 * octave + 1] : 0;
      const int periodX = o.stitch ? std::max(1, static_cast<int>(std::lround(target.Width() / baseX * frequency))) : 0;
      const int periodY = o.stitch ? std::max(1, static_cast<int>(std::lround(target.Height() / baseY * frequency))) : 0;
      const double n = lattice.At((px + ox) / baseX * frequency, (py + oy) / baseY * frequency, periodX, periodY);
      sum += (o.fractal ? n : std::abs(n)) * amplitude;
      amplitude *= 0.5;
      frequency *= 2;
    }
    const double v = o.fractal ? (sum + 1) * 127.5 : sum * 255;
    return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0));
  };
  for (std::int32_t y = 0; y < target.Height(); ++y) {
    std::uint32_t* row = target.Row(y);
    for (std::int32_t x = 0; x < target.Width(); ++x) {
      std::uint32_t argb = 0;
      if (o.grayScale) {
        const std::uint32_t v = sample(lattices[0], x, y);
        argb = v << 16 | v << 8 | v;
      } else {
        if (o.channels & 1) argb |= sample(lattices[0], x, y) << 16;
        if (o.channels & 2) argb |= sample(lattices[1], x, y) << 8;
        if (o.channels & 4) argb |= sample(lattices[2], x, y);
      }
      argb |= (o.channels & 8) ? sample(lattices[3], x, y) << 24 : 0xFF000000u;
      row[x] = target.ToStored(argb);
    }
  }
}

namespace {

// Maximal-length Galois shift registers: stepping one of `bits` bits
// visits every value from 1 to 2^bits - 1 once before it repeats.
constexpr std::uint32_t kTaps[] = {0,         0,         0x3,       0x6,       0xC,       0x14,      0x30,
                                   0x60,      0xB8,      0x110,     0x240,     0x500,     0x829,     0x100D,
                                   0x2015,    0x6000,    0xD008,    0x12000,   0x20400,   0x40023,   0x90000,
                                   0x140000,  0x300000,  0x420000,  0xE10000,  0x1200000, 0x2000023, 0x4000013,
                                   0x9000000, 0x14000000};

std::uint32_t Step(std::uint32_t s, std::uint32_t taps) { return (s >> 1) ^ ((s & 1) ? taps : 0); }

}  // namespace

std::int64_t PixelDissolve(BitmapPixels& target, const BitmapPixels& source, BitmapRect sourceRect, std::int32_t x,
                           std::int32_t y, std::int64_t seed, std::int64_t count, std::uint32_t colour,
                           bool sameBitmap) {
  const BitmapRect r = Clipped(sourceRect, source.Width(), source.Height());
  const std::int64_t area = r.Area();
  if (area == 0 || count <= 0) return seed;
  int bits = 2;
  while (bits < 29 && (std::int64_t{1} << bits) <= area) ++bits;
  const std::uint32_t taps = kTaps[bits], period = (1u << bits) - 1;
  std::uint32_t state = static_cast<std::uint32_t>(((seed % period) + period) % period) + 1;
  const std::int64_t dx = std::int64_t{x} - sourceRect.x, dy = std::int64_t{y} - sourceRect.y;
  const std::uint32_t fill = target.ToStored(colour);
  const auto dissolve = [&](std::uint32_t index) {
    const std::int32_t sx = r.x + static_cast<std::int32_t>(index % r.width);
    const std::int32_t sy = r.y + static_cast<std::int32_t>(index / r.width);
    const std::int64_t tx = sx + dx, ty = sy + dy;
    if (!target.Contains(tx, ty)) return;
    target.Put(static_cast<std::int32_t>(tx), static_cast<std::int32_t>(ty),
               sameBitmap ? fill : target.ToStored(source.Colour(sx, sy)));
  };
  // The seed's own pixel first (when it lies inside), then one more per
  // step that lands inside the rectangle.
  if (state - 1 < area) dissolve(state - 1);
  for (std::int64_t done = 0; done < std::min(count, area - 1);) {
    state = Step(state, taps);
    if (state - 1 >= area) continue;
    dissolve(state - 1);
    ++done;
  }
  return state;
}

}  // namespace dc::swf::avm1

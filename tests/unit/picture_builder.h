// Face pictures and sounds written byte by byte in a test, independent of
// clockpack: PNG files (zlib for the data, CRCs included) and WAV files.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "test_support.h"

namespace dctest {

// A PNG of `rows`, each row's bytes without its filter byte (filter 0 is
// put before each). colourType 6: RGBA, 8 bits; 3: palette, with `plte`
// holding 3 bytes a colour.
inline Bytes Png(std::uint32_t width, std::uint32_t height, std::uint8_t colourType, std::uint8_t depth,
                 const std::vector<Bytes>& rows, const Bytes& plte = {}) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto chunk = [&](const char* type, const Bytes& body) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(body.size() >> s));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    const auto crc = static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size())));
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(crc >> s));
  };
  Bytes ihdr;
  for (std::uint32_t v : {width, height})
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<std::uint8_t>(v >> s));
  ihdr.insert(ihdr.end(), {depth, colourType, 0, 0, 0});
  chunk("IHDR", ihdr);
  if (!plte.empty()) chunk("PLTE", plte);
  Bytes raw;
  for (const Bytes& r : rows) {
    raw.push_back(0);
    raw.insert(raw.end(), r.begin(), r.end());
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packedSize);
  compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

struct Rgba {
  std::uint8_t r, g, b, a;
};

// An RGBA PNG whose pixel (x, y) is colour(x, y).
template <class Colour>
Bytes RgbaPng(std::uint32_t width, std::uint32_t height, Colour colour) {
  std::vector<Bytes> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const Rgba c = colour(x, y);
      rows[y].insert(rows[y].end(), {c.r, c.g, c.b, c.a});
    }
  }
  return Png(width, height, 6, 8, rows);
}

// How much of pixel (x, y) a disc of radius r about (cx, cy) covers, 0 to
// 255, from 4 x 4 samples: an anti-aliased edge.
inline std::uint8_t DiscCover(double x, double y, double cx, double cy, double r) {
  int in = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      const double dx = x + (i + 0.5) / 4 - cx, dy = y + (j + 0.5) / 4 - cy;
      in += dx * dx + dy * dy <= r * r;
    }
  return static_cast<std::uint8_t>(in * 255 / 16);
}

// A PCM WAV file: the format chunk's tag, channels and bits, and `samples`
// bytes of silence.
inline Bytes Wav(std::uint16_t tag, std::uint16_t channels, std::uint16_t bits, std::uint32_t samples) {
  Bytes b;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto text = [&](const char* s) { b.insert(b.end(), s, s + 4); };
  text("RIFF");
  put(4 + 24 + 8 + samples, 4);
  text("WAVE");
  text("fmt ");
  put(16, 4);
  put(tag, 2);
  put(channels, 2);
  put(22050, 4);
  put(22050u * channels * bits / 8, 4);
  put(channels * bits / 8, 2);
  put(bits, 2);
  text("data");
  put(samples, 4);
  b.resize(b.size() + samples, 0x80);
  return b;
}

}  // namespace dctest

// What a movie may cost. A movie is a file from a stranger: past any of
// these the object is left out, or the movie stops, with one warning, and
// the clock keeps ticking. Each limit sits far above what a clock face of
// the Flash 5-8 era needs.
#pragma once

#include <cstdint>

namespace dc::swf {

struct Limits {
  // The file as stored and as uncompressed: a face is a few hundred KB.
  std::uint64_t maxFileBytes = 64ull << 20;
  std::uint64_t maxUncompressedBytes = 128ull << 20;
  // Frames of one timeline: ten minutes at 24 frames a second.
  std::uint32_t maxFrames = 16000;
  // Sprites inside sprites at run time; a sprite that holds itself would
  // otherwise nest without end.
  std::uint32_t maxSpriteNesting = 64;
  // Objects on all display lists together.
  std::uint32_t maxDisplayObjects = 20000;
  // Edges of one shape (curves count once).
  std::uint32_t maxEdgesPerShape = 100000;
  // Decoded bitmap pixels of the whole movie: 32 M pixels are 128 MB.
  std::uint64_t maxBitmapPixels = 32ull << 20;
  // Glyphs of one font, records and glyphs of one text.
  std::uint32_t maxGlyphs = 65536;
  // Memory the read movie's shapes, fonts, texts and frame lists take
  // together: a few bits of the file can become an edge or a glyph of
  // dozens of bytes, so the file's size alone does not bound them.
  std::uint64_t maxDefinitionBytes = 256ull << 20;
  // Drawing one frame may touch the surface this many times over (layers,
  // masks, strokes); past it the frame is left as drawn so far.
  std::uint32_t maxLayersPerFrame = 256;
};

inline constexpr Limits kDefaultLimits{};

}  // namespace dc::swf

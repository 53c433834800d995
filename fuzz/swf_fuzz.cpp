// The movie reader on any bytes, under limits small enough that an input
// is read in milliseconds: a movie it cannot play is refused with an
// SwfError, anything else is read with what passes a limit left out.
#include <cstddef>
#include <cstdint>
#include <span>

#include "swf/reader.h"
#include "swf/swf_error.h"

namespace {

dc::swf::Limits FuzzLimits() {
  dc::swf::Limits limits;
  limits.maxFileBytes = 1 << 20;
  limits.maxUncompressedBytes = 4 << 20;
  limits.maxFrames = 512;
  limits.maxEdgesPerShape = 20000;
  limits.maxBitmapPixels = 1 << 20;
  limits.maxGlyphs = 2048;
  limits.maxDefinitionBytes = 64 << 20;
  return limits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const dc::swf::Limits limits = FuzzLimits();
  try {
    (void)dc::swf::ReadMovie(std::span<const std::uint8_t>(data, size), limits);
  } catch (const dc::swf::SwfError&) {
  }
  return 0;
}

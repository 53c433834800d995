// The player on any bytes, under limits small enough that an input is
// read and played in milliseconds: a movie it cannot play is refused with
// an SwfError; anything else is read with what passes a limit left out,
// then its first frames are played (scripts with a small budget) and drawn
// at 64 x 64.
#include <cstddef>
#include <cstdint>
#include <span>

#include <memory>
#include <vector>

#include "swf/player/player.h"
#include "swf/format/reader.h"
#include "swf/format/swf_error.h"

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
  std::shared_ptr<const dc::swf::Movie> movie;
  try {
    movie = std::make_shared<const dc::swf::Movie>(dc::swf::ReadMovie(std::span<const std::uint8_t>(data, size), limits));
  } catch (const dc::swf::SwfError&) {
    return 0;
  }
  dc::swf::PlayerOptions options;
  options.limits = limits;
  options.limits.maxDisplayObjects = 2000;
  options.limits.maxLayersPerFrame = 64;
  options.scriptLimits.actionsPerFrame = 20000;
  options.scriptLimits.maxMemoryBytes = 16u << 20;
  options.now = [] { return dc::swf::avm1::LocalTime{dc::CivilDateTime{2026, 12, 9, 10, 8, 30, 0}, 60}; };
  dc::swf::Player player(movie, options);
  std::vector<std::uint32_t> pixels(64 * 64);
  dc::PixelTarget face{pixels.data(), 64, 64, 64};
  for (int frame = 0; frame < 4; ++frame) {
    if (frame) player.Advance();
    player.Render(face);
  }
  (void)player.TakeWarnings();
  return 0;
}

// A package's face picture decoded without the system: its colour values as
// the clock shows them, for clockpack's preview. Same pixels as the
// system's own decoding of the checked BMP.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace dc {

struct FacePixels {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> colours;  // 0x00BBGGRR, rows top-down
};

// Nothing when the bytes are no BMP the player shows (CheckFaceBitmap).
std::optional<FacePixels> DecodeFaceBitmap(std::span<const std::uint8_t> bmp);

}  // namespace dc

// Face pictures: a BMP is taken as it is; other pictures (PNG, ...) become
// the 24-bit bottom-up BMP the player loads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace clockpack {

struct Picture {
  std::vector<std::uint8_t> bmp;  // a whole BMP file
  int width = 0;
  int height = 0;
};

// Transparent pixels (alpha below 128) of a converted picture take the key
// colour (0x00BBGGRR), so a shaped window leaves them out.
Picture LoadFacePicture(const std::filesystem::path& file, std::uint32_t keyColour);

// A 24-bit BMP file from top-down RGBA pixels.
std::vector<std::uint8_t> EncodeBmp24(std::span<const std::uint8_t> rgba, int width, int height,
                                      std::uint32_t keyColour);

}  // namespace clockpack

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

// A face picture from a PNG or BMP file's bytes. A BMP the player shows as
// it is stays as it is; any other becomes a 24-bit BMP, its transparent
// pixels (alpha below 128) in the key colour (0x00BBGGRR), so a shaped
// window leaves them out. Its size is read and checked before any pixel is
// decoded: 1 to 16384 pixels each way, few enough for the 24-bit BMP to fit
// in a clock package, and for a BMP, a file long enough to hold its rows.
// Throws ToolError.
Picture FacePictureFromBytes(std::span<const std::uint8_t> bytes, std::uint32_t keyColour);
Picture LoadFacePicture(const std::filesystem::path& file, std::uint32_t keyColour);

// A 24-bit BMP file from top-down RGBA pixels.
std::vector<std::uint8_t> EncodeBmp24(std::span<const std::uint8_t> rgba, int width, int height,
                                      std::uint32_t keyColour);

}  // namespace clockpack

// Face pictures: a BMP is taken as it is; other pictures (PNG, ...) become
// the 24-bit bottom-up BMP the player loads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace clockpack {

// What the face's pixels mean for the window cut to them.
struct FaceStats {
  std::uint64_t keyPixels = 0;   // exactly the key colour: outside the shape
  std::uint64_t edgePixels = 0;  // inside the shape, beside a key pixel
  std::uint64_t ringPixels = 0;  // edge pixels that are a blend of the key colour and the face
};

struct Picture {
  std::vector<std::uint8_t> bmp;  // a whole BMP file
  int width = 0;
  int height = 0;
  bool transparent = false;  // some pixel had an alpha below 255
  FaceStats stats;           // measured against the key colour
};

// A face picture from a PNG or BMP file's bytes. A BMP the player shows as
// it is stays as it is; any other becomes a 24-bit BMP. Transparency makes
// a keyed face: a fully transparent pixel becomes the key colour
// (0x00BBGGRR), so a shaped window leaves it out; a partly transparent one
// is blended over `matte` and made opaque, so no edge pixel is tinted with
// the key colour. Before any pixel is decoded, the size is checked (1 to
// 16384 pixels each way, few enough for the 24-bit BMP to fit in a clock
// package), a BMP must hold its rows and its colour table before its
// pixels, and a palette picture may use only the colours its table holds.
// Throws ToolError.
Picture FacePictureFromBytes(std::span<const std::uint8_t> bytes, std::uint32_t keyColour, std::uint32_t matte = 0);
Picture LoadFacePicture(const std::filesystem::path& file, std::uint32_t keyColour, std::uint32_t matte = 0);

// A 24-bit BMP file from top-down RGBA pixels, transparency turned into the
// key colour and the matte as above.
std::vector<std::uint8_t> EncodeBmp24(std::span<const std::uint8_t> rgba, int width, int height,
                                      std::uint32_t keyColour, std::uint32_t matte = 0);

// The face's key pixels, its edge and the key-tinted ring along it, from
// its colour values (0x00BBGGRR, rows top-down).
FaceStats MeasureFace(std::span<const std::uint32_t> colours, int width, int height, std::uint32_t keyColour);

}  // namespace clockpack

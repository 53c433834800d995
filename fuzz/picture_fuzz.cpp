// clockpack's face picture conversion on any bytes: PNG and BMP are read
// (their size checked before any pixel is decoded), everything else is
// refused with a ToolError.
#include <cstddef>
#include <cstdint>
#include <span>

#include "picture.h"
#include "manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    (void)clockpack::FacePictureFromBytes(std::span<const std::uint8_t>(data, size), 0x00FF00FF);
  } catch (const clockpack::ToolError&) {
  }
  return 0;
}

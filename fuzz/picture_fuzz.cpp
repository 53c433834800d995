// clockpack's face picture conversion on any bytes: PNG and BMP are read
// (their size and palette checked before any pixel is decoded), everything
// else is refused with a ToolError. Oracle: the same bytes read twice, with
// the stack filled differently in between, give the same picture or the
// same refusal; a difference means a pixel came from memory the picture
// never set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "tools/clockpack/manifest.h"
#include "tools/clockpack/picture.h"

namespace {

[[gnu::noinline]] void FillStack(std::uint8_t value) {
  volatile std::uint8_t junk[256 * 1024];
  for (auto& b : junk) b = value;
}

std::string Read(std::span<const std::uint8_t> bytes, clockpack::Picture& out) {
  try {
    out = clockpack::FacePictureFromBytes(bytes, 0x00FF00FF, 0x00464646);
  } catch (const clockpack::ToolError& e) {
    return e.what();
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  clockpack::Picture first, second;
  FillStack(0x00);
  const std::string firstError = Read(bytes, first);
  FillStack(0xFF);
  const std::string secondError = Read(bytes, second);
  if (firstError != secondError || first.bmp != second.bmp) std::abort();
  return 0;
}

// Loading a BMP from memory, checking every size against the buffer first.
#include "ui/bitmap.h"

#include <windows.h>

#include <cstring>

#include "base/file_io.h"

namespace dc::ui {

HBITMAP BitmapFromBmpBytes(std::span<const std::uint8_t> bmp) {
  auto fail = [](const char* why) {
    return UserError(std::string("The clock's face picture cannot be loaded: ") + why + ".");
  };
  BITMAPFILEHEADER file;
  if (bmp.size() < sizeof file + sizeof(BITMAPINFOHEADER)) throw fail("it is too short for a bitmap");
  std::memcpy(&file, bmp.data(), sizeof file);
  if (file.bfType != 0x4D42) throw fail("it is no BMP picture");
  BITMAPINFOHEADER info;
  std::memcpy(&info, bmp.data() + sizeof file, sizeof info);
  if (info.biSize < sizeof info || info.biSize > bmp.size() - sizeof file) throw fail("its header is damaged");
  if (info.biWidth <= 0 || info.biWidth > 16384 || info.biHeight == 0 || info.biHeight < -16384 ||
      info.biHeight > 16384)
    throw fail("its size is not that of a picture (1 to 16384 pixels each way)");
  const std::uint64_t stride = (std::uint64_t{static_cast<std::uint32_t>(info.biWidth)} * info.biBitCount + 31) / 32 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);
  if (info.biCompression == BI_RGB && (file.bfOffBits > bmp.size() || stride * rows > bmp.size() - file.bfOffBits))
    throw fail("its pixels are cut short");
  if (file.bfOffBits > bmp.size()) throw fail("its pixels are cut short");

  HDC screen = GetDC(nullptr);
  if (!screen) throw fail("no screen to draw on");
  const auto* bmi = reinterpret_cast<const BITMAPINFO*>(bmp.data() + sizeof file);
  HBITMAP result = CreateDIBitmap(screen, &info, CBM_INIT, bmp.data() + file.bfOffBits, bmi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (!result) throw fail("the system could not make a bitmap of it");
  return result;
}

}  // namespace dc::ui

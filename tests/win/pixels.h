// Reading pixels back from a device context as top-down 0x00RRGGBB.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace dctest {

inline std::vector<std::uint32_t> ReadPixels(HDC src, int x, int y, int w, int h) {
  HDC mem = CreateCompatibleDC(src);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY);
  GdiFlush();
  std::vector<std::uint32_t> px(static_cast<const std::uint32_t*>(bits), static_cast<const std::uint32_t*>(bits) + w * h);
  for (auto& p : px) p &= 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  return px;
}

}  // namespace dctest

// A top-down 32-bit DIB section kept selected into a memory device context
// of its own, made again only when its size changes. A window that draws
// every second or every frame copies from it without making a bitmap and a
// context each time (under Wine each of those also asks the X server's
// resource files again).
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/handles.win.h"

namespace dc::ui {

class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  // A surface of width × height (both above 0); the old one is kept when
  // it has that size. Throws UserError, saying `what`, when it cannot be
  // made; the surface is empty then.
  void Ensure(int width, int height, const char* what);
  void Reset();

  std::uint32_t* Bits() const { return bits_; }
  HDC Dc() const { return dc_.get(); }
  HBITMAP Bitmap() const { return bitmap_.get(); }
  bool Empty() const { return bits_ == nullptr; }

 private:
  UniqueBitmap bitmap_;  // declared first: the context goes before it
  UniqueMemoryDC dc_;
  HGDIOBJ original_ = nullptr;  // the context's own bitmap, put back at the end
  std::uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace dc::ui

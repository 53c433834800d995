// The kept DIB section and its memory context.
#include "ui/dib_surface.win.h"

#include <string>

#include "base/win_text.win.h"
#include "base/user_error.h"

namespace dc::ui {

DibSurface::~DibSurface() { Reset(); }

void DibSurface::Reset() {
  if (dc_ && original_) SelectObject(dc_.get(), original_);
  original_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
}

void DibSurface::Ensure(int width, int height, const char* what) {
  if (bits_ && width == width_ && height == height_) return;
  Reset();
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  bitmap_ = UniqueBitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) {
    const DWORD error = GetLastError();  // before the release can change it
    Reset();
    throw UserError(std::string(what) + ": " + SystemErrorText(error));
  }
  dc_ = UniqueMemoryDC(CreateCompatibleDC(nullptr));
  const HGDIOBJ original = dc_ ? SelectObject(dc_.get(), bitmap_.get()) : nullptr;
  if (!original || original == HGDI_ERROR) {
    const DWORD error = GetLastError();
    Reset();
    throw UserError(std::string(what) + ": " + SystemErrorText(error));
  }
  original_ = original;
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
}

}  // namespace dc::ui

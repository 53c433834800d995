// The clock's picture face: a child window showing a bitmap at its
// top-left corner, unscaled. With no bitmap it paints black; it is also the
// placeholder that keeps a Flash face's place when the Flash control
// cannot be hosted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "ui/handles.win.h"
#include "ui/window.win.h"

namespace dc {

// A device-dependent bitmap of a BMP file held in memory. The BMP is
// checked first (CheckFaceBitmap); throws UserError saying why it cannot be
// loaded.
ui::UniqueBitmap BitmapFromBmpBytes(std::span<const std::uint8_t> bmp);

class FacePicture : public ui::Window {
 public:
  FacePicture(HWND parent, int left, int top, int width, int height, bool visible);

  // Loads a BMP file image from memory; throws UserError when it cannot.
  void LoadFromBytes(std::span<const std::uint8_t> bmp);
  bool HasPicture() const { return static_cast<bool>(bitmap_); }
  // The picture's colour values (0x00BBGGRR) top-down, and its size.
  std::vector<std::uint32_t> PictureColours(std::int32_t& width, std::int32_t& height) const;

  // A mouse button went down on the picture.
  std::function<void(UINT message)> OnMouseDown;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  ui::UniqueBitmap bitmap_;
};

}  // namespace dc

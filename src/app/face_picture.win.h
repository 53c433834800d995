// The clock's picture face: a child window showing a bitmap at its
// top-left corner, at the screen's scale (the package's picture at 100 %,
// filtered to the scale in the core). With no bitmap it paints black; it is
// also the placeholder that keeps a Flash face's place when the movie
// cannot be played.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
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
  // The picture's colour values (0x00BBGGRR) top-down as the system
  // decoded them, and its size, at 100 %.
  const std::vector<std::uint32_t>& PictureColours() const { return colours_; }
  std::int32_t PictureWidth() const { return width_; }
  std::int32_t PictureHeight() const { return height_; }
  // Shows the picture at `dpi`, as much of it as the face's window holds
  // now; `key` is the key colour of a shaped face, kept out of the filter.
  // Throws UserError when the system gives no bitmap for it.
  void SetScale(int dpi, std::optional<std::uint32_t> key);

  // A mouse button went down on the picture.
  std::function<void(UINT message)> OnMouseDown;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void ReadColours();
  ui::UniqueBitmap bitmap_;  // the picture at 100 %
  ui::UniqueBitmap scaled_;  // at another scale, or none
  std::vector<std::uint32_t> colours_;
  std::int32_t width_ = 0, height_ = 0;
};

}  // namespace dc

// The clock's face: the picture control (TImage), the hosted Flash control,
// and the empty placeholder that keeps the face's place when the Flash
// control is not installed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/handles.h"
#include "ui/window.h"

namespace dc {

// A child window showing a bitmap at its top-left corner, unscaled; also
// the Flash placeholder (with no bitmap it paints black).
class TImage : public ui::Window {
 public:
  TImage(HWND parent, int left, int top, int width, int height, bool visible);

  // Loads a BMP file image from memory; throws UserError when it cannot.
  void LoadFromBytes(std::span<const std::uint8_t> bmp);
  bool HasPicture() const { return static_cast<bool>(bitmap_); }
  // The picture's colour values (0x00BBGGRR) top-down, and its size.
  std::vector<std::uint32_t> PictureColours(std::int32_t& width, std::int32_t& height) const;

  std::function<void(UINT message)> OnMouseDown;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  ui::UniqueBitmap bitmap_;
};

inline constexpr wchar_t kFlashClassId[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

// The Shockwave Flash control hosted in an AtlAxWin child window, its
// Movie (dispatch id 102) set to `moviePath`. Throws UserError saying why
// when the control cannot be hosted (not installed, as under Wine and on
// current Windows).
class FlashFace {
 public:
  FlashFace(HWND parent, const std::wstring& moviePath, int left, int top, int width, int height);
  ~FlashFace();
  FlashFace(const FlashFace&) = delete;
  FlashFace& operator=(const FlashFace&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

bool IsFlashControlInstalled();

}  // namespace dc

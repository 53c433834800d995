// The Flash face: the Shockwave Flash control hosted in an AtlAxWin child
// window, its Movie (dispatch id 102) set to the extracted movie. The
// control is gone from current Windows and not registered under Wine; then
// the constructor says why and the clock runs with its digits only.
#pragma once

#include <windows.h>

#include <string>

#include "ui/com_ptr.h"

namespace dc {

inline constexpr wchar_t kFlashClassId[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

bool IsFlashControlInstalled();

class FlashFace {
 public:
  // Throws UserError saying why the control cannot be hosted.
  FlashFace(HWND parent, const std::wstring& moviePath, int left, int top, int width, int height);
  ~FlashFace();
  FlashFace(const FlashFace&) = delete;
  FlashFace& operator=(const FlashFace&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  ui::OleScope ole_;  // first made, last gone: the control lives within it
  HWND hwnd_ = nullptr;
};

}  // namespace dc

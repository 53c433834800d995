// The drags.
#include "ui/drag.h"

#include <windows.h>

#include "ui/modal.h"

namespace dc::ui {

void StartWindowDrag(HWND window) {
  ReleaseCapture();  // the pressed control holds the mouse; the move loop takes it
  NestedLoop nested;  // the system's move loop
  SendMessageW(window, WM_SYSCOMMAND, kDragCommand, 0);
}

void PointerDrag::Begin(HWND window) {
  POINT p{};
  RECT r{};
  if (!GetCursorPos(&p) || !GetWindowRect(window, &r)) return;
  window_ = window;
  startX_ = p.x;
  startY_ = p.y;
  originX_ = r.left;
  originY_ = r.top;
  SetCapture(window);
}

bool PointerDrag::Follow() const {
  if (!window_) return false;
  POINT p{};
  if (!GetCursorPos(&p)) return true;
  SetWindowPos(window_, nullptr, originX_ + p.x - startX_, originY_ + p.y - startY_, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool PointerDrag::End() {
  if (!window_) return false;
  HWND window = window_;
  window_ = nullptr;  // first: releasing the capture sends WM_CAPTURECHANGED
  if (GetCapture() == window) ReleaseCapture();
  return true;
}

}  // namespace dc::ui

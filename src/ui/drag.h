// Dragging a window by any point of it.
//
// The left button hands the drag to the system: its move command with the
// caption hit-test code (SC_MOVE | HTCAPTION, 0xF012), which Windows and
// Wine, with or without a window manager, all honour; the bare move command
// (0xF010 plus HTCLIENT, 0xF011) leaves the window in place under Wine.
//
// Other buttons are followed by the window itself: the system's move loop
// ends on the left button only (Wine without a window manager), or follows
// a right-button move for one step (openbox), so a right-button drag would
// never end, or never move.
#pragma once

#include "ui/win_fwd.h"

struct tagPOINT;

namespace dc::ui {

inline constexpr unsigned kDragCommand = 0xF012;

// The left button: returns when the button is released.
void StartWindowDrag(HWND window);

// Another button: the window takes the mouse and follows it until the
// button is released (the window's owner calls Follow on WM_MOUSEMOVE and
// End on the button's release or WM_CAPTURECHANGED).
class PointerDrag {
 public:
  void Begin(HWND window);
  // Moves the window with the pointer; false when no drag runs.
  bool Follow() const;
  // Ends the drag; true when one ran.
  bool End();
  bool Active() const { return window_ != nullptr; }

 private:
  HWND window_ = nullptr;
  long startX_ = 0, startY_ = 0;    // the pointer where the drag began
  long originX_ = 0, originY_ = 0;  // the window's top left then
};

}  // namespace dc::ui

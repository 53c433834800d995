// Dragging a window by any point of it: the system's move command with the
// caption hit-test code (SC_MOVE | HTCAPTION, 0xF012). The window follows
// the mouse until the button is released; the call returns then. Windows
// and Wine (with or without a window manager) both honour this code, where
// the bare move command (0xF010 plus HTCLIENT, 0xF011) leaves the window in
// place under Wine.
#pragma once

#include "ui/win_fwd.h"

namespace dc::ui {

inline constexpr unsigned kDragCommand = 0xF012;

void StartWindowDrag(HWND window);

}  // namespace dc::ui

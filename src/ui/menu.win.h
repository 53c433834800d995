// Opening a popup menu the way the shell expects: the owner comes to the
// foreground first and gets an empty message (WM_NULL) afterwards, so the
// menu closes when the user clicks elsewhere.
#pragma once

#include <windows.h>

namespace dc::ui {

// Returns the chosen command, or 0 when the menu was dismissed.
UINT TrackMenu(HMENU menu, HWND owner, POINT screen);

}  // namespace dc::ui

// Opening a popup menu the way the shell expects: the owner comes to the
// foreground first and gets an empty message afterwards, so the menu
// closes when the user clicks elsewhere. The chosen command is posted as
// WM_COMMAND to `commandWindow`.
#pragma once

#include <windows.h>

namespace dc::ui {

void TrackMenu(HMENU menu, HWND owner, POINT screen, HWND commandWindow);

}  // namespace dc::ui

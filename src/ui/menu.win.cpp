// Popup menus.
#include "ui/menu.h"

namespace dc::ui {

void TrackMenu(HMENU menu, HWND owner, POINT screen, HWND commandWindow) {
  if (!menu) return;
  SetForegroundWindow(owner);
  UINT command =
      TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  if (command && commandWindow) PostMessageW(commandWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

}  // namespace dc::ui

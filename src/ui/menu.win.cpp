// Popup menus.
#include "ui/menu.win.h"

namespace dc::ui {

UINT TrackMenu(HMENU menu, HWND owner, POINT screen) {
  if (!menu) return 0;
  SetForegroundWindow(owner);
  const UINT command =
      TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  return command;
}

}  // namespace dc::ui

// Popup menus.
#include "ui/menu.win.h"

#include "ui/modal.h"

namespace dc::ui {

UINT TrackMenu(HMENU menu, HWND owner, POINT screen) {
  if (!menu) return 0;
  // A window that never takes the activation (the alarm popup) is not made
  // the foreground one: asking the window manager to activate it restacks
  // the program's windows, and the clock came to lie over the menu.
  if (!(GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) SetForegroundWindow(owner);
  NestedLoop nested;
  const UINT command =
      TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  return command;
}

}  // namespace dc::ui

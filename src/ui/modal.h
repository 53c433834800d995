// The open modal dialogs and message boxes, innermost last, so that a
// command that would open a second dialog, or exit under one, can act on
// them instead.
#pragma once

#include <functional>

#include "ui/win_fwd.h"

namespace dc::ui {

// A dialog's or box's modal run begins and ends. A box is closed by
// answering it with `answer` (IDOK, IDNO, ...); a dialog (answer 0) by
// WM_CLOSE.
void PushModal(HWND window, unsigned answer = 0);
void PopModal(HWND window);
// The innermost open modal dialog or box, or null.
HWND TopModalDialog();
// Brings the innermost open dialog to the front; false when none is open.
bool BringModalToFront();
// Asks every open modal dialog and box to close, innermost first.
void CloseModalDialogs();
// Runs (once per call of PopModal that empties the list) when the last
// modal dialog or box has closed; empty clears it.
void SetModalsClosedHandler(std::function<void()> handler);

// A loop that dispatches messages while the program's own message loop
// waits below it: a dialog's, a box's, a menu's, the system's move of a
// window. Whatever the program's loop drives itself (the clock's frames and
// seconds) must run on timers meanwhile. Scopes nest; the handler hears
// when the outermost begins (true) and ends (false).
class NestedLoop {
 public:
  NestedLoop();
  ~NestedLoop();
  NestedLoop(const NestedLoop&) = delete;
  NestedLoop& operator=(const NestedLoop&) = delete;
};
// Empty clears it.
void SetNestedLoopHandler(std::function<void(bool inside)> handler);

}  // namespace dc::ui

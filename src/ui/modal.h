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

}  // namespace dc::ui

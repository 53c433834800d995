// The open modal dialogs, innermost last, so that a command that would open
// a second dialog, or exit under one, can act on them instead.
#pragma once

#include "ui/win_fwd.h"

namespace dc::ui {

// A dialog's modal run begins and ends.
void PushModal(HWND dialog);
void PopModal(HWND dialog);
// The innermost open modal dialog, or null.
HWND TopModalDialog();
// Brings the innermost open dialog to the front; false when none is open.
bool BringModalToFront();
// Asks every open modal dialog to close, innermost first.
void CloseModalDialogs();

}  // namespace dc::ui

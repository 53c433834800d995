// Modal dialogs: a dialog runs in its own message loop with its owner
// disabled. The program keeps the list of open ones, so a command that
// would open a second dialog, or exit under one, can act on them instead.
#pragma once

#include "ui/win_fwd.h"

namespace dc::ui {

// Shows `dialog` and runs messages until it is destroyed or hidden; the owner is
// disabled meanwhile and enabled and activated again afterwards.
void RunModal(HWND dialog, HWND owner);
// The innermost open modal dialog, or null.
HWND TopModalDialog();
// Brings the innermost open dialog to the front; false when none is open.
bool BringModalToFront();
// Asks every open modal dialog to close, innermost first.
void CloseModalDialogs();

}  // namespace dc::ui

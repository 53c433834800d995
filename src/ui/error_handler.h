// The central error handler. An error met inside a message handler is
// queued and shown in the error box from a posted message, once: showing it
// at once from inside WM_PAINT or WM_TIMER would run a modal loop that
// re-enters the failing handler. The same text waiting twice is shown once.
#pragma once

#include <functional>
#include <string>

#include "ui/win_fwd.h"

namespace dc::ui {

// The window that owns the error boxes (the clock window, once it exists).
void SetErrorOwner(HWND owner);
void ReportError(const std::string& text);
// Shows what is queued now (for start-up code that has no message loop yet).
void ShowQueuedErrors();
// Where queued errors go instead of the error box (tests); empty restores
// the box.
void SetErrorSink(std::function<void(const std::string&)> sink);

}  // namespace dc::ui

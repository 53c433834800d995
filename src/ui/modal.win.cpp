// The modal loop and the list of open modal dialogs.
#include "ui/modal.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace dc::ui {
namespace {

std::vector<HWND>& Open() {
  static std::vector<HWND> open;
  return open;
}

}  // namespace

void RunModal(HWND dialog, HWND owner) {
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  Open().push_back(dialog);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  MSG msg;
  // The run ends when the dialog is destroyed or hidden (a dialog whose
  // caller still reads its controls hides itself).
  while (IsWindow(dialog) && IsWindowVisible(dialog)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends too
      break;
    }
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  auto& open = Open();
  open.erase(std::remove(open.begin(), open.end(), dialog), open.end());
  if (ownerWasEnabled && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

HWND TopModalDialog() { return Open().empty() ? nullptr : Open().back(); }

bool BringModalToFront() {
  HWND top = TopModalDialog();
  if (!top) return false;
  SetForegroundWindow(top);
  BringWindowToTop(top);
  return true;
}

void CloseModalDialogs() {
  std::vector<HWND> open = Open();
  for (auto it = open.rbegin(); it != open.rend(); ++it) PostMessageW(*it, WM_CLOSE, 0, 0);
}

}  // namespace dc::ui

// The list of open modal dialogs.
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

void PushModal(HWND dialog) { Open().push_back(dialog); }

void PopModal(HWND dialog) { std::erase(Open(), dialog); }

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

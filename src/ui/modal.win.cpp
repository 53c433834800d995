// The list of open modal dialogs and boxes.
#include "ui/modal.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace dc::ui {
namespace {

struct OpenModal {
  HWND window;
  unsigned answer;
};

std::vector<OpenModal>& Open() {
  static std::vector<OpenModal> open;
  return open;
}

std::function<void()>& ClosedHandler() {
  static std::function<void()> handler;
  return handler;
}

std::function<void(bool)>& NestedHandler() {
  static std::function<void(bool)> handler;
  return handler;
}

int nestedDepth = 0;

}  // namespace

void PushModal(HWND window, unsigned answer) { Open().push_back({window, answer}); }

void PopModal(HWND window) {
  const std::size_t before = Open().size();
  std::erase_if(Open(), [window](const OpenModal& m) { return m.window == window; });
  if (before != 0 && Open().empty() && ClosedHandler()) ClosedHandler()();
}

HWND TopModalDialog() { return Open().empty() ? nullptr : Open().back().window; }

bool BringModalToFront() {
  HWND top = TopModalDialog();
  if (!top) return false;
  SetForegroundWindow(top);
  BringWindowToTop(top);
  return true;
}

void CloseModalDialogs() {
  const std::vector<OpenModal> open = Open();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if (it->answer) {
      PostMessageW(it->window, WM_COMMAND, MAKEWPARAM(it->answer, BN_CLICKED), 0);
    } else {
      PostMessageW(it->window, WM_CLOSE, 0, 0);
    }
  }
}

void SetModalsClosedHandler(std::function<void()> handler) { ClosedHandler() = std::move(handler); }

NestedLoop::NestedLoop() {
  if (nestedDepth++ == 0 && NestedHandler()) NestedHandler()(true);
}

NestedLoop::~NestedLoop() {
  if (--nestedDepth == 0 && NestedHandler()) NestedHandler()(false);
}

void SetNestedLoopHandler(std::function<void(bool inside)> handler) { NestedHandler() = std::move(handler); }

}  // namespace dc::ui

// The shared stack over the real popup windows.
#include "notify/popup_stack.win.h"

#include <algorithm>

#include "notify/alarm_popup_window.win.h"

namespace dc::notify {
namespace {

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

RECT WorkArea() {
  RECT r{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return r;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

PopupStack& PopupStack::Shared() {
  static PopupStack stack;
  return stack;
}

void PopupStack::Sync() {
  for (AlarmPopupWindow* w : windows_) {
    StackWindow* slot = model_.Find(w->stackId);
    if (!slot) continue;
    const RECT r = w->Bounds();
    *slot = {w->stackId, r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(w->hwnd()) != 0,
             w->PointerInside};
  }
}

void PopupStack::Apply() {
  for (AlarmPopupWindow* w : windows_) {
    if (const StackWindow* slot = model_.Find(w->stackId)) {
      const RECT r = w->Bounds();
      if (r.left != slot->left || r.top != slot->top) w->MoveTo(slot->left, slot->top);
    }
  }
}

void PopupStack::AddAlert(AlarmPopupWindow& window) {
  static int nextId = 1;
  window.stackId = nextId++;
  windows_.push_back(&window);
  Sync();
  const RECT r = window.Bounds();
  model_.AddAlert({window.stackId, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   IsWindowVisible(window.hwnd()) != 0, window.PointerInside},
                  ToRect(WorkArea()));
  Apply();
}

void PopupStack::RemoveAlert(AlarmPopupWindow& window) {
  auto it = std::find(windows_.begin(), windows_.end(), &window);
  if (it == windows_.end()) return;
  Sync();
  model_.RemoveAlert(window.stackId, ToRect(WorkArea()));
  windows_.erase(it);
  Apply();
}

void PopupStack::ArrangeAlerts() {
  Sync();
  model_.ArrangeAlerts(ToRect(WorkArea()));
  Apply();
}

}  // namespace dc::notify

// Modal dialogs: frame, font, the modal run and the focus.
#include "ui/dialog.win.h"

#include "base/scale.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "ui/dpi.win.h"
#include "ui/modal.h"

namespace dc::ui {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

Dialog::~Dialog() { GiveOwnerBack(); }

void Dialog::CreateDialogWindow(const wchar_t* className, const wchar_t* caption, int clientWidth, int clientHeight) {
  RegisterWindowClass(className, 0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const int dpi = DpiAt({screenWidth / 2, screenHeight / 2});
  RECT frame{0, 0, ScaleLength(clientWidth, dpi), ScaleLength(clientHeight, dpi)};
  if (!AdjustWindowRectForDpi(frame, kStyle, kExStyle, dpi))
    throw UserError("A dialog's frame cannot be measured: " + SystemErrorText(GetLastError()));
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  Create(kExStyle, className, caption, kStyle, (screenWidth - w) / 2, (screenHeight - h) / 2, w, h, owner_);
  controls_ = std::make_unique<ControlLayout>(hwnd(), dpi);
}

void Dialog::RunModal() {
  ownerDisabled_ = owner_ && IsWindowEnabled(owner_);
  if (ownerDisabled_) EnableWindow(owner_, FALSE);
  const HWND dialog = hwnd();
  PushModal(dialog);
  NestedLoop nested;
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  MSG msg;
  while (IsWindow(hwnd()) && IsWindowVisible(hwnd())) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends too
      break;
    }
    if (!IsDialogMessageW(hwnd(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  PopModal(dialog);
  GiveOwnerBack();  // a dialog destroyed without EndModal
}

void Dialog::EndModal() {
  GiveOwnerBack();
  ShowWindow(hwnd(), SW_HIDE);
}

void Dialog::GiveOwnerBack() {
  if (!ownerDisabled_) return;
  ownerDisabled_ = false;
  if (IsWindow(owner_)) EnableWindow(owner_, TRUE);
}

std::optional<LRESULT> Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      // Custom windows keep their focus themselves: nothing else does it.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) focus_ = focus;
      } else if (focus_ && IsWindow(focus_) && IsChild(hwnd(), focus_)) {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      OnCancel();
      return 0;
    case WM_DPICHANGED: {
      // Its monitor or the monitor's scale changed: the controls and their
      // fonts at the new DPI, the frame where the system suggests.
      const int dpi = DpiOfMessage(wp);
      const RECT& to = SuggestedRect(lp);
      if (controls_) controls_->SetDpi(dpi);
      OnDpiChanged(dpi);
      SetWindowPos(hwnd(), nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
  }
  if (std::optional<LRESULT> handled = DialogMessage(msg, wp, lp)) return handled;
  if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
    OnCancel();
    return 0;
  }
  return std::nullopt;
}

}  // namespace dc::ui

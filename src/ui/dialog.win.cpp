// Modal dialogs: frame, font, the modal run and the focus.
#include "ui/dialog.win.h"

#include "ui/modal.h"

namespace dc::ui {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

UniqueFont MakeDialogFont(int pixelHeight, int weight, bool underline) {
  return UniqueFont(CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                L"MS Sans Serif"));
}

Dialog::~Dialog() { GiveOwnerBack(); }

void Dialog::CreateDialogWindow(const wchar_t* className, const wchar_t* caption, int clientWidth, int clientHeight) {
  RegisterWindowClass(className, 0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  Create(kExStyle, className, caption, kStyle, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
         (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, owner_);
  font_ = MakeDialogFont(11);
}

void Dialog::RunModal() {
  ownerDisabled_ = owner_ && IsWindowEnabled(owner_);
  if (ownerDisabled_) EnableWindow(owner_, FALSE);
  const HWND dialog = hwnd();
  PushModal(dialog);
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
  }
  if (std::optional<LRESULT> handled = DialogMessage(msg, wp, lp)) return handled;
  if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
    OnCancel();
    return 0;
  }
  return std::nullopt;
}

}  // namespace dc::ui

// The tray icon's shell calls and notifications.
#include "notify/tray_icon.win.h"

#include <shlwapi.h>

#include <cwchar>

#include "notify/tray_text.h"
#include "ui/dpi.win.h"
#include "ui/menu.win.h"
#include "ui/window_classes.h"

namespace dc::notify {
namespace {


// The major version of the shell library, from its DllGetVersion.
DWORD ShellMajorVersion() {
  HMODULE shell = GetModuleHandleW(L"shell32.dll");
  if (!shell) return 4;
  auto get = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(shell, "DllGetVersion")));
  DLLVERSIONINFO info{sizeof info};
  if (!get || FAILED(get(&info))) return 4;
  return info.dwMajorVersion;
}

}  // namespace

TrayIcon::TrayIcon(IconLoader loadIcon, HMENU popupMenu, HWND commandWindow)
    : loadIcon_(std::move(loadIcon)), menu_(popupMenu), commandWindow_(commandWindow) {
  shell5_ = ShellMajorVersion() >= 5;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  RegisterWindowClass(ui::kTrayClass, 0, nullptr, nullptr);
  // A hidden window at the primary monitor's corner, where the task bar's
  // notification area is: its DPI is the task bar's.
  Create(WS_EX_TOOLWINDOW, ui::kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr);
  LoadIconForDpi(ui::WindowDpi(hwnd()));
}

void TrayIcon::LoadIconForDpi(int dpi) {
  loaded_ = loadIcon_ ? loadIcon_(ui::MetricForDpi(SM_CXSMICON, dpi), ui::MetricForDpi(SM_CYSMICON, dpi))
                      : ui::UniqueIcon();
  icon_ = loaded_ ? loaded_.get() : LoadIconW(nullptr, IDI_APPLICATION);
  if (added_) {
    NOTIFYICONDATAW nid = Record();
    nid.uFlags = NIF_ICON;
    Shell_NotifyIconW(NIM_MODIFY, &nid);
  }
}

SIZE TrayIcon::IconSize() const {
  ICONINFO info{};
  if (!GetIconInfo(icon_, &info)) return {0, 0};
  BITMAP bitmap{};
  const HBITMAP shape = info.hbmColor ? info.hbmColor : info.hbmMask;
  const bool read = GetObjectW(shape, sizeof bitmap, &bitmap) != 0;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (!read) return {0, 0};
  return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

TrayIcon::~TrayIcon() { SetActive(false); }

NOTIFYICONDATAW TrayIcon::Record() const {
  NOTIFYICONDATAW nid{};
  // The size tells the shell which fields the record has.
  nid.cbSize = shell5_ ? sizeof(NOTIFYICONDATAW) : NOTIFYICONDATAW_V1_SIZE;
  nid.hWnd = hwnd();
  nid.uID = kIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kCallbackMessage;
  nid.hIcon = icon_;
  std::wstring tip = TrayTip(hint_, shell5_);
  wcsncpy(nid.szTip, tip.c_str(), std::size(nid.szTip) - 1);
  return nid;
}

void TrayIcon::Add() {
  if (added_) return;
  NOTIFYICONDATAW nid = Record();
  Shell_NotifyIconW(NIM_ADD, &nid);
  added_ = true;  // as the shell may refuse while it starts; re-added on TaskbarCreated
  if (shell5_) {
    nid.uVersion = NOTIFYICON_VERSION;
    nid.uFlags = 0;
    Shell_NotifyIconW(NIM_SETVERSION, &nid);
  }
}

void TrayIcon::Remove() {
  if (!added_) return;
  NOTIFYICONDATAW nid = Record();
  nid.uFlags = 0;
  Shell_NotifyIconW(NIM_DELETE, &nid);
  added_ = false;
}

void TrayIcon::SetActive(bool active) {
  active_ = active;
  if (active) {
    Add();
  } else {
    Remove();
  }
}

void TrayIcon::SetHint(const std::wstring& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (added_) {
    NOTIFYICONDATAW nid = Record();
    nid.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &nid);
  }
}

void TrayIcon::OpenPopupMenu(POINT screen) {
  if (const UINT command = ui::TrackMenu(menu_, hwnd(), screen))
    PostMessageW(commandWindow_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

std::optional<LRESULT> TrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == taskbarCreated_ && taskbarCreated_) {
    added_ = false;  // the old shell's icons are gone
    LoadIconForDpi(ui::WindowDpi(hwnd()));  // the new task bar may have another scale
    if (active_) Add();
    return 0;
  }
  switch (msg) {
    case WM_DPICHANGED:
      LoadIconForDpi(ui::DpiOfMessage(wp));
      return 0;
    case kCallbackMessage: {
      const UINT event = LOWORD(lp);
      POINT cursor{};
      GetCursorPos(&cursor);
      switch (event) {
        case WM_CONTEXTMENU:
        case NIN_KEYSELECT:
          OpenPopupMenu(cursor);
          break;
        case WM_RBUTTONUP:
          if (!shell5_) OpenPopupMenu(cursor);
          break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          if (OnDblClick) OnDblClick(event);
          break;
      }
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) {
        Remove();
      } else if (active_) {
        Add();
      }
      return 0;
  }
  return std::nullopt;
}

}  // namespace dc::notify

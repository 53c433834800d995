// TrayIcon: the clock's icon in the notification area, with its own
// hidden message window. A right click (the shell's context-menu or
// key-select notification) opens the popup menu, whose command goes to the
// command window; a double click with any button calls OnDblClick; a single
// click does nothing. The icon comes back when the task bar is re-created.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "ui/window.win.h"

namespace dc::notify {

class TrayIcon : public ui::Window {
 public:
  static constexpr UINT kCallbackMessage = WM_USER + 1;
  static constexpr UINT kIconId = 1;

  // `popupMenu` stays the caller's; its commands are posted as WM_COMMAND
  // to `commandWindow`.
  TrayIcon(HICON icon, HMENU popupMenu, HWND commandWindow);
  ~TrayIcon() override;

  void SetHint(const std::wstring& hint);
  void SetActive(bool active);
  bool Added() const { return added_; }
  // The shell library's version is 5.0 or later (read once).
  bool Shell5OrLater() const { return shell5_; }
  // Opens the popup menu at a screen point, as a right click does.
  void OpenPopupMenu(POINT screen);

  std::function<void(UINT button)> OnDblClick;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  NOTIFYICONDATAW Record() const;
  void Add();
  void Remove();

  HICON icon_;
  HMENU menu_;
  HWND commandWindow_;
  std::wstring hint_;
  bool active_ = false;
  bool added_ = false;
  bool shell5_ = true;
  UINT taskbarCreated_ = 0;
};

}  // namespace dc::notify

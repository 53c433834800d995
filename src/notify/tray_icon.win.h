// TrayIcon: the clock's icon in the notification area, with its own
// hidden message window. A right click (the shell's context-menu or
// key-select notification) opens the popup menu, whose command goes to the
// command window; a double click with any button calls OnDblClick; a single
// click does nothing. The icon comes back when the task bar is re-created.
// The icon is loaded at the size the system asks for at the task bar's DPI
// (SM_CXSMICON for that DPI), and again when that DPI changes.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "ui/handles.win.h"
#include "ui/window.win.h"

namespace dc::notify {

class TrayIcon : public ui::Window {
 public:
  static constexpr UINT kCallbackMessage = WM_USER + 1;
  static constexpr UINT kIconId = 1;

  // The program's icon at a size in pixels; empty when it cannot be had.
  using IconLoader = std::function<ui::UniqueIcon(int width, int height)>;

  // `popupMenu` stays the caller's; its commands are posted as WM_COMMAND
  // to `commandWindow`.
  TrayIcon(IconLoader loadIcon, HMENU popupMenu, HWND commandWindow);
  ~TrayIcon() override;

  void SetHint(const std::wstring& hint);
  void SetActive(bool active);
  bool Added() const { return added_; }
  // The shell library's version is 5.0 or later (read once).
  bool Shell5OrLater() const { return shell5_; }
  // Opens the popup menu at a screen point, as a right click does.
  void OpenPopupMenu(POINT screen);
  // The icon the shell shows, and its size.
  HICON Icon() const { return icon_; }
  SIZE IconSize() const;

  std::function<void(UINT button)> OnDblClick;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  NOTIFYICONDATAW Record() const;
  void Add();
  void Remove();
  // The icon at the size for `dpi`; the shell's icon changes with it.
  void LoadIconForDpi(int dpi);

  IconLoader loadIcon_;
  ui::UniqueIcon loaded_;
  HICON icon_ = nullptr;  // the loaded icon, or the system's when none could be
  HMENU menu_;
  HWND commandWindow_;
  std::wstring hint_;
  bool active_ = false;
  bool added_ = false;
  bool shell5_ = true;
  UINT taskbarCreated_ = 0;
};

}  // namespace dc::notify

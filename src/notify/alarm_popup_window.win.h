// The popup window of an alarm: a borderless, topmost, never-activated
// window with a caption bar, the header and the wrapped message, a close
// button and, when the popup can be snoozed, a drop-down button with the
// snooze menu; its parts where the core's popup layout puts them at its
// DPI. The system's leave notification (TrackMouseEvent) tells it when the
// pointer has gone and it may hide.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "base/scale.h"
#include "notify/popup_layout.h"
#include "ui/window.win.h"

namespace dc::notify {

class AlarmPopup;
class PopupAnimation;

// The snooze menu's commands and the minutes each one waits.
inline constexpr std::array<int, 4> kSnoozeMinutes = {5, 10, 30, 60};
inline constexpr UINT kFirstSnoozeCommand = 1;

class AlarmPopupWindow : public ui::Window {
 public:
  static constexpr UINT kReleaseMessage = WM_USER + 1001;  // 2025
  static constexpr UINT_PTR kStyleTimer = 2;

  explicit AlarmPopupWindow(AlarmPopup& alert);

  // The pointer is over the popup (or its snooze menu is open): it stays.
  bool PointerInside = false;
  PopupAnimation* style = nullptr;
  int stackId = 0;

  void ShowNoActivate();
  void CloseAlert();
  RECT Bounds() const;
  void MoveTo(int left, int top);
  // The DPI the popup is drawn at (its monitor's); set before it is sized.
  void SetDpi(int dpi) { dpi_ = dpi; }
  int Dpi() const { return dpi_; }
  // Its parts at its size and DPI.
  PopupLayout Layout() const;
  // The buttons' rectangles in client coordinates: the close button 2
  // pixels from the right edge, the drop-down button 16 pixels left of it
  // (at 100 %).
  RECT CloseButton() const;
  RECT DropDownButton() const;
  bool HasDropDown() const;

  // The snooze menu ("Snooze 5 minutes" ... "Snooze 1 hour"); the caller
  // owns it.
  static HMENU MakeSnoozeMenu();
  // Opens the snooze menu under the drop-down button; the pointer counts as
  // inside meanwhile, so the popup does not start to hide.
  void OpenSnoozeMenu();
  // What a command of the snooze menu does: the alarm is snoozed and the
  // popup closes as its close button closes it.
  void ChooseSnooze(UINT command);
  bool SnoozeMenuOpen() const { return menuOpen_; }

 private:
  enum class Button { None, Close, DropDown };
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc);
  void PaintButton(HDC dc, Button button, const RECT& r, const PopupLayout& layout) const;
  Button ButtonAt(POINT client) const;
  void PointerEntered();
  void PointerLeft();
  void SetHover(Button over);

  AlarmPopup& alert_;
  bool tracking_ = false;
  Button over_ = Button::None, pressed_ = Button::None;
  bool closing_ = false;
  bool menuOpen_ = false;
  int dpi_ = kBaseDpi;
};

}  // namespace dc::notify

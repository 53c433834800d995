// AlarmPopup: what the alarm firing configures and shows for one fired
// alarm. It owns its window and its show and hide effect, joins the shared
// stack of popups while shown, calls OnClose when the window closes and,
// set to free itself, has its owner free it after the close has returned.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "notify/alarm_popup_window.win.h"
#include "notify/popup_animation.win.h"
#include "notify/popup_config.h"
#include "notify/popup_stack.win.h"

namespace dc::notify {

// A font as the popup draws it: its 100 % height, or its size in points,
// or the system's message font, made for the popup's DPI when it paints.
struct PopupFont {
  LOGFONTW log{};
  std::uint32_t color = 0;
  std::int32_t points = 0;   // the package's size, when it has one
  bool messageFont = false;  // the system's, at any DPI (the weight is the log's)
  LOGFONTW At(int dpi) const;
};
// The platform's font for a portable description.
PopupFont PopupFontOf(const FontStyle& style);

class AlarmPopup {
 public:
  // `owner` frees the popup after it closed, when `freeAlert` runs (posted,
  // after the close has returned).
  explicit AlarmPopup(HWND owner);
  ~AlarmPopup();
  AlarmPopup(const AlarmPopup&) = delete;
  AlarmPopup& operator=(const AlarmPopup&) = delete;

  std::function<void(AlarmPopup&)> OnClose;
  // Called (from a posted message) when an AutoFree popup may be destroyed.
  std::function<void(AlarmPopup*)> freeAlert;
  // Set, the popup shows its drop-down button with the snooze menu; a
  // choice calls this with its minutes, then the popup closes.
  std::function<void(int minutes)> OnSnooze;
  bool AutoFree = false;
  std::wstring HeaderText, MessageText;
  PopupColours Colors;
  PopupFont Font, HeaderFont;
  PopupLocation Location;

  PopupStyle AlertStyle() const { return style_; }
  // A new style replaces the animation with one of the chosen kind at its
  // defaults; an unknown style is refused with UserError.
  void SetAlertStyle(std::uint8_t style);
  PopupAnimation& StyleOptions() { return *animation_; }
  // Location.Position changed: the shared stack follows it.
  void LocationChanged();
  // Style, colours, fonts, display time and location, in that order.
  void Configure(const PopupConfig& config);

  // Shows the popup at its place, at the scale of the monitor it shows on.
  void ShowAlert();
  // The popup at another DPI (its monitor changed or took another scale):
  // its size from its 100 % size, at `suggested`'s top left.
  void ScaleTo(int dpi, const RECT& suggested);
  AlarmPopupWindow* Window() { return window_.get(); }
  HWND Owner() const { return owner_; }

  // Called by the window when it closes.
  void WindowClosed();

 private:
  // Where the popup shows at `dpi`, its size included.
  RECT Place(int dpi) const;

  HWND owner_;
  PopupStyle style_ = PopupStyle::Fade;
  std::unique_ptr<AlarmPopupWindow> window_;
  std::unique_ptr<PopupAnimation> animation_;
  bool closedOnce_ = false;
};

}  // namespace dc::notify

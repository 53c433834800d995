// The clock's menu (on the clock and on its tray icon): its commands, and
// what it shows, which follows the clock's state alone.
#pragma once

#include <cstdint>

namespace dc {

enum class MenuCommand : unsigned {
  Alarms = 100,  // "&Alarms"
  ShowHide,      // "&Hide" or "&Show"
  StayOnTop,     // "Always On &Tip", checked while on top
  AutoRun,       // "Auto &Run", checked while the clock starts with the system
  About,         // "A&bout"
  Exit,          // "&Exit"
};

struct ClockState {
  bool shown = true;
  bool stayOnTop = true;
  bool autoRun = false;
};

// The show/hide item names what its next click does.
inline const wchar_t* ShowHideCaption(const ClockState& s) { return s.shown ? L"&Hide" : L"&Show"; }

}  // namespace dc

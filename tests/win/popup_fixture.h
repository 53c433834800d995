// A clock window whose store holds given alarms, firing real popups at
// 07:30, and the alarms and package settings the popup tests use.
#pragma once

#include <cstring>

#include "base/date_time.h"
#include "base/fixed_text.h"
#include "clock_fixture.h"

namespace dctest {

inline dctest::PackageParts Popups(std::uint8_t style, bool timed, int seconds) {
  dctest::PackageParts p = dctest::Parts();
  p.alert.Style = style;
  p.alert.Timed = timed ? 1 : 0;
  p.alert.DisplaySeconds = seconds;
  p.alert.Position = 3;
  p.alert.Width = 0;   // the default 329
  p.alert.Height = 0;  // the default 76
  p.alert.CaptionFrom = 0x00FF0000;
  return p;
}

// A clock whose store holds `alarms`, at 07:29:58, firing for real.
struct FiringClock : Clock {
  int closes = 0;
  FiringClock(dctest::PackageParts p, std::initializer_list<AlarmRecord> alarms) : Clock(p, true, true) {
    for (const AlarmRecord& a : alarms) form->Store().AddAlarm(a);
    now = {2026, 12, 8, 7, 30, 0};
  }
  // The tick of 07:30:00: its minute check fires the due alarms, and the
  // window's own ticks after it see the same minute.
  void Fire() {
    form->OnTick();
    for (std::size_t i = 0; i < form->Popups().OpenPopups(); ++i) {
      notify::AlarmPopup* a = form->Popups().Popup(i);
      auto previous = a->OnClose;
      a->OnClose = [this, previous](notify::AlarmPopup& x) {
        ++closes;
        previous(x);
      };
    }
  }
  RECT PopupRect(std::size_t i) { return form->Popups().Popup(i)->Window()->Bounds(); }
  BYTE Alpha(std::size_t i) {
    BYTE a = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(form->Popups().Popup(i)->Window()->hwnd(), nullptr, &a, &flags);
    return a;
  }
};

inline void Wait(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (GetTickCount() < end) Pump(1);
}


}  // namespace dctest

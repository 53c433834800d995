// One running clock per folder: a second start (autorun plus a manual
// start, say) would overwrite the first one's Alarm.sav, fire every alarm
// twice and delete its sound file. It shows the running clock instead.
#pragma once

#include <windows.h>

#include <filesystem>

#include "ui/handles.win.h"

namespace dc {

class SingleInstance {
 public:
  // Claims the folder; false when a clock already runs from it (that clock
  // has then been asked to show itself).
  bool Claim(const std::filesystem::path& folder);
  // Marks the running clock's window so a second start can find it, and
  // takes the mark off again when the window goes.
  static void MarkWindow(HWND clock, const std::filesystem::path& folder);
  static void UnmarkWindow(HWND clock);
  // The message a second start sends the running clock.
  static UINT ShowMessage();

 private:
  ui::UniqueHandle mutex_;
};

}  // namespace dc

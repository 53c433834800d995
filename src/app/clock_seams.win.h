// What the clock window takes from the system, passed in so that a test
// can build the real window at a chosen time: the clock, the locale's time
// format, the registry's Run keys, the shell's open action, where alarms
// go when they fire, and the fonts a Flash face's device text is drawn in. The locale's format and the monitors are read
// again when the user changes them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alarms/alarm_scheduler.h"
#include "app/auto_run.h"
#include "app/screen_placement.h"
#include "base/date_time.h"
#include "base/time_text.h"
#include "swf/text/device_fonts.h"
#include "ui/win_fwd.h"

namespace dc {

struct ClockSeams {
  std::function<CivilDateTime()> now;
  TimeFormat timeFormat;
  // The format after the user changed the locale's settings; unset, the
  // first one stays.
  std::function<TimeFormat()> readTimeFormat;
  // The monitors now; unset, the primary screen alone.
  std::function<std::vector<Monitor>()> monitors;
  std::shared_ptr<RunKeys> runKeys;
  std::function<void(HWND, const std::wstring&)> openAddress;
  // Set, it receives the alarms of each pass instead of the popups.
  std::function<void(const std::vector<Firing>&)> fire;
  // The system's fonts for a Flash face's text in fonts the movie does not
  // embed; unset, the player's own fallback font draws it.
  std::shared_ptr<swf::DeviceFontSource> deviceFonts;
};

// The system's clock, locale and registry.
ClockSeams SystemSeams();
CivilDateTime SystemNow();
TimeFormat LocaleTimeFormat();
std::vector<Monitor> SystemMonitors();

}  // namespace dc

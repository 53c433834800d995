// The alarm editor's values and their transfer to and from an alarm
// record, and the rows of the alarm list: the portable side of the two
// alarm dialogs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "alarms/alarm_record.h"
#include "base/time_text.h"

namespace dc {

// What the editor's controls hold.
struct EditorValues {
  int kind = 0;                  // index in the kind box
  std::string title = "Alarm1";  // 8-bit texts of the system code page
  std::string todo = "Don't forget......";
  double time = 0;               // the time picker's whole value
  double dateOnce = 0, dateMonth = 0, dateYear = 0;
  int weekday = -1;              // -1: no day picked
};

// The editor's initial values on `today` (a whole day number): "Once",
// "Alarm1", "Don't forget......", 12:00:00 today, the date pickers today.
EditorValues NewAlarmValues(double today);

// Record to controls (TransferRecord with false): fields the kind does not
// use leave their controls as they are.
void LoadControls(const AlarmRecord& record, EditorValues& values);

// Whether a byte starts a double-byte character of the system code page.
using LeadBytePredicate = std::function<bool(unsigned char)>;

// Controls to record (TransferRecord with true): fields the kind does not
// use keep their old values; no day picked is stored as 65535. Texts longer
// than their fields are cut at the last whole character that fits.
void StoreControls(const EditorValues& values, AlarmRecord& record, const LeadBytePredicate& isLead);

// The longest prefix of `text` of at most `width` bytes that ends on a
// whole character.
std::string_view CutToWholeCharacters(std::string_view text, std::size_t width, const LeadBytePredicate& isLead);

// The three cells of an alarm's row: title, time text, to-do.
struct AlarmRow {
  std::string title, time, todo;
};
AlarmRow RowOf(const AlarmRecord& record, const TimeFormat& format);

}  // namespace dc

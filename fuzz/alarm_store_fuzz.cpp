// Alarm.sav on any bytes: the load; when it succeeds, the minute check over
// a day's gap, the list's rows, the editor's transfers, and a save whose
// reload must give the same store again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "alarms/alarm_due.h"
#include "alarms/alarm_editing.h"
#include "alarms/alarm_store.h"
#include "base/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dc::AlarmStore store;
  try {
    store.LoadFromBytes(std::span<const std::uint8_t>(data, size));
  } catch (const dc::FileError&) {
    if (store.Count() != 0 && store.Header().Count != store.Count()) std::abort();  // Count matches the records
    return 0;
  }
  const std::int64_t now = dc::MinuteNumber({2026, 12, 8, 10, 30, 0});
  (void)dc::FindDueAlarms(store, {now - 24 * 60, now});
  const dc::TimeFormat format;
  for (int i = 0; i < store.Count() && i < 64; ++i) {
    const dc::AlarmRecord record = store.GetAlarm(i);
    (void)dc::RowOf(record, format);
    dc::EditorValues values = dc::NewAlarmValues(46000);
    dc::LoadControls(record, values);
    dc::AlarmRecord back = record;
    dc::StoreControls(values, back, [](unsigned char) { return false; });
  }
  const std::vector<std::uint8_t> saved = store.ToBytes();
  dc::AlarmStore reloaded;
  reloaded.LoadFromBytes(saved);
  const std::vector<std::uint8_t> again = reloaded.ToBytes();
  if (saved != again || reloaded.Count() != store.Count()) std::abort();  // the reloaded store equals the loaded one
  return 0;
}

// Picker values.
#include "alarms/picker_time.win.h"

#include <optional>

#include "base/date_time.h"

namespace dc {

SYSTEMTIME ToSystemTime(double value) {
  SYSTEMTIME st{};
  std::optional<CivilDateTime> t = DecodeDateTime(value);
  if (!t || t->Year < 1601) t = DecodeDateTime(36526.0);  // 2000-01-01
  st.wYear = static_cast<WORD>(t->Year);
  st.wMonth = static_cast<WORD>(t->Month);
  st.wDay = static_cast<WORD>(t->Day);
  st.wHour = static_cast<WORD>(t->Hour);
  st.wMinute = static_cast<WORD>(t->Minute);
  st.wSecond = static_cast<WORD>(t->Second);
  st.wMilliseconds = static_cast<WORD>(t->Millisecond);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(*t));
  return st;
}

double FromSystemTime(const SYSTEMTIME& st) {
  return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds})
      .value_or(0);
}

double Today() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDateTime({st.wYear, st.wMonth, st.wDay}).value_or(0);
}

}  // namespace dc

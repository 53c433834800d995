// Date-time values at the boundary of the date and time pickers, whose
// values are SYSTEMTIMEs.
#pragma once

#include <windows.h>

namespace dc {

// The pickers start in 1601: earlier or invalid values show 1 January 2000.
SYSTEMTIME ToSystemTime(double value);
double FromSystemTime(const SYSTEMTIME& st);
// Today's date (midnight) as a date-time value.
double Today();

}  // namespace dc

// The program's message loop. It sleeps until a message comes or the
// clock's next second or frame is due, and wakes the clock for those
// itself: under Wine a timer's wake costs three calls to the server (the
// timer's message, a look for the next, the wait), the loop's own one.
// Inside a nested loop (a dialog, a box, a menu, a move) the clock runs on
// its timers.
#pragma once

#include "app/clock_window.win.h"

namespace dc {

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(ClockWindow& clock);

}  // namespace dc

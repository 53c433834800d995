// The program's message loop.
#include "app/message_loop.win.h"

#include <algorithm>
#include <exception>

#include "base/win_text.win.h"
#include "ui/error_handler.h"
#include "ui/modal.h"

namespace dc {
namespace {

// What the clock's own wake throws goes to the error box, as a window's
// message handler's does.
template <typename F>
void Guarded(F&& work) {
  try {
    work();
  } catch (const std::exception& e) {
    ui::ReportError(e.what());
  } catch (...) {
    ui::ReportError("An unexpected error occurred in the clock's window.");
  }
}

// Dispatches what is queued; false at WM_QUIT, whose code is left in `msg`.
bool DispatchQueued(ClockWindow& clock, MSG& msg) {
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    if (clock.FilterMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

// The plain loop, the clock on its timers, nested loops or not.
int RunOnTimers(ClockWindow& clock, MSG& msg) {
  ui::SetNestedLoopHandler(nullptr);
  Guarded([&clock] { clock.SetTimerPaced(true); });
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (clock.FilterMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int RunMessageLoop(ClockWindow& clock) {
  ui::SetNestedLoopHandler([&clock](bool inside) { Guarded([&clock, inside] { clock.SetTimerPaced(inside); }); });
  // Out of the loop, a clock still there is on its timers again.
  struct Restore {
    ClockWindow& clock;
    ~Restore() {
      ui::SetNestedLoopHandler(nullptr);
      if (IsWindow(clock.hwnd())) Guarded([this] { clock.SetTimerPaced(true); });
    }
  } restore{clock};
  Guarded([&clock] { clock.SetTimerPaced(false); });
  MSG msg{};
  for (;;) {
    const ULONGLONG due = clock.NextWakeTick(), now = GetTickCount64();
    const DWORD wait = due > now ? static_cast<DWORD>(std::min<ULONGLONG>(due - now, INFINITE - 1)) : 0;
    const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_TIMEOUT) {
      Guarded([&clock] { clock.RunDue(); });
      continue;
    }
    if (woke == WAIT_FAILED) {
      const DWORD error = GetLastError();
      ui::ReportError("The clock cannot wait for its next second: " + SystemErrorText(error) +
                      " It runs on timers instead.");
      return RunOnTimers(clock, msg);
    }
    if (!DispatchQueued(clock, msg)) return static_cast<int>(msg.wParam);
  }
}

}  // namespace dc

// ClockWindow: the clock itself. Built from the package in a fixed order:
// opacity, face (picture or Flash), tray tip, face and LED bounds, the
// alarm store and its two options, one tick, the shape; all at 100 %, then
// scaled to its monitor's DPI. It composes the menu, the face, the LED
// display, the tray icon, the window's shape and the alarm firing, and
// carries out the menu's commands.
#pragma once

#include <windows.h>

#include <filesystem>
#include <limits>
#include <memory>

#include "alarms/alarm_scheduler.h"
#include "alarms/alarm_store.h"
#include "app/alarm_firing.win.h"
#include "app/clock_menu.win.h"
#include "app/clock_seams.win.h"
#include "app/face_picture.win.h"
#include "app/flash_face.win.h"
#include "app/package_startup.h"
#include "app/window_shape.win.h"
#include "base/scale.h"
#include "layout/clock_layout.h"
#include "led/led_display.win.h"
#include "led/led_metrics.h"
#include "notify/tray_icon.win.h"
#include "ui/drag.h"
#include "ui/window.win.h"

namespace dc {

class ClockWindow : public ui::Window {
 public:
  static constexpr UINT_PTR kTickTimer = 1, kTrayTimer = 2;

  ClockWindow(PackageStart package, std::filesystem::path exePath, ClockSeams seams);
  ~ClockWindow() override;

  // Shows the window at the bottom right of the primary monitor, at that
  // monitor's scale, 30 pixels (scaled) above its bottom edge. The only
  // place, with the Stay On Top command, where the clock's place in the
  // z-order changes.
  void Show();
  // The program's message filter, run for every queued message before it
  // is dispatched; true when the message is used up.
  bool FilterMessage(const MSG& msg);
  // The second's tick: the time on the LED display, then the alarms due
  // since the last tick; the next tick is set for just after the next
  // whole second.
  void OnTick();
  void Command(MenuCommand command);
  // Who wakes the clock for its seconds and the face's frames: timers (at
  // first, and inside a nested loop: a dialog, a menu, a move), or the
  // program's message loop (false), which sleeps until NextWakeTick() and
  // then calls RunDue(). A wake of the loop's own costs the system one
  // wait; a timer's also a message to fetch and a look for the next.
  void SetTimerPaced(bool paced);
  // The tick count (GetTickCount64) of the next second's tick or frame.
  ULONGLONG NextWakeTick() const;
  // The second's tick and the frames due by now.
  void RunDue();

  AlarmStore& Store() { return store_; }
  AlarmScheduler& Scheduler() { return scheduler_; }
  const ClockState& State() const { return state_; }
  HMENU Menu() const { return menu_.Handle(); }
  led::LedDisplay& Led() { return *led_; }
  FacePicture* Face() { return picture_.get(); }
  FlashFace* Flash() { return flash_.get(); }
  HWND FaceWindow() const;
  // The DPI the clock is laid out for (96 is 100 %).
  int Dpi() const { return dpi_; }
  notify::TrayIcon& Tray() { return *tray_; }
  const std::filesystem::path& AlarmStorePath() const { return package_.storePath; }
  const std::filesystem::path& SoundFilePath() const { return package_.soundPath; }
  AlarmFiring& Popups() { return *firing_; }

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void BuildFace();
  void ConfigureLed();
  void Fire(const std::vector<Firing>& firings);
  void OpenAlarmList();
  void ToggleShown();
  void ToggleStayOnTop();
  void ToggleAutoRun();
  void OpenAbout();
  // Ends the clock once no modal dialog or box is open; those open are
  // asked to close, and the end comes when the last has gone.
  void Exit();
  void ExitIfNoModal();
  // The session ends: nothing is asked, the clock's files are tidied now.
  void EndSession();
  void ArmTick();
  void TimeFormatChanged();
  void ScreensChanged();
  // The clock at a DPI: the digits' geometry, the face and its picture,
  // the window's size and its shape, from the 100 % layout.
  void ApplyScale(int dpi);
  // The clock at home on the primary monitor, at its scale.
  void PlaceAtHome(const std::vector<Monitor>& monitors);
  // A clock moved onto a monitor of another scale takes that scale, its
  // top left staying where it is; true when it did.
  bool TakeMonitorScale(const std::vector<Monitor>& monitors);
  void DpiChanged(int dpi, const RECT& suggested);
  void SaveStore();
  void ApplyStayOnTop();
  // The window fits its visible children and takes its shape.
  void FitToChildren();
  void ApplyWindowShape();
  // A press on the Flash face that moved `dx`, `dy` before it became a
  // move of the clock.
  void MoveFromFace(int dx, int dy);
  void ChildMouseDown(UINT message);
  void EndPointerDrag(UINT message);
  void OpenMenuAt(POINT screen);
  void Moved(const WINDOWPOS& pos);

  PackageStart package_;
  std::filesystem::path exePath_;
  ClockSeams seams_;
  AlarmStore store_;
  AlarmScheduler scheduler_;
  ClockState state_;
  ClockMenu menu_;
  WindowShape shape_;
  ui::PointerDrag pointerDrag_;  // a drag with the right or middle button
  std::unique_ptr<FacePicture> picture_;  // the picture, or the Flash face's placeholder
  std::unique_ptr<FlashFace> flash_;
  std::unique_ptr<led::LedDisplay> led_;
  std::unique_ptr<notify::TrayIcon> tray_;
  std::unique_ptr<AlarmFiring> firing_;
  bool built_ = false;
  bool exitPending_ = false;
  RECT home_{};  // where Show() put the clock last
  ULONGLONG placingUntil_ = 0;  // till then a move the user did not make is undone
  int dpi_ = kBaseDpi;
  ClockLayout base_{};          // the layout at 100 %, as built
  led::LedMetrics baseLed_{};   // the digits' geometry at 100 %

  bool fitting_ = false;
  bool timerPaced_ = true;
  // GetTickCount64() of the next second's tick; none once the session ended.
  static constexpr ULONGLONG kNoTick = std::numeric_limits<ULONGLONG>::max();
  ULONGLONG tickDue_ = 0;
};

}  // namespace dc

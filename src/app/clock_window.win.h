// TForm1: the clock window. Built from the package in a fixed start-up
// order: opacity, face (picture or Flash), tray tip, face and LED bounds,
// the alarm store and its two options, one tick, the shape. It owns the
// store, the face, the LED display, the tray icon and the popup menu, and
// carries the program's commands.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "alarms/alarm_db.h"
#include "alarms/alarm_dialogs.win.h"
#include "app/about_dialog.win.h"
#include "app/auto_run.h"
#include "app/clock_tick.h"
#include "app/face_controls.win.h"
#include "led/led_control.win.h"
#include "notify/desktop_alert.win.h"
#include "notify/media_player.win.h"
#include "notify/tray_icon.win.h"
#include "package/package_startup.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace dc {

// What a test replaces: the clock, the locale's time format, the registry,
// the shell and the alarm test run once a minute.
struct ClockSeams {
  std::function<LocalTime()> now;
  TimeFormat timeFormat;
  std::shared_ptr<RunKeys> runKeys;
  std::function<void(HWND, const std::wstring&)> openAddress;
  std::function<void()> minuteCheck;
};

// The system's clock, locale and registry.
ClockSeams SystemSeams();

class TForm1 : public ui::Window {
 public:
  enum Command : UINT { kSetup1 = 100, kHide1, kShowOnTip, kAutoRun, kAbout1, kExit1 };
  static constexpr UINT_PTR kTimer1 = 1;
  static constexpr UINT kFreeAlert = WM_APP + 10;

  TForm1(PackageStart package, std::filesystem::path exePath, ClockSeams seams);
  ~TForm1() override;

  // Shows the window at the bottom right of the screen (FormShow).
  void Show();
  // The application's message filter, run for every queued message before
  // it is dispatched; true when the message is used up.
  bool FilterMessage(const MSG& msg);
  void Timer1Timer();

  TAlarmDB& Store() { return store_; }
  HMENU PopupMenu1() const { return menu_.get(); }
  led::TLEDFontNum& LEDFontNum1() { return *led_; }
  TImage* Image1() { return image_.get(); }
  HWND FaceWindow() const;
  notify::TJvTrayIcon& JvTrayIcon1() { return *tray_; }
  const std::filesystem::path& AlarmStorePath() const { return storePath_; }
  const std::filesystem::path& SoundFilePath() const { return package_.soundPath; }
  const TAlertSettings& AlertSettings() const { return package_.alert; }
  notify::TMediaPlayer& MediaPlayer1() { return *mediaPlayer_; }
  std::size_t OpenAlerts() const { return alerts_.size(); }
  notify::TJvDesktopAlert* Alert(std::size_t i) { return alerts_[i].get(); }

  // The minute check: every alarm against one reading of the clock; errors
  // of the sound are shown once, after the pass.
  void RunMinuteCheck();
  void FireAlarm(const TAlarmRecord& alarm);
  void JvDesktopAlert1Close(notify::TJvDesktopAlert& alert);
  // Copies a package font record onto a font: character set, colour,
  // height, typeface, pitch, size (which decides the height) and style.
  static void ApplyFontRecord(const TFontRecord& record, notify::AlertFont& font);

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void BuildMenu();
  void BuildFace();
  void ConfigureLed();
  void OpenStore();
  void OnCommand(UINT id);
  void Setup1Click();
  void Hide1Click();
  void muShowOnTipClick();
  void muAutoRunClick();
  void About1Click();
  void Exit1Click();
  void SetChecked(UINT id, bool checked);
  bool Checked(UINT id) const;
  void SaveStore();
  void ApplyStayOnTop();
  // The window fits its visible children (AutoSize) and takes its shape.
  void FitToChildren();
  void ApplyWindowShape();
  void ChildMouseDown(UINT message);
  void OpenMenuAt(POINT screen);

  PackageStart package_;
  std::filesystem::path exePath_;
  std::filesystem::path storePath_;
  ClockSeams seams_;
  TAlarmDB store_;
  MinuteTracker minutes_;
  ui::UniqueMenu menu_;
  std::unique_ptr<TImage> image_;        // the picture, or the Flash placeholder
  std::unique_ptr<FlashFace> flash_;
  std::unique_ptr<led::TLEDFontNum> led_;
  std::unique_ptr<notify::TJvTrayIcon> tray_;
  std::unique_ptr<notify::TMediaPlayer> mediaPlayer_;
  std::vector<std::unique_ptr<notify::TJvDesktopAlert>> alerts_;
  std::vector<std::string> passErrors_;  // errors met during one minute check
  ui::UniqueRegion pictureShape_;  // the picture's non-key pixels at (0, 0)
  bool built_ = false;
  bool fitting_ = false;
};

}  // namespace dc

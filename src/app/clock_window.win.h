// The clock window: a borderless layered window showing the package's face
// at the package's opacity, placed at the bottom right of the screen, with
// the alarm store it owns for the whole run.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>

#include "alarms/alarm_db.h"
#include "package/package_startup.h"

namespace dc {

class ClockWindow {
 public:
  // Builds the window from a ready package; errors that do not stop the
  // clock (the alarm store's) are shown once each and start-up goes on.
  ClockWindow(HINSTANCE instance, PackageStart package, std::filesystem::path storePath);
  ~ClockWindow();
  ClockWindow(const ClockWindow&) = delete;
  ClockWindow& operator=(const ClockWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  void Show();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void Paint();
  void PlaceBottomRight();
  void ShowMenu(POINT screen);

  PackageStart package_;
  std::filesystem::path storePath_;
  TAlarmDB store_;
  HBITMAP face_ = nullptr;
  HWND hwnd_ = nullptr;
};

}  // namespace dc

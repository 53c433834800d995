// Drives the real player from outside: starts it in a folder, finds its
// windows and message boxes, presses their buttons, waits for its exit.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "alarms/alarm_record.h"
#include "test_support.h"

namespace dctest {

// The player and the picture clock's package the build made (the demo
// clock with a picture face cut to its outline; from the environment, Unix
// paths turned into Wine's Z: drive).
std::filesystem::path BuiltPlayer();
std::filesystem::path PictureClockPackage();

// Copies the player to `folder/exeName` with the trailer naming `package`.
std::filesystem::path InstallPlayer(const std::filesystem::path& folder, const std::wstring& exeName,
                                    const std::string& package);

// The demo clock in `folder`, its store holding `alarms` with Stay On Top
// set; `timed` false keeps its popups until they are closed.
std::filesystem::path InstallDemoWithAlarms(const TempDir& folder, const std::vector<dc::AlarmRecord>& alarms,
                                            bool timed = false);

std::wstring WindowText(HWND hwnd);
// The texts of a process's visible popups.
std::multiset<std::wstring> VisiblePopupTexts(DWORD pid);

struct MessageBoxSeen {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
  bool hasButton(int id) const { return GetDlgItem(hwnd, id) != nullptr; }
};

// The user's time format for the scope's life (the International key of
// the current user's Control Panel): a picture such as "HH:mm:ss", the
// 24-hour flag ("1") and the leading-zero flag ("1"). The old values come
// back afterwards.
class ScopedTimeFormat {
 public:
  ScopedTimeFormat(const std::wstring& picture, const std::wstring& twentyFourHour, const std::wstring& leadingZero,
                   const std::wstring& shortPicture = L"HH:mm");
  ~ScopedTimeFormat();
  ScopedTimeFormat(const ScopedTimeFormat&) = delete;
  ScopedTimeFormat& operator=(const ScopedTimeFormat&) = delete;

 private:
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

// Runs a Unix command line through /bin/sh and waits for it (Wine starts
// Unix programs but gives no handle to wait on: the shell writes its exit
// code to a file). Returns the exit code; what it printed goes to `out`.
int RunUnix(const std::string& commandLine, std::string* out = nullptr);

// The Unix path of a Windows path (Wine's own conversion).
std::string UnixPathOf(const std::filesystem::path& windowsPath);

// The screen point of the clock's icon in the notification area: in the
// task bar's tray, or in the tray window Wine shows when no desktop has one.
POINT TrayIconPoint();

class PlayerProcess {
 public:
  explicit PlayerProcess(const std::filesystem::path& exe, const std::wstring& params = L"");
  ~PlayerProcess();

  // A visible dialog-class window of the process, or none after `timeout`.
  MessageBoxSeen WaitForMessageBox(std::chrono::milliseconds timeout);
  // A visible top-level window of the process of this class.
  HWND WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout);
  // Waits until no visible window of the class is left; false on timeout.
  bool WaitForNoWindow(const wchar_t* className, std::chrono::milliseconds timeout);
  void Press(const MessageBoxSeen& box, int buttonId);
  // "&Alarms" on the clock, "&Add" in the list, OK in the editor, "&Exit":
  // one default alarm added as a user adds it. False when a dialog did not
  // come or did not go.
  bool AddAlarmThroughTheDialogs(HWND clock);
  // The exit code, or -1 when it did not end within the timeout.
  long WaitForExit(std::chrono::milliseconds timeout);
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Handle() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_{};
};

}  // namespace dctest

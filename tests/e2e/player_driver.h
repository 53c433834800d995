// Drives the real player from outside: starts it in a folder, finds its
// windows and message boxes, presses their buttons, waits for its exit.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace dctest {

// The player and demo package the build made (from the environment, Unix
// paths turned into Wine's Z: drive).
std::filesystem::path BuiltPlayer();
std::filesystem::path DemoPackage();

// Copies the player to `folder/exeName` with the trailer naming `package`.
std::filesystem::path InstallPlayer(const std::filesystem::path& folder, const std::wstring& exeName,
                                    const std::string& package);

struct MessageBoxSeen {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
  bool hasButton(int id) const { return GetDlgItem(hwnd, id) != nullptr; }
};

class PlayerProcess {
 public:
  explicit PlayerProcess(const std::filesystem::path& exe, const std::wstring& params = L"");
  ~PlayerProcess();

  // A visible dialog-class window of the process, or none after `timeout`.
  MessageBoxSeen WaitForMessageBox(std::chrono::milliseconds timeout);
  // A visible top-level window of the process of this class.
  HWND WaitForWindow(const wchar_t* className, std::chrono::milliseconds timeout);
  void Press(const MessageBoxSeen& box, int buttonId);
  // The exit code, or -1 when it did not end within the timeout.
  long WaitForExit(std::chrono::milliseconds timeout);
  DWORD Id() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
};

}  // namespace dctest

// SoundPlayer, reduced to what the clock uses: Open, Play and Close of one
// sound file through the media control interface. Its hidden window is the
// target of the platform's notifications.
#pragma once

#include <windows.h>

#include <string>

#include "base/user_error.h"
#include "ui/window.win.h"

namespace dc::notify {

// An error of the media control interface, with the platform's text.
class SoundError : public UserError {
 public:
  using UserError::UserError;
};

class SoundPlayer : public ui::Window {
 public:
  SoundPlayer();
  ~SoundPlayer() override;

  std::wstring FileName;
  bool AutoRewind = true;

  // Closes an open device first; throws SoundError with the platform's
  // text (or "Unknown error code") when the file cannot be opened.
  void Open();
  // Plays from the current position (from the start again when at the end)
  // and returns at once; throws only when no device is open.
  void Play();
  // Never throws; nothing happens when no device is open.
  void Close();

  bool IsOpen() const { return deviceId_ != 0; }
  DWORD LastError() const { return error_; }
  // Plays that started since the player was made.
  int Plays() const { return plays_; }

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  DWORD Status(DWORD item);
  void ShowState();

  UINT deviceId_ = 0;
  DWORD error_ = 0;
  DWORD length_ = 0;
  int plays_ = 0;
};

std::string MciErrorText(DWORD error);

}  // namespace dc::notify

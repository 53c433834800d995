// MCI open, play and close.
#include "notify/sound_player.win.h"

#include <mmsystem.h>

#include "base/win_text.win.h"
#include "notify/mci_library.win.h"
#include "ui/window_classes.h"

namespace dc::notify {
std::string MciErrorText(DWORD error) {
  std::wstring buf(4096, L'\0');
  if (!MciGetErrorString(error, buf.data(), static_cast<UINT>(buf.size()))) return "Unknown error code";
  buf.resize(wcslen(buf.c_str()));
  return WideToUtf8(buf);
}

SoundPlayer::SoundPlayer() {
  RegisterWindowClass(ui::kSoundClass, 0, nullptr, nullptr);
  Create(0, ui::kSoundClass, L"Closed (0 plays)", 0, 0, 0, 0, 0, HWND_MESSAGE);
}

SoundPlayer::~SoundPlayer() { Close(); }

DWORD SoundPlayer::Status(DWORD item) {
  MCI_STATUS_PARMS status{};
  status.dwItem = item;
  error_ = MciSendCommand(deviceId_, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
  return error_ ? 0 : static_cast<DWORD>(status.dwReturn);
}

void SoundPlayer::Open() {
  if (IsOpen()) Close();
  MCI_OPEN_PARMSW open{};
  open.dwCallback = reinterpret_cast<DWORD_PTR>(hwnd());
  open.lpstrElementName = FileName.c_str();
  const DWORD err = MciSendCommand(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
  if (err) {
    error_ = err;
    throw SoundError(MciErrorText(err));
  }
  deviceId_ = open.wDeviceID;
  error_ = 0;
  length_ = Status(MCI_STATUS_LENGTH);
}

void SoundPlayer::Play() {
  if (!IsOpen()) throw SoundError("No MCI device open");
  if (AutoRewind && length_ && Status(MCI_STATUS_POSITION) == length_) {
    MCI_SEEK_PARMS seek{};
    MciSendCommand(deviceId_, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, reinterpret_cast<DWORD_PTR>(&seek));
  }
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(hwnd());
  error_ = MciSendCommand(deviceId_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
  if (!error_) ++plays_;
  ShowState();
}

void SoundPlayer::ShowState() {
  // The hidden window's text says what the player does, for tools (and
  // tests) that look from outside.
  const std::wstring name = FileName.substr(FileName.find_last_of(L"\\/") + 1);
  const std::wstring text = (IsOpen() ? (error_ ? L"Cannot play " : L"Playing ") + name : std::wstring(L"Closed")) +
                            L" (" + std::to_wstring(plays_) + L" plays)";
  SetWindowTextW(hwnd(), text.c_str());
}

void SoundPlayer::Close() {
  if (!deviceId_) return;
  MCI_GENERIC_PARMS close{};
  const DWORD err = MciSendCommand(deviceId_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
  if (err) {
    error_ = err;
    return;
  }
  deviceId_ = 0;
  ShowState();
}

std::optional<LRESULT> SoundPlayer::HandleMessage(UINT msg, WPARAM, LPARAM) {
  // The end of a play needs nothing: the next play rewinds.
  if (msg == MM_MCINOTIFY) return 0;
  return std::nullopt;
}

}  // namespace dc::notify

// MCI open, play and close.
#include "notify/media_player.win.h"

#include <mmsystem.h>

#include "base/win_text.h"

namespace dc::notify {
namespace {

constexpr wchar_t kClass[] = L"TMediaPlayer";

}  // namespace

std::string MciErrorText(DWORD error) {
  std::wstring buf(4096, L'\0');
  if (!mciGetErrorStringW(error, buf.data(), static_cast<UINT>(buf.size()))) return "Unknown error code";
  buf.resize(wcslen(buf.c_str()));
  return WideToUtf8(buf);
}

TMediaPlayer::TMediaPlayer() {
  RegisterWindowClass(kClass, 0, nullptr, nullptr);
  Create(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
}

TMediaPlayer::~TMediaPlayer() { Close(); }

DWORD TMediaPlayer::Status(DWORD item) {
  MCI_STATUS_PARMS status{};
  status.dwItem = item;
  error_ = mciSendCommandW(deviceId_, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
  return error_ ? 0 : static_cast<DWORD>(status.dwReturn);
}

void TMediaPlayer::Open() {
  if (IsOpen()) Close();
  MCI_OPEN_PARMSW open{};
  open.dwCallback = reinterpret_cast<DWORD_PTR>(hwnd());
  open.lpstrElementName = FileName.c_str();
  const DWORD err = mciSendCommandW(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
  if (err) {
    error_ = err;
    throw EMCIDeviceError(MciErrorText(err));
  }
  deviceId_ = open.wDeviceID;
  error_ = 0;
  length_ = Status(MCI_STATUS_LENGTH);
}

void TMediaPlayer::Play() {
  if (!IsOpen()) throw EMCIDeviceError("No MCI device open");
  if (AutoRewind && length_ && Status(MCI_STATUS_POSITION) == length_) {
    MCI_SEEK_PARMS seek{};
    mciSendCommandW(deviceId_, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, reinterpret_cast<DWORD_PTR>(&seek));
  }
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(hwnd());
  error_ = mciSendCommandW(deviceId_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
}

void TMediaPlayer::Close() {
  if (!deviceId_) return;
  MCI_GENERIC_PARMS close{};
  const DWORD err = mciSendCommandW(deviceId_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
  if (err) {
    error_ = err;
    return;
  }
  deviceId_ = 0;
}

std::optional<LRESULT> TMediaPlayer::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  if (msg == MM_MCINOTIFY) {
    notify_ = static_cast<DWORD>(wp);  // successful, superseded, aborted or failure
    return 0;
  }
  return std::nullopt;
}

}  // namespace dc::notify

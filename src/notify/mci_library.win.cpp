// The system's WINMM.dll, loaded once, from the system folder only.
#include "notify/mci_library.win.h"

#include <mmsystem.h>

#include "notify/sound_player.win.h"

namespace dc::notify {
namespace {

struct Mci {
  decltype(&mciSendCommandW) sendCommand = nullptr;
  decltype(&mciGetErrorStringW) getErrorString = nullptr;
};

const Mci& Library() {
  static const Mci mci = [] {
    Mci m;
    // Kept for the process's life: MCI devices live in it.
    HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!winmm) return m;
    m.sendCommand = reinterpret_cast<decltype(&mciSendCommandW)>(
        reinterpret_cast<void*>(GetProcAddress(winmm, "mciSendCommandW")));
    m.getErrorString = reinterpret_cast<decltype(&mciGetErrorStringW)>(
        reinterpret_cast<void*>(GetProcAddress(winmm, "mciGetErrorStringW")));
    return m;
  }();
  return mci;
}

}  // namespace

MCIERROR MciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
  const Mci& mci = Library();
  if (!mci.sendCommand) throw SoundError("The system's sound library (winmm.dll) cannot be loaded.");
  return mci.sendCommand(device, message, flags, params);
}

bool MciGetErrorString(MCIERROR error, wchar_t* text, UINT size) {
  const Mci& mci = Library();
  return mci.getErrorString && mci.getErrorString(error, text, size);
}

}  // namespace dc::notify

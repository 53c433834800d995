// The media control interface, bound at its first use from the system
// folder alone: the clock often runs from a Downloads folder, where a
// planted WINMM.dll would otherwise be found first. Binding late also keeps
// the library out of the clock's start-up until an alarm first rings.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace dc::notify {

// Throws SoundError when the system's library or one of its functions is
// missing.
MCIERROR MciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params);
// False when the text cannot be had (also when the library is missing).
bool MciGetErrorString(MCIERROR error, wchar_t* text, UINT size);

}  // namespace dc::notify

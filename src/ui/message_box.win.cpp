// Message boxes captioned with the application title. Each open box joins
// the list of modal windows, so that closing the clock can answer it.
#include "ui/message_box.h"

#include <windows.h>

#include "base/win_text.win.h"
#include "ui/app_info.h"
#include "ui/modal.h"

namespace dc::ui {
namespace {

// The box the system makes inside MessageBoxW, found by a hook on this
// thread's window creation: the first dialog-class window made while the
// hook is in place. Boxes nest (an error shown under a question), so each
// call keeps its own.
struct BoxWatch {
  HHOOK hook = nullptr;
  HWND box = nullptr;
  unsigned answer = 0;
};
thread_local BoxWatch* watching = nullptr;

LRESULT CALLBACK WatchCreation(int code, WPARAM wp, LPARAM lp) {
  BoxWatch* w = watching;
  if (w && code == HCBT_CREATEWND && !w->box) {
    const HWND created = reinterpret_cast<HWND>(wp);
    wchar_t name[16] = {};
    if (GetClassNameW(created, name, 16) && wcscmp(name, L"#32770") == 0) {
      w->box = created;
      PushModal(created, w->answer);
    }
  }
  return CallNextHookEx(w ? w->hook : nullptr, code, wp, lp);
}

int Show(HWND owner, const std::string& text, UINT flags, unsigned closeAnswer) {
  std::wstring wide = Utf8ToWide(text);
  BoxWatch watch;
  watch.answer = closeAnswer;
  BoxWatch* outer = watching;
  watching = &watch;
  // Without the hook the box still shows; only closing it from outside is lost.
  watch.hook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
  int answer = 0;
  {
    NestedLoop nested;
    answer = MessageBoxW(owner, wide.c_str(), ApplicationTitle().c_str(), flags | MB_SETFOREGROUND);
  }
  if (watch.hook) UnhookWindowsHookEx(watch.hook);
  watching = outer;
  if (watch.box) PopModal(watch.box);
  return answer;
}

// A box without an owner (during start-up) is modal for the whole program.
UINT Modality(HWND owner) { return owner ? MB_APPLMODAL : MB_TASKMODAL; }

}  // namespace

void ShowInformation(HWND owner, const std::string& text) {
  Show(owner, text, MB_OK | MB_ICONINFORMATION | Modality(owner), IDOK);
}

bool AskQuestion(HWND owner, const std::string& text) {
  // Closed from outside, a question is answered No: nothing is done unasked.
  return Show(owner, text, MB_YESNO | MB_ICONQUESTION | Modality(owner), IDNO) == IDYES;
}

void ShowError(HWND owner, const std::string& text) { Show(owner, text, MB_OK | MB_ICONERROR | Modality(owner), IDOK); }

}  // namespace dc::ui

// Message boxes captioned with the application title.
#include "ui/message_box.h"

#include <windows.h>

#include "base/win_text.h"
#include "ui/app_info.h"

namespace dc::ui {
namespace {

int Show(HWND owner, const std::string& text, UINT flags) {
  std::wstring wide = Utf8ToWide(text);
  return MessageBoxW(owner, wide.c_str(), ApplicationTitle().c_str(), flags | MB_SETFOREGROUND);
}

// A box without an owner (during start-up) is modal for the whole program.
UINT Modality(HWND owner) { return owner ? MB_APPLMODAL : MB_TASKMODAL; }

}  // namespace

void ShowInformation(HWND owner, const std::string& text) {
  Show(owner, text, MB_OK | MB_ICONINFORMATION | Modality(owner));
}

bool AskQuestion(HWND owner, const std::string& text) {
  return Show(owner, text, MB_YESNO | MB_ICONQUESTION | Modality(owner)) == IDYES;
}

void ShowError(HWND owner, const std::string& text) {
  Show(owner, text, MB_OK | MB_ICONERROR | Modality(owner));
}

}  // namespace dc::ui

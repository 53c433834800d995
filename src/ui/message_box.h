// The program's message boxes, all captioned with the application title:
// information (OK), question (Yes/No) and the central error box.
#pragma once

#include <string>

#include "ui/win_fwd.h"

namespace dc::ui {

void ShowInformation(HWND owner, const std::string& text);
bool AskQuestion(HWND owner, const std::string& text);
// Where every error reaches the user: error icon, OK.
void ShowError(HWND owner, const std::string& text);

}  // namespace dc::ui

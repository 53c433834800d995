// The size a text takes in a font, for labels sized to their text.
#pragma once

#include <windows.h>

#include <string_view>

namespace dc::ui {

SIZE TextSize(HWND window, HFONT font, std::wstring_view text);

}  // namespace dc::ui

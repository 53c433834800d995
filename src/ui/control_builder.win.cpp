// Creating child controls.
#include "ui/control_builder.win.h"

#include <string>

#include "base/user_error.h"
#include "base/win_text.h"
#include "ui/text_size.win.h"

namespace dc::ui {

HWND ControlBuilder::Add(const Item& s) const {
  HFONT font = s.font ? s.font : font_;
  int width = s.width, height = s.height;
  if (width < 0 || height < 0) {
    const SIZE size = TextSize(parent_, font, s.text);
    width = size.cx;
    height = size.cy;
  }
  const std::wstring text(s.text);
  HWND control = CreateWindowExW(s.exStyle, s.className, text.c_str(), WS_CHILD | WS_VISIBLE | s.style,
                                 origin_.x + s.x, origin_.y + s.y, width, height, parent_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)), GetModuleHandleW(nullptr), nullptr);
  if (!control) {
    throw UserError("A control of the window cannot be created (" + WideToUtf8(s.className) +
                    "): " + SystemErrorText(GetLastError()));
  }
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

std::wstring ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), n + 1)));
  return text;
}

}  // namespace dc::ui

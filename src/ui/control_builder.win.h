// Child controls of a window, all made one way: created at a position
// relative to an origin, given the window's font, and checked. A label
// without a size takes the size of its text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace dc::ui {

class ControlBuilder {
 public:
  ControlBuilder(HWND parent, HFONT font, POINT origin = {0, 0}) : parent_(parent), font_(font), origin_(origin) {}

  struct Item {
    const wchar_t* className;
    std::wstring_view text;
    DWORD style = 0;  // beyond WS_CHILD | WS_VISIBLE
    int id = 0;
    int x = 0, y = 0, width = -1, height = -1;  // -1: the text's size
    DWORD exStyle = 0;
    HFONT font = nullptr;  // the builder's when null
  };
  // Throws UserError when the control cannot be created.
  HWND Add(const Item& item) const;
  HWND Label(std::wstring_view text, int x, int y, int id = 0, DWORD style = 0, HFONT font = nullptr) const {
    return Add({L"STATIC", text, style, id, x, y, -1, -1, 0, font});
  }

 private:
  HWND parent_;
  HFONT font_;
  POINT origin_;
};

// The text a control holds.
std::wstring ControlText(HWND control);

}  // namespace dc::ui

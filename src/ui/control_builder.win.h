// Child controls of a dialog, all made one way and kept at the dialog's
// scale: each is given at 100 % (a position relative to an origin, a size,
// a font by its design height), created at the window's DPI, given its
// font, and checked; when the DPI changes every control is placed and given
// its font again. A label without a size takes the size of its text.
#pragma once

#include <windows.h>

#include <compare>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/handles.win.h"

namespace dc::ui {

// A dialog font by its design: pixels high at 100 %, weight, underline.
struct FontSpec {
  int height = 11;
  int weight = FW_NORMAL;
  bool underline = false;
  auto operator<=>(const FontSpec&) const = default;
};

// The dialogs' font at a DPI: at 100 % the design's typeface ("MS Sans
// Serif"); at any other scale the system's message font at that DPI (the
// design's typeface has no crisp sizes there), the design's height scaled.
UniqueFont MakeDialogFont(const FontSpec& wanted, int dpi);

struct ControlItem {
  const wchar_t* className;
  std::wstring_view text;
  DWORD style = 0;  // beyond WS_CHILD | WS_VISIBLE
  int id = 0;
  int x = 0, y = 0, width = -1, height = -1;  // 100 %; -1: the text's size
  DWORD exStyle = 0;
  FontSpec font{};
};

class ControlLayout {
 public:
  ControlLayout(HWND parent, int dpi) : parent_(parent), dpi_(dpi) {}
  // Throws UserError when the control cannot be created.
  HWND Add(const ControlItem& item, POINT origin);
  // Every control at `dpi`: its place and its font.
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  HFONT Font(const FontSpec& wanted);

 private:
  struct Placed {
    HWND control;
    ControlItem item;  // its text is the control's own
    POINT origin;
  };
  RECT PlaceOf(const Placed& p);

  HWND parent_;
  int dpi_;
  std::vector<Placed> placed_;
  std::map<FontSpec, UniqueFont> fonts_;
};

// Adds controls at one origin.
class ControlBuilder {
 public:
  using Item = ControlItem;
  ControlBuilder(ControlLayout& layout, POINT origin = {0, 0}) : layout_(layout), origin_(origin) {}
  HWND Add(const Item& item) const { return layout_.Add(item, origin_); }
  HWND Label(std::wstring_view text, int x, int y, int id = 0, DWORD style = 0, FontSpec font = {}) const {
    return Add({L"STATIC", text, style, id, x, y, -1, -1, 0, font});
  }

 private:
  ControlLayout& layout_;
  POINT origin_;
};

// The text a control holds.
std::wstring ControlText(HWND control);

}  // namespace dc::ui

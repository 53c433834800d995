// Creating child controls and keeping them at the dialog's scale.
#include "ui/control_builder.win.h"

#include <string>

#include "base/scale.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "ui/dpi.win.h"
#include "ui/text_size.win.h"

namespace dc::ui {

UniqueFont MakeDialogFont(const FontSpec& wanted, int dpi) {
  if (dpi != kBaseDpi) {
    if (std::optional<LOGFONTW> font = MessageFontForDpi(dpi)) {
      font->lfHeight = -ScaleLength(wanted.height, dpi);
      font->lfWeight = wanted.weight;
      font->lfUnderline = wanted.underline;
      font->lfItalic = FALSE;
      return UniqueFont(CreateFontIndirectW(&*font));
    }
  }
  return UniqueFont(CreateFontW(-ScaleLength(wanted.height, dpi), 0, 0, 0, wanted.weight, FALSE, wanted.underline, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif"));
}

HFONT ControlLayout::Font(const FontSpec& wanted) {
  UniqueFont& font = fonts_[wanted];
  if (!font) font = MakeDialogFont(wanted, dpi_);
  return font.get();
}

RECT ControlLayout::PlaceOf(const Placed& p) {
  const ControlItem& s = p.item;
  const int left = ScaleLength(p.origin.x + s.x, dpi_), top = ScaleLength(p.origin.y + s.y, dpi_);
  if (s.width < 0 || s.height < 0) {
    const SIZE size = TextSize(parent_, Font(s.font), p.control ? ControlText(p.control) : std::wstring(s.text));
    return {left, top, left + size.cx, top + size.cy};
  }
  return {left, top, ScaleLength(p.origin.x + s.x + s.width, dpi_), ScaleLength(p.origin.y + s.y + s.height, dpi_)};
}

HWND ControlLayout::Add(const ControlItem& s, POINT origin) {
  Placed placed{nullptr, s, origin};
  const RECT r = PlaceOf(placed);
  const std::wstring text(s.text);
  HWND control = CreateWindowExW(s.exStyle, s.className, text.c_str(), WS_CHILD | WS_VISIBLE | s.style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)), GetModuleHandleW(nullptr), nullptr);
  if (!control) {
    const DWORD error = GetLastError();  // before the name's conversion can change it
    throw UserError("A control of the window cannot be created (" + WideToUtf8(s.className) + "): " + SystemErrorText(error));
  }
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(s.font)), FALSE);
  placed.control = control;
  placed.item.text = {};
  placed_.push_back(placed);
  return control;
}

void ControlLayout::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  // The old fonts stay until every control has its new one.
  std::map<FontSpec, UniqueFont> old;
  old.swap(fonts_);
  for (const Placed& p : placed_) {
    SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(p.item.font)), FALSE);
    const RECT r = PlaceOf(p);
    SetWindowPos(p.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(parent_, nullptr, TRUE);
}

std::wstring ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), n + 1)));
  return text;
}

}  // namespace dc::ui

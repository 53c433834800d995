// The popup window: painting, buttons, pointer tracking and closing.
#include "notify/alarm_popup_window.win.h"

#include "base/system_colour.win.h"
#include "notify/alarm_popup.win.h"
#include "notify/popup_animation.win.h"
#include "notify/popup_paint.h"
#include "ui/handles.win.h"
#include "ui/dpi.win.h"
#include "ui/menu.win.h"
#include "ui/window_classes.h"

namespace dc::notify {
namespace {

bool PointerIn(HWND hwnd) {
  POINT p{};
  GetCursorPos(&p);
  RECT r{};
  GetWindowRect(hwnd, &r);
  return PtInRect(&r, p) != 0;
}

POINT ClientPoint(LPARAM lp) { return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// One Marlett glyph centred in a button, `height` pixels high (negative:
// the character's height); without the font, `fallback` draws it in
// pixels.
template <class Fallback>
void DrawGlyph(HDC dc, const RECT& r, const wchar_t* glyph, int height, Fallback fallback) {
  ui::UniqueFont marlett(CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, L"Marlett"));
  ui::ScopedSelect select(dc, marlett.get());
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  if (_wcsicmp(face, L"Marlett") != 0) {
    fallback((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return;
  }
  SetTextColor(dc, 0x000000);
  RECT box = r;
  DrawTextW(dc, glyph, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

AlarmPopupWindow::AlarmPopupWindow(AlarmPopup& alert) : alert_(alert) {
  RegisterWindowClass(ui::kPopupClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr);
  // Topmost, no task-bar button, never activated.
  Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED, ui::kPopupClass, L"", WS_POPUP, 0, 0,
         kDefaultPopupWidth, kDefaultPopupHeight, nullptr);
  SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);
}

RECT AlarmPopupWindow::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return r;
}

void AlarmPopupWindow::MoveTo(int left, int top) {
  SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

PopupLayout AlarmPopupWindow::Layout() const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  return PlacePopupParts(client.right, client.bottom, dpi_);
}

RECT AlarmPopupWindow::CloseButton() const { return ToRECT(Layout().close); }

RECT AlarmPopupWindow::DropDownButton() const { return ToRECT(Layout().dropDown); }

bool AlarmPopupWindow::HasDropDown() const { return static_cast<bool>(alert_.OnSnooze); }

AlarmPopupWindow::Button AlarmPopupWindow::ButtonAt(POINT p) const {
  const RECT close = CloseButton(), drop = DropDownButton();
  if (PtInRect(&close, p)) return Button::Close;
  if (HasDropDown() && PtInRect(&drop, p)) return Button::DropDown;
  return Button::None;
}

void AlarmPopupWindow::ShowNoActivate() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void AlarmPopupWindow::CloseAlert() {
  if (closing_) return;
  closing_ = true;
  if (style && style->TimerRunning()) StopTimer(kStyleTimer);
  alert_.WindowClosed();  // OnClose, off the stack, the release posted
  ShowWindow(hwnd(), SW_HIDE);
}

HMENU AlarmPopupWindow::MakeSnoozeMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  static constexpr const wchar_t* kTexts[] = {L"Snooze 5 minutes", L"Snooze 10 minutes", L"Snooze 30 minutes",
                                              L"Snooze 1 hour"};
  for (UINT i = 0; i < kSnoozeMinutes.size(); ++i) AppendMenuW(menu, MF_STRING, kFirstSnoozeCommand + i, kTexts[i]);
  return menu;
}

void AlarmPopupWindow::OpenSnoozeMenu() {
  ui::UniqueMenu menu(MakeSnoozeMenu());
  if (!menu) return;
  menuOpen_ = true;
  PointerInside = true;
  style->CancelEffect();
  const RECT button = DropDownButton();
  POINT at{button.left, button.bottom};
  ClientToScreen(hwnd(), &at);
  const UINT command = ui::TrackMenu(menu.get(), hwnd(), at);
  menuOpen_ = false;
  pressed_ = Button::None;
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (command) {
    ChooseSnooze(command);
    return;
  }
  // The pointer may have left while the menu was open: no leave came then.
  tracking_ = false;
  if (PointerIn(hwnd())) return;
  PointerInside = true;  // as it was while the menu was open
  PointerLeft();
}

void AlarmPopupWindow::ChooseSnooze(UINT command) {
  if (command < kFirstSnoozeCommand || command >= kFirstSnoozeCommand + kSnoozeMinutes.size()) return;
  if (alert_.OnSnooze) alert_.OnSnooze(kSnoozeMinutes[command - kFirstSnoozeCommand]);
  CloseAlert();
}

void AlarmPopupWindow::PointerEntered() {
  PointerInside = true;
  style->CancelEffect();
}

void AlarmPopupWindow::PointerLeft() {
  if (menuOpen_ || !PointerInside || PointerIn(hwnd())) return;
  if (style->options.displayDuration != 0) style->StartHideEffect();
  PointerInside = false;
}

void AlarmPopupWindow::SetHover(Button over) {
  if (over == over_) return;
  over_ = over;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void AlarmPopupWindow::PaintButton(HDC dc, Button button, const RECT& r, const PopupLayout& l) const {
  if (over_ == button) {
    ui::UniqueBrush fill(CreateSolidBrush(pressed_ == button ? 0xCC9999 : 0xD6BEB5));
    ui::UniqueBrush frame(CreateSolidBrush(0x663300));
    FillRect(dc, &r, fill.get());
    FrameRect(dc, &r, frame.get());
  }
  // The fallback's pixels are squares of the layout's line width.
  const int u = l.line;
  const auto dot = [dc, u](int x, int y) {
    const RECT p{x, y, x + u, y + u};
    FillRect(dc, &p, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  };
  if (button == Button::Close) {
    DrawGlyph(dc, r, L"r", l.closeGlyph, [&dot, u](int cx, int cy) {  // the cross
      for (int d = -3; d <= 3; ++d) {
        dot(cx + d * u, cy + d * u);
        dot(cx + (d + 1) * u, cy + d * u);
        dot(cx - d * u, cy + d * u);
        dot(cx + (1 - d) * u, cy + d * u);
      }
    });
  } else {
    DrawGlyph(dc, r, L"u", l.dropGlyph, [&dot, u](int cx, int cy) {  // the downward triangle
      for (int row = 0; row < 4; ++row)
        for (int x = -3 + row; x <= 3 - row; ++x) dot(cx + x * u, cy + (row - 1) * u);
    });
  }
}

void AlarmPopupWindow::Paint(HDC target) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  ui::UniqueBitmap dib(CreateDIBSection(target, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ui::UniqueMemoryDC mem(CreateCompatibleDC(target));
  if (!dib || !mem || !bits) return;
  PixelTarget pixels{static_cast<std::uint32_t*>(bits), w, h, w};
  const PopupColours& c = alert_.Colors;
  const PopupLayout l = PlacePopupParts(w, h, dpi_);
  PaintPopupBackground(pixels,
                       {ResolveSystemColour(c.CaptionFrom), ResolveSystemColour(c.CaptionTo),
                        ResolveSystemColour(c.WindowFrom), ResolveSystemColour(c.WindowTo)},
                       true, static_cast<std::uint32_t>(GetSysColor(COLOR_BTNFACE)), l);
  GdiFlush();
  ui::ScopedSelect selectBitmap(mem.get(), dib.get());
  SetBkMode(mem.get(), TRANSPARENT);

  // The header on one line from (13, 13), cut at the edge; the message
  // wrapped below it from x 21 to the drop-down button's left (W - 33);
  // all at 100 %. "&" underlines the next character; "&&" shows one "&".
  const LOGFONTW headerFont = alert_.HeaderFont.At(dpi_), messageFont = alert_.Font.At(dpi_);
  ui::UniqueFont header(CreateFontIndirectW(&headerFont));
  ui::UniqueFont message(CreateFontIndirectW(&messageFont));
  RECT headerRect{l.headerLeft, l.headerTop, w, l.headerTop};
  {
    ui::ScopedSelect f(mem.get(), header.get());
    DrawTextW(mem.get(), alert_.HeaderText.c_str(), -1, &headerRect, DT_SINGLELINE | DT_CALCRECT);
    headerRect.right = w;
    SetTextColor(mem.get(), ResolveSystemColour(alert_.HeaderFont.color));
    DrawTextW(mem.get(), alert_.HeaderText.c_str(), -1, &headerRect, DT_SINGLELINE);
  }
  {
    ui::ScopedSelect f(mem.get(), message.get());
    RECT messageRect{l.messageLeft, headerRect.bottom, l.messageRight, l.messageBottom};
    SetTextColor(mem.get(), ResolveSystemColour(alert_.Font.color));
    DrawTextW(mem.get(), alert_.MessageText.c_str(), -1, &messageRect, DT_WORDBREAK);
  }
  PaintButton(mem.get(), Button::Close, ToRECT(l.close), l);
  if (HasDropDown()) PaintButton(mem.get(), Button::DropDown, ToRECT(l.dropDown), l);
  BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

std::optional<LRESULT> AlarmPopupWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      ui::PaintScope paint(hwnd());
      if (paint.get()) Paint(paint.get());
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST: {
      POINT p = ClientPoint(lp);
      ScreenToClient(hwnd(), &p);
      if (ButtonAt(p) != Button::None) return HTCLIENT;
      style->CancelEffect();
      return HTCAPTION;  // the platform drags the popup by any point
    }
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | (msg == WM_NCMOUSEMOVE ? TME_NONCLIENT : 0u), hwnd(), 0};
        tracking_ = TrackMouseEvent(&track) != 0;
      }
      if (!PointerInside) PointerEntered();
      SetHover(msg == WM_MOUSEMOVE ? ButtonAt(ClientPoint(lp)) : Button::None);
      return 0;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      tracking_ = false;
      if (!menuOpen_) {
        pressed_ = Button::None;
        SetHover(Button::None);
      }
      PointerLeft();
      return 0;
    case WM_LBUTTONDOWN: {
      pressed_ = ButtonAt(ClientPoint(lp));
      InvalidateRect(hwnd(), nullptr, FALSE);
      if (pressed_ == Button::DropDown) {
        OpenSnoozeMenu();
      } else if (pressed_ == Button::Close) {
        SetCapture(hwnd());
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      const bool click = pressed_ == Button::Close && ButtonAt(ClientPoint(lp)) == Button::Close;
      pressed_ = Button::None;
      ReleaseCapture();
      InvalidateRect(hwnd(), nullptr, FALSE);
      if (click) CloseAlert();
      return 0;
    }
    case WM_CLOSE:
      CloseAlert();
      return 0;
    case WM_DPICHANGED:
      alert_.ScaleTo(ui::DpiOfMessage(wp), ui::SuggestedRect(lp));
      return 0;
    case kReleaseMessage:
      if (reinterpret_cast<HWND>(wp) == hwnd() && alert_.freeAlert)
        alert_.freeAlert(reinterpret_cast<AlarmPopup*>(lp));
      return 0;
  }
  return std::nullopt;
}

}  // namespace dc::notify

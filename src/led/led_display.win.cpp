// The LED display's window side.
#include "led/led_display.win.h"

#include "base/system_colour.win.h"
#include "base/user_error.h"
#include "ui/handles.win.h"
#include "ui/window_classes.h"

namespace dc::led {

LedDisplay::LedDisplay(HWND parent, int left, int top, int width, int height) {
  // A size change repaints the whole control. Its own DC: the pass each
  // second does not make and reset a DC.
  RegisterWindowClass(ui::kLedDisplayClass, CS_HREDRAW | CS_VREDRAW | CS_OWNDC, LoadCursorW(nullptr, IDC_ARROW),
                      nullptr);
  model_.size = {width, height};
  Create(0, ui::kLedDisplayClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top, width, height, parent);
}

void LedDisplay::Apply(Effect effect) {
  if (effect == Effect::Repaint) {
    InvalidateRect(hwnd(), nullptr, FALSE);
  } else if (effect == Effect::DrawNow && model_.visible) {
    ui::WindowDC dc(hwnd());
    if (dc.get()) DrawDigits(dc.get());
  }
}

void LedDisplay::SetAutoSize(bool v) {
  if (std::optional<Size> size = model_.SetAutoSize(v)) Resize(*size);
}

void LedDisplay::SetVisible(bool v) {
  if (v == model_.visible) return;
  model_.visible = v;
  ShowWindow(hwnd(), v ? SW_SHOWNA : SW_HIDE);
}

void LedDisplay::SetBounds(int left, int top, int width, int height) {
  if (!SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE))
    throw UserError("The LED display cannot be placed.");
}

RECT LedDisplay::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void LedDisplay::Resize(Size size) {
  if (!SetWindowPos(hwnd(), nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
    throw UserError("The LED display cannot take its size.");
}

void LedDisplay::DrawDigits(HDC target) {
  if (!model_.visible) return;
  const Size size = model_.size;
  if (size.width > 0 && size.height > 0) {
    // The pass's bitmap, of the control's size, kept from pass to pass.
    surface_.Ensure(size.width, size.height, "The LED display cannot get a bitmap to draw on");
    GdiFlush();  // the last pass's copy has read the bits
    PixelTarget pixels{surface_.Bits(), size.width, size.height, size.width};
    model_.Render(pixels, ResolveSystemColour);
    GdiFlush();
    BitBlt(target, 0, 0, size.width, size.height, surface_.Dc(), 0, 0, SRCCOPY);
  }
  if (std::optional<Size> next = model_.SizeAfterPass()) Resize(*next);
}

std::optional<LRESULT> LedDisplay::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the pass paints every pixel
    case WM_PAINT: {
      ui::PaintScope paint(hwnd());
      if (paint.get()) DrawDigits(paint.get());
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOSIZE)) {
        RECT client;
        GetClientRect(hwnd(), &client);
        model_.size = {client.right, client.bottom};
      }
      if ((pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE) && OnBoundsChanged) OnBoundsChanged();
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(msg, POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
      return 0;
    case WM_RBUTTONUP:
      if (OnMouseDown) return 0;  // the press was reported: no second context menu
      break;
  }
  (void)wp;
  return std::nullopt;
}

}  // namespace dc::led

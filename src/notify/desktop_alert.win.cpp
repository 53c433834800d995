// The desktop alert popup, its effects and its stack.
#include "notify/desktop_alert.win.h"

#include <algorithm>
#include <vector>

#include "base/file_io.h"
#include "led/led_control.win.h"
#include "notify/alert_paint.h"

namespace dc::notify {
namespace {

constexpr wchar_t kClass[] = L"TJvFormDesktopAlert";
constexpr int kDefaultWidth = 329, kDefaultHeight = 76;

RECT CenteredOn(const RECT& r, int w, int h) {
  const int left = r.left + (r.right - r.left - w) / 2, top = r.top + (r.bottom - r.top - h) / 2;
  return {left, top, left + w, top + h};
}

bool PointerIn(HWND hwnd) {
  POINT p{};
  GetCursorPos(&p);
  RECT r{};
  GetWindowRect(hwnd, &r);
  return PtInRect(&r, p) != 0;
}

}  // namespace

RECT WorkArea() {
  RECT r{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return r;
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// ---- style handlers -------------------------------------------------------

TJvCustomDesktopAlertStyleHandler::~TJvCustomDesktopAlertStyleHandler() {
  if (running_ && form_.hwnd()) form_.StopTimer(TJvFormDesktopAlert::kStyleTimer);
}

void TJvCustomDesktopAlertStyleHandler::StartTimer(std::uint32_t interval,
                                                   void (TJvCustomDesktopAlertStyleHandler::*tick)()) {
  running_ = true;
  form_.StartTimer(TJvFormDesktopAlert::kStyleTimer, TimerInterval(interval), [this, tick] { (this->*tick)(); });
}

void TJvCustomDesktopAlertStyleHandler::StopTimer() {
  running_ = false;
  form_.StopTimer(TJvFormDesktopAlert::kStyleTimer);
}

void TJvCustomDesktopAlertStyleHandler::StartShowEffect() {
  if (options.startSteps == 0) return;
  StopTimer();
  step_ = 0;
  ShowNothing();
  form_.ShowNoActivate();
  StartTimer(options.startInterval, &TJvCustomDesktopAlertStyleHandler::ShowEffectTick);
}

void TJvCustomDesktopAlertStyleHandler::StartHideEffect() {
  if (options.endSteps == 0) return;
  StopTimer();
  step_ = 0;
  ShowFull();
  StartTimer(options.endInterval, &TJvCustomDesktopAlertStyleHandler::HideEffectTick);
}

void TJvCustomDesktopAlertStyleHandler::StartDisplayWait() {
  if (options.displayDuration == 0) return;
  StopTimer();
  step_ = 0;
  StartTimer(options.displayDuration, &TJvCustomDesktopAlertStyleHandler::DisplayWaitTick);
}

void TJvCustomDesktopAlertStyleHandler::ShowEffectTick() {
  ShowStep(step_);
  if (++step_ >= options.startSteps) {
    StopTimer();
    ShowFull();
    StartDisplayWait();
  }
}

void TJvCustomDesktopAlertStyleHandler::HideEffectTick() {
  ++step_;
  if (step_ >= options.endSteps) {
    StopTimer();
    ShowNothing();
    form_.CloseAlert();
  }
  if (form_.hwnd()) HideStep(step_);
}

void TJvCustomDesktopAlertStyleHandler::CancelEffect() {
  StopTimer();
  ShowFull();
}

void TJvFadeAlertStyleHandler::SetOpacity(std::uint8_t alpha) {
  HWND h = form_.hwnd();
  if (!h) return;
  const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  SetLayeredWindowAttributes(h, 0, alpha, LWA_ALPHA);
}

void TJvFadeAlertStyleHandler::ShowStep(std::uint32_t step) {
  SetOpacity(FadeInOpacity(MinAlphaBlendValue, MaxAlphaBlendValue, step, options.startSteps));
}

void TJvFadeAlertStyleHandler::HideStep(std::uint32_t step) {
  SetOpacity(FadeOutOpacity(MinAlphaBlendValue, MaxAlphaBlendValue, step, options.endSteps));
}

void TJvCenterGrowAlertStyleHandler::SetGrowth(double percent) {
  HWND h = form_.hwnd();
  if (!h) return;
  RECT r{};
  GetWindowRect(h, &r);
  const GrowRect g = CenterGrowRect(r.right - r.left, r.bottom - r.top, percent);
  HRGN rgn = CreateRectRgn(g.left, g.top, g.left + g.width, g.top + g.height);
  if (rgn && !SetWindowRgn(h, rgn, TRUE)) DeleteObject(rgn);  // the window owns it once set
}

void TJvCenterGrowAlertStyleHandler::ShowStep(std::uint32_t step) {
  SetGrowth(GrowInPercent(min_, max_, step, options.startSteps));
}

void TJvCenterGrowAlertStyleHandler::HideStep(std::uint32_t step) {
  SetGrowth(GrowOutPercent(min_, max_, step, options.endSteps));
}

// ---- the stack ---------------------------------------------------------------

TJvDesktopAlertStack& TJvDesktopAlertStack::Shared() {
  static TJvDesktopAlertStack stack;
  return stack;
}

void TJvDesktopAlertStack::Sync() {
  for (TJvFormDesktopAlert* f : forms_) {
    StackWindow* w = model_.Find(f->stackId);
    if (!w) continue;
    const RECT r = f->Bounds();
    *w = {f->stackId, r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(f->hwnd()) != 0,
          f->PointerInside};
  }
}

void TJvDesktopAlertStack::Apply() {
  for (TJvFormDesktopAlert* f : forms_) {
    if (const StackWindow* w = model_.Find(f->stackId)) {
      const RECT r = f->Bounds();
      if (r.left != w->left || r.top != w->top) f->MoveTo(w->left, w->top);
    }
  }
}

void TJvDesktopAlertStack::AddAlert(TJvFormDesktopAlert& form) {
  static int nextId = 1;
  form.stackId = nextId++;
  forms_.push_back(&form);
  Sync();
  const RECT r = form.Bounds();
  const RECT work = WorkArea();
  model_.AddAlert({form.stackId, r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(form.hwnd()) != 0,
                   form.PointerInside},
                  {work.left, work.top, work.right, work.bottom});
  Apply();
}

void TJvDesktopAlertStack::RemoveAlert(TJvFormDesktopAlert& form) {
  auto it = std::find(forms_.begin(), forms_.end(), &form);
  if (it == forms_.end()) return;
  Sync();
  const RECT work = WorkArea();
  model_.RemoveAlert(form.stackId, {work.left, work.top, work.right, work.bottom});
  forms_.erase(it);
  Apply();
}

void TJvDesktopAlertStack::ArrangeAlerts() {
  Sync();
  const RECT work = WorkArea();
  model_.ArrangeAlerts({work.left, work.top, work.right, work.bottom});
  Apply();
}

// ---- the popup window ------------------------------------------------------

TJvFormDesktopAlert::TJvFormDesktopAlert(TJvDesktopAlert& alert) : alert_(alert) {
  RegisterWindowClass(kClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr);
  // Topmost, no task-bar button, never activated.
  Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED, kClass, L"", WS_POPUP, 0, 0,
         kDefaultWidth, kDefaultHeight, nullptr);
  SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);
}

RECT TJvFormDesktopAlert::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return r;
}

void TJvFormDesktopAlert::MoveTo(int left, int top) {
  SetWindowPos(hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TJvFormDesktopAlert::CloseButton() const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  return {client.right - 17, 10, client.right - 2, 25};
}

void TJvFormDesktopAlert::ShowNoActivate() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TJvFormDesktopAlert::CloseAlert() {
  if (closing_) return;
  closing_ = true;
  StopTimer(kHoverTimer);
  if (style && style->TimerRunning()) StopTimer(kStyleTimer);
  alert_.WindowClosed();  // OnClose, off the stack, the release posted
  ShowWindow(hwnd(), SW_HIDE);
}

void TJvFormDesktopAlert::HoverPoll() {
  StopTimer(kHoverTimer);
  PointerInside = PointerIn(hwnd());
  StartTimer(kHoverTimer, 200, [this] { HoverPoll(); });
  if (style->TimerRunning() || PointerInside) return;
  if (style->options.displayDuration != 0) style->StartHideEffect();
}

void TJvFormDesktopAlert::PointerEntered() {
  PointerInside = true;
  style->CancelEffect();
}

void TJvFormDesktopAlert::PointerLeft() {
  if (!PointerInside || PointerIn(hwnd())) return;
  if (style->options.displayDuration != 0) style->StartHideEffect();
  PointerInside = false;
}

void TJvFormDesktopAlert::Paint(HDC target) {
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
  led::PixelTarget pixels{static_cast<std::uint32_t*>(bits), w, h, w};
  const TJvDesktopAlertColors& c = alert_.Colors;
  using led::ResolveSystemColour;
  PaintAlertBackground(pixels,
                       {ResolveSystemColour(c.CaptionFrom), ResolveSystemColour(c.CaptionTo),
                        ResolveSystemColour(c.WindowFrom), ResolveSystemColour(c.WindowTo)},
                       CanMove || CanMoveAnywhere, static_cast<std::uint32_t>(GetSysColor(COLOR_BTNFACE)));
  GdiFlush();
  ui::ScopedSelect selectBitmap(mem.get(), dib.get());
  SetBkMode(mem.get(), TRANSPARENT);

  // The header on one line from (13, 13), cut at the edge; the message
  // wrapped below it from x 21 to the drop-down button's left (W - 33).
  // "&" underlines the next character; "&&" shows one "&".
  ui::UniqueFont header(CreateFontIndirectW(&alert_.HeaderFont.log));
  ui::UniqueFont message(CreateFontIndirectW(&alert_.Font.log));
  RECT headerRect{13, 13, w, 13};
  {
    ui::ScopedSelect f(mem.get(), header.get());
    DrawTextW(mem.get(), alert_.HeaderText.c_str(), -1, &headerRect, DT_SINGLELINE | DT_CALCRECT);
    headerRect.right = w;
    SetTextColor(mem.get(), ResolveSystemColour(alert_.HeaderFont.color));
    DrawTextW(mem.get(), alert_.HeaderText.c_str(), -1, &headerRect, DT_SINGLELINE);
  }
  {
    ui::ScopedSelect f(mem.get(), message.get());
    RECT messageRect{21, headerRect.bottom, w - 33, h - 1};
    SetTextColor(mem.get(), ResolveSystemColour(alert_.Font.color));
    DrawTextW(mem.get(), alert_.MessageText.c_str(), -1, &messageRect, DT_WORDBREAK);
  }
  // The close button: a Marlett "r", framed and filled while the pointer is on it.
  const RECT button = CloseButton();
  if (overButton_) {
    ui::UniqueBrush fill(CreateSolidBrush(pressed_ ? 0xCC9999 : 0xD6BEB5));
    ui::UniqueBrush frame(CreateSolidBrush(0x663300));
    FillRect(mem.get(), &button, fill.get());
    FrameRect(mem.get(), &button, frame.get());
  }
  ui::UniqueFont marlett(CreateFontW(-MulDiv(7, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0,
                                     L"Marlett"));
  {
    ui::ScopedSelect f(mem.get(), marlett.get());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(mem.get(), LF_FACESIZE, face);
    if (_wcsicmp(face, L"Marlett") == 0) {
      SetTextColor(mem.get(), 0x000000);
      RECT glyph = button;
      DrawTextW(mem.get(), L"r", 1, &glyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else {
      // Without the Marlett font the close glyph is drawn as its cross.
      const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
      for (int d = -3; d <= 3; ++d) {
        SetPixel(mem.get(), cx + d, cy + d, 0x000000);
        SetPixel(mem.get(), cx + d + 1, cy + d, 0x000000);
        SetPixel(mem.get(), cx - d, cy + d, 0x000000);
        SetPixel(mem.get(), cx - d + 1, cy + d, 0x000000);
      }
    }
  }
  BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

std::optional<LRESULT> TJvFormDesktopAlert::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ScreenToClient(hwnd(), &p);
      const RECT button = CloseButton();
      if (PtInRect(&button, p)) return HTCLIENT;
      if ((p.y <= 8 && CanMove) || CanMoveAnywhere) {
        style->CancelEffect();
        return HTCAPTION;  // the platform drags the popup
      }
      return HTCLIENT;
    }
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | (msg == WM_NCMOUSEMOVE ? TME_NONCLIENT : 0u), hwnd(), 0};
        tracking_ = TrackMouseEvent(&track) != 0;
      }
      if (!PointerInside) PointerEntered();
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (msg == WM_NCMOUSEMOVE) ScreenToClient(hwnd(), &p);
      const RECT button = CloseButton();
      const bool over = msg == WM_MOUSEMOVE && PtInRect(&button, p);
      if (over != overButton_) {
        overButton_ = over;
        InvalidateRect(hwnd(), &button, FALSE);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      tracking_ = false;
      if (overButton_) {
        overButton_ = pressed_ = false;
        InvalidateRect(hwnd(), nullptr, FALSE);
      }
      PointerLeft();
      return 0;
    case WM_LBUTTONDOWN: {
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      const RECT button = CloseButton();
      if (PtInRect(&button, p)) {
        pressed_ = true;
        SetCapture(hwnd());
        InvalidateRect(hwnd(), &button, FALSE);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      const RECT button = CloseButton();
      const bool click = pressed_ && PtInRect(&button, p);
      pressed_ = false;
      ReleaseCapture();
      if (click && CanClose) CloseAlert();
      return 0;
    }
    case WM_CLOSE:
      if (CanClose) CloseAlert();
      return 0;
    case kReleaseMessage:
      if (reinterpret_cast<HWND>(wp) == hwnd() && alert_.freeAlert)
        alert_.freeAlert(reinterpret_cast<TJvDesktopAlert*>(lp));
      return 0;
  }
  return std::nullopt;
}

// ---- the alert -------------------------------------------------------------

TJvDesktopAlert::TJvDesktopAlert(HWND owner) : owner_(owner) {
  form_ = std::make_unique<TJvFormDesktopAlert>(*this);
  handler_ = std::make_unique<TJvFadeAlertStyleHandler>(*form_);
  form_->style = handler_.get();
  NONCLIENTMETRICSW metrics{sizeof metrics};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    Font.log = metrics.lfMessageFont;
    HeaderFont.log = metrics.lfMessageFont;
  }
  HeaderFont.log.lfWeight = FW_BOLD;
}

TJvDesktopAlert::~TJvDesktopAlert() {
  if (form_) {
    TJvDesktopAlertStack::Shared().RemoveAlert(*form_);
    handler_.reset();
    form_->style = nullptr;
  }
}

void TJvDesktopAlert::SetAlertStyle(std::uint8_t style) {
  if (style == style_ && handler_) return;
  if (style > asCenterGrow) throw UserError("The alert style " + std::to_string(style) + " is not known.");
  if (handler_ && handler_->TimerRunning()) handler_->CancelEffect();
  style_ = static_cast<TJvAlertStyle>(style);
  if (style_ == asFade) {
    handler_ = std::make_unique<TJvFadeAlertStyleHandler>(*form_);
  } else {
    handler_ = std::make_unique<TJvCenterGrowAlertStyleHandler>(*form_);
  }
  form_->style = handler_.get();
}

void TJvDesktopAlert::LocationChanged() {
  TJvDesktopAlertStack& stack = TJvDesktopAlertStack::Shared();
  if (stack.Position() != Location.Position) stack.SetPosition(Location.Position);
}

void TJvDesktopAlert::ShowAlert() {
  if (IsWindowVisible(form_->hwnd())) form_->CloseAlert();
  LocationChanged();
  const RECT work = WorkArea();
  const int w = Location.Width ? Location.Width : kDefaultWidth;
  const int h = Location.Height ? Location.Height : kDefaultHeight;
  RECT at{Location.Left, Location.Top, Location.Left + w, Location.Top + h};  // custom, and any value above 8
  switch (Location.Position) {
    case dapTopLeft: at = {work.left, work.top, work.left + w, work.top + h}; break;
    case dapTopRight: at = {work.right - w, work.top, work.right, work.top + h}; break;
    case dapBottomLeft: at = {work.left, work.bottom - h, work.left + w, work.bottom}; break;
    case dapBottomRight: at = {work.right - w, work.bottom - h, work.right, work.bottom}; break;
    case dapDesktopCenter: at = CenteredOn(work, w, h); break;
    case dapMainFormCenter:
    case dapOwnerFormCenter: {
      RECT owner{};
      at = owner_ && GetWindowRect(owner_, &owner) ? CenteredOn(owner, w, h) : CenteredOn(work, w, h);
      break;
    }
    case dapActiveFormCenter: {
      RECT active{};
      HWND a = GetActiveWindow();
      at = a && GetWindowRect(a, &active) ? CenteredOn(active, w, h) : CenteredOn(work, w, h);
      break;
    }
  }
  SetWindowPos(form_->hwnd(), nullptr, at.left, at.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  // The popup has no caption bar; its window text carries both texts for
  // screen readers and other programs.
  const std::wstring text = HeaderText + L"\r\n" + MessageText;
  SetWindowTextW(form_->hwnd(), text.c_str());
  Location.Position = TJvDesktopAlertStack::Shared().Position();
  // The on-show steps: full opacity and size, the show effect, the poll.
  handler_->CancelEffect();
  handler_->StartShowEffect();
  form_->StartHoverPoll();
  TJvDesktopAlertStack::Shared().AddAlert(*form_);
}

void TJvDesktopAlert::WindowClosed() {
  if (closedOnce_) return;
  closedOnce_ = true;
  if (Location.Position == dapCustom) {
    const RECT r = form_->Bounds();
    Location.Left = r.left;
    Location.Top = r.top;
  }
  if (OnClose) OnClose(*this);
  TJvDesktopAlertStack::Shared().RemoveAlert(*form_);
  if (AutoFree) {
    PostMessageW(form_->hwnd(), TJvFormDesktopAlert::kReleaseMessage, reinterpret_cast<WPARAM>(form_->hwnd()),
                 reinterpret_cast<LPARAM>(this));
  }
}

}  // namespace dc::notify

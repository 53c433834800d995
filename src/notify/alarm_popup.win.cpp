// The popup: configuration, placement and showing, and its close.
#include "notify/alarm_popup.win.h"

#include "base/scale.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "notify/popup_layout.h"
#include "ui/dpi.win.h"

namespace dc::notify {
namespace {

RECT CenteredOn(const RECT& r, int w, int h) {
  const int left = r.left + (r.right - r.left - w) / 2, top = r.top + (r.bottom - r.top - h) / 2;
  return {left, top, left + w, top + h};
}

}  // namespace

LOGFONTW PopupFont::At(int dpi) const {
  LOGFONTW f = log;
  if (messageFont) {
    if (const std::optional<LOGFONTW> system = ui::MessageFontForDpi(dpi)) {
      f = *system;
      f.lfWeight = log.lfWeight;
    }
    return f;
  }
  f.lfHeight = FontHeightAt({.height = log.lfHeight, .points = points}, dpi);
  return f;
}

PopupFont PopupFontOf(const FontStyle& style) {
  PopupFont font;
  LOGFONTW& f = font.log;
  f.lfCharSet = style.charset;
  font.color = style.colour;
  f.lfHeight = style.height;
  font.points = style.points;
  const std::wstring face = Utf8ToWide(style.face).substr(0, LF_FACESIZE - 1);
  wcsncpy(f.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  f.lfPitchAndFamily = style.pitch == 1 ? VARIABLE_PITCH : style.pitch == 2 ? FIXED_PITCH : DEFAULT_PITCH;
  f.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  f.lfItalic = style.italic;
  f.lfUnderline = style.underline;
  f.lfStrikeOut = style.strikeOut;
  return font;
}

AlarmPopup::AlarmPopup(HWND owner) : owner_(owner) {
  window_ = std::make_unique<AlarmPopupWindow>(*this);
  animation_ = std::make_unique<FadeAnimation>(*window_);
  window_->style = animation_.get();
  // Until configured, the system's message font, at whatever DPI it shows.
  NONCLIENTMETRICSW metrics{sizeof metrics};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    Font.log = metrics.lfMessageFont;
    HeaderFont.log = metrics.lfMessageFont;
    Font.messageFont = HeaderFont.messageFont = true;
  }
  HeaderFont.log.lfWeight = FW_BOLD;
}

AlarmPopup::~AlarmPopup() {
  if (window_) {
    PopupStack::Shared().RemoveAlert(*window_);
    animation_.reset();
    window_->style = nullptr;
  }
}

void AlarmPopup::SetAlertStyle(std::uint8_t style) {
  if (style == static_cast<std::uint8_t>(style_) && animation_) return;
  if (style > static_cast<std::uint8_t>(PopupStyle::CentreGrow))
    throw UserError("The alert style " + std::to_string(style) + " is not known.");
  if (animation_ && animation_->TimerRunning()) animation_->CancelEffect();
  style_ = static_cast<PopupStyle>(style);
  if (style_ == PopupStyle::Fade) {
    animation_ = std::make_unique<FadeAnimation>(*window_);
  } else {
    animation_ = std::make_unique<GrowAnimation>(*window_);
  }
  window_->style = animation_.get();
}

void AlarmPopup::LocationChanged() {
  PopupStack& stack = PopupStack::Shared();
  if (stack.Position() != Location.Position) stack.SetPosition(Location.Position);
}

void AlarmPopup::Configure(const PopupConfig& config) {
  SetAlertStyle(static_cast<std::uint8_t>(config.style));  // replaces the animation: first
  Colors = config.colours;
  if (config.font) Font = PopupFontOf(*config.font);
  if (config.headerFont) HeaderFont = PopupFontOf(*config.headerFont);
  StyleOptions().options.displayDuration = config.displayDuration;
  Location.Position = config.location.Position;
  LocationChanged();
  Location.Left = config.location.Left;
  Location.Top = config.location.Top;
  Location.Width = config.location.Width;
  Location.Height = config.location.Height;
}

RECT AlarmPopup::Place(int dpi) const {
  const RECT work = WorkArea();
  const int w = ScaleLength(Location.Width ? Location.Width : kDefaultPopupWidth, dpi);
  const int h = ScaleLength(Location.Height ? Location.Height : kDefaultPopupHeight, dpi);
  // A custom place is a 100 % screen's, as an unaware program's would be.
  const int left = ScaleLength(Location.Left, dpi), top = ScaleLength(Location.Top, dpi);
  RECT at{left, top, left + w, top + h};  // custom, and any value above 8
  switch (Location.Position) {
    case PopupPosition::TopLeft: at = {work.left, work.top, work.left + w, work.top + h}; break;
    case PopupPosition::TopRight: at = {work.right - w, work.top, work.right, work.top + h}; break;
    case PopupPosition::BottomLeft: at = {work.left, work.bottom - h, work.left + w, work.bottom}; break;
    case PopupPosition::BottomRight: at = {work.right - w, work.bottom - h, work.right, work.bottom}; break;
    case PopupPosition::DesktopCentre: at = CenteredOn(work, w, h); break;
    case PopupPosition::MainWindowCentre:
    case PopupPosition::OwnerWindowCentre: {
      RECT owner{};
      at = owner_ && GetWindowRect(owner_, &owner) ? CenteredOn(owner, w, h) : CenteredOn(work, w, h);
      break;
    }
    case PopupPosition::ActiveWindowCentre: {
      RECT active{};
      HWND a = GetActiveWindow();
      at = a && GetWindowRect(a, &active) ? CenteredOn(active, w, h) : CenteredOn(work, w, h);
      break;
    }
    case PopupPosition::Custom: break;
  }
  return at;
}

void AlarmPopup::ShowAlert() {
  if (IsWindowVisible(window_->hwnd())) window_->CloseAlert();
  LocationChanged();
  // Placed at 100 % first to find the monitor it shows on; then at that
  // monitor's scale.
  const RECT first = Place(kBaseDpi);
  const int dpi = ui::DpiAt({(first.left + first.right) / 2, (first.top + first.bottom) / 2});
  const RECT at = dpi == kBaseDpi ? first : Place(dpi);
  window_->SetDpi(dpi);
  SetWindowPos(window_->hwnd(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // The popup has no caption bar; its window text carries both texts for
  // screen readers and other programs.
  const std::wstring text = HeaderText + L"\r\n" + MessageText;
  SetWindowTextW(window_->hwnd(), text.c_str());
  Location.Position = PopupStack::Shared().Position();
  // The on-show steps: full opacity and size, the show effect.
  animation_->CancelEffect();
  animation_->StartShowEffect();
  PopupStack::Shared().AddAlert(*window_);
}

void AlarmPopup::ScaleTo(int dpi, const RECT& suggested) {
  window_->SetDpi(dpi);
  SetWindowPos(window_->hwnd(), nullptr, suggested.left, suggested.top,
               ScaleLength(Location.Width ? Location.Width : kDefaultPopupWidth, dpi),
               ScaleLength(Location.Height ? Location.Height : kDefaultPopupHeight, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_->hwnd(), nullptr, FALSE);
  PopupStack::Shared().ArrangeAlerts();
}

void AlarmPopup::WindowClosed() {
  if (closedOnce_) return;
  closedOnce_ = true;
  if (Location.Position == PopupPosition::Custom) {
    const RECT r = window_->Bounds();
    Location.Left = UnscaleLength(r.left, window_->Dpi());
    Location.Top = UnscaleLength(r.top, window_->Dpi());
  }
  if (OnClose) OnClose(*this);
  PopupStack::Shared().RemoveAlert(*window_);
  if (AutoFree) {
    PostMessageW(window_->hwnd(), AlarmPopupWindow::kReleaseMessage, reinterpret_cast<WPARAM>(window_->hwnd()),
                 reinterpret_cast<LPARAM>(this));
  }
}

}  // namespace dc::notify

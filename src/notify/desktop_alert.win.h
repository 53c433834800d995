// The desktop alert popup: TJvDesktopAlert (what the alarm firing
// configures and shows), its window TJvFormDesktopAlert, its colours and
// location, the two style handlers that fade or grow it in and out, and the
// shared TJvDesktopAlertStack that piles open popups at a corner.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "notify/alert_effects.h"
#include "notify/alert_stack.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace dc::notify {

enum TJvAlertStyle : std::uint8_t { asFade = 0, asCenterGrow = 1 };

// Colours 0x00BBGGRR; a nonzero top byte names a system colour.
struct TJvDesktopAlertColors {
  std::uint32_t WindowFrom = 0xFFE7CE, CaptionTo = 0x944110, WindowTo = 0xE7A67B, Frame = 0x943000,
                CaptionFrom = 0xD68652;
};

struct TJvDesktopAlertLocation {
  std::int32_t Top = 0, Left = 0;
  std::uint8_t Position = dapBottomRight;
  bool AlwaysResetPosition = true;
  std::int32_t Height = 0, Width = 0;  // 0: 76 and 329
};

// A font as the popup draws it (from a package's font record).
struct AlertFont {
  LOGFONTW log{};
  std::uint32_t color = 0;
};

class TJvFormDesktopAlert;
class TJvDesktopAlert;

// Fades or grows the popup in and out on its own timer; also times how long
// the popup stays displayed. The base keeps the steps and timers; the two
// effects say what one step looks like.
class TJvCustomDesktopAlertStyleHandler {
 public:
  explicit TJvCustomDesktopAlertStyleHandler(TJvFormDesktopAlert& form) : form_(form) {}
  virtual ~TJvCustomDesktopAlertStyleHandler();

  EffectSteps options;
  void StartShowEffect();
  void StartHideEffect();
  void StartDisplayWait();
  // Full opacity or size at once; a running effect stops.
  void CancelEffect();
  bool TimerRunning() const { return running_; }

 protected:
  // The show effect at `step` (the count before the tick), the hide effect
  // at `step` (the count after it), and its two ends.
  virtual void ShowStep(std::uint32_t step) = 0;
  virtual void HideStep(std::uint32_t step) = 0;
  virtual void ShowFull() = 0;
  virtual void ShowNothing() = 0;

  TJvFormDesktopAlert& form_;

 private:
  void ShowEffectTick();
  void HideEffectTick();
  void DisplayWaitTick() { StopTimer(); }
  void StartTimer(std::uint32_t interval, void (TJvCustomDesktopAlertStyleHandler::*tick)());
  void StopTimer();

  std::uint32_t step_ = 0;
  bool running_ = false;
};

class TJvFadeAlertStyleHandler : public TJvCustomDesktopAlertStyleHandler {
 public:
  using TJvCustomDesktopAlertStyleHandler::TJvCustomDesktopAlertStyleHandler;
  std::uint8_t MinAlphaBlendValue = 0, MaxAlphaBlendValue = 255;

 protected:
  void ShowStep(std::uint32_t step) override;
  void HideStep(std::uint32_t step) override;
  void ShowFull() override { SetOpacity(MaxAlphaBlendValue); }
  void ShowNothing() override { SetOpacity(MinAlphaBlendValue); }
  void SetOpacity(std::uint8_t alpha);
};

class TJvCenterGrowAlertStyleHandler : public TJvCustomDesktopAlertStyleHandler {
 public:
  using TJvCustomDesktopAlertStyleHandler::TJvCustomDesktopAlertStyleHandler;
  void SetMinGrowthPercentage(double v) { min_ = ClampGrowth(v); }
  void SetMaxGrowthPercentage(double v) { max_ = ClampGrowth(v); }

 protected:
  void ShowStep(std::uint32_t step) override;
  void HideStep(std::uint32_t step) override;
  void ShowFull() override { SetGrowth(max_); }
  void ShowNothing() override { SetGrowth(min_); }
  void SetGrowth(double percent);
  double min_ = 0, max_ = 100;
};

// The shared pile of open popups.
class TJvDesktopAlertStack {
 public:
  static TJvDesktopAlertStack& Shared();
  void AddAlert(TJvFormDesktopAlert& form);
  void RemoveAlert(TJvFormDesktopAlert& form);
  void ArrangeAlerts();
  std::uint8_t Position() const { return model_.position; }
  void SetPosition(std::uint8_t p) { model_.position = static_cast<notify::Position>(p); }

 private:
  void Sync();  // the windows' sizes, visibility and pointer flags into the model
  void Apply();  // the model's places onto the windows
  AlertStackModel model_;
  std::vector<TJvFormDesktopAlert*> forms_;
};

// The desktop work area, or the screen when the platform refuses.
RECT WorkArea();

class TJvFormDesktopAlert : public ui::Window {
 public:
  static constexpr UINT kReleaseMessage = WM_USER + 1001;  // 2025
  static constexpr UINT_PTR kHoverTimer = 1, kStyleTimer = 2;
  static constexpr int kCloseButtonId = 1;

  explicit TJvFormDesktopAlert(TJvDesktopAlert& alert);

  bool PointerInside = false;
  bool CanMove = true, CanMoveAnywhere = true, CanClose = true, CanClick = true;
  TJvCustomDesktopAlertStyleHandler* style = nullptr;
  int stackId = 0;

  void ShowNoActivate();
  void StartHoverPoll() { StartTimer(kHoverTimer, 200, [this] { HoverPoll(); }); }
  void CloseAlert();
  RECT Bounds() const;
  void MoveTo(int left, int top);
  // The close button's rectangle in client coordinates.
  RECT CloseButton() const;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc);
  void HoverPoll();
  void PointerEntered();
  void PointerLeft();
  TJvDesktopAlert& alert_;
  bool tracking_ = false;
  bool overButton_ = false, pressed_ = false;
  bool closing_ = false;
};

class TJvDesktopAlert {
 public:
  // `owner` receives the release of the alert after it closed: it frees the
  // alert when `freeAlert` runs (posted, after the close has returned).
  explicit TJvDesktopAlert(HWND owner);
  ~TJvDesktopAlert();
  TJvDesktopAlert(const TJvDesktopAlert&) = delete;
  TJvDesktopAlert& operator=(const TJvDesktopAlert&) = delete;

  std::function<void(TJvDesktopAlert&)> OnClose;
  // Called (from a posted message) when an AutoFree alert may be destroyed.
  std::function<void(TJvDesktopAlert*)> freeAlert;
  bool AutoFree = false;
  std::wstring HeaderText, MessageText;
  TJvDesktopAlertColors Colors;
  AlertFont Font, HeaderFont;
  TJvDesktopAlertLocation Location;

  TJvAlertStyle AlertStyle() const { return style_; }
  // A new style replaces the handler with one of the chosen kind at its
  // defaults; an unknown style is refused with UserError.
  void SetAlertStyle(std::uint8_t style);
  TJvCustomDesktopAlertStyleHandler& StyleOptions() { return *handler_; }
  // Location.Position changed: the shared stack follows it.
  void LocationChanged();

  void ShowAlert();
  TJvFormDesktopAlert* Window() { return form_.get(); }
  HWND Owner() const { return owner_; }

  // Called by the window when it closes.
  void WindowClosed();

 private:
  HWND owner_;
  TJvAlertStyle style_ = asFade;
  std::unique_ptr<TJvFormDesktopAlert> form_;
  std::unique_ptr<TJvCustomDesktopAlertStyleHandler> handler_;
  bool closedOnce_ = false;
};

}  // namespace dc::notify

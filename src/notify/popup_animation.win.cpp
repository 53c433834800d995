// The effects' timer rules, opacities and regions.
#include "notify/popup_animation.win.h"

#include <windows.h>

#include "notify/alarm_popup_window.win.h"
#include "ui/handles.win.h"

namespace dc::notify {

PopupAnimation::~PopupAnimation() {
  if (running_ && window_.hwnd()) window_.StopTimer(AlarmPopupWindow::kStyleTimer);
}

void PopupAnimation::StartTimer(std::uint32_t interval, void (PopupAnimation::*tick)()) {
  running_ = true;
  window_.StartTimer(AlarmPopupWindow::kStyleTimer, TimerInterval(interval), [this, tick] { (this->*tick)(); });
}

void PopupAnimation::StopTimer() {
  running_ = false;
  window_.StopTimer(AlarmPopupWindow::kStyleTimer);
}

void PopupAnimation::StartShowEffect() {
  if (options.startSteps == 0) return;
  StopTimer();
  step_ = 0;
  ShowNothing();
  window_.ShowNoActivate();
  StartTimer(options.startInterval, &PopupAnimation::ShowEffectTick);
}

void PopupAnimation::StartHideEffect() {
  if (options.endSteps == 0) return;
  StopTimer();
  step_ = 0;
  ShowFull();
  StartTimer(options.endInterval, &PopupAnimation::HideEffectTick);
}

void PopupAnimation::StartDisplayWait() {
  if (options.displayDuration == 0) return;
  StopTimer();
  step_ = 0;
  StartTimer(options.displayDuration, &PopupAnimation::DisplayWaitTick);
}

void PopupAnimation::DisplayWaitTick() {
  StopTimer();
  if (!window_.PointerInside) StartHideEffect();
}

void PopupAnimation::ShowEffectTick() {
  ShowStep(step_);
  if (++step_ >= options.startSteps) {
    StopTimer();
    ShowFull();
    StartDisplayWait();
  }
}

void PopupAnimation::HideEffectTick() {
  ++step_;
  if (step_ >= options.endSteps) {
    StopTimer();
    ShowNothing();
    window_.CloseAlert();
  }
  if (window_.hwnd()) HideStep(step_);
}

void PopupAnimation::CancelEffect() {
  StopTimer();
  ShowFull();
}

void FadeAnimation::SetOpacity(std::uint8_t alpha) {
  HWND h = window_.hwnd();
  if (!h) return;
  const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  SetLayeredWindowAttributes(h, 0, alpha, LWA_ALPHA);
}

void FadeAnimation::ShowStep(std::uint32_t step) {
  SetOpacity(FadeInOpacity(MinAlphaBlendValue, MaxAlphaBlendValue, step, options.startSteps));
}

void FadeAnimation::HideStep(std::uint32_t step) {
  SetOpacity(FadeOutOpacity(MinAlphaBlendValue, MaxAlphaBlendValue, step, options.endSteps));
}

void GrowAnimation::SetGrowth(double percent) {
  HWND h = window_.hwnd();
  if (!h) return;
  RECT r{};
  GetWindowRect(h, &r);
  const GrowRect g = CenterGrowRect(r.right - r.left, r.bottom - r.top, percent);
  ui::UniqueRegion region(CreateRectRgn(g.left, g.top, g.left + g.width, g.top + g.height));
  if (region && SetWindowRgn(h, region.get(), TRUE)) region.release();  // the window owns it once set
}

void GrowAnimation::ShowStep(std::uint32_t step) { SetGrowth(GrowInPercent(min_, max_, step, options.startSteps)); }

void GrowAnimation::HideStep(std::uint32_t step) { SetGrowth(GrowOutPercent(min_, max_, step, options.endSteps)); }

}  // namespace dc::notify

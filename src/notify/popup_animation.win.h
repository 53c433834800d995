// The popup's show and hide effects on its own timer, which also times how
// long the popup stays displayed. The base keeps the steps and the timer;
// the fade changes the window's opacity, the grow its visible region.
#pragma once

#include <cstdint>

#include "notify/popup_effects.h"

namespace dc::notify {

class AlarmPopupWindow;

class PopupAnimation {
 public:
  explicit PopupAnimation(AlarmPopupWindow& window) : window_(window) {}
  virtual ~PopupAnimation();
  PopupAnimation(const PopupAnimation&) = delete;
  PopupAnimation& operator=(const PopupAnimation&) = delete;

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

  AlarmPopupWindow& window_;

 private:
  void ShowEffectTick();
  void HideEffectTick();
  // The display time is over: the popup hides, unless the pointer is on it
  // (it hides when the pointer leaves).
  void DisplayWaitTick();
  void StartTimer(std::uint32_t interval, void (PopupAnimation::*tick)());
  void StopTimer();

  std::uint32_t step_ = 0;
  bool running_ = false;
};

class FadeAnimation : public PopupAnimation {
 public:
  using PopupAnimation::PopupAnimation;
  std::uint8_t MinAlphaBlendValue = 0, MaxAlphaBlendValue = 255;

 protected:
  void ShowStep(std::uint32_t step) override;
  void HideStep(std::uint32_t step) override;
  void ShowFull() override { SetOpacity(MaxAlphaBlendValue); }
  void ShowNothing() override { SetOpacity(MinAlphaBlendValue); }
  void SetOpacity(std::uint8_t alpha);
};

class GrowAnimation : public PopupAnimation {
 public:
  using PopupAnimation::PopupAnimation;
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

}  // namespace dc::notify

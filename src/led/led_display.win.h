// LedDisplay: the LED digit display as a child window. It holds the
// display's model, draws each render pass into a DIB section with the
// core's rasterizer and copies it to the screen in one BitBlt, so the screen
// shows exactly the core's pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "led/led_model.h"
#include "ui/dib_surface.win.h"
#include "ui/window.win.h"

namespace dc::led {

class LedDisplay : public ui::Window {
 public:
  // Creates the control with the model's initial values at the given
  // bounds, visible.
  LedDisplay(HWND parent, int left, int top, int width, int height);

  void SetMarginX(std::int32_t v) { Apply(model_.SetMarginX(v)); }
  void SetMarginY(std::int32_t v) { Apply(model_.SetMarginY(v)); }
  void SetCellWidth(std::int32_t v) { Apply(model_.SetCellWidth(v)); }
  void SetCellHeight(std::int32_t v) { Apply(model_.SetCellHeight(v)); }
  void SetThickness(std::int32_t v) { Apply(model_.SetThickness(v)); }
  void SetGap(std::int32_t v) { Apply(model_.SetGap(v)); }
  void SetBackground(std::uint32_t v) { Apply(model_.SetBackground(v)); }
  void SetLitColour(std::uint32_t v) { Apply(model_.SetLitColour(v)); }
  void SetUnlitColour(std::uint32_t v) { Apply(model_.SetUnlitColour(v)); }
  // Draws at once; with AutoSize on, Width and Height hold their automatic
  // values when this returns.
  void SetText(const std::string& v) { Apply(model_.SetText(v)); }
  void SetAutoSize(bool v);
  void SetVisible(bool v);
  void SetBounds(int left, int top, int width, int height);

  const LedModel& Model() const { return model_; }
  // Left, top, right, bottom in the parent's client coordinates.
  RECT Bounds() const;
  bool Visible() const { return model_.visible; }

  // A mouse button pressed on the digits: the message and its client point.
  std::function<void(UINT message, POINT client)> OnMouseDown;
  // The control's bounds changed (its automatic size, say).
  std::function<void()> OnBoundsChanged;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Apply(Effect effect);
  // The render pass onto `dc`, then the automatic size.
  void DrawDigits(HDC dc);
  void Resize(Size size);

  LedModel model_;
  ui::DibSurface surface_;  // each pass draws here, then copies it out
};

}  // namespace dc::led

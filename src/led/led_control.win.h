// TLEDFontNum: the LED digit display as a child window. It holds the
// display's model, draws each render pass into a DIB section with the
// core's rasterizer and copies it to the screen in one BitBlt, so the screen
// shows exactly the core's pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "led/led_model.h"
#include "ui/window.h"

namespace dc::led {

class TLEDFontNum : public ui::Window {
 public:
  // Creates the control with the model's initial values at the given
  // bounds, visible.
  TLEDFontNum(HWND parent, int left, int top, int width, int height);

  void SetOffSetX(std::int32_t v) { Apply(model_.SetOffSetX(v)); }
  void SetOffSetY(std::int32_t v) { Apply(model_.SetOffSetY(v)); }
  void SetWordWidth(std::int32_t v) { Apply(model_.SetWordWidth(v)); }
  void SetWordHeight(std::int32_t v) { Apply(model_.SetWordHeight(v)); }
  void SetThick(std::int32_t v) { Apply(model_.SetThick(v)); }
  void SetSpace(std::int32_t v) { Apply(model_.SetSpace(v)); }
  void SetBGColor(std::uint32_t v) { Apply(model_.SetBGColor(v)); }
  void SetLightColor(std::uint32_t v) { Apply(model_.SetLightColor(v)); }
  void SetDarkColor(std::uint32_t v) { Apply(model_.SetDarkColor(v)); }
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
};

// Resolves system colours (a nonzero top byte) with GetSysColor.
std::uint32_t ResolveSystemColour(std::uint32_t colour);

}  // namespace dc::led

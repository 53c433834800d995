// The LED digit display's model: its properties with their checks, the
// render pass into a pixel surface, and its automatic size. The Windows
// control (LedDisplay) holds one and turns its answers into drawing and
// resizing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/geometry.h"
#include "base/pixels.h"
#include "base/user_error.h"
#include "led/segment_polygon.h"

namespace dc::led {

struct Size {
  std::int32_t width, height;
  bool operator==(const Size&) const = default;
};

// What the control must do after an assignment.
enum class Effect { None, Repaint, DrawNow };

// A value no clock package can carry: every size and position is 0 to
// kMaxPixels, and a text at most kMaxTextLength characters.
class LedValueError : public UserError {
 public:
  using UserError::UserError;
};

class LedModel {
 public:
  static constexpr std::uint32_t kDefaultBackground = 0x004A424A;
  static constexpr std::uint32_t kDefaultLitColour = 0x0000FFF7;
  static constexpr std::uint32_t kDefaultUnlitColour = 0x00636363;
  static constexpr std::size_t kMaxTextLength = 1024;

  // Every setter first checks its value's range and throws LedValueError,
  // leaving the model as it was, for a value outside it. Within the range,
  // the display's own rules below refuse some values silently.
  Effect SetMarginX(std::int32_t v);
  Effect SetMarginY(std::int32_t v);
  Effect SetGap(std::int32_t v);
  Effect SetBackground(std::uint32_t v) { return Store(background_, v); }
  Effect SetLitColour(std::uint32_t v) { return Store(litColour_, v); }
  Effect SetUnlitColour(std::uint32_t v) { return Store(unlitColour_, v); }
  // Refused (ignored) at most 2 x Thickness.
  Effect SetCellWidth(std::int32_t v);
  // Refused below 4 x Thickness; an even value is stored raised by one.
  Effect SetCellHeight(std::int32_t v);
  // Refused when 2 x v is at least CellWidth, 4 x v exceeds CellHeight, or
  // CellHeight is even.
  Effect SetThickness(std::int32_t v);
  Effect SetText(const std::string& v);
  // The new size to apply at once when AutoSize is turned on and the width
  // differs from the text's width.
  std::optional<Size> SetAutoSize(bool v);

  std::int32_t MarginX() const { return marginX_; }
  std::int32_t MarginY() const { return marginY_; }
  std::int32_t CellWidth() const { return cellWidth_; }
  std::int32_t CellHeight() const { return cellHeight_; }
  std::int32_t Thickness() const { return thickness_; }
  std::int32_t Gap() const { return gap_; }
  const std::string& Text() const { return text_; }
  std::uint32_t Background() const { return background_; }
  std::uint32_t LitColour() const { return litColour_; }
  std::uint32_t UnlitColour() const { return unlitColour_; }
  bool AutoSize() const { return autoSize_; }

  // The control's size and visibility, kept by the control.
  Size size{47, 38};
  bool visible = true;

  // The render pass onto a surface of the control's size: background, then
  // each cell that reaches the surface. Draws nothing for a hidden control.
  void Render(PixelTarget& target, ColourResolver resolve = NoSystemColours) const;
  // The size the control takes at the end of a pass, when it changes.
  std::optional<Size> SizeAfterPass() const;
  // The text's width: n cells, n - 1 gaps and both margins.
  std::int32_t TextWidth() const;
  // The size AutoSize gives the control: the text's width, and the cell's
  // height with both margins.
  Size TextSize() const { return {TextWidth(), 2 * marginY_ + cellHeight_}; }

 private:
  template <class T>
  Effect Store(T& field, T v) {
    if (field == v) return Effect::None;
    field = v;
    return Effect::Repaint;
  }

  std::int32_t marginX_ = 4, marginY_ = 4, cellWidth_ = 17, cellHeight_ = 29, thickness_ = 3, gap_ = 4;
  std::string text_ = "00";
  std::uint32_t background_ = kDefaultBackground, litColour_ = kDefaultLitColour, unlitColour_ = kDefaultUnlitColour;
  bool autoSize_ = true;
};

// The cells of a text: the first "." is removed and marks the cell before it.
struct CellText {
  std::string cells;
  std::int32_t pointAfter;  // index of the cell whose decimal point lights, or -1
};
CellText SplitDecimalPoint(const std::string& text);

// Draws one character cell at (x0, y0): the unlit layer, then the lit one.
void DrawCell(PixelTarget& target, const LedModel& m, std::int32_t x0, std::int32_t y0, char c, bool point,
              ColourResolver resolve);

}  // namespace dc::led

// The LED digit display's model: its properties with their checks, the
// render pass into a pixel surface, and its automatic size. The Windows
// control (TLEDFontNum) holds one and turns its answers into drawing and
// resizing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "led/raster.h"

namespace dc::led {

struct Size {
  std::int32_t width, height;
  bool operator==(const Size&) const = default;
};

// Resolves a colour value with a nonzero top byte (a system colour) to
// 0x00BBGGRR before drawing; values with a zero top byte pass unchanged.
using ColourResolver = std::uint32_t (*)(std::uint32_t colour);
std::uint32_t NoSystemColours(std::uint32_t colour);

// What the control must do after an assignment.
enum class Effect { None, Repaint, DrawNow };

class LedModel {
 public:
  static constexpr std::uint32_t kDefaultBGColor = 0x004A424A;
  static constexpr std::uint32_t kDefaultLightColor = 0x0000FFF7;
  static constexpr std::uint32_t kDefaultDarkColor = 0x00636363;

  Effect SetOffSetX(std::int32_t v) { return Store(offSetX_, v); }
  Effect SetOffSetY(std::int32_t v) { return Store(offSetY_, v); }
  Effect SetSpace(std::int32_t v) { return Store(space_, v); }
  Effect SetBGColor(std::uint32_t v) { return Store(bgColor_, v); }
  Effect SetLightColor(std::uint32_t v) { return Store(lightColor_, v); }
  Effect SetDarkColor(std::uint32_t v) { return Store(darkColor_, v); }
  // Refused (ignored) at most 2 x Thick.
  Effect SetWordWidth(std::int32_t v);
  // Refused below 4 x Thick; an even value is stored raised by one.
  Effect SetWordHeight(std::int32_t v);
  // Refused when 2 x v is at least WordWidth, 4 x v exceeds WordHeight, or
  // WordHeight is even.
  Effect SetThick(std::int32_t v);
  Effect SetText(const std::string& v);
  // The new size to apply at once when AutoSize is turned on and the width
  // differs from the text's width.
  std::optional<Size> SetAutoSize(bool v);

  std::int32_t OffSetX() const { return offSetX_; }
  std::int32_t OffSetY() const { return offSetY_; }
  std::int32_t WordWidth() const { return wordWidth_; }
  std::int32_t WordHeight() const { return wordHeight_; }
  std::int32_t Thick() const { return thick_; }
  std::int32_t Space() const { return space_; }
  const std::string& Text() const { return text_; }
  std::uint32_t BGColor() const { return bgColor_; }
  std::uint32_t LightColor() const { return lightColor_; }
  std::uint32_t DarkColor() const { return darkColor_; }
  bool AutoSize() const { return autoSize_; }

  // The control's size and visibility, kept by the control.
  Size size{47, 38};
  bool visible = true;

  // The render pass onto a surface of the control's size: background, then
  // each cell. Draws nothing for a hidden control.
  void Render(PixelTarget& target, ColourResolver resolve = NoSystemColours) const;
  // The size the control takes at the end of a pass, when it changes.
  std::optional<Size> SizeAfterPass() const;
  // The text's width: n cells, n - 1 gaps and both margins.
  std::int32_t TextWidth() const;

 private:
  template <class T>
  Effect Store(T& field, T v) {
    if (field == v) return Effect::None;
    field = v;
    return Effect::Repaint;
  }

  std::int32_t offSetX_ = 4, offSetY_ = 4, wordWidth_ = 17, wordHeight_ = 29, thick_ = 3, space_ = 4;
  std::string text_ = "00";
  std::uint32_t bgColor_ = kDefaultBGColor, lightColor_ = kDefaultLightColor, darkColor_ = kDefaultDarkColor;
  bool autoSize_ = true;
};

// The cells of a text: the first "." is removed and marks the cell before it.
struct CellText {
  std::string cells;
  std::int32_t pointAfter;  // index of the cell whose decimal point lights, or -1
};
CellText SplitDecimalPoint(const std::string& text);

// Draws one character cell at (x0, y0): the dark layer, then the lit one.
void DrawCell(PixelTarget& target, const LedModel& m, std::int32_t x0, std::int32_t y0, char c, bool point,
              ColourResolver resolve);

}  // namespace dc::led

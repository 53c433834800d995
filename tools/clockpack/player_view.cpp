// The player's LED rules run through its own model, so clockpack cannot
// disagree with the clock about a single value.
#include "player_view.h"

#include "layout/led_setup.h"
#include "led/led_model.h"

namespace clockpack {
namespace {

// The model behind the clock's setup lines. Its setters throw for values no
// package can carry, leaving the model as it was, as a refusal does; the
// player's package checks refuse such a package before it gets this far.
struct LenientLed {
  dc::led::LedModel model;
  template <class Set>
  void Try(Set set) {
    try {
      set();
    } catch (const dc::led::LedValueError&) {
    }
  }
  void SetCellWidth(std::int32_t v) { Try([&] { model.SetCellWidth(v); }); }
  void SetCellHeight(std::int32_t v) { Try([&] { model.SetCellHeight(v); }); }
  void SetGap(std::int32_t v) { Try([&] { model.SetGap(v); }); }
  void SetThickness(std::int32_t v) { Try([&] { model.SetThickness(v); }); }
  void SetMarginX(std::int32_t v) { Try([&] { model.SetMarginX(v); }); }
  void SetMarginY(std::int32_t v) { Try([&] { model.SetMarginY(v); }); }
  void SetBackground(std::uint32_t v) { model.SetBackground(v); }
  void SetUnlitColour(std::uint32_t v) { model.SetUnlitColour(v); }
  void SetLitColour(std::uint32_t v) { model.SetLitColour(v); }
};

}  // namespace

LedAsShown LedAsThePlayerShowsIt(const dc::DisplaySettings& d) {
  LenientLed led;
  dc::ApplyLedDesign(led);
  dc::ApplyLedSettings(led, d);
  const dc::led::LedModel& m = led.model;
  return {m.Thickness(), m.CellWidth(), m.CellHeight(), m.Gap(), m.MarginX(), m.MarginY()};
}

BlockSize DigitBlock(const LedAsShown& led, int cells) {
  return {std::int64_t{cells} * led.wordWidth + std::int64_t{cells - 1} * led.space + 2 * std::int64_t{led.offsetX},
          2 * std::int64_t{led.offsetY} + led.wordHeight};
}

}  // namespace clockpack

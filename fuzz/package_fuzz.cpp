// The player's package start-up on any bytes: the trailer, the package
// reader and its damage checks (the face bitmap's headers among them), then
// everything that uses the records of a package the checks let through: the
// LED display's set-up and a render pass, the popup's configuration, the
// window's layout at 100 and 200 % and the sound file's name.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "layout/led_setup.h"
#include "app/package_startup.h"
#include "app/popup_style.h"
#include "layout/clock_layout.h"
#include "base/ansi_text.h"
#include "base/fixed_text.h"
#include "led/led_model.h"
#include "package/clock_package.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)dc::TrailerNameOf(bytes);
  dc::ClockPackage package;
  try {
    package.LoadFromBytes(bytes);
  } catch (const dc::PackageError&) {
    return 0;
  }
  if (!dc::FindPackageDamage(package).empty()) return 0;

  // What the clock window does with a package the checks let through; the
  // checks keep every value in the LED model's ranges.
  const dc::DisplaySettings d = package.Display();
  dc::led::LedModel led;
  if (!d.HideLed) {
    dc::ApplyLedDesign(led);
    dc::ApplyLedSettings(led, d);
    led.SetText("12:34:56 PM");
    // The pass on a surface of the display's own size, capped as a screen is.
    const dc::led::Size size{std::min(led.TextWidth(), 2048), std::min(2 * led.MarginY() + led.CellHeight(), 2048)};
    if (size.width > 0 && size.height > 0) {
      std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.width) * size.height);
      dc::PixelTarget target{pixels.data(), size.width, size.height, size.width};
      led.Render(target);
    }
  }
  (void)dc::PopupConfigOf(package.Popup());
  (void)dc::UnknownPopupStyleWarning(package.Popup());
  // The window's layout as its start-up makes it: a hidden display's own
  // place is never used, and so never checked.
  const dc::ClockLayout layout = dc::LayOutClock(d, package.IsFlashFace(), led.size.width, led.size.height);
  (void)dc::ScaleClockLayout(layout, 192, 2 * led.size.width, 2 * led.size.height);
  (void)dc::CheckSoundFileName(dc::AnsiToUtf8(dc::ReadFixedText(package.Popup().SoundName)),
                               dc::OwnFileNames("DeskClock.exe", "clock.kvx"));
  return 0;
}

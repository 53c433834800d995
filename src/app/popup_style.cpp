// Popup settings to popup configuration.
#include "app/popup_style.h"

#include <algorithm>

#include "base/ansi_text.h"
#include "base/geometry.h"
#include "base/fixed_text.h"
#include "notify/popup_effects.h"

namespace dc {
namespace {

bool KnownStyle(std::uint8_t style) { return style <= static_cast<std::uint8_t>(notify::PopupStyle::CentreGrow); }

}  // namespace

notify::FontStyle FontStyleOf(const FontRecord& r) {
  notify::FontStyle f;
  f.charset = r.Charset;
  f.colour = r.Color;
  // Any size a package holds; the height stays within what a screen shows.
  const std::int64_t pixels = std::clamp<std::int64_t>(
      (std::int64_t{r.Size} * 96 + (r.Size < 0 ? -36 : 36)) / 72, -kMaxPixels, kMaxPixels);
  f.height = static_cast<std::int32_t>(-pixels);
  f.points = r.Size;
  f.face = AnsiToUtf8(ReadFixedText(r.Name));
  f.pitch = r.Pitch;
  f.bold = (r.Style & 1) != 0;
  f.italic = (r.Style & 2) != 0;
  f.underline = (r.Style & 4) != 0;
  f.strikeOut = (r.Style & 8) != 0;
  return f;
}

notify::PopupConfig PopupConfigOf(const PopupSettings& s) {
  notify::PopupConfig c;
  c.style = KnownStyle(s.Style) ? static_cast<notify::PopupStyle>(s.Style) : notify::PopupStyle::Fade;
  c.colours.WindowFrom = s.WindowFrom;
  c.colours.WindowTo = s.WindowTo;
  c.colours.CaptionFrom = s.CaptionFrom;
  c.colours.CaptionTo = s.CaptionTo;
  c.font = FontStyleOf(s.Font);
  c.headerFont = FontStyleOf(s.HeaderFont);
  c.displayDuration = notify::DisplayDurationOf(s.Timed != 0, s.DisplaySeconds);
  c.location.Position = static_cast<notify::PopupPosition>(s.Position);
  c.location.Left = s.Left;
  c.location.Top = s.Top;
  c.location.Width = s.Width;
  c.location.Height = s.Height;
  return c;
}

std::string UnknownPopupStyleWarning(const PopupSettings& s) {
  if (KnownStyle(s.Style)) return {};
  return "The clock package's alert style " + std::to_string(s.Style) +
         " is not known (0 fades, 1 grows from the centre); the alarm popups fade.";
}

}  // namespace dc

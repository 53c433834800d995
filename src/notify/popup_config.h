// How an alarm popup looks and behaves: its show and hide effect, colours,
// fonts, how long it stays, and where it shows. Portable values; the
// Windows popup applies them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dc::notify {

enum class PopupStyle : std::uint8_t {
  Fade = 0,        // the opacity rises and falls
  CentreGrow = 1,  // the visible part grows from the centre and shrinks back
};

// Where a popup shows; a value above ActiveWindowCentre is placed at the
// location's left and top, as Custom is, and never moved by the stack.
enum class PopupPosition : std::uint8_t {
  TopLeft, TopRight, BottomLeft, BottomRight, Custom,
  DesktopCentre, MainWindowCentre, OwnerWindowCentre, ActiveWindowCentre
};

// Colours 0x00BBGGRR; a nonzero top byte names a system colour.
struct PopupColours {
  std::uint32_t WindowFrom = 0xFFE7CE, CaptionTo = 0x944110, WindowTo = 0xE7A67B, Frame = 0x943000,
                CaptionFrom = 0xD68652;
};

struct PopupLocation {
  std::int32_t Top = 0, Left = 0;
  PopupPosition Position = PopupPosition::BottomRight;
  bool AlwaysResetPosition = true;
  std::int32_t Height = 0, Width = 0;  // 0: 76 and 329
};

inline constexpr std::int32_t kDefaultPopupWidth = 329, kDefaultPopupHeight = 76;

// A font described portably; the popup makes the platform's font of it.
struct FontStyle {
  std::uint8_t charset = 1;    // the platform's character-set code
  std::uint32_t colour = 0;    // 0x00BBGGRR
  std::int32_t height = 0;     // pixels at 100 %; negative: the character height
  std::int32_t points = 0;     // the size in points, when the height came from one
  std::string face;            // UTF-8
  std::uint8_t pitch = 0;      // 0 default, 1 variable, 2 fixed
  bool bold = false, italic = false, underline = false, strikeOut = false;
  bool operator==(const FontStyle&) const = default;
};

struct PopupConfig {
  PopupStyle style = PopupStyle::Fade;
  PopupColours colours;
  std::optional<FontStyle> font, headerFont;  // none: the system's message font
  std::uint32_t displayDuration = 1400;      // ms; 0 stays until closed
  PopupLocation location;
};

}  // namespace dc::notify

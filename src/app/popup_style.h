// How a fired alarm's popup looks, taken from the package's popup settings:
// the style (an unknown one fades), the four gradient colours, the two
// fonts, the display time and the place.
#pragma once

#include <string>

#include "notify/popup_config.h"
#include "package/package_records.h"

namespace dc {

notify::PopupConfig PopupConfigOf(const PopupSettings& settings);

// A package font: character set, colour, typeface, pitch, style, its size
// in points, and the height that size gives at 96 dots per inch.
notify::FontStyle FontStyleOf(const FontRecord& record);

// What to tell the user once about an unknown popup style, or nothing.
std::string UnknownPopupStyleWarning(const PopupSettings& settings);

}  // namespace dc

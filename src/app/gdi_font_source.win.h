// The system's fonts for the Flash face's text in device fonts: glyph
// outlines and measures from GDI, unhinted, at swf::kDeviceUnitsPerEm
// pixels to the em. A name the system has no font for is drawn in Arial;
// whatever GDI cannot give is left to the player's own font.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "swf/text/device_fonts.h"
#include "ui/handles.win.h"

namespace dc {

class GdiFontSource final : public swf::DeviceFontSource {
 public:
  // A source whose memory device context could not be made answers
  // nothing: the player's fallback font draws.
  GdiFontSource();

  std::optional<swf::DeviceFontMetrics> Metrics(std::string_view name, bool bold, bool italic) override;
  std::optional<swf::Glyph> GlyphOf(std::string_view name, bool bold, bool italic, char32_t code) override;

  // The face GDI chose for a movie's name and style ("" when none).
  std::wstring FaceOf(std::string_view name, bool bold, bool italic);

 private:
  // The font for a movie's name and style, made once; null when GDI gave
  // none.
  HFONT FontFor(std::string_view name, bool bold, bool italic);
  // The face GDI chose for `font` ("" when it cannot say).
  std::wstring Face(HFONT font);

  ui::UniqueMemoryDC dc_;
  std::map<std::tuple<std::string, bool, bool>, ui::UniqueFont> fonts_;
};

}  // namespace dc

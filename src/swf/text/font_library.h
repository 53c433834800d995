// The fonts a movie embeds, found as a text field's format names them, and
// the measures text is laid out by: an embedded font's own, or, for a
// device font, the system's font (when the player has device fonts) or
// our fallback font's, measured as Flash measured system text (whole
// pixels).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "swf/model/text.h"
#include "swf/text/device_fonts.h"

namespace dc::swf {

struct Movie;

class FontLibrary {
 public:
  FontLibrary() = default;
  explicit FontLibrary(const Movie& movie);

  // The embedded font of that name (compared without case) with outlines:
  // the one of the same style, else any of the name; null when none.
  const Font* Find(std::string_view name, bool bold, bool italic) const;
  // The font a field that embeds its fonts draws in: Find's, else one with
  // no glyphs and no height, so the field shows and measures nothing.
  const Font* FindForEmbedding(std::string_view name, bool bold, bool italic) const;
  // The character id of a font this library holds; none for another.
  std::optional<std::uint16_t> IdOf(const Font* font) const;
  // The index of `code`'s glyph in `font` (one this library holds, or any
  // other font by a linear search), or -1.
  std::int32_t GlyphIndex(const Font& font, char32_t code) const;

  // The system's fonts for device text; null: the fallback font measures it.
  void SetDeviceFonts(DeviceFonts* device) { device_ = device; }
  DeviceFonts* Device() const { return device_; }

 private:
  struct Entry {
    const Font* font;
    std::uint16_t id;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> codes;  // sorted by code
  };
  std::unordered_map<std::string, std::vector<std::size_t>> byName_;  // lower-case name to entries
  std::unordered_map<const Font*, std::size_t> byFont_;
  std::vector<Entry> entries_;
  DeviceFonts* device_ = nullptr;
};

// A font at a size, as text is measured in it (twips).
class FontFace {
 public:
  // `font` null: a device font, the system's font of `deviceName` and
  // style when the library has device fonts and the system has it, else
  // measured with the fallback font.
  FontFace(const FontLibrary& library, const Font* font, double sizePx, std::string_view deviceName = {},
           bool bold = false, bool italic = false);

  bool Device() const { return font_ == nullptr; }
  const Font* Embedded() const { return font_; }
  std::int32_t Ascent() const { return ascent_; }
  std::int32_t Descent() const { return descent_; }
  // How far the pen moves past `code`; a character the embedded font
  // lacks moves it not at all, one the system's font lacks as far as the
  // fallback font's.
  std::int32_t Advance(char32_t code) const;
  // What is drawn for `code`: the outline (null when nothing is, as for a
  // character the embedded font lacks, which has no advance either) and
  // its scale from font units to twips; a device font's glyph from the
  // system, held by `device`, else the fallback font's.
  struct Drawn {
    const Shape* shape = nullptr;
    double scale = 0;
    std::shared_ptr<const Glyph> device;
  };
  Drawn Draw(char32_t code) const;

 private:
  const FontLibrary& library_;
  const Font* font_;
  const DeviceFonts::Face* device_ = nullptr;
  double sizePx_;
  double scale_ = 0;  // font units to twips
  std::int32_t ascent_ = 0, descent_ = 0;
};

}  // namespace dc::swf

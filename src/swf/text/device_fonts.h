// Device fonts: text a movie sets in a font it does not embed (`_sans`,
// `Arial`...) drawn in the system's own font of that name. The player asks
// a DeviceFontSource, which the platform hands it (the clock's uses the
// system's font rasterizer); without one, or for a font or a glyph the
// system lacks, the text falls back to our own font. DeviceFonts keeps
// what the source answered, its glyphs bounded in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "swf/model/text.h"

namespace dc::swf {

// Device glyphs come at this many units to the em.
inline constexpr double kDeviceUnitsPerEm = 1024;

// What the glyphs of device fonts may hold in memory: near two thousand
// glyphs of a text face (its ASCII ones take about 1.1 KB each), far more
// than a clock shows.
inline constexpr std::size_t kMaxDeviceGlyphBytes = 2 * 1024 * 1024;
// Fonts asked for, each name and style once; past that, text in a new
// one falls back (a script could name fonts without end).
inline constexpr std::size_t kMaxDeviceFaces = 32;

// The system font that stands for a name in a movie: Flash's generic
// names to Windows' fonts (`_sans` Arial, `_serif` Times New Roman,
// `_typewriter` Courier New), other names as they are.
std::string_view SystemFontName(std::string_view name);

struct DeviceFontMetrics {
  double ascent = 0, descent = 0;  // kDeviceUnitsPerEm to the em
};

class DeviceFontSource {
 public:
  virtual ~DeviceFontSource() = default;
  // The font of a movie's name and style; nullopt when the system has
  // none to stand for it.
  virtual std::optional<DeviceFontMetrics> Metrics(std::string_view name, bool bold, bool italic) = 0;
  // `code`'s glyph in that font: its outline (kDeviceUnitsPerEm to the
  // em, y down from the baseline, one solid fill at index 0) and its
  // advance; nullopt when the font lacks the character or the system
  // failed to give it.
  virtual std::optional<Glyph> GlyphOf(std::string_view name, bool bold, bool italic, char32_t code) = 0;
};

class DeviceFonts {
 public:
  struct Face {
    std::string name;
    bool bold = false, italic = false;
    DeviceFontMetrics metrics;
  };

  explicit DeviceFonts(std::shared_ptr<DeviceFontSource> source, std::size_t maxGlyphBytes = kMaxDeviceGlyphBytes);

  // The font for text in `name` and that style; null when the system has
  // none (the fallback font then draws).
  const Face* FaceFor(std::string_view name, bool bold, bool italic);
  // `code`'s glyph in `face`; null when the font lacks it. The glyph lives
  // as long as one holds it, also once the cache let it go.
  std::shared_ptr<const Glyph> GlyphOf(const Face& face, char32_t code);

  std::size_t GlyphBytes() const { return glyphBytes_; }
  // Glyphs asked of the source since the last call: the work the cache
  // did not save, which the renderer charges to the frame.
  std::uint64_t TakeFetched() { return std::exchange(fetched_, 0); }

 private:
  using Key = std::pair<const Face*, char32_t>;
  struct Cached {
    std::shared_ptr<const Glyph> glyph;  // null: the font lacks it
    std::size_t bytes = 0;
    std::list<Key>::iterator use;
  };
  void Trim();

  std::shared_ptr<DeviceFontSource> source_;
  std::size_t maxGlyphBytes_;
  // Every font asked for, also those the system lacks (null), by name and
  // style; faces never move once made.
  std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<Face>> faces_;
  std::map<Key, Cached> glyphs_;
  std::list<Key> uses_;  // most recent first
  std::size_t glyphBytes_ = 0;
  std::uint64_t fetched_ = 0;
};

}  // namespace dc::swf

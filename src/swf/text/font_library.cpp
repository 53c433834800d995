// Embedded fonts by name, and text measured in a font at a size.
#include "swf/text/font_library.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/model/movie.h"
#include "swf/text/fallback_font.h"

namespace dc::swf {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Measures in twips are whole: Flash drops what is left of a twip.
std::int32_t WholeTwips(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::floor(std::clamp(v, -1e9, 1e9) + 1e-7));
}

// A device font is measured by the system in whole pixels.
std::int32_t WholePixels(double px) {
  if (!std::isfinite(px)) return 0;
  return static_cast<std::int32_t>(std::lround(std::clamp(px, -1e7, 1e7))) * 20;
}

}  // namespace

FontLibrary::FontLibrary(const Movie& movie) {
  // By id, so that of fonts of one name and style the first defined wins.
  std::vector<std::pair<std::uint16_t, const Font*>> fonts;
  for (const auto& [id, character] : movie.characters)
    if (const auto* font = std::get_if<Font>(character.get())) fonts.emplace_back(id, font);
  std::sort(fonts.begin(), fonts.end());
  for (const auto& [id, font] : fonts) {
    if (font == nullptr || !font->hasOutlines || font->glyphs.empty() || !(font->unitsPerEm > 0)) continue;
    Entry entry{font, id, {}};
    entry.codes.reserve(font->glyphs.size());
    for (std::size_t i = 0; i < font->glyphs.size(); ++i)
      entry.codes.emplace_back(font->glyphs[i].code, static_cast<std::uint32_t>(i));
    std::sort(entry.codes.begin(), entry.codes.end());
    byFont_[font] = entries_.size();
    byName_[Lower(font->name)].push_back(entries_.size());
    entries_.push_back(std::move(entry));
  }
}

const Font* FontLibrary::Find(std::string_view name, bool bold, bool italic) const {
  const auto it = byName_.find(Lower(name));
  if (it == byName_.end()) return nullptr;
  for (std::size_t i : it->second) {
    const Font* f = entries_[i].font;
    if (f->bold == bold && f->italic == italic) return f;
  }
  return entries_[it->second.front()].font;
}

const Font* FontLibrary::FindForEmbedding(std::string_view name, bool bold, bool italic) const {
  static const Font kNoFont = [] {
    Font none;
    none.hasLayout = true;
    return none;
  }();
  const Font* found = Find(name, bold, italic);
  return found ? found : &kNoFont;
}

std::optional<std::uint16_t> FontLibrary::IdOf(const Font* font) const {
  const auto it = byFont_.find(font);
  if (it == byFont_.end()) return std::nullopt;
  return entries_[it->second].id;
}

std::int32_t FontLibrary::GlyphIndex(const Font& font, char32_t code) const {
  if (code > 0xFFFF) return -1;
  const auto it = byFont_.find(&font);
  if (it == byFont_.end()) {
    for (std::size_t i = 0; i < font.glyphs.size(); ++i)
      if (font.glyphs[i].code == code) return static_cast<std::int32_t>(i);
    return -1;
  }
  const auto& codes = entries_[it->second].codes;
  const auto at = std::lower_bound(codes.begin(), codes.end(), std::pair{static_cast<std::uint16_t>(code), 0u});
  return at != codes.end() && at->first == code ? static_cast<std::int32_t>(at->second) : -1;
}

FontFace::FontFace(const FontLibrary& library, const Font* font, double sizePx, std::string_view deviceName,
                   bool bold, bool italic)
    : library_(library), font_(font), sizePx_(std::isfinite(sizePx) ? std::clamp(sizePx, 0.0, 10000.0) : 0) {
  if (font_ == nullptr && library_.Device() != nullptr) device_ = library_.Device()->FaceFor(deviceName, bold, italic);
  if (device_ != nullptr) {
    ascent_ = WholePixels(device_->metrics.ascent * sizePx_ / kDeviceUnitsPerEm);
    descent_ = WholePixels(device_->metrics.descent * sizePx_ / kDeviceUnitsPerEm);
    return;
  }
  if (font_ != nullptr) {
    scale_ = sizePx_ * 20 / font_->unitsPerEm;
    if (font_->hasLayout) {
      ascent_ = WholeTwips(font_->ascent * scale_);
      descent_ = WholeTwips(font_->descent * scale_);
      return;
    }
  }
  // A device font, or an embedded one without its measures: the fallback
  // font's proportions, in whole pixels as the system gives them.
  const Font& fallback = FallbackFont();
  ascent_ = WholePixels(fallback.ascent * sizePx_ / fallback.unitsPerEm);
  descent_ = WholePixels(fallback.descent * sizePx_ / fallback.unitsPerEm);
}

std::int32_t FontFace::Advance(char32_t code) const {
  if (font_ != nullptr) {
    const std::int32_t index = library_.GlyphIndex(*font_, code);
    if (index < 0) return 0;
    const Glyph& glyph = font_->glyphs[static_cast<std::size_t>(index)];
    if (font_->hasLayout) return WholeTwips(glyph.advance * scale_);
    // No measures: the outline's right edge.
    return WholeTwips(glyph.shape.bounds.xMax * scale_);
  }
  if (device_ != nullptr) {
    if (const std::shared_ptr<const Glyph> glyph = library_.Device()->GlyphOf(*device_, code))
      return WholePixels(glyph->advance * sizePx_ / kDeviceUnitsPerEm);
  }
  const Font& fallback = FallbackFont();
  const Glyph& glyph = fallback.glyphs[FallbackGlyphIndex(code)];
  return WholePixels(glyph.advance * sizePx_ / fallback.unitsPerEm);
}

FontFace::Drawn FontFace::Draw(char32_t code) const {
  const auto drawable = [](const Shape& shape) { return shape.paths.empty() ? nullptr : &shape; };
  if (font_ != nullptr) {
    const std::int32_t index = library_.GlyphIndex(*font_, code);
    if (index < 0) return {};
    return {drawable(font_->glyphs[static_cast<std::size_t>(index)].shape), scale_, nullptr};
  }
  if (device_ != nullptr) {
    if (std::shared_ptr<const Glyph> glyph = library_.Device()->GlyphOf(*device_, code)) {
      const Shape* shape = drawable(glyph->shape);
      return {shape, sizePx_ * 20 / kDeviceUnitsPerEm, std::move(glyph)};
    }
  }
  const Font& fallback = FallbackFont();
  return {drawable(fallback.glyphs[FallbackGlyphIndex(code)].shape), sizePx_ * 20 / fallback.unitsPerEm, nullptr};
}

}  // namespace dc::swf

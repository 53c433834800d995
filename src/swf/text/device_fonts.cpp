// The device fonts' cache.
#include "swf/text/device_fonts.h"

#include <utility>

namespace dc::swf {
namespace {

// What a glyph holds in memory, near enough to bound the cache.
std::size_t BytesOf(const Glyph& glyph) {
  std::size_t bytes = sizeof(Glyph) + glyph.shape.fills.size() * sizeof(FillStyle);
  for (const Path& path : glyph.shape.paths) bytes += sizeof(Path) + path.edges.size() * sizeof(Edge);
  return bytes;
}

}  // namespace

std::string_view SystemFontName(std::string_view name) {
  if (name == "_sans") return "Arial";
  if (name == "_serif") return "Times New Roman";
  if (name == "_typewriter") return "Courier New";
  return name;
}

DeviceFonts::DeviceFonts(std::shared_ptr<DeviceFontSource> source, std::size_t maxGlyphBytes)
    : source_(std::move(source)), maxGlyphBytes_(maxGlyphBytes) {}

const DeviceFonts::Face* DeviceFonts::FaceFor(std::string_view name, bool bold, bool italic) {
  if (!source_) return nullptr;
  auto key = std::make_tuple(std::string(name), bold, italic);
  if (const auto it = faces_.find(key); it != faces_.end()) return it->second.get();
  if (faces_.size() >= kMaxDeviceFaces) return nullptr;
  std::unique_ptr<Face> face;
  if (const std::optional<DeviceFontMetrics> metrics = source_->Metrics(name, bold, italic))
    face = std::make_unique<Face>(Face{std::string(name), bold, italic, *metrics});
  return faces_.emplace(std::move(key), std::move(face)).first->second.get();
}

std::shared_ptr<const Glyph> DeviceFonts::GlyphOf(const Face& face, char32_t code) {
  const Key key{&face, code};
  if (const auto it = glyphs_.find(key); it != glyphs_.end()) {
    uses_.splice(uses_.begin(), uses_, it->second.use);
    return it->second.glyph;
  }
  std::shared_ptr<const Glyph> glyph;
  ++fetched_;
  if (std::optional<Glyph> got = source_->GlyphOf(face.name, face.bold, face.italic, code))
    glyph = std::make_shared<const Glyph>(std::move(*got));
  const std::size_t bytes = glyph ? BytesOf(*glyph) : sizeof(Cached);
  uses_.push_front(key);
  glyphs_.emplace(key, Cached{glyph, bytes, uses_.begin()});
  glyphBytes_ += bytes;
  Trim();
  return glyph;
}

void DeviceFonts::Trim() {
  // The glyph just added stays, even when it alone is past the bound.
  while (glyphBytes_ > maxGlyphBytes_ && uses_.size() > 1) {
    const auto it = glyphs_.find(uses_.back());
    glyphBytes_ -= it->second.bytes;
    glyphs_.erase(it);
    uses_.pop_back();
  }
}

}  // namespace dc::swf

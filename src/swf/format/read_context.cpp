// Warnings once each, and the movie's budgets.
#include "swf/format/read_context.h"

#include <memory>

#include "swf/format/swf_strings.h"

namespace dc::swf {

void ReadContext::Warn(const std::string& text) {
  if (warned_.insert(text).second) movie.warnings.push_back(text);
}

void ReadContext::Spend(std::uint64_t bytes) {
  spent_ += bytes;
  if (spent_ > limits.maxDefinitionBytes) {
    throw OverLimit("The movie holds more than the " + std::to_string(limits.maxDefinitionBytes >> 20) +
                    " MB of shapes, texts and frames a clock face may have; the rest is left out.");
  }
}

bool ReadContext::TakePixels(std::uint64_t pixels) {
  if (pixels > limits.maxBitmapPixels - std::min(pixels_, limits.maxBitmapPixels)) {
    Warn("Bitmaps beyond " + std::to_string(limits.maxBitmapPixels) +
         " pixels in all are left out: more than a clock face may have.");
    return false;
  }
  pixels_ += pixels;
  return true;
}

Character& ReadContext::Define(std::uint16_t id, Character&& character) {
  auto kept = std::make_shared<Character>(std::move(character));
  Character& held = *kept;
  if (auto* font = std::get_if<Font>(&held)) fonts[id] = font;
  if (auto* field = std::get_if<EditText>(&held)) editTexts[id] = field;
  movie.characters.emplace(id, std::move(kept));  // the first definition stays
  return held;
}

ActionBytes ReadContext::Actions(std::span<const std::uint8_t> bytes) {
  Spend(bytes.size());
  if (!bytes.empty()) movie.hasAvm1Scripts = true;
  return std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
}

std::string ReadContext::GlyphLimitText() const {
  return "Fonts and texts of more than " + std::to_string(limits.maxGlyphs) + " glyphs are left out.";
}

std::string ReadContext::Text(std::span<const std::uint8_t> raw) const { return TextFromMovie(raw, version); }

}  // namespace dc::swf

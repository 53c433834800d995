// What reading one movie carries from tag to tag: the version, the limits
// and what is left of them, the warnings already given, the JPEG tables and
// the fonts that later tags complete.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "swf/limits.h"
#include "swf/model/movie.h"

namespace dc::swf {

// Reading the current object would pass a limit; its text is the warning.
class OverLimit : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ReadContext {
 public:
  ReadContext(Movie& movie, const Limits& limits) : movie(movie), limits(limits), version(movie.version) {}

  // Adds a warning unless the same one was given already.
  void Warn(const std::string& text);
  // Counts memory the read movie keeps; throws OverLimit past
  // Limits::maxDefinitionBytes.
  void Spend(std::uint64_t bytes);
  // Counts a bitmap's pixels against the movie's limit before it is
  // decoded; false, with a warning, when they do not fit.
  bool TakePixels(std::uint64_t pixels);
  // Keeps a character; the caller has left out a second definition of an
  // id before reading it.
  Character& Define(std::uint16_t id, Character&& character);
  std::string Text(std::span<const std::uint8_t> raw) const;
  // An action block kept for the scripts; any byte in it marks the movie
  // as scripted.
  ActionBytes Actions(std::span<const std::uint8_t> bytes);
  // The warning for glyphs past Limits::maxGlyphs, to throw as OverLimit.
  std::string GlyphLimitText() const;

  Movie& movie;
  const Limits& limits;
  const std::uint8_t version;
  std::span<const std::uint8_t> jpegTables;        // the first JPEGTables tag, in the file's data
  std::unordered_map<std::uint16_t, Font*> fonts;  // DefineFontInfo completes these
  std::unordered_map<std::uint16_t, EditText*> editTexts;  // CSMTextSettings completes these
  std::unordered_map<std::uint16_t, Button*> plainButtons;  // DefineButton's: DefineButtonCxform colours these

 private:
  std::set<std::string> warned_;
  std::uint64_t spent_ = 0;
  std::uint64_t pixels_ = 0;
};

}  // namespace dc::swf

// What the reader's tests share: reading a written movie, finding its
// characters, and saying its warnings.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "swf/format/reader.h"
#include "testkit/swf_writer.h"

namespace dc::swf::test {

// The character `id` as a T, or null (with a test failure) when the movie
// lacks it or it is of another kind.
template <class T>
const T* CharacterOf(const Movie& movie, std::uint16_t id) {
  const Character* c = movie.Find(id);
  const T* t = c ? std::get_if<T>(c) : nullptr;
  if (!t) ADD_FAILURE() << "character " << id << " is missing or of another kind";
  return t;
}

inline std::string Warnings(const Movie& movie) {
  std::string all;
  for (const std::string& w : movie.warnings) all += (all.empty() ? "" : " | ") + w;
  return all;
}

inline bool Warned(const Movie& movie, std::string_view part) {
  return Warnings(movie).find(part) != std::string::npos;
}

// A Flash 8 movie of one frame holding `tags`.
inline Movie ReadTags(const Bytes& tags, std::uint8_t version = 8, const Limits& limits = kDefaultLimits) {
  return ReadMovie(Fws(Header{version}, tags), limits);
}

// Placements compared field by field, clip actions by their bytes.
inline bool SamePlacement(const PlaceObject& a, const PlaceObject& b) {
  const auto fields = [](const PlaceObject& p) {
    return std::tie(p.depth, p.move, p.characterId, p.matrix, p.colorTransform, p.ratio, p.name, p.clipDepth,
                    p.className, p.visible);
  };
  if (fields(a) != fields(b) || a.clipActions.size() != b.clipActions.size()) return false;
  for (std::size_t i = 0; i < a.clipActions.size(); ++i) {
    const ClipAction &x = a.clipActions[i], &y = b.clipActions[i];
    if (x.events != y.events || x.keyCode != y.keyCode || *x.actions != *y.actions) return false;
  }
  return true;
}

inline std::span<const std::uint8_t> AsBytes(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace dc::swf::test

// The mistakes a designer makes that the player would pass over without a
// word: each becomes a warning naming the manifest field, what the player
// will do, and how to fix it. Warnings do not stop a build.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/package_records.h"
#include "picture.h"

namespace clockpack {

struct DesignFacts {
  dc::PackageHeader header{};
  dc::DisplaySettings display{};
  dc::PopupSettings popup{};
  bool picture = false;  // the face is a picture (not a movie)
  int pictureWidth = 0, pictureHeight = 0;
  FaceStats stats;
  std::span<const std::uint8_t> sound;  // empty: no sound
  std::uint64_t packageBytes = 0;
};

inline constexpr std::uint64_t kWarnPictureMegapixels = 4;
inline constexpr std::uint64_t kWarnPackageBytes = 16u << 20;

std::vector<std::string> DesignWarnings(const DesignFacts& facts);

}  // namespace clockpack

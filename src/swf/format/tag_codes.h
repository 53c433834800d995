// The tags the reader reads, by code, and what each is to it: a timeline's
// own, the movie's, or a definition, with what a warning calls it when it
// is damaged.
#pragma once

#include <cstdint>

namespace dc::swf {

enum TagCode : std::uint16_t {
  kShowFrame = 1,
  kDefineShape = 2,
  kPlaceObject = 4,
  kRemoveObject = 5,
  kDefineBits = 6,
  kDefineButton = 7,
  kJpegTables = 8,
  kSetBackgroundColor = 9,
  kDefineFont = 10,
  kDefineText = 11,
  kDoAction = 12,
  kDefineFontInfo = 13,
  kDefineSound = 14,
  kDefineBitsLossless = 20,
  kDefineBitsJpeg2 = 21,
  kDefineShape2 = 22,
  kDefineButtonCxform = 23,
  kPlaceObject2 = 26,
  kRemoveObject2 = 28,
  kDefineShape3 = 32,
  kDefineText2 = 33,
  kDefineButton2 = 34,
  kDefineBitsJpeg3 = 35,
  kDefineBitsLossless2 = 36,
  kDefineEditText = 37,
  kDefineSprite = 39,
  kFrameLabel = 43,
  kDefineMorphShape = 46,
  kDefineFont2 = 48,
  kExportAssets = 56,
  kImportAssets = 57,
  kDoInitAction = 59,
  kDefineVideoStream = 60,
  kDefineFontInfo2 = 62,
  kFileAttributes = 69,
  kPlaceObject3 = 70,
  kImportAssets2 = 71,
  kDoAbcDefine = 72,
  kCsmTextSettings = 74,
  kDefineFont3 = 75,
  kSymbolClass = 76,
  kDoAbc = 82,
  kDefineShape4 = 83,
  kDefineMorphShape2 = 84,
  kDefineBinaryData = 87,
  kDefineBitsJpeg4 = 90,
  kDefineFont4 = 91,
};

enum class TagRole : std::uint8_t {
  Frame,       // a timeline's own: the movie's or a sprite's
  Movie,       // the movie's settings; a sprite's copy means nothing
  Definition,  // adds to the movie's definitions: never inside a sprite
  Character,   // a definition of a character, its id first
};

struct TagKind {
  std::uint16_t code;
  TagRole role;
  const char* damaged;  // "Damaged ... are left out."
};

// Nothing for a tag the reader passes over: sound streams, and what it
// does not know.
const TagKind* KindOfTag(std::uint16_t code);

}  // namespace dc::swf

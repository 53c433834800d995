// The reader's table of tags.
#include "swf/format/tag_codes.h"

#include <algorithm>
#include <iterator>

namespace dc::swf {
namespace {

constexpr TagKind kKinds[] = {
    {kShowFrame, TagRole::Frame, "frames"},
    {kPlaceObject, TagRole::Frame, "placements of objects"},
    {kPlaceObject2, TagRole::Frame, "placements of objects"},
    {kPlaceObject3, TagRole::Frame, "placements of objects"},
    {kRemoveObject, TagRole::Frame, "placements of objects"},
    {kRemoveObject2, TagRole::Frame, "placements of objects"},
    {kDoAction, TagRole::Frame, "scripts"},
    {kFrameLabel, TagRole::Frame, "frame labels"},
    {kSetBackgroundColor, TagRole::Movie, "background colours"},
    {kFileAttributes, TagRole::Movie, "movie attributes"},
    {kDoAbcDefine, TagRole::Movie, "scripts"},
    {kDoAbc, TagRole::Movie, "scripts"},
    {kSymbolClass, TagRole::Movie, "scripts"},
    {kDoInitAction, TagRole::Definition, "scripts"},
    {kExportAssets, TagRole::Definition, "exported names"},
    {kImportAssets, TagRole::Definition, "imports"},
    {kImportAssets2, TagRole::Definition, "imports"},
    {kJpegTables, TagRole::Definition, "bitmaps"},
    {kDefineFontInfo, TagRole::Definition, "fonts"},
    {kDefineSound, TagRole::Definition, "sounds"},
    {kDefineFontInfo2, TagRole::Definition, "fonts"},
    {kCsmTextSettings, TagRole::Definition, "text settings"},
    {kDefineButtonCxform, TagRole::Definition, "button colours"},
    {kDefineMorphShape, TagRole::Character, "shape tweens"},
    {kDefineMorphShape2, TagRole::Character, "shape tweens"},
    {kDefineVideoStream, TagRole::Character, "videos"},
    {kDefineBinaryData, TagRole::Definition, "data"},
    {kDefineFont4, TagRole::Definition, "fonts"},
    {kDefineShape, TagRole::Character, "shapes"},
    {kDefineShape2, TagRole::Character, "shapes"},
    {kDefineShape3, TagRole::Character, "shapes"},
    {kDefineShape4, TagRole::Character, "shapes"},
    {kDefineBits, TagRole::Character, "bitmaps"},
    {kDefineBitsJpeg2, TagRole::Character, "bitmaps"},
    {kDefineBitsJpeg3, TagRole::Character, "bitmaps"},
    {kDefineBitsJpeg4, TagRole::Character, "bitmaps"},
    {kDefineBitsLossless, TagRole::Character, "bitmaps"},
    {kDefineBitsLossless2, TagRole::Character, "bitmaps"},
    {kDefineFont, TagRole::Character, "fonts"},
    {kDefineFont2, TagRole::Character, "fonts"},
    {kDefineFont3, TagRole::Character, "fonts"},
    {kDefineText, TagRole::Character, "texts"},
    {kDefineText2, TagRole::Character, "texts"},
    {kDefineEditText, TagRole::Character, "texts"},
    {kDefineButton, TagRole::Character, "buttons"},
    {kDefineButton2, TagRole::Character, "buttons"},
    {kDefineSprite, TagRole::Character, "sprites"},
};

}  // namespace

const TagKind* KindOfTag(std::uint16_t code) {
  const auto* it = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const TagKind& k) { return k.code == code; });
  return it == std::end(kKinds) ? nullptr : it;
}

}  // namespace dc::swf

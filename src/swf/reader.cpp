// The tag loop: each tag of the movie or of a sprite to its reader, the
// definitions into the movie's characters, the control tags into frames.
// A damaged tag, or one past a limit, is left out with a warning and the
// next is read.
#include "swf/reader.h"

#include <string>

#include "swf/bitmap_reader.h"
#include "swf/button_reader.h"
#include "swf/font_reader.h"
#include "swf/frame_builder.h"
#include "swf/place_reader.h"
#include "swf/read_context.h"
#include "swf/shape_reader.h"
#include "swf/swf_error.h"
#include "swf/swf_file.h"
#include "swf/text_reader.h"

namespace dc::swf {
namespace {

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
  kDefineBitsLossless = 20,
  kDefineBitsJpeg2 = 21,
  kDefineShape2 = 22,
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
  kDefineFont3 = 75,
  kSymbolClass = 76,
  kDoAbc = 82,
  kDefineShape4 = 83,
  kDefineMorphShape2 = 84,
  kDefineBinaryData = 87,
  kDefineBitsJpeg4 = 90,
  kDefineFont4 = 91,
};

constexpr std::uint8_t kAs3Flag = 0x08;  // of FileAttributes' first byte

// What the user reads about a damaged tag: one warning for each kind.
const char* KindOf(std::uint16_t code) {
  switch (code) {
    case kDefineShape: case kDefineShape2: case kDefineShape3: case kDefineShape4:
      return "shapes";
    case kDefineBits: case kJpegTables: case kDefineBitsLossless: case kDefineBitsJpeg2: case kDefineBitsJpeg3:
    case kDefineBitsLossless2: case kDefineBitsJpeg4:
      return "bitmaps";
    case kDefineFont: case kDefineFontInfo: case kDefineFont2: case kDefineFontInfo2: case kDefineFont3:
      return "fonts";
    case kDefineText: case kDefineText2: case kDefineEditText:
      return "texts";
    case kDefineButton: case kDefineButton2:
      return "buttons";
    case kDefineSprite:
      return "sprites";
    case kPlaceObject: case kPlaceObject2: case kPlaceObject3: case kRemoveObject: case kRemoveObject2:
      return "placements of objects";
    case kDoAction: case kDoInitAction:
      return "scripts";
    default:
      return "tags";
  }
}

bool IsDefinition(std::uint16_t code) {
  switch (code) {
    case kDefineShape: case kDefineShape2: case kDefineShape3: case kDefineShape4: case kDefineBits:
    case kJpegTables: case kDefineBitsLossless: case kDefineBitsJpeg2: case kDefineBitsJpeg3:
    case kDefineBitsLossless2: case kDefineBitsJpeg4: case kDefineFont: case kDefineFontInfo: case kDefineFont2:
    case kDefineFontInfo2: case kDefineFont3: case kDefineFont4: case kDefineText: case kDefineText2:
    case kDefineEditText: case kDefineButton: case kDefineButton2: case kDefineSprite: case kDefineMorphShape:
    case kDefineMorphShape2: case kDefineVideoStream: case kDefineBinaryData: case kDoInitAction:
    case kExportAssets: case kImportAssets: case kImportAssets2:
      return true;
    default:
      return false;
  }
}

class TagReader {
 public:
  explicit TagReader(ReadContext& context) : context_(context) {}

  // Reads the tags of one timeline; a sprite's (`inSprite`) hold no
  // definitions.
  void ReadTimeline(TagWalker& tags, FrameBuilder& frames, bool inSprite) {
    while (const std::optional<Tag> tag = tags.Next()) {
      try {
        BitReader r(tag->body);
        if (ReadControlTag(tag->code, r, frames, inSprite)) continue;
        if (!inSprite) {
          ReadDefinition(tag->code, r);
        } else if (IsDefinition(tag->code)) {
          context_.Warn("Definitions inside a sprite are left out.");
        }
      } catch (const OverLimit& e) {
        context_.Warn(e.what());
      } catch (const DamagedData&) {
        context_.Warn(std::string("Damaged ") + KindOf(tag->code) + " are left out.");
      }
    }
  }

 private:
  // False when the tag is not one of the timeline's own.
  bool ReadControlTag(std::uint16_t code, BitReader& r, FrameBuilder& frames, bool inSprite) {
    switch (code) {
      case kShowFrame: frames.ShowFrame(); break;
      case kPlaceObject: frames.Add(ReadPlaceObject(r, 1, context_)); break;
      case kPlaceObject2: frames.Add(ReadPlaceObject(r, 2, context_)); break;
      case kPlaceObject3: frames.Add(ReadPlaceObject(r, 3, context_)); break;
      case kRemoveObject:
        (void)r.U16();  // the character: the depth alone says what goes
        frames.Add(RemoveObject{r.U16()});
        break;
      case kRemoveObject2: frames.Add(RemoveObject{r.U16()}); break;
      case kDoAction: frames.Add(DoAction{context_.Actions(r.Rest())}); break;
      case kFrameLabel: {
        // Some tools leave out the label's end byte.
        const auto body = r.Rest();
        std::size_t length = 0;
        while (length < body.size() && body[length] != 0) ++length;
        frames.Label(context_.Text(body.first(length)));
        break;
      }
      case kDoInitAction: {
        if (inSprite) return false;  // the movie's own timeline only
        const std::uint16_t sprite = r.U16();
        frames.Add(InitAction{sprite, context_.Actions(r.Rest())});
        break;
      }
      default: return false;
    }
    return true;
  }

  void ReadDefinition(std::uint16_t code, BitReader& r) {
    Movie& movie = context_.movie;
    switch (code) {
      case kSetBackgroundColor: movie.background = r.Rgb(); return;
      case kFileAttributes:
        if (r.U8() & kAs3Flag) movie.actionScript3 = true;
        return;
      case kDoAbcDefine: case kDoAbc: case kSymbolClass: movie.actionScript3 = true; return;
      case kJpegTables:
        if (context_.jpegTables.empty()) context_.jpegTables = r.Rest();
        return;
      case kExportAssets: ReadExports(r); return;
      case kImportAssets: case kImportAssets2:
        context_.Warn("Symbols imported from other movies are left out.");
        return;
      case kDefineMorphShape: case kDefineMorphShape2: context_.Warn("Shape tweens are not played."); return;
      case kDefineFontInfo: case kDefineFontInfo2: {
        const auto font = context_.fonts.find(r.U16());
        if (font != context_.fonts.end()) ReadFontInfo(r, code == kDefineFontInfo2, *font->second, context_);
        return;
      }
      case kDefineShape: case kDefineShape2: case kDefineShape3: case kDefineShape4: case kDefineBitsLossless:
      case kDefineBitsLossless2: case kDefineBits: case kDefineBitsJpeg2: case kDefineBitsJpeg3:
      case kDefineBitsJpeg4: case kDefineFont: case kDefineFont2: case kDefineFont3: case kDefineText:
      case kDefineText2: case kDefineEditText: case kDefineButton: case kDefineButton2: case kDefineSprite: {
        const std::uint16_t id = r.U16();
        if (movie.characters.contains(id)) {
          context_.Warn("A character id defined twice keeps its first definition.");
          return;
        }
        std::optional<Character> character = ReadCharacter(code, r);
        if (character) context_.Define(id, std::move(*character));
        return;
      }
      default: return;  // sound, video, binary data and tags we do not know
    }
  }

  // The character a tag defines, after its id; nothing when it is left out
  // with a warning.
  std::optional<Character> ReadCharacter(std::uint16_t code, BitReader& r) {
    switch (code) {
      case kDefineShape: return ReadShape(r, 1, context_);
      case kDefineShape2: return ReadShape(r, 2, context_);
      case kDefineShape3: return ReadShape(r, 3, context_);
      case kDefineShape4: return ReadShape(r, 4, context_);
      case kDefineBitsLossless: return Optional(ReadLosslessBitmap(r, false, context_));
      case kDefineBitsLossless2: return Optional(ReadLosslessBitmap(r, true, context_));
      case kDefineBits: return Optional(ReadJpegBitmap(r, 1, context_));
      case kDefineBitsJpeg2: return Optional(ReadJpegBitmap(r, 2, context_));
      case kDefineBitsJpeg3: return Optional(ReadJpegBitmap(r, 3, context_));
      case kDefineBitsJpeg4: return Optional(ReadJpegBitmap(r, 4, context_));
      case kDefineFont: return ReadDefineFont(r, context_);
      case kDefineFont2: return ReadDefineFont2(r, false, context_);
      case kDefineFont3: return ReadDefineFont2(r, true, context_);
      case kDefineText: return ReadDefineText(r, false, context_);
      case kDefineText2: return ReadDefineText(r, true, context_);
      case kDefineEditText: return ReadDefineEditText(r, context_);
      case kDefineButton: return ReadDefineButton(r, false, context_);
      case kDefineButton2: return ReadDefineButton(r, true, context_);
      case kDefineSprite: {
        const std::uint16_t declaredFrames = r.U16();
        FrameBuilder frames(context_);
        TagWalker tags(r.Rest());
        ReadTimeline(tags, frames, true);
        return frames.Finish(declaredFrames);
      }
      default: return std::nullopt;
    }
  }

  static std::optional<Character> Optional(std::optional<Bitmap>&& bitmap) {
    if (!bitmap) return std::nullopt;
    return Character(std::move(*bitmap));
  }

  void ReadExports(BitReader& r) {
    const std::uint16_t count = r.U16();
    for (std::uint16_t i = 0; i < count; ++i) {
      const std::uint16_t id = r.U16();
      std::string name = context_.Text(r.String());
      context_.Spend(name.size() + sizeof(std::uint16_t));
      context_.movie.exports.emplace(std::move(name), id);
    }
  }

  ReadContext& context_;
};

}  // namespace

Movie ReadMovie(std::span<const std::uint8_t> bytes, const Limits& limits) {
  const SwfFile file = OpenSwf(bytes, limits);
  Movie movie;
  movie.version = file.version;
  movie.compression = file.compression;
  movie.fileLength = file.fileLength;
  movie.stage = file.stage;
  movie.frameRate = file.frameRate;
  movie.declaredFrameCount = file.frameCount;
  ReadContext context(movie, limits);
  FrameBuilder frames(context);
  TagWalker tags(std::span<const std::uint8_t>(file.uncompressed).subspan(file.tagsStart));
  try {
    TagReader(context).ReadTimeline(tags, frames, false);
  } catch (const TagCutOff& cut) {
    throw SwfError("the movie is cut off: it ends after " + std::to_string(cut.present) + " of the " +
                   std::to_string(cut.wanted) + " bytes of a tag.");
  }
  movie.root = frames.Finish(file.frameCount);
  return movie;
}

}  // namespace dc::swf

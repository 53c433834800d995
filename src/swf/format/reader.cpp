// The tag loop: each tag of the movie or of a sprite to its reader, the
// definitions into the movie's characters, the control tags into frames.
// A damaged tag, or one past a limit, is left out with a warning and the
// next is read.
#include "swf/format/reader.h"

#include <algorithm>
#include <string>

#include "swf/format/bitmap_reader.h"
#include "swf/format/button_reader.h"
#include "swf/format/font_reader.h"
#include "swf/format/frame_builder.h"
#include "swf/format/place_reader.h"
#include "swf/format/read_context.h"
#include "swf/format/morph_reader.h"
#include "swf/format/shape_reader.h"
#include "swf/format/swf_error.h"
#include "swf/format/swf_file.h"
#include "swf/format/tag_codes.h"
#include "swf/format/text_reader.h"

namespace dc::swf {
namespace {

constexpr std::uint8_t kAs3Flag = 0x08;  // of FileAttributes' first byte

class TagReader {
 public:
  explicit TagReader(ReadContext& context) : context_(context) {}

  // Reads the tags of one timeline; a sprite's (`inSprite`) hold no
  // definitions.
  void ReadTimeline(TagWalker& tags, FrameBuilder& frames, bool inSprite) {
    while (const std::optional<Tag> tag = tags.Next()) {
      const TagKind* kind = KindOfTag(tag->code);
      if (!kind) continue;
      if (inSprite && kind->role != TagRole::Frame) {
        if (kind->role != TagRole::Movie) context_.Warn("Definitions inside a sprite are left out.");
        continue;
      }
      try {
        BitReader r(tag->body);
        if (kind->role == TagRole::Character) {
          ReadCharacterTag(tag->code, r);
        } else {
          ReadOtherTag(tag->code, r, frames);
        }
      } catch (const OverLimit& e) {
        context_.Warn(e.what());
      } catch (const DamagedData&) {
        context_.Warn(std::string("Damaged ") + kind->damaged + " are left out.");
      }
    }
  }

 private:
  void ReadOtherTag(std::uint16_t code, BitReader& r, FrameBuilder& frames) {
    Movie& movie = context_.movie;
    switch (code) {
      case kShowFrame:
        frames.ShowFrame();
        return;
      case kPlaceObject:
      case kPlaceObject2:
      case kPlaceObject3:
        frames.Add(ReadPlaceObject(r, code == kPlaceObject ? 1 : code == kPlaceObject2 ? 2 : 3, context_));
        return;
      case kRemoveObject:
        (void)r.U16();  // the character: the depth alone says what goes
        frames.Add(RemoveObject{r.U16()});
        return;
      case kRemoveObject2:
        frames.Add(RemoveObject{r.U16()});
        return;
      case kDoAction:
        frames.Add(DoAction{context_.Actions(r.Rest())});
        return;
      case kFrameLabel: {
        // Some tools leave out the label's end byte.
        const auto body = r.Rest();
        std::size_t length = 0;
        while (length < body.size() && body[length] != 0) ++length;
        frames.Label(context_.Text(body.first(length)));
        return;
      }
      case kDoInitAction: {
        const std::uint16_t sprite = r.U16();
        frames.Add(InitAction{sprite, context_.Actions(r.Rest())});
        return;
      }
      case kSetBackgroundColor:
        // Flash keeps the colour it was first given.
        if (!backgroundSet_) movie.background = r.Rgb();
        backgroundSet_ = true;
        return;
      case kFileAttributes:
        if (r.U8() & kAs3Flag) movie.actionScript3 = true;
        return;
      case kDoAbcDefine:
      case kDoAbc:
      case kSymbolClass:
        movie.actionScript3 = true;
        return;
      case kJpegTables:
        if (context_.jpegTables.empty()) context_.jpegTables = r.Rest();
        return;
      case kExportAssets:
        ReadExports(r);
        return;
      case kImportAssets:
      case kImportAssets2:
        context_.Warn("Symbols imported from other movies are left out.");
        return;
      case kDefineFontInfo:
      case kDefineFontInfo2: {
        const auto font = context_.fonts.find(r.U16());
        if (font != context_.fonts.end()) ReadFontInfo(r, code == kDefineFontInfo2, *font->second, context_);
        return;
      }
      case kDefineSound:
        ReadSound(r);
        return;
      case kDefineButtonCxform: {
        // The colour of every picture in a DefineButton's states (a
        // DefineButton2 gives each record its own).
        const auto button = context_.plainButtons.find(r.U16());
        if (button == context_.plainButtons.end()) return;
        const ColorTransform cx = r.ReadColorTransform(false);
        for (ButtonRecord& record : button->second->records) record.colorTransform = cx;
        return;
      }
      case kCsmTextSettings: {
        // Static texts' settings are not kept; a field's are its own.
        const auto field = context_.editTexts.find(r.U16());
        if (field == context_.editTexts.end()) return;
        EditText& f = *field->second;
        f.advancedAntiAlias = r.UB(2) == 1;
        f.gridFit = static_cast<std::uint8_t>(std::min<std::uint32_t>(r.UB(3), 2));
        (void)r.UB(3);
        f.thickness = r.Float32();
        f.sharpness = r.Float32();
        return;
      }
      default:
        return;  // video frames, binary data and later fonts: not played
    }
  }

  void ReadCharacterTag(std::uint16_t code, BitReader& r) {
    const std::uint16_t id = r.U16();
    if (context_.movie.characters.contains(id)) {
      context_.Warn("A character id defined twice keeps its first definition.");
      return;
    }
    std::optional<Character> character = ReadCharacter(code, r);
    if (!character) return;
    Character& kept = context_.Define(id, std::move(*character));
    if (code == kDefineButton) context_.plainButtons[id] = &std::get<Button>(kept);
  }

  // The character a tag defines, after its id; nothing when it is left out
  // with a warning.
  std::optional<Character> ReadCharacter(std::uint16_t code, BitReader& r) {
    switch (code) {
      case kDefineShape:
        return ReadShape(r, 1, context_);
      case kDefineShape2:
        return ReadShape(r, 2, context_);
      case kDefineShape3:
        return ReadShape(r, 3, context_);
      case kDefineShape4:
        return ReadShape(r, 4, context_);
      case kDefineMorphShape:
        return ReadMorphShape(r, 1, context_);
      case kDefineMorphShape2:
        return ReadMorphShape(r, 2, context_);
      case kDefineVideoStream: {
        (void)r.U16();  // the frames: never decoded
        VideoStream video;
        video.width = r.U16();
        video.height = r.U16();
        return video;
      }
      case kDefineBitsLossless:
        return Optional(ReadLosslessBitmap(r, false, context_));
      case kDefineBitsLossless2:
        return Optional(ReadLosslessBitmap(r, true, context_));
      case kDefineBits:
        return Optional(ReadJpegBitmap(r, 1, context_));
      case kDefineBitsJpeg2:
        return Optional(ReadJpegBitmap(r, 2, context_));
      case kDefineBitsJpeg3:
        return Optional(ReadJpegBitmap(r, 3, context_));
      case kDefineBitsJpeg4:
        return Optional(ReadJpegBitmap(r, 4, context_));
      case kDefineFont:
        return ReadDefineFont(r, context_);
      case kDefineFont2:
        return ReadDefineFont2(r, false, context_);
      case kDefineFont3:
        return ReadDefineFont2(r, true, context_);
      case kDefineText:
        return ReadDefineText(r, false, context_);
      case kDefineText2:
        return ReadDefineText(r, true, context_);
      case kDefineEditText:
        return ReadDefineEditText(r, context_);
      case kDefineButton:
        return ReadDefineButton(r, false, context_);
      case kDefineButton2:
        return ReadDefineButton(r, true, context_);
      case kDefineSprite: {
        const std::uint16_t declaredFrames = r.U16();
        FrameBuilder frames(context_);
        TagWalker tags(r.Rest());
        ReadTimeline(tags, frames, true);
        return frames.Finish(declaredFrames, tags.Ended());
      }
      default:
        return std::nullopt;
    }
  }

  static std::optional<Character> Optional(std::optional<Bitmap>&& bitmap) {
    if (!bitmap) return std::nullopt;
    return Character(std::move(*bitmap));
  }

  // The header only: format, rate and length.
  void ReadSound(BitReader& r) {
    static constexpr std::uint32_t kRates[] = {5512, 11025, 22050, 44100};
    const std::uint16_t id = r.U16();
    const std::uint8_t flags = r.U8();
    SoundInfo sound;
    sound.format = flags >> 4;
    sound.rate = kRates[(flags >> 2) & 3];
    sound.sampleCount = r.U32();
    if (context_.movie.characters.contains(id) || context_.movie.sounds.contains(id)) {
      context_.Warn("A character id defined twice keeps its first definition.");
      return;
    }
    context_.Spend(sizeof(SoundInfo) + sizeof(id));
    context_.movie.sounds.emplace(id, sound);
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
  bool backgroundSet_ = false;
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
  movie.root = frames.Finish(file.frameCount, true);
  // The movie's own timeline loops whether or not its End tag is there.
  movie.root.complete = true;
  return movie;
}

}  // namespace dc::swf

// A movie as read from its file: the header's values, the characters it
// defines by id, and the root timeline's frames. Immutable once read; the
// player's timelines and scripts refer into it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "swf/model/actions.h"
#include "swf/model/bitmap.h"
#include "swf/model/filters.h"
#include "swf/model/morph.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"
#include "swf/model/text.h"

namespace dc::swf {

struct ClipAction {
  std::uint32_t events = 0;  // ClipEvent bits
  std::uint8_t keyCode = 0;  // kEventKeyPress only
  ActionBytes actions;
};

// PlaceObject, PlaceObject2 and PlaceObject3.
struct PlaceObject {
  std::uint16_t depth = 0;
  bool move = false;  // changes the object at `depth` (with a character: replaces it)
  std::optional<std::uint16_t> characterId;
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> colorTransform;
  std::optional<std::uint16_t> ratio;
  std::optional<std::string> name;  // UTF-8
  std::optional<std::uint16_t> clipDepth;
  std::optional<std::string> className;  // PlaceObject3
  std::optional<bool> visible;           // PlaceObject3
  std::optional<std::vector<Filter>> filters;  // PlaceObject3
  std::optional<BlendMode> blendMode;          // PlaceObject3
  std::optional<bool> cacheAsBitmap;           // PlaceObject3
  std::optional<Rgba> opaqueBackground;        // PlaceObject3
  std::vector<ClipAction> clipActions;
};

struct RemoveObject {
  std::uint16_t depth = 0;
};

struct DoAction {
  ActionBytes actions;
};

// The control tags of one frame, in file order.
using FrameTag = std::variant<PlaceObject, RemoveObject, DoAction>;

struct InitAction {
  std::uint16_t spriteId = 0;
  ActionBytes actions;
};

struct Frame {
  std::vector<FrameTag> tags;
  std::optional<std::string> label;
  std::vector<InitAction> initActions;  // root timeline only
};

struct Sprite {
  std::vector<Frame> frames;  // at least one
  std::uint16_t declaredFrameCount = 0;
  // The definition ended with an End tag right after a ShowFrame. A sprite
  // without it (cut short, or with tags after its last ShowFrame) stays on
  // its last frame as one still loading would, instead of looping.
  bool complete = true;
};

// DefineButton and DefineButton2: the states the pointer moves the button
// through, the hit area, and the actions its transitions run.
struct ButtonRecord {
  std::uint16_t characterId = 0;
  std::uint16_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  std::uint8_t states = 0;  // bit 0 up, 1 over, 2 down, 3 hit test
  std::vector<Filter> filters;  // DefineButton2
  BlendMode blendMode = BlendMode::Normal;
};
// The transitions of a button's state that run actions, as DefineButton2's
// condition bits name them (bit 0 first).
enum ButtonCondition : std::uint16_t {
  kIdleToOverUp = 1u << 0,
  kOverUpToIdle = 1u << 1,
  kOverUpToOverDown = 1u << 2,
  kOverDownToOverUp = 1u << 3,
  kOverDownToOutDown = 1u << 4,
  kOutDownToOverDown = 1u << 5,
  kOutDownToIdle = 1u << 6,
  kIdleToOverDown = 1u << 7,
  kOverDownToIdle = 1u << 8,
};
struct ButtonAction {
  std::uint16_t conditions = 0;  // ButtonCondition bits; key presses are not kept
  ActionBytes actions;
};
struct Button {
  std::vector<ButtonRecord> records;
  std::vector<ButtonAction> actions;  // DefineButton's one runs on release
  bool trackAsMenu = false;
};

// DefineSound: what scripts may ask of an event sound (its length); the
// samples are not kept, a face is never heard.
struct SoundInfo {
  std::uint8_t format = 0;  // the file's SoundFormat (0 raw, 1 ADPCM, 2 MP3, ...)
  std::uint32_t rate = 0;   // samples a second
  std::uint32_t sampleCount = 0;
  double DurationMs() const { return rate ? sampleCount * 1000.0 / rate : 0; }
};

// DefineVideoStream: a video's box in pixels. Its frames are not decoded:
// a face shows no video, but scripts find the object.
struct VideoStream {
  std::uint16_t width = 0, height = 0;
};

using Character = std::variant<Shape, Sprite, Bitmap, Font, StaticText, EditText, Button, MorphShape, VideoStream>;

enum class Compression : std::uint8_t { None, Zlib, Lzma };

struct Movie {
  std::uint8_t version = 0;
  Compression compression = Compression::None;
  std::uint32_t fileLength = 0;  // the header's, uncompressed
  TwipRect stage;
  double frameRate = 12;  // as the file gives it; the player clamps it
  std::uint16_t declaredFrameCount = 0;
  Rgba background{255, 255, 255, 255};  // the first SetBackgroundColor's; later ones change nothing
  bool actionScript3 = false;  // FileAttributes says so, or a DoABC tag
  bool hasAvm1Scripts = false;  // DoAction, DoInitAction or clip actions
  Sprite root;
  std::unordered_map<std::uint16_t, std::shared_ptr<const Character>> characters;
  std::map<std::string, std::uint16_t> exports;  // ExportAssets names to ids
  std::unordered_map<std::uint16_t, SoundInfo> sounds;  // DefineSound by character id
  std::vector<std::string> warnings;  // each said once: what was left out, and why

  const Character* Find(std::uint16_t id) const {
    const auto it = characters.find(id);
    return it == characters.end() ? nullptr : it->second.get();
  }
};

}  // namespace dc::swf

// An object on a display list: a placed character with its depth, matrix,
// colour transform and name. A sprite's instance carries its own timeline
// (the frame it shows, whether it plays) and its children by depth.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swf/movie.h"
#include "swf/swf_types.h"

namespace dc::swf {

enum class DisplayKind : std::uint8_t { Shape, Sprite, StaticText, EditText, Button, Unknown };

class DisplayObject {
 public:
  DisplayObject(DisplayKind kind, std::uint16_t characterId, const Character* character, DisplayObject* parent)
      : kind(kind), characterId(characterId), character(character), parent(parent) {}
  DisplayObject(const DisplayObject&) = delete;
  DisplayObject& operator=(const DisplayObject&) = delete;

  const DisplayKind kind;
  std::uint16_t characterId;
  const Character* character;  // null for a clip a script made empty
  DisplayObject* parent;

  std::int32_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  std::uint16_t ratio = 0;
  std::string name;
  std::uint16_t clipDepth = 0;  // nonzero: a mask over the depths above it up to this one
  bool visible = true;
  // Placed by a timeline's tags (as against made by a script): only these
  // are taken away or kept when the timeline jumps back.
  bool fromTimeline = true;
  std::vector<ClipAction> clipActions;
  // A script set its place, size, turn or colour: the timeline no longer
  // moves it.
  bool transformedByScript = false;

  // Sprites (and buttons, whose up state is held as children).
  const Sprite* sprite = nullptr;
  std::map<std::int32_t, std::unique_ptr<DisplayObject>> children;
  std::uint32_t frame = 0;  // 0-based frame shown
  bool playing = true;
  // The step on which the object was made: it shows its first frame for the
  // rest of that step and moves on from the next one.
  std::uint64_t bornStep = 0;
  std::uint32_t nesting = 0;  // sprites above it

  // Edit texts: the text shown.
  std::string text;

  std::uint32_t FrameCount() const { return sprite ? static_cast<std::uint32_t>(sprite->frames.size()) : 1; }
};

}  // namespace dc::swf

// What a movie's scripts are, as both the movie and the script engine see
// them: the bytes of an action block and the clip events that run one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace dc::swf {

// The bytes of one action block (DoAction, DoInitAction, a clip event's
// actions), shared so that script functions defined in it can outlive the
// frame that ran it.
using ActionBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// Clip events, one bit each (our own order, not the file's).
enum ClipEvent : std::uint32_t {
  kEventLoad = 1u << 0,
  kEventEnterFrame = 1u << 1,
  kEventUnload = 1u << 2,
  kEventMouseMove = 1u << 3,
  kEventMouseDown = 1u << 4,
  kEventMouseUp = 1u << 5,
  kEventKeyDown = 1u << 6,
  kEventKeyUp = 1u << 7,
  kEventData = 1u << 8,
  kEventInitialize = 1u << 9,
  kEventPress = 1u << 10,
  kEventRelease = 1u << 11,
  kEventReleaseOutside = 1u << 12,
  kEventRollOver = 1u << 13,
  kEventRollOut = 1u << 14,
  kEventDragOver = 1u << 15,
  kEventDragOut = 1u << 16,
  kEventKeyPress = 1u << 17,
  kEventConstruct = 1u << 18,
};

}  // namespace dc::swf

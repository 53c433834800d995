// The clip events a frame or the mouse sends, and the handler each one
// also calls.
#pragma once

#include <cstdint>

#include "swf/display/display_object.h"

namespace dc::swf {

inline const char* HandlerOf(std::uint32_t event) {
  switch (event) {
    case kEventLoad: return "onLoad";
    case kEventEnterFrame: return "onEnterFrame";
    case kEventUnload: return "onUnload";
    case kEventMouseMove: return "onMouseMove";
    case kEventMouseDown: return "onMouseDown";
    case kEventMouseUp: return "onMouseUp";
    case kEventPress: return "onPress";
    case kEventRelease: return "onRelease";
    case kEventReleaseOutside: return "onReleaseOutside";
    case kEventRollOver: return "onRollOver";
    case kEventRollOut: return "onRollOut";
    case kEventDragOver: return "onDragOver";
    case kEventDragOut: return "onDragOut";
    default: return nullptr;
  }
}

inline bool HasClipEvent(const DisplayObject& o, std::uint32_t event) {
  for (const ClipAction& a : o.clipActions)
    if (a.events & event) return true;
  return false;
}

}  // namespace dc::swf

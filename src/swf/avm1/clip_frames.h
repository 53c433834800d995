// A frame as scripts name it, and the jumps to it: GotoFrame2, Call and the
// MovieClip methods read numbers, numeric strings, labels and
// "target:frame" alike, each with its own way of wrapping numbers and of
// treating frames out of range.
#pragma once

#include <cstdint>
#include <optional>

#include "swf/avm1/clip.h"
#include "swf/avm1/value.h"

namespace dc::swf::avm1 {

class Runtime;

struct FrameRef {
  Clip* clip = nullptr;                 // null when a target path named no clip
  std::optional<std::uint32_t> number;  // the frame from 1; none for a label the clip lacks
};

// `frame` on `clip`: a value other than a number is read as its string; a
// string "target:frame" names the frame of the clip at the target path
// (from `clip`); digits are a frame number modulo 2^32, anything else a
// label (case-insensitive). `integers`: a number is taken modulo 2^32, as
// the MovieClip methods do (else it is read as its string: 4.5 is no frame).
FrameRef FindFrame(Runtime& rt, Clip* clip, Value frame, bool integers);

// GotoFrame2: the frame plus `bias` (a scene's start); below 1 nothing
// happens, past the end the last frame shows without its scripts.
void GotoFrameAction(Runtime& rt, Clip* clip, Value frame, std::uint16_t bias, bool play);
// gotoAndPlay and gotoAndStop: a frame wrapped to a signed 32-bit number,
// below 1 nothing, past the end the last frame.
void GotoFrameMethod(Runtime& rt, Clip* clip, Value frame, bool play);

}  // namespace dc::swf::avm1

// How a movie's stage sits on the face: the whole stage scaled uniformly to
// fit, centred, the rest of the face in the background colour (the way the
// Flash control showed a movie by default), and the frame rate a clock can
// keep.
#pragma once

#include <cstdint>

#include "swf/model/swf_types.h"

namespace dc::swf {

// The map from the stage's twips to face pixels. An empty stage, or an
// empty face, shows nothing: the map then scales by zero.
Matrix StageToFace(const TwipRect& stage, std::int32_t faceWidth, std::int32_t faceHeight);

// Frames a second the player keeps: the file's rate clamped to 1..60 (a
// rate of 0 or one that is not a number plays at 1).
double PlayableFrameRate(double fileRate);

}  // namespace dc::swf

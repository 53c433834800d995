// Whole clock-face movies as the Flash 5-8 era wrote them, one for each
// way a face tells the time: the native tests read their hands from the
// drawn pixels, the Wine tests and the by-hand check in an outside player
// play the same bytes. A face is 200 x 200 pixels with its centre at
// (100, 100); hands are 6-pixel-wide bars pointing up at rotation 0.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/swf_types.h"

namespace dc::swf::test {

enum class ClockPattern {
  ClipEvent,     // onClipEvent(enterFrame) on the clock: setProperty and hand._rotation
  Handler,       // a frame script sets clock.onEnterFrame (constant pool, DefineFunction2, registers)
  Interval,      // setInterval(function, 1000)
  Needle,        // the second hand a 60-frame tweened clip moved by gotoAndStop(s + 1)
  TwoFrameLoop,  // frame 1 sets the hands by slash paths, tellTarget and with; frame 2 gotoAndPlay(1)
  Digital,       // text fields bound to variables: "HH:MM:SS" (made black by textColor) and "Day D Mon"
  Drawn,         // createEmptyMovieClip, the drawing API, attachMovie of an exported hand tinted by Color
};

inline constexpr Rgba kHourColour{200, 0, 0, 255}, kMinuteColour{0, 160, 0, 255}, kSecondColour{0, 0, 220, 255};
inline constexpr Rgba kDialColour{238, 238, 238, 255};
// Hand lengths in pixels from the centre.
inline constexpr int kHourLength = 50, kMinuteLength = 75, kSecondLength = 85;

// The movie's bytes (SWF 6, 12 frames a second; the digital face SWF 7).
std::vector<std::uint8_t> ClockFaceMovie(ClockPattern pattern);

// A movie of `frames` frames at `rate` whose picture changes at the start
// and in the middle of each loop, padded with an unused bitmap of about
// `paddingBytes` (for the memory of a large movie).
std::vector<std::uint8_t> LoopingMovie(std::uint16_t frames, std::uint16_t rate, std::uint32_t paddingBytes);

// A face for the mouse (SWF 6, 200 x 200): a 50-pixel button at (10, 10)
// in kMouseUpColour, kMouseOverColour and kMouseDownColour whose release
// moves "counter" (a 10 x 20 bar at (10, 150)) 20 pixels right, and
// "follower", a 10-pixel square at y 100 whose left edge follows the
// pointer's x.
inline constexpr Rgba kMouseUpColour{200, 0, 0, 255}, kMouseOverColour{0, 160, 0, 255},
    kMouseDownColour{0, 0, 220, 255}, kCounterColour{0, 0, 0, 255}, kFollowerColour{230, 150, 0, 255};
std::vector<std::uint8_t> MouseFaceMovie();

// The angles the analogue faces' scripts set: h·30 + m/2, m·6 + s/10, s·6.
struct HandAngles {
  double hour, minute, second;
};
HandAngles AnglesAt(int hour, int minute, int second);

}  // namespace dc::swf::test

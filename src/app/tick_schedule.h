// When the clock's next tick is due. A repeating 1000 ms timer drifts later
// by the system's timer granularity (about 15.6 ms) every second, so the
// shown seconds would jump by two now and then; instead each tick asks for
// the next one a little after the next whole second.
#pragma once

#include <cstdint>
#include <optional>

namespace dc {

// How far past a whole second the tick aims: enough that a timer the
// system fires a little early still lands in the new second.
inline constexpr int kTickMarginMs = 20;

// The delay in milliseconds from a reading of the clock at `millisecond`
// (0..999) to kTickMarginMs after the next whole second. A reading still
// short of the margin (a tick that came early) aims at the next second too.
unsigned NextTickDelay(int millisecond);

// A tick and a frame due within this many milliseconds of each other share
// one wake, at the later of the two: neither is later by more.
inline constexpr std::uint64_t kSharedWakeMs = 4;

// The tick count at which the message loop wakes next, from the tick's
// and the next frame's (none while the face is paused): the earlier, or the
// later when they share a wake.
std::uint64_t NextWake(std::uint64_t tick, std::optional<std::uint64_t> frame);

// The tick count from which a movie's frames are counted so that one is
// due at `tick` (a whole number of seconds from it, not after `now`): at a
// whole frame rate the second's tick and a frame then share a wake.
std::uint64_t FramesAnchoredTo(std::uint64_t tick, std::uint64_t now);

}  // namespace dc

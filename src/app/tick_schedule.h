// When the clock's next tick is due. A repeating 1000 ms timer drifts later
// by the system's timer granularity (about 15.6 ms) every second, so the
// shown seconds would jump by two now and then; instead each tick asks for
// the next one a little after the next whole second.
#pragma once

namespace dc {

// How far past a whole second the tick aims: enough that a timer the
// system fires a little early still lands in the new second.
inline constexpr int kTickMarginMs = 20;

// The delay in milliseconds from a reading of the clock at `millisecond`
// (0..999) to kTickMarginMs after the next whole second. A reading still
// short of the margin (a tick that came early) aims at the next second too.
unsigned NextTickDelay(int millisecond);

}  // namespace dc

// When a movie's frames are due, in whole milliseconds from the moment it
// started playing: frame n (from 1) is due n / rate seconds after the
// start. The face plays what is due when it wakes, and the message loop
// sleeps until the next frame is due, so both read the same clock.
#pragma once

#include <cstdint>

namespace dc {

class FrameClock {
 public:
  // `framesPerSecond` above zero (the player's rate, clamped).
  explicit FrameClock(double framesPerSecond) : rate_(framesPerSecond) {}

  // How many frames are due `elapsedMs` after the start.
  std::uint64_t DueAt(std::uint64_t elapsedMs) const;
  // The first millisecond after the start at which more than `played`
  // frames are due.
  std::uint64_t NextAfter(std::uint64_t played) const;
  // True when a second holds a whole number of frames.
  bool WholePerSecond() const;

 private:
  double rate_;
};

}  // namespace dc

// Reading a movie file into a Movie: its header, its definitions and the
// frames of its timelines.
#pragma once

#include <cstdint>
#include <span>

#include "swf/limits.h"
#include "swf/model/movie.h"

namespace dc::swf {

// Reads a whole movie. Throws SwfError, whose text says in plain words why,
// when the file cannot be played at all; what a readable movie holds beyond
// the limits, or damaged inside one tag, is left out with a warning in
// Movie::warnings (each kind of warning once).
Movie ReadMovie(std::span<const std::uint8_t> bytes, const Limits& limits = kDefaultLimits);

}  // namespace dc::swf

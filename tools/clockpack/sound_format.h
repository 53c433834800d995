// The alarm sound as the player will meet it: the clock plays it through the
// system's media control interface, which plays PCM WAV files everywhere.
// Told by the file's header, never by its name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace clockpack {

// Why the sound is no RIFF/WAVE file of PCM samples (8 or 16 bits, mono or
// stereo) with its data, or an empty text. The text says what the file is
// when the header tells ("it is an MP3 file").
std::string SoundFault(std::span<const std::uint8_t> sound);

}  // namespace clockpack

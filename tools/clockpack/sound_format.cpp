// Reading a WAV file's chunks: every length checked against the bytes.
#include "sound_format.h"

#include <cstring>

namespace clockpack {
namespace {

bool StartsWith(std::span<const std::uint8_t> b, const char* mark) {
  const std::size_t n = std::strlen(mark);
  return b.size() >= n && std::memcmp(b.data(), mark, n) == 0;
}

std::uint32_t Le16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

// What a file that is no WAV is, when its first bytes say so.
std::string KindOf(std::span<const std::uint8_t> b) {
  if (StartsWith(b, "ID3") || (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0)) return "an MP3 file";
  if (StartsWith(b, "OggS")) return "an Ogg file";
  if (StartsWith(b, "fLaC")) return "a FLAC file";
  if (b.size() >= 12 && std::memcmp(b.data() + 4, "ftyp", 4) == 0) return "an MP4/M4A file";
  if (StartsWith(b, "FORM")) return "an AIFF file";
  if (StartsWith(b, "MThd")) return "a MIDI file";
  return "no sound file the player knows";
}

constexpr std::uint32_t kPcm = 1, kExtensible = 0xFFFE;

}  // namespace

std::string SoundFault(std::span<const std::uint8_t> b) {
  if (!StartsWith(b, "RIFF") || b.size() < 12 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
    return "it is " + KindOf(b) + ", not a RIFF/WAVE file";
  }
  bool format = false, data = false;
  for (std::size_t at = 12; b.size() - at >= 8;) {
    const std::uint32_t length = Le32(b, at + 4);
    const std::size_t available = b.size() - at - 8;
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0) {
      if (length < 16 || length > available) return "its format chunk is cut short";
      std::uint32_t tag = Le16(b, at + 8);
      const std::uint32_t channels = Le16(b, at + 10), bits = Le16(b, at + 22);
      // The extensible form names its sample format in a GUID whose first
      // two bytes are the old format number.
      if (tag == kExtensible && length >= 40) tag = Le16(b, at + 8 + 24);
      if (tag != kPcm) return "its samples are in format " + std::to_string(tag) + ", not PCM (format 1)";
      if (channels < 1 || channels > 2) return "it has " + std::to_string(channels) + " channels, not 1 or 2";
      if (bits != 8 && bits != 16) return "its samples are " + std::to_string(bits) + " bits, not 8 or 16";
      format = true;
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      if (!format) return "its data comes before its format";
      if (length == 0) return "it holds no samples";
      data = true;
      break;  // the data may run to the end whatever its length says
    }
    if (length > available) break;
    at += 8 + std::size_t{length} + (length & 1);  // chunks are padded to even lengths
  }
  if (!format) return "it has no format chunk";
  if (!data) return "it has no data chunk";
  return {};
}

}  // namespace clockpack

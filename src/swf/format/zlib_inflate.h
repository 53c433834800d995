// Inflating the zlib streams of a movie (the compressed file, lossless
// bitmaps, alpha planes) with Debian's zlib, never past a size chosen
// before a byte is produced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dc::swf {

struct Inflated {
  std::vector<std::uint8_t> bytes;
  bool complete = false;  // the stream's end was reached, or `maxBytes` were produced
  std::string damage;     // zlib's reason when the stream is damaged; empty otherwise
};

// Inflates at most `maxBytes`. The output grows with what the stream gives,
// so a stream that claims much and holds little costs little. A stream cut
// short is not damage: `complete` is false and `bytes` holds what there was.
Inflated Inflate(std::span<const std::uint8_t> compressed, std::size_t maxBytes);

// A zlib stream read in pieces into the caller's buffers, so that a large
// bitmap is decoded a row at a time and never held twice.
class InflateStream {
 public:
  explicit InflateStream(std::span<const std::uint8_t> compressed);
  ~InflateStream();
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
  // Fills `out` entirely; false when the stream ends short or is damaged.
  bool Read(std::span<std::uint8_t> out);

 private:
  struct State;
  State* state_;
};

}  // namespace dc::swf

// The file around the tags: the signature, zlib inflation, the header, and
// the walk over tags with their short and long headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swf/format/bit_reader.h"
#include "swf/limits.h"
#include "swf/model/movie.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

struct SwfFile {
  std::uint8_t version = 0;
  Compression compression = Compression::None;
  std::uint32_t fileLength = 0;
  TwipRect stage;
  double frameRate = 0;
  std::uint16_t frameCount = 0;
  // The uncompressed file from its first byte; the tags start at tagsStart.
  std::vector<std::uint8_t> uncompressed;
  std::size_t tagsStart = 0;
};

// Checks the signature, version and limits, inflates a zlib file and reads
// the header. Throws SwfError, in the user's words, for a file that cannot
// be played.
SwfFile OpenSwf(std::span<const std::uint8_t> bytes, const Limits& limits);

struct Tag {
  std::uint16_t code = 0;
  std::span<const std::uint8_t> body;
};

// The data ends inside a tag: `present` of the `wanted` bytes of the tag,
// its header counted, are there.
class TagCutOff : public DamagedData {
 public:
  TagCutOff(std::uint64_t wanted, std::uint64_t present);
  std::uint64_t wanted, present;
};

// The tags of the file or of a sprite, in order, up to the End tag or the
// end of the data, whichever comes first.
class TagWalker {
 public:
  explicit TagWalker(std::span<const std::uint8_t> data) : data_(data) {}
  // The next tag; nothing at the End tag or the end of the data. Throws
  // TagCutOff when the data ends inside a tag.
  std::optional<Tag> Next();
  // Whether the End tag was read (as against the data running out).
  bool Ended() const { return ended_; }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  bool ended_ = false;
};

}  // namespace dc::swf

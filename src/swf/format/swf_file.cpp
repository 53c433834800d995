// The signature, the header and the tags' framing.
#include "swf/format/swf_file.h"

#include <string>

#include "swf/format/swf_error.h"
#include "swf/format/zlib_inflate.h"

namespace dc::swf {
namespace {

constexpr std::size_t kFixedHeader = 8;  // signature, version, file length
constexpr std::uint8_t kMaxVersion = 50;

[[noreturn]] void CutOff(std::uint64_t present, std::uint64_t wanted, const char* what) {
  throw SwfError("the movie is cut off: it ends after " + std::to_string(present) + " of the " +
                 std::to_string(wanted) + " bytes of " + what + ".");
}

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The bytes the header takes once its first byte after the fixed part (the
// stage RECT's bit count) is known.
std::size_t HeaderBytes(std::span<const std::uint8_t> data) {
  if (data.size() <= kFixedHeader) return kFixedHeader + 1 + 4;
  const unsigned rectBits = 5 + 4 * (data[kFixedHeader] >> 3);
  return kFixedHeader + (rectBits + 7) / 8 + 4;
}

}  // namespace

TagCutOff::TagCutOff(std::uint64_t wanted, std::uint64_t present)
    : DamagedData("a tag of " + std::to_string(wanted) + " bytes is cut off after " + std::to_string(present)),
      wanted(wanted),
      present(present) {}

SwfFile OpenSwf(std::span<const std::uint8_t> bytes, const Limits& limits) {
  const auto startsWith = [&](const char* sig) {
    return bytes.size() >= 3 && bytes[0] == sig[0] && bytes[1] == sig[1] && bytes[2] == sig[2];
  };
  SwfFile file;
  if (startsWith("FWS")) {
    file.compression = Compression::None;
  } else if (startsWith("CWS")) {
    file.compression = Compression::Zlib;
  } else if (startsWith("ZWS")) {
    throw SwfError(
        "the movie is compressed with LZMA (ZWS), which this clock cannot read; save it without compression or "
        "with the standard (zlib) compression.");
  } else {
    throw SwfError("the file is not a Flash movie (it does not begin with the letters FWS or CWS).");
  }
  if (bytes.size() > limits.maxFileBytes) {
    throw SwfError("the movie is " + std::to_string(bytes.size()) + " bytes long, more than the " +
                   std::to_string(limits.maxFileBytes) + " a clock face may have.");
  }
  if (bytes.size() < kFixedHeader) CutOff(bytes.size(), HeaderBytes(bytes), "its header");
  file.version = bytes[3];
  if (file.version == 0 || file.version > kMaxVersion) {
    throw SwfError("the movie gives its Flash version as " + std::to_string(file.version) +
                   ", which is not a version of Flash.");
  }
  file.fileLength = Le32(bytes, 4);

  if (file.compression == Compression::Zlib) {
    if (file.fileLength > limits.maxUncompressedBytes) {
      throw SwfError("the movie uncompresses to " + std::to_string(file.fileLength) + " bytes, more than the " +
                     std::to_string(limits.maxUncompressedBytes) + " a clock face may have.");
    }
    const std::size_t bodyBytes = file.fileLength > kFixedHeader ? file.fileLength - kFixedHeader : 0;
    Inflated body = Inflate(bytes.subspan(kFixedHeader), bodyBytes);
    if (!body.damage.empty()) throw SwfError("the movie's compressed data is damaged (" + body.damage + ").");
    file.uncompressed.assign(bytes.begin(), bytes.begin() + kFixedHeader);
    file.uncompressed.insert(file.uncompressed.end(), body.bytes.begin(), body.bytes.end());
  } else {
    if (bytes.size() > limits.maxUncompressedBytes) {
      throw SwfError("the movie is " + std::to_string(bytes.size()) + " bytes long, more than the " +
                     std::to_string(limits.maxUncompressedBytes) + " a clock face may have.");
    }
    file.uncompressed.assign(bytes.begin(), bytes.end());
  }

  const std::span<const std::uint8_t> data = file.uncompressed;
  const std::size_t headerBytes = HeaderBytes(data);
  if (data.size() < headerBytes) CutOff(data.size(), headerBytes, "its header");
  BitReader header(data.subspan(kFixedHeader, headerBytes - kFixedHeader));
  file.stage = header.Rect();
  file.frameRate = header.U16() / 256.0;
  file.frameCount = header.U16();
  file.tagsStart = headerBytes;
  return file;
}

std::optional<Tag> TagWalker::Next() {
  if (ended_ || pos_ >= data_.size()) return std::nullopt;
  const std::size_t left = data_.size() - pos_;
  if (left < 2) throw TagCutOff(2, left);
  const std::uint16_t codeAndLength = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
  std::size_t headerBytes = 2;
  std::uint64_t length = codeAndLength & 0x3F;
  if (length == 0x3F) {
    if (left < 6) throw TagCutOff(6, left);
    headerBytes = 6;
    length = Le32(data_, pos_ + 2);
  }
  if (length > left - headerBytes) throw TagCutOff(headerBytes + length, left);
  Tag tag{static_cast<std::uint16_t>(codeAndLength >> 6), data_.subspan(pos_ + headerBytes, length)};
  pos_ += headerBytes + length;
  if (tag.code == 0) {
    ended_ = true;
    return std::nullopt;
  }
  return tag;
}

}  // namespace dc::swf

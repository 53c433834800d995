// zlib streams inflated into a growing buffer with a fixed ceiling.
#include "swf/format/zlib_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace dc::swf {

Inflated Inflate(std::span<const std::uint8_t> compressed, std::size_t maxBytes) {
  Inflated out;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    out.damage = "zlib cannot start";
    return out;
  }
  // zlib inflates at most about 1032 bytes from one, so a first guess of a
  // few times the input rarely needs to grow and never overshoots by much.
  std::size_t capacity = std::min(maxBytes, std::max<std::size_t>(4096, compressed.size() * 4));
  out.bytes.resize(capacity);
  z.next_in = const_cast<Bytef*>(compressed.data());
  std::size_t inLeft = compressed.size();
  std::size_t produced = 0;
  int status = Z_OK;
  while (produced < maxBytes) {
    if (produced == out.bytes.size()) {
      out.bytes.resize(std::min(maxBytes, out.bytes.size() * 2));
    }
    const uInt inChunk = static_cast<uInt>(std::min<std::size_t>(inLeft, UINT_MAX));
    const uInt outChunk = static_cast<uInt>(std::min<std::size_t>(out.bytes.size() - produced, UINT_MAX));
    z.avail_in = inChunk;
    z.next_out = out.bytes.data() + produced;
    z.avail_out = outChunk;
    status = inflate(&z, Z_NO_FLUSH);
    inLeft -= inChunk - z.avail_in;
    produced += outChunk - z.avail_out;
    if (status == Z_STREAM_END) break;
    if (status == Z_BUF_ERROR && inLeft == 0) break;  // cut short
    if (status != Z_OK && status != Z_BUF_ERROR) {
      out.damage = z.msg ? z.msg : "zlib error " + std::to_string(status);
      break;
    }
  }
  inflateEnd(&z);
  out.bytes.resize(produced);
  out.complete = out.damage.empty() && (status == Z_STREAM_END || produced == maxBytes);
  return out;
}

struct InflateStream::State {
  z_stream z{};
  std::size_t inLeft = 0;
  bool good = false;
};

InflateStream::InflateStream(std::span<const std::uint8_t> compressed) : state_(new State) {
  state_->good = inflateInit(&state_->z) == Z_OK;
  state_->z.next_in = const_cast<Bytef*>(compressed.data());
  state_->inLeft = compressed.size();
}

InflateStream::~InflateStream() {
  inflateEnd(&state_->z);
  delete state_;
}

bool InflateStream::Read(std::span<std::uint8_t> out) {
  std::size_t produced = 0;
  while (state_->good && produced < out.size()) {
    z_stream& z = state_->z;
    const uInt inChunk = static_cast<uInt>(std::min<std::size_t>(state_->inLeft, UINT_MAX));
    const uInt outChunk = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, UINT_MAX));
    z.avail_in = inChunk;
    z.next_out = out.data() + produced;
    z.avail_out = outChunk;
    const int status = inflate(&z, Z_NO_FLUSH);
    state_->inLeft -= inChunk - z.avail_in;
    produced += outChunk - z.avail_out;
    // The end, damage, or no input left to make progress with.
    if (status != Z_OK && !(status == Z_BUF_ERROR && state_->inLeft > 0)) state_->good = produced == out.size();
    if (status == Z_STREAM_END) state_->good = false;
  }
  return produced == out.size();
}

}  // namespace dc::swf

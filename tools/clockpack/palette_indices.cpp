// Reading a palette picture's indices without decoding its colours: BMP rows
// as they lie in the file, PNG rows inflated with zlib and unfiltered one at
// a time (two rows of memory, whatever the picture's size).
#include "palette_indices.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace clockpack {
namespace {

std::uint32_t Le16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }
std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

// The index of pixel x in a row of packed indices of `depth` bits, the
// leftmost pixel in the highest bits, as both formats pack them.
unsigned IndexAt(const std::uint8_t* row, std::uint32_t x, unsigned depth) {
  if (depth == 8) return row[x];
  const std::uint32_t bit = x * depth;
  return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

std::string IndexFault(std::uint64_t x, std::uint64_t y, unsigned index, std::uint32_t entries) {
  return "the picture cannot be read (pixel " + std::to_string(x) + ", " + std::to_string(y) + " uses colour " +
         std::to_string(index) + ", but its colour table holds " + std::to_string(entries) +
         (entries == 1 ? " colour)" : " colours)");
}

// The concatenated data of the IDAT chunks, inflated on demand.
class IdatStream {
 public:
  IdatStream(std::vector<std::span<const std::uint8_t>> chunks, bool rawDeflate) : chunks_(std::move(chunks)) {
    ok_ = inflateInit2(&z_, rawDeflate ? -15 : 15) == Z_OK;
  }
  ~IdatStream() {
    if (ok_) inflateEnd(&z_);
  }
  IdatStream(const IdatStream&) = delete;
  IdatStream& operator=(const IdatStream&) = delete;

  // Exactly n bytes, or false when the data ends early or is damaged.
  bool Read(std::uint8_t* out, std::size_t n) {
    if (!ok_) return false;
    z_.next_out = out;
    z_.avail_out = static_cast<uInt>(n);
    while (z_.avail_out != 0) {
      if (z_.avail_in == 0) {
        if (next_ == chunks_.size()) return false;
        z_.next_in = const_cast<Bytef*>(chunks_[next_].data());
        z_.avail_in = static_cast<uInt>(chunks_[next_].size());
        ++next_;
        continue;
      }
      const int r = inflate(&z_, Z_NO_FLUSH);
      if (r == Z_STREAM_END) return z_.avail_out == 0;
      if (r != Z_OK && r != Z_BUF_ERROR) return false;
    }
    return true;
  }

 private:
  std::vector<std::span<const std::uint8_t>> chunks_;
  std::size_t next_ = 0;
  z_stream z_{};
  bool ok_ = false;
};

// Undoes one row's filter in place; bytes per pixel is 1 for palette rows.
bool Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prev, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const int a = i ? row[i - 1] : 0, b = prev[i], c = i ? prev[i - 1] : 0;
    int add = 0;
    switch (filter) {
      case 0: break;
      case 1: add = a; break;
      case 2: add = b; break;
      case 3: add = (a + b) / 2; break;
      case 4: {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        break;
      }
      default: return false;
    }
    row[i] = static_cast<std::uint8_t>(row[i] + add);
  }
  return true;
}

}  // namespace

std::string BmpPaletteFault(std::span<const std::uint8_t> b) {
  const std::uint32_t headerSize = Le32(b, 14);
  const std::uint32_t offset = Le32(b, 10);
  std::uint32_t bits = 0, compression = 0, used = 0, entrySize = 4;
  std::uint64_t width = 0, rows = 0;
  if (headerSize == 12) {
    width = Le16(b, 18);
    rows = static_cast<std::uint64_t>(std::abs(static_cast<std::int16_t>(Le16(b, 20))));
    bits = Le16(b, 24);
    entrySize = 3;
  } else if (headerSize >= 40) {
    width = Le32(b, 18);
    rows = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(Le32(b, 22)))));
    bits = Le16(b, 28);
    compression = Le32(b, 30);
    used = Le32(b, 46);
  } else {
    return {};  // a header the decoder refuses
  }
  const bool masks = compression == 3 && (headerSize == 40 || headerSize == 56);
  const std::uint64_t headersEnd = 14 + std::uint64_t{headerSize} + (masks ? 12 : 0);
  auto overlaps = [&](std::uint64_t end, const char* what) {
    return "the picture cannot be read (its pixels begin at byte " + std::to_string(offset) + ", inside its " + what +
           ", which end at byte " + std::to_string(end) + ")";
  };
  if (offset < headersEnd) return overlaps(headersEnd, "headers");
  std::uint64_t tableEnd = headersEnd;
  std::uint32_t entries = 0;
  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    entries = used ? used : full;
    if (entries > full) {
      return "the picture cannot be read (its colour table of " + std::to_string(entries) +
             " colours is larger than " + std::to_string(bits) + " bits a pixel can name)";
    }
    tableEnd += std::uint64_t{entries} * entrySize;
    if (offset < tableEnd) return overlaps(tableEnd, "headers and colour table");
  }
  if (compression != 0 && compression != 3) {
    return "the picture cannot be read (it is compressed with method " + std::to_string(compression) +
           "; a face BMP is uncompressed)";
  }
  if (bits != 1 && bits != 4 && bits != 8) return {};
  // The decoder reads as many table entries as fit before the pixels, by its
  // own count for the small header; only those are ever set.
  const std::uint64_t readable = headerSize != 12 ? (offset - 14 - headerSize) / 4 : offset >= 38 ? (offset - 38) / 3 : 0;
  const auto available = static_cast<std::uint32_t>(std::min<std::uint64_t>(entries, readable));
  const std::uint64_t stride = (width * bits + 31) / 32 * 4;
  const bool bottomUp = headerSize == 12 ? static_cast<std::int16_t>(Le16(b, 20)) > 0
                                         : static_cast<std::int32_t>(Le32(b, 22)) > 0;
  for (std::uint64_t r = 0; r < rows; ++r) {
    const std::uint8_t* row = b.data() + offset + r * stride;
    for (std::uint64_t x = 0; x < width; ++x) {
      const unsigned index = IndexAt(row, static_cast<std::uint32_t>(x), bits);
      if (index >= available) return IndexFault(x, bottomUp ? rows - 1 - r : r, index, available);
    }
  }
  return {};
}

std::string PngPaletteFault(std::span<const std::uint8_t> png) {
  std::uint32_t width = 0, height = 0, plte = 0;
  unsigned depth = 0, colourType = 0, interlace = 0;
  bool rawDeflate = false;
  std::vector<std::span<const std::uint8_t>> data;
  for (std::size_t at = 8; png.size() - at >= 12;) {
    const std::uint32_t length = Be32(png, at);
    if (length > png.size() - at - 12) break;
    const std::uint8_t* type = png.data() + at + 4;
    const auto body = png.subspan(at + 8, length);
    if (std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
      width = Be32(body, 0);
      height = Be32(body, 4);
      depth = body[8];
      colourType = body[9];
      interlace = body[12];
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      plte = length / 3;
    } else if (std::memcmp(type, "CgBI", 4) == 0) {
      rawDeflate = true;  // the decoder takes this variant's data as bare deflate
    } else if (std::memcmp(type, "IDAT", 4) == 0 && length != 0) {
      data.push_back(body);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    at += 12 + std::size_t{length};
  }
  if (colourType != 3 || plte == 0 || (depth != 1 && depth != 2 && depth != 4 && depth != 8)) return {};
  if (width == 0 || height == 0 || width > 16384 || height > 16384) return {};

  struct Pass {
    std::uint32_t x0, y0, dx, dy;
  };
  static constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  static constexpr Pass kWhole[] = {{0, 0, 1, 1}};
  const std::span<const Pass> passes = interlace == 1 ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWhole);
  IdatStream stream(std::move(data), rawDeflate);
  for (const Pass& p : passes) {
    const std::uint32_t pw = width > p.x0 ? (width - p.x0 + p.dx - 1) / p.dx : 0;
    const std::uint32_t ph = height > p.y0 ? (height - p.y0 + p.dy - 1) / p.dy : 0;
    if (pw == 0 || ph == 0) continue;
    const std::size_t rowBytes = (std::size_t{pw} * depth + 7) / 8;
    std::vector<std::uint8_t> prev(rowBytes, 0), row(rowBytes + 1);
    for (std::uint32_t y = 0; y < ph; ++y) {
      if (!stream.Read(row.data(), row.size())) {
        return "the picture cannot be read (its pixel data ends early or is damaged)";
      }
      if (!Unfilter(row[0], row.data() + 1, prev.data(), rowBytes)) {
        return "the picture cannot be read (a row has the unknown filter " + std::to_string(row[0]) + ")";
      }
      for (std::uint32_t x = 0; x < pw; ++x) {
        const unsigned index = IndexAt(row.data() + 1, x, depth);
        if (index >= plte) return IndexFault(p.x0 + std::uint64_t{x} * p.dx, p.y0 + std::uint64_t{y} * p.dy, index, plte);
      }
      std::copy(row.begin() + 1, row.end(), prev.begin());
    }
  }
  return {};
}

}  // namespace clockpack

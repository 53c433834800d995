// The zip format's local headers, central directory and end record, with
// zlib's raw deflate and CRC-32.
#include "zip_writer.h"

#include <algorithm>
#include <chrono>

#include <zlib.h>

#include "manifest.h"

namespace clockpack {
namespace {

constexpr std::uint16_t kStored = 0, kDeflated = 8;
constexpr std::uint16_t kVersion = 20;       // 2.0: deflate and folders
constexpr std::uint16_t kUtf8Names = 1 << 11;
constexpr std::uint16_t kMadeByUnix = 3 << 8;

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> bytes) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw ToolError("cannot start compressing");
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(bytes.size())));
  z.next_in = const_cast<Bytef*>(bytes.data());
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int r = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (r != Z_STREAM_END) throw ToolError("cannot compress a file for the zip");
  return out;
}

bool IsAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

ZipWriter::ZipWriter(std::time_t modified) {
  using namespace std::chrono;
  const std::time_t earliest = 315532800;  // 1980-01-01, the format's first day
  const sys_seconds when{seconds{std::max(modified, earliest)}};
  const sys_days day = floor<days>(when);
  const year_month_day date{day};
  const hh_mm_ss time{when - day};
  dosTime_ = static_cast<std::uint16_t>(time.hours().count() << 11 | time.minutes().count() << 5 |
                                        time.seconds().count() / 2);
  dosDate_ = static_cast<std::uint16_t>((static_cast<int>(date.year()) - 1980) << 9 |
                                        static_cast<unsigned>(date.month()) << 5 | static_cast<unsigned>(date.day()));
}

void ZipWriter::AddFolder(const std::string& name) { AddEntry(name, {}, 0, 0, kStored, true); }

void ZipWriter::AddFile(const std::string& name, std::span<const std::uint8_t> bytes) {
  const std::uint32_t crc =
      static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size())));
  const std::vector<std::uint8_t> packed = Deflate(bytes);
  if (packed.size() < bytes.size()) {
    AddEntry(name, packed, crc, static_cast<std::uint32_t>(bytes.size()), kDeflated, false);
  } else {
    AddEntry(name, bytes, crc, static_cast<std::uint32_t>(bytes.size()), kStored, false);
  }
}

void ZipWriter::AddEntry(const std::string& name, std::span<const std::uint8_t> packed, std::uint32_t crc,
                         std::uint32_t size, std::uint16_t method, bool folder) {
  entries_.push_back({name, crc, static_cast<std::uint32_t>(packed.size()), size,
                      static_cast<std::uint32_t>(out_.size()), method, folder});
  Put32(out_, 0x04034b50);
  Put16(out_, kVersion);
  Put16(out_, IsAscii(name) ? 0 : kUtf8Names);
  Put16(out_, method);
  Put16(out_, dosTime_);
  Put16(out_, dosDate_);
  Put32(out_, crc);
  Put32(out_, static_cast<std::uint32_t>(packed.size()));
  Put32(out_, size);
  Put16(out_, static_cast<std::uint32_t>(name.size()));
  Put16(out_, 0);
  out_.insert(out_.end(), name.begin(), name.end());
  out_.insert(out_.end(), packed.begin(), packed.end());
}

std::vector<std::uint8_t> ZipWriter::Finish() const {
  std::vector<std::uint8_t> out = out_;
  const auto directoryStart = static_cast<std::uint32_t>(out.size());
  for (const Entry& e : entries_) {
    Put32(out, 0x02014b50);
    // Made by Unix: unzip on Linux then takes the names' bytes as they are
    // (UTF-8, flagged for Windows), not as an MS-DOS code page.
    Put16(out, kMadeByUnix | kVersion);
    Put16(out, kVersion);
    Put16(out, IsAscii(e.name) ? 0 : kUtf8Names);
    Put16(out, e.method);
    Put16(out, dosTime_);
    Put16(out, dosDate_);
    Put32(out, e.crc);
    Put32(out, e.packedSize);
    Put32(out, e.size);
    Put16(out, static_cast<std::uint32_t>(e.name.size()));
    Put16(out, 0);  // extra field
    Put16(out, 0);  // comment
    Put16(out, 0);  // disk
    Put16(out, 0);  // internal attributes
    // Unix permissions above the MS-DOS attributes: a folder, or a file.
    Put32(out, e.folder ? 040755u << 16 | 0x10 : 0100644u << 16 | 0x20);
    Put32(out, e.offset);
    out.insert(out.end(), e.name.begin(), e.name.end());
  }
  const auto directorySize = static_cast<std::uint32_t>(out.size() - directoryStart);
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(entries_.size()));
  Put16(out, static_cast<std::uint32_t>(entries_.size()));
  Put32(out, directorySize);
  Put32(out, directoryStart);
  Put16(out, 0);
  return out;
}

}  // namespace clockpack

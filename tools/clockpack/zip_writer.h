// Writing a zip archive (deflated files, folders, UTF-8 names) in memory,
// the same bytes for the same files and time.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace clockpack {

class ZipWriter {
 public:
  // Every entry carries `modified` (seconds since 1970, UTC), as the
  // format's two-second local date and time. Times before 1980 are 1980.
  explicit ZipWriter(std::time_t modified);
  // A folder; the name ends in "/".
  void AddFolder(const std::string& name);
  // A file, its name a path with "/" between folders. Throws ToolError when
  // the data cannot be compressed.
  void AddFile(const std::string& name, std::span<const std::uint8_t> bytes);
  // The whole archive: the entries, then their central directory.
  std::vector<std::uint8_t> Finish() const;

 private:
  struct Entry {
    std::string name;
    std::uint32_t crc, packedSize, size, offset;
    std::uint16_t method;
    bool folder;
  };
  void AddEntry(const std::string& name, std::span<const std::uint8_t> packed, std::uint32_t crc,
                std::uint32_t size, std::uint16_t method, bool folder);
  std::uint16_t dosTime_, dosDate_;
  std::vector<std::uint8_t> out_;
  std::vector<Entry> entries_;
};

}  // namespace clockpack

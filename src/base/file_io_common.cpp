// Texts and helpers of the file layer shared by both platforms.
#include "base/file_io.h"

namespace dc {

std::string PathToUtf8(const std::filesystem::path& p) {
  auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

std::string CannotOpenText(const std::filesystem::path& p, const std::string& sys) {
  return "Cannot open file \"" + PathToUtf8(p) + "\". " + sys;
}

std::string CannotCreateText(const std::filesystem::path& p, const std::string& sys) {
  return "Cannot create file \"" + PathToUtf8(p) + "\". " + sys;
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& p, std::uint64_t maxBytes) {
  InputFile file(p);
  const std::uint64_t size = file.Size();
  if (size > maxBytes) {
    throw FileError("The file \"" + PathToUtf8(p) + "\" is " + std::to_string(size) + " bytes; at most " +
                    std::to_string(maxBytes) + " are read");
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  bytes.resize(file.Read(bytes.data(), bytes.size()));
  return bytes;
}

void CreateFolders(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw FileError("Cannot create folder \"" + PathToUtf8(folder) + "\". " + ec.message());
}

}  // namespace dc

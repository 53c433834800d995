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

}  // namespace dc

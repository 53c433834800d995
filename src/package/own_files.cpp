// The names a package may not take for its sound, and folder names.
#include "package/own_files.h"

#include <cstring>

#include "package/clock_package.h"

namespace dc {

std::vector<std::string> OwnFileNames(const std::string& exeName, const std::string& packageName) {
  // The store's safe save goes through "<store>.tmp"; a store it could
  // not read is kept as "<store>.unreadable".
  const std::string store = "Alarm.sav";
  return {exeName, packageName, store, store + ".tmp", store + ".unreadable", "tmp.swf"};
}

std::string FolderNameOf(const std::string& clockName) {
  std::string name;
  for (char c : clockName) {
    const auto b = static_cast<unsigned char>(c);
    name += b < 0x20 || std::strchr("<>:\"/\\|?*", c) ? '_' : c;
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  if (name.empty()) return "Clock";
  if (!CheckSoundFileName(name, {}).empty()) name = "_" + name;  // a device name such as "con"
  return name;
}

}  // namespace dc

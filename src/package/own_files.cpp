// The names a package may not take for its sound.
#include "package/own_files.h"

namespace dc {

std::vector<std::string> OwnFileNames(const std::string& exeName, const std::string& packageName) {
  // The store's safe save goes through "<store>.tmp"; a store it could
  // not read is kept as "<store>.unreadable".
  const std::string store = "Alarm.sav";
  return {exeName, packageName, store, store + ".tmp", store + ".unreadable", "tmp.swf"};
}

}  // namespace dc

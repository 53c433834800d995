// Names in the clock's folders: the program's own files, which a
// package's sound may not be written over (the player, the package, the
// alarm store with its temporary and kept-aside copies, and the extracted
// movie), and the folder name a clock name gives.
#pragma once

#include <string>
#include <vector>

namespace dc {

std::vector<std::string> OwnFileNames(const std::string& exeName, const std::string& packageName);

// A folder name made of a clock name: characters file names cannot hold
// become "_", trailing dots and spaces go, a device name gets a "_" before
// it, and an empty name is "Clock".
std::string FolderNameOf(const std::string& clockName);

}  // namespace dc

// The program's own files in its folder, which a package's sound may not be
// written over: the player, the package, the alarm store with its
// temporary and kept-aside copies, and the extracted movie.
#pragma once

#include <string>
#include <vector>

namespace dc {

std::vector<std::string> OwnFileNames(const std::string& exeName, const std::string& packageName);

}  // namespace dc

// What clockpack asks of the system it runs on: where its own file lies,
// where a program is, and running one to its end.
// host_process_posix.cpp and host_process.win.cpp implement it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace clockpack {

// The running clockpack's own file. Throws ToolError when the system cannot
// tell.
std::filesystem::path OwnExecutablePath();

// The program `name` ("makensis") on the PATH, or in the places its
// installer puts it on this system; nothing when it is nowhere.
std::optional<std::filesystem::path> FindProgram(const std::string& name);

// Runs the program with the arguments (UTF-8) in the folder `workingDir`,
// its output going to clockpack's, and returns its exit code. Throws
// ToolError when it cannot be started.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& workingDir);

}  // namespace clockpack

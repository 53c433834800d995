// The POSIX side: /proc/self/exe, the PATH, posix_spawn and waitpid.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "host_process.h"
#include "manifest.h"

extern char** environ;

namespace clockpack {

std::filesystem::path OwnExecutablePath() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw ToolError("cannot find clockpack's own folder: " + ec.message());
  return self;
}

std::optional<std::filesystem::path> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args) {
  std::vector<std::string> all{program.string()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (const int err = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ); err != 0)
    throw ToolError("cannot start \"" + program.string() + "\": " + std::strerror(err));
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw ToolError("cannot wait for \"" + program.string() + "\": " + std::strerror(errno));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace clockpack

// The POSIX side: /proc/self/exe, the PATH, posix_spawn (in a working
// folder) and waitpid.
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
namespace {

// The environment for a child: clockpack's, with a UTF-8 locale when the
// current one is not. File names here are UTF-8, and a program that reads
// them in the C locale (makensis) fails on the first letter beyond ASCII.
std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  const char* locale = nullptr;
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(name);
    if (v && *v) {
      locale = v;
      break;
    }
  }
  std::string lower = locale ? locale : "";
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (lower.find("utf-8") == std::string::npos && lower.find("utf8") == std::string::npos) {
    std::erase_if(env, [](const std::string& e) { return e.rfind("LC_ALL=", 0) == 0; });
    env.push_back("LC_ALL=C.UTF-8");
  }
  return env;
}

}  // namespace

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

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& workingDir) {
  std::vector<std::string> all{program.string()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (const int err = posix_spawn_file_actions_init(&actions); err != 0)
    throw ToolError("cannot start \"" + program.string() + "\": " + std::strerror(err));
  pid_t pid = 0;
  std::vector<std::string> env = ChildEnvironment();
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  int err = posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
  if (err == 0) err = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) throw ToolError("cannot start \"" + program.string() + "\": " + std::strerror(err));
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw ToolError("cannot wait for \"" + program.string() + "\": " + std::strerror(errno));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace clockpack

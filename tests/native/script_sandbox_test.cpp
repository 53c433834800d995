// A face's scripts cannot reach outside the face: every call a browser's
// player would have sent out (URLs, commands, loading, sockets, shared
// objects) runs while the C library's ways out are counted here. This
// program's own definitions of open, socket, fork and the rest come before
// the C library's, so whatever the engine called would be seen.
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "testkit/avm1_harness.h"
#include "testkit/avm1_sample_programs.h"

namespace {

std::atomic<bool> g_watching{false};
std::atomic<int> g_waysOut{0};

void Seen() {
  if (g_watching) ++g_waysOut;
}

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  Seen();
  va_list ap;
  va_start(ap, flags);
  const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(ap, int)) : 0;
  va_end(ap);
  return Next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
  Seen();
  va_list ap;
  va_start(ap, flags);
  const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(ap, int)) : 0;
  va_end(ap);
  return Next<int (*)(int, const char*, int, ...)>("openat")(dir, path, flags, mode);
}
FILE* fopen(const char* path, const char* mode) {
  Seen();
  return Next<FILE* (*)(const char*, const char*)>("fopen")(path, mode);
}
int socket(int domain, int type, int protocol) {
  Seen();
  return Next<int (*)(int, int, int)>("socket")(domain, type, protocol);
}
int connect(int fd, const struct sockaddr* addr, socklen_t len) {
  Seen();
  return Next<int (*)(int, const struct sockaddr*, socklen_t)>("connect")(fd, addr, len);
}
pid_t fork() {
  Seen();
  return Next<pid_t (*)()>("fork")();
}
int execve(const char* path, char* const argv[], char* const envp[]) {
  Seen();
  return Next<int (*)(const char*, char* const*, char* const*)>("execve")(path, argv, envp);
}
int posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                const posix_spawnattr_t* attrs, char* const argv[], char* const envp[]) {
  Seen();
  return Next<int (*)(pid_t*, const char*, const posix_spawn_file_actions_t*, const posix_spawnattr_t*, char* const*,
                      char* const*)>("posix_spawn")(pid, path, actions, attrs, argv, envp);
}
FILE* popen(const char* command, const char* mode) {
  Seen();
  return Next<FILE* (*)(const char*, const char*)>("popen")(command, mode);
}
int system(const char* command) {
  Seen();
  return Next<int (*)(const char*)>("system")(command);
}

}  // extern "C"

TEST(ScriptSandbox, NoCallAFaceMakesOpensAFileASocketOrAProcess) {
  using namespace dc::swf::avm1::test;
  Harness h(7);
  h.root->AddChild("clock", 1);
  // The counting itself is seen to work.
  g_watching = true;
  std::fclose(std::fopen("/dev/null", "r"));
  EXPECT_EQ(g_waysOut.exchange(0), 1) << "the C library's calls are counted";
  const std::string traced = h.Run(NoWayOutScript());
  g_watching = false;
  EXPECT_EQ(traced, "done");
  EXPECT_EQ(g_waysOut.load(), 0) << "a script reached a file, a socket or a process";
}

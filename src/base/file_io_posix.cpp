// The file layer on POSIX systems (the native build and its tests).
// A file without write permission bits is treated as read-only, as the
// Windows read-only attribute is, so replacing it fails the same way.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_io.h"

namespace dc {

std::string LastSystemErrorText() { return std::strerror(errno); }

bool FileExists(const std::filesystem::path& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct InputFile::Impl {
  int fd = -1;
};

InputFile::InputFile(const std::filesystem::path& p) : impl_(new Impl), path_(p) {
  impl_->fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (impl_->fd < 0) throw FileError(CannotOpenText(p, LastSystemErrorText()));
}

InputFile::~InputFile() {
  if (impl_->fd >= 0) ::close(impl_->fd);
}

std::uint64_t InputFile::Size() const {
  struct stat st;
  if (::fstat(impl_->fd, &st) != 0) throw FileError(kStreamReadError);
  return static_cast<std::uint64_t>(st.st_size);
}

void InputFile::Seek(std::uint64_t offset) {
  if (::lseek(impl_->fd, static_cast<off_t>(offset), SEEK_SET) < 0) throw FileError(kStreamReadError);
}

std::size_t InputFile::Read(void* buf, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::read(impl_->fd, static_cast<char*>(buf) + done, n - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(kStreamReadError);
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

namespace {

// Writes everything to an open descriptor; closes it on every path.
void WriteAllAndClose(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      ::close(fd);
      throw FileError(kStreamWriteError);
    }
    done += static_cast<std::size_t>(put);
  }
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    ::close(fd);
    throw FileError(kStreamWriteError);
  }
  if (::close(fd) != 0) throw FileError(kStreamWriteError);
}

bool IsReadOnlyFile(const std::filesystem::path& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

int CreateForWriting(const std::filesystem::path& p) {
  if (IsReadOnlyFile(p)) {
    errno = EACCES;
    return -1;
  }
  return ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

void WriteWholeFile(const std::filesystem::path& p, std::span<const std::uint8_t> bytes) {
  int fd = CreateForWriting(p);
  if (fd < 0) throw FileError(CannotCreateText(p, LastSystemErrorText()));
  WriteAllAndClose(fd, bytes);
}

void WriteFileSafely(const std::filesystem::path& target, const std::filesystem::path& temp,
                     std::span<const std::uint8_t> bytes) {
  if (IsReadOnlyFile(target)) {
    errno = EACCES;
    throw FileError(CannotCreateText(target, LastSystemErrorText()));
  }
  int fd = CreateForWriting(temp);
  if (fd < 0) throw FileError(CannotCreateText(target, LastSystemErrorText()));
  try {
    WriteAllAndClose(fd, bytes);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    std::string sys = LastSystemErrorText();
    ::unlink(temp.c_str());
    throw FileError(CannotCreateText(target, sys));
  }
}

void RenameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    const std::string sys = LastSystemErrorText();  // before the paths' conversion can change it
    throw FileError("Cannot rename file \"" + PathToUtf8(from) + "\" to \"" + PathToUtf8(to) + "\". " + sys);
  }
}

bool FolderIsWritable(const std::filesystem::path& folder) {
  std::string probe = (folder / ".deskclock-write-probe-XXXXXX").string();
  int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

bool DeleteFileQuietly(const std::filesystem::path& p) { return ::unlink(p.c_str()) == 0; }

}  // namespace dc

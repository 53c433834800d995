// The file layer on Windows: CreateFileW and MoveFileExW, with the platform's
// error texts.
#include <windows.h>

#include "base/file_io.h"
#include "base/unique_handle.h"
#include "base/win_text.win.h"

namespace dc {
namespace {

void CloseFile(HANDLE h) { CloseHandle(h); }
// An open file, or empty; INVALID_HANDLE_VALUE becomes empty at the door.
using UniqueFile = Unique<HANDLE, CloseFile, HandleKind::Kernel>;
UniqueFile Owned(HANDLE h) { return UniqueFile(h == INVALID_HANDLE_VALUE ? nullptr : h); }

}  // namespace

std::string LastSystemErrorText() { return SystemErrorText(GetLastError()); }

bool FileExists(const std::filesystem::path& p) {
  DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

struct InputFile::Impl {
  UniqueFile file;
};

InputFile::InputFile(const std::filesystem::path& p) : impl_(new Impl), path_(p) {
  impl_->file = Owned(CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!impl_->file) throw FileError(CannotOpenText(p, LastSystemErrorText()));
}

InputFile::~InputFile() = default;

std::uint64_t InputFile::Size() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(impl_->file.get(), &size)) throw FileError(kStreamReadError);
  return static_cast<std::uint64_t>(size.QuadPart);
}

void InputFile::Seek(std::uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(impl_->file.get(), to, nullptr, FILE_BEGIN)) throw FileError(kStreamReadError);
}

std::size_t InputFile::Read(void* buf, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(impl_->file.get(), static_cast<char*>(buf) + done, chunk, &got, nullptr))
      throw FileError(kStreamReadError);
    if (got == 0) break;
    done += got;
  }
  return done;
}

namespace {

UniqueFile CreateForWriting(const std::filesystem::path& p) {
  return Owned(CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Closed here, whatever happens: a write error is known only once closed.
void WriteAllAndClose(UniqueFile file, std::span<const std::uint8_t> bytes) {
  const HANDLE h = file.get();
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    ok = WriteFile(h, bytes.data() + done, chunk, &put, nullptr) && put == chunk;
    done += put;
  }
  if (ok) ok = FlushFileBuffers(h);
  if (!CloseHandle(file.release())) ok = false;
  if (!ok) throw FileError(kStreamWriteError);
}

}  // namespace

void WriteWholeFile(const std::filesystem::path& p, std::span<const std::uint8_t> bytes) {
  UniqueFile file = CreateForWriting(p);
  if (!file) throw FileError(CannotCreateText(p, LastSystemErrorText()));
  WriteAllAndClose(std::move(file), bytes);
}

void WriteFileSafely(const std::filesystem::path& target, const std::filesystem::path& temp,
                     std::span<const std::uint8_t> bytes) {
  // A read-only target must refuse the save as it would refuse being opened
  // for writing; MoveFileExW alone does not promise that everywhere.
  DWORD attrs = GetFileAttributesW(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
    throw FileError(CannotCreateText(target, SystemErrorText(ERROR_ACCESS_DENIED)));
  UniqueFile file = CreateForWriting(temp);
  if (!file) throw FileError(CannotCreateText(target, LastSystemErrorText()));
  try {
    WriteAllAndClose(std::move(file), bytes);
  } catch (...) {
    DeleteFileW(temp.c_str());
    throw;
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::string sys = LastSystemErrorText();
    DeleteFileW(temp.c_str());
    throw FileError(CannotCreateText(target, sys));
  }
}

void RenameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
    const std::string sys = LastSystemErrorText();  // before the paths' conversion can change it
    throw FileError("Cannot rename file \"" + PathToUtf8(from) + "\" to \"" + PathToUtf8(to) + "\". " + sys);
  }
}

bool FolderIsWritable(const std::filesystem::path& folder) {
  // A file of a name no one uses, gone again when its handle closes.
  const std::wstring probe =
      (folder / (L".deskclock-write-probe-" + std::to_wstring(GetCurrentProcessId()))).native();
  const UniqueFile probeFile = Owned(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                 FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN |
                                                     FILE_FLAG_DELETE_ON_CLOSE,
                                                 nullptr));
  return static_cast<bool>(probeFile);
}

bool DeleteFileQuietly(const std::filesystem::path& p) { return DeleteFileW(p.c_str()) != 0; }

}  // namespace dc

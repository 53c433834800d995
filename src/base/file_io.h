// The file layer: whole-file reads and writes beside the executable, with the
// error texts the user sees. Implemented by file_io_posix.cpp (native build)
// and file_io.win.cpp (Windows build); paths are std::filesystem paths and
// messages UTF-8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/user_error.h"

namespace dc {

// "Cannot open file "<path>". <system text>" and its kin.
class FileError : public UserError {
 public:
  using UserError::UserError;
};

std::string PathToUtf8(const std::filesystem::path& p);

// The platform's description of the last file error (errno or GetLastError).
std::string LastSystemErrorText();

bool FileExists(const std::filesystem::path& p);

// A file opened for reading, shared with other readers and writers.
class InputFile {
 public:
  // Throws FileError "Cannot open file "<path>". <system text>".
  explicit InputFile(const std::filesystem::path& p);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::uint64_t Size() const;
  void Seek(std::uint64_t offset);
  // Reads up to n bytes; returns how many were read (fewer only at the end).
  std::size_t Read(void* buf, std::size_t n);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::filesystem::path path_;
};

// The whole file, when it holds at most `maxBytes`; a larger file throws
// FileError naming it and its size, before anything is allocated.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& p, std::uint64_t maxBytes);

// Whether a file can be created in the folder: a probe file is created and
// deleted at once.
bool FolderIsWritable(const std::filesystem::path& folder);

// Creates the folder and its parents; throws FileError saying why not.
void CreateFolders(const std::filesystem::path& folder);

// Creates or replaces the file and writes all bytes. Throws FileError
// "Cannot create file ..." or "Stream write error".
void WriteWholeFile(const std::filesystem::path& p, std::span<const std::uint8_t> bytes);

// Writes the bytes to `temp`, then puts it in the place of `target` in one
// step, so `target` always holds either its old or its new complete content.
// A failure to create the temporary file or to replace the target (a
// read-only target, say) is reported as "Cannot create file "<target>" ...".
void WriteFileSafely(const std::filesystem::path& target, const std::filesystem::path& temp,
                     std::span<const std::uint8_t> bytes);

// Renames a file; throws FileError naming both paths.
void RenameFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Deletes a file if it is there; a failure is ignored (returns false).
bool DeleteFileQuietly(const std::filesystem::path& p);

// "Cannot create file "<path>". <text>", the texts the user knows.
std::string CannotOpenText(const std::filesystem::path& p, const std::string& sys);
std::string CannotCreateText(const std::filesystem::path& p, const std::string& sys);
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";

}  // namespace dc

// ClockPackage: reads a clock package (header, display and popup settings,
// face and sound data) and puts its two payloads where the player uses them.
// The package is hostile input: every length is checked against the bytes
// present before anything is allocated or copied.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/user_error.h"
#include "package/package_records.h"

namespace dc {

// A package that the player cannot be built from. The text says what is
// wrong, without the path; the caller names the file.
class PackageError : public UserError {
 public:
  using UserError::UserError;
};

class ClockPackage {
 public:
  // No clock package is larger; a larger file is refused before it is read.
  static constexpr std::uint64_t kMaxBytes = 256u << 20;

  ClockPackage();

  // Reads a package from its bytes. Bytes without the "KVX" mark keep only
  // the header. Throws PackageError when the bytes are shorter than the
  // records or than the payloads they announce.
  void LoadFromBytes(std::span<const std::uint8_t> bytes);

  // Reads the package file: a missing file leaves everything as created.
  // Throws PackageError for a file above kMaxBytes or one LoadFromBytes
  // refuses, and FileError when it cannot be opened or read.
  void Load(const std::filesystem::path& path);

  // Writes the face data to folder + "tmp.swf" and returns that path, or
  // returns an empty path when there is no face data. `folder` ends in a
  // path separator.
  std::filesystem::path SaveFaceMovie(const std::filesystem::path& folder) const;

  // Writes the sound data to folder + the package's sound file name and
  // returns that path, or an empty path when there is no sound data. The name
  // is checked first (CheckSoundFileName against `ownFiles`); a refused name
  // writes nothing and throws UserError saying why.
  std::filesystem::path SaveSound(const std::filesystem::path& folder,
                                  std::span<const std::string> ownFiles) const;

  bool HasMagic() const;
  bool IsFlashFace() const;

  const PackageHeader& Header() const { return header_; }
  const DisplaySettings& Display() const { return display_; }
  const PopupSettings& Popup() const { return popup_; }
  const std::vector<std::uint8_t>& FaceData() const { return face_; }
  const std::vector<std::uint8_t>& SoundData() const { return sound_; }

 private:
  std::vector<std::uint8_t> face_;
  std::vector<std::uint8_t> sound_;
  // Aligned, every field of the packed records lies at its natural
  // alignment.
  alignas(8) PackageHeader header_;
  alignas(8) DisplaySettings display_;
  alignas(8) PopupSettings popup_;
};

// The file name a face type selects: true for ".swf" in any case.
bool IsFlashFaceType(const DisplaySettings& display);

// What makes a loaded package unusable, or an empty text: no "KVX" mark,
// geometry no screen can hold (negative or above kMaxPixels), or a face
// picture the system could not read safely (CheckFaceBitmap).
std::string FindPackageDamage(const ClockPackage& package);

// The package name held by an executable's trailer (its last 64 bytes): the
// bytes up to the first zero byte, or all 32. An executable shorter than the
// trailer holds no name.
std::string ReadTrailerName(const std::filesystem::path& exe);
// The same of an executable's last bytes held in memory.
std::string TrailerNameOf(std::span<const std::uint8_t> tail);
ClockTrailer MakeTrailer(std::string_view packageName);

// Why a sound file name may not be written beside the executable, or an
// empty text when it may. `name` is UTF-8; `ownFiles` are the names of the
// program's own files in that folder. Compared without regard to case and
// after trailing dots and spaces.
std::string CheckSoundFileName(std::string_view name, std::span<const std::string> ownFiles);

}  // namespace dc

// TClockDB: reads a clock package (header, display and alert settings, face
// and sound data) and puts its two payloads where the player uses them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "package/package_records.h"

namespace dc {

// A package that the player cannot be built from. The text says what is
// wrong, without the path; the caller names the file.
class PackageError : public UserError {
 public:
  using UserError::UserError;
};

class TClockDB {
 public:
  TClockDB();

  // Reads the package. A missing file leaves everything as created; a file
  // without the "KVX" mark keeps only the header bytes read. Throws
  // PackageError when the file is shorter than its records or than the
  // payloads it announces (checked against the file size before anything is
  // allocated) and FileError when it cannot be opened.
  void Load(const std::filesystem::path& path);

  // Hands the face data to a picture that can load itself from bytes
  // (picture.LoadFromBytes(span)); does nothing when there is no face data.
  template <class Picture>
  void LoadFaceInto(Picture& picture) const {
    if (!face_.empty()) picture.LoadFromBytes(std::span<const std::uint8_t>(face_));
  }

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

  const TPackageHeader& Header() const { return header_; }
  const TDisplaySettings& Display() const { return display_; }
  const TAlertSettings& Alert() const { return alert_; }
  const std::vector<std::uint8_t>& FaceData() const { return face_; }
  const std::vector<std::uint8_t>& SoundData() const { return sound_; }

 private:
  std::vector<std::uint8_t> face_;
  std::vector<std::uint8_t> sound_;
  TPackageHeader header_;
  TDisplaySettings display_;
  TAlertSettings alert_;
};

// The file name a face type selects: true for ".swf" in any case.
bool IsFlashFaceType(const TDisplaySettings& display);

// What makes a loaded package unusable, or an empty text: no "KVX" mark, or
// geometry no screen can hold (negative or above kMaxPixels).
inline constexpr std::int64_t kMaxPixels = 16384;
std::string FindPackageDamage(const TClockDB& db);

// The package name held by an executable's trailer (its last 64 bytes): the
// bytes up to the first zero byte, or all 32. An executable shorter than the
// trailer holds no name.
std::string ReadTrailerName(const std::filesystem::path& exe);
TClockTrailer MakeTrailer(std::string_view packageName);

// Why a sound file name may not be written beside the executable, or an
// empty text when it may. `name` is UTF-8; `ownFiles` are the names of the
// program's own files in that folder. Compared without regard to case and
// after trailing dots and spaces.
std::string CheckSoundFileName(std::string_view name, std::span<const std::string> ownFiles);

}  // namespace dc

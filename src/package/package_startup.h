// The player's first start-up steps, free of any window: find the package
// named in the executable's trailer, read and check it, and write out its
// sound and Flash movie beside the executable.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "package/package_records.h"

namespace dc {

struct PackageStart {
  enum class Outcome {
    Ready,    // the clock can be built
    Missing,  // show `message` as information and end with exit code 0
    Damaged,  // show `message` as an error and end with kDamagedExitCode
  };
  Outcome outcome = Outcome::Ready;
  std::string message;
  // Errors that do not stop the clock (a refused sound name, a folder that
  // cannot be written); each is shown once.
  std::vector<std::string> warnings;

  TPackageHeader header{};
  TDisplaySettings display{};
  TAlertSettings alert{};
  bool flashFace = false;
  std::vector<std::uint8_t> faceBitmap;  // the picture face's BMP bytes
  std::filesystem::path moviePath;       // the extracted "tmp.swf", or empty
  std::filesystem::path soundPath;       // the extracted sound file, or empty
};

inline constexpr int kDamagedExitCode = 2;

// True when the first command-line parameter is exactly "p": the sound is
// then not written out and alarms ring silently.
bool IsSilentStart(std::span<const std::string> params);

// The program's own files in its folder, which a package may not overwrite.
std::vector<std::string> OwnFileNames(const std::string& exeName, const std::string& packageName);

PackageStart StartPackage(const std::filesystem::path& exePath, bool silent);

}  // namespace dc

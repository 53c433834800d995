// The player's first start-up steps, free of any window: find the package
// named in the executable's trailer, read and check it, choose the folders
// the clock keeps its files in, and write out its sound and Flash movie.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "package/own_files.h"
#include "package/package_records.h"

namespace dc {

// What start-up needs to know of the user's machine.
struct StartupEnvironment {
  // Whether a file can be created in a folder.
  std::function<bool(const std::filesystem::path&)> folderIsWritable;
  // The user's roaming and local application data folders.
  std::filesystem::path appData, localAppData;
  // Where the two are asked for only when the executable's folder cannot
  // be written (asking loads the shell's library): used when set.
  std::function<std::filesystem::path()> findAppData, findLocalAppData;
};

// Where the clock keeps Alarm.sav and where it writes the extracted sound
// and movie. Folders end in a separator.
struct ClockFolders {
  std::filesystem::path store;
  std::filesystem::path extracted;
  // The executable's folder cannot be written: the files live in the
  // user's application data folders instead.
  bool moved = false;
};

// The executable's folder for both when it can be written, as it always
// was; otherwise %APPDATA%\Deskclock\<clock name>\ for Alarm.sav and
// %LOCALAPPDATA%\Deskclock\<clock name>\ for the extracted files.
ClockFolders ChooseFolders(const std::filesystem::path& exeFolder, bool exeFolderWritable,
                           const std::filesystem::path& appData, const std::filesystem::path& localAppData,
                           const std::string& clockName);

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
  // Shown once as information, the first time the clock's files move to
  // the application data folders.
  std::string notice;

  PackageHeader header{};
  DisplaySettings display{};
  PopupSettings popup{};
  bool flashFace = false;
  std::vector<std::uint8_t> faceBitmap;  // the picture face's BMP bytes
  ClockFolders folders;
  std::filesystem::path storePath;  // Alarm.sav
  std::filesystem::path moviePath;  // the extracted "tmp.swf", or empty
  std::filesystem::path soundPath;  // the extracted sound file, or empty
};

inline constexpr int kDamagedExitCode = 2;

// True when the first command-line parameter is exactly "p": the sound is
// then not written out and alarms ring silently.
bool IsSilentStart(std::span<const std::string> params);

PackageStart StartPackage(const std::filesystem::path& exePath, bool silent, const StartupEnvironment& environment);

}  // namespace dc

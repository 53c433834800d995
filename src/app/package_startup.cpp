// The player's package start-up steps.
#include "app/package_startup.h"

#include <cstring>

#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "package/clock_package.h"

namespace dc {
namespace {

std::filesystem::path WithSeparator(const std::filesystem::path& folder) {
  std::filesystem::path out = folder;
  if (!out.empty() && !out.native().ends_with(std::filesystem::path::preferred_separator)) {
    out += std::filesystem::path::preferred_separator;
  }
  return out;
}

std::string DamagedMessage(const std::filesystem::path& package, const std::string& why, const char* verb) {
  return "The clock package \"" + PathToUtf8(package) + "\" " + verb + ": " + why + ".";
}

}  // namespace

bool IsSilentStart(std::span<const std::string> params) { return !params.empty() && params[0] == "p"; }

ClockFolders ChooseFolders(const std::filesystem::path& exeFolder, bool exeFolderWritable,
                           const std::filesystem::path& appData, const std::filesystem::path& localAppData,
                           const std::string& clockName) {
  if (exeFolderWritable) return {WithSeparator(exeFolder), WithSeparator(exeFolder), false};
  const std::filesystem::path own = std::filesystem::path("Deskclock") / PathFromUtf8(FolderNameOf(clockName));
  return {WithSeparator(appData / own), WithSeparator(localAppData / own), true};
}

PackageStart StartPackage(const std::filesystem::path& exePath, bool silent, const StartupEnvironment& env) {
  PackageStart start;
  // The folder keeps its separator; the package name is joined as text, so an
  // empty name gives the folder itself, which is no file.
  const std::filesystem::path folder = WithSeparator(exePath.parent_path());
  const std::string name = AnsiToUtf8(ReadTrailerName(exePath));
  const std::filesystem::path packagePath = folder.native() + PathFromUtf8(name).native();
  if (!FileExists(packagePath)) {
    start.outcome = PackageStart::Outcome::Missing;
    start.message = "file " + name + " not found.";
    return start;
  }

  ClockPackage package;
  try {
    package.Load(packagePath);
  } catch (const UserError& e) {
    start.outcome = PackageStart::Outcome::Damaged;
    start.message = DamagedMessage(packagePath, e.what(), "cannot be used");
    return start;
  }
  if (std::string damage = FindPackageDamage(package); !damage.empty()) {
    start.outcome = PackageStart::Outcome::Damaged;
    start.message = DamagedMessage(packagePath, damage, "is damaged");
    return start;
  }

  const bool writable = !env.folderIsWritable || env.folderIsWritable(folder);
  const std::filesystem::path appData = !writable && env.findAppData ? env.findAppData() : env.appData;
  const std::filesystem::path localAppData =
      !writable && env.findLocalAppData ? env.findLocalAppData() : env.localAppData;
  start.folders = ChooseFolders(folder, writable, appData, localAppData,
                                AnsiToUtf8(ReadFixedText(package.Header().ClockName)));
  start.storePath = start.folders.store / "Alarm.sav";
  if (start.folders.moved) {
    try {
      const bool first = !FileExists(start.storePath);
      CreateFolders(start.folders.store);
      CreateFolders(start.folders.extracted);
      if (first) {
        start.notice = "The clock's folder \"" + PathToUtf8(folder) +
                       "\" cannot be written, so the clock keeps its alarms in \"" +
                       PathToUtf8(start.folders.store) + "\" and its sound in \"" +
                       PathToUtf8(start.folders.extracted) + "\".";
      }
    } catch (const UserError& e) {
      start.warnings.push_back(std::string(e.what()) + ". The alarms cannot be saved.");
    }
  }

  if (!silent) {
    try {
      start.soundPath = package.SaveSound(start.folders.extracted, OwnFileNames(PathToUtf8(exePath.filename()), name));
    } catch (const FileError& e) {
      start.warnings.push_back(std::string("The clock's sound could not be written: ") + e.what() +
                               ". The clock runs without sound.");
    } catch (const UserError& e) {
      start.warnings.push_back(e.what());  // a refused name says so itself
    }
  }
  start.header = package.Header();
  start.display = package.Display();
  start.popup = package.Popup();
  start.flashFace = package.IsFlashFace();
  if (!start.flashFace) {
    start.faceBitmap = package.FaceData();
  } else {
    try {
      start.moviePath = package.SaveFaceMovie(start.folders.extracted);
    } catch (const FileError& e) {
      start.warnings.push_back(std::string("The clock's Flash face could not be written: ") + e.what() + ".");
    }
  }
  return start;
}

}  // namespace dc

// The player's package start-up steps.
#include "package/package_startup.h"

#include "alarms/alarm_db.h"
#include "base/ansi_text.h"
#include "base/file_io.h"
#include "package/clock_db.h"

namespace dc {

bool IsSilentStart(std::span<const std::string> params) { return !params.empty() && params[0] == "p"; }

std::vector<std::string> OwnFileNames(const std::string& exeName, const std::string& packageName) {
  const std::string store = "Alarm.sav";
  return {exeName, packageName, store, PathToUtf8(TAlarmDB::TempPathFor(store)), store + ".unreadable",
          "tmp.swf"};
}

PackageStart StartPackage(const std::filesystem::path& exePath, bool silent) {
  PackageStart start;
  // The folder keeps its separator; the package name is joined as text, so an
  // empty name gives the folder itself, which is no file.
  const std::filesystem::path folder = exePath.parent_path().native() + std::filesystem::path::preferred_separator;
  const std::string name = AnsiToUtf8(ReadTrailerName(exePath));
  const std::filesystem::path packagePath = folder.native() + PathFromUtf8(name).native();
  if (!FileExists(packagePath)) {
    start.outcome = PackageStart::Outcome::Missing;
    start.message = "file " + name + " not found.";
    return start;
  }

  TClockDB db;
  try {
    db.Load(packagePath);
  } catch (const UserError& e) {
    start.outcome = PackageStart::Outcome::Damaged;
    start.message = "The clock package \"" + PathToUtf8(packagePath) + "\" cannot be used: " + e.what() + ".";
    return start;
  }
  if (std::string damage = FindPackageDamage(db); !damage.empty()) {
    start.outcome = PackageStart::Outcome::Damaged;
    start.message = "The clock package \"" + PathToUtf8(packagePath) + "\" is damaged: " + damage + ".";
    return start;
  }

  if (!silent) {
    try {
      start.soundPath = db.SaveSound(folder, OwnFileNames(PathToUtf8(exePath.filename()), name));
    } catch (const FileError& e) {
      start.warnings.push_back(std::string("The clock's sound could not be written: ") + e.what() +
                               ". The clock runs without sound.");
    } catch (const UserError& e) {
      start.warnings.push_back(e.what());  // a refused name says so itself
    }
  }
  start.header = db.Header();
  start.display = db.Display();
  start.alert = db.Alert();
  start.flashFace = db.IsFlashFace();
  if (!start.flashFace) {
    start.faceBitmap = db.FaceData();
  } else {
    try {
      start.moviePath = db.SaveFaceMovie(folder);
    } catch (const FileError& e) {
      start.warnings.push_back(std::string("The clock's Flash face could not be written: ") + e.what() + ".");
    }
  }
  return start;
}

}  // namespace dc

// Opening the alarm store at start-up.
#include "alarms/store_startup.h"

#include "base/file_io.h"

namespace dc {

std::vector<std::string> OpenAlarmStore(AlarmStore& db, const std::filesystem::path& storePath) {
  std::vector<std::string> errors;
  // The store starts from its defaults, so that a clock whose folder cannot
  // be written still stays on top with no alarms, as a first start does.
  db.ResetDefaults();
  if (!FileExists(storePath)) {
    try {
      db.SaveToFile(storePath);
    } catch (const UserError& e) {
      errors.push_back(std::string(e.what()) + ". The alarms cannot be saved.");
    }
  }
  try {
    db.LoadFromFile(storePath);
  } catch (const UserError& e) {
    errors.push_back(std::string(e.what()) +
                     ". The alarms that could be read are kept; the unreadable file will be kept beside "
                     "the new one at the next save.");
  }
  return errors;
}

}  // namespace dc

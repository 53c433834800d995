// Opening the alarm store at start-up: a first start writes the default
// file, then the file is loaded. Errors do not stop the clock; they are
// returned for the user to see once each.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "alarms/alarm_store.h"

namespace dc {

std::vector<std::string> OpenAlarmStore(AlarmStore& db, const std::filesystem::path& storePath);

}  // namespace dc

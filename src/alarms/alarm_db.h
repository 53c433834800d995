// TAlarmDB: the user's alarms and the two options, in memory and in
// Alarm.sav (a 10-byte header, then Count records of 344 bytes).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "alarms/alarm_record.h"

namespace dc {

class TAlarmDB {
 public:
  static constexpr std::uint16_t kMaxAlarms = 0xFFFF;

  // An empty store: no records, Count 0, Magic empty, both options off.
  TAlarmDB();

  void ResetDefaults();

  // Replaces the header and the records with the file's; a missing file
  // changes nothing. Errors are thrown as FileError with the file layer's
  // texts. After any failed or rejected load the store holds a valid header
  // whose Count equals the records held, and the next save first keeps the
  // unreadable file beside it under a new name.
  void LoadFromFile(const std::filesystem::path& path);

  // Writes the header and all records to a temporary file beside `path` and
  // then puts it in place of `path`, so the last good file is never lost.
  void SaveToFile(const std::filesystem::path& path);

  // Throws UserError when the store already holds kMaxAlarms alarms.
  void AddAlarm(const TAlarmRecord& record);
  void DeleteAlarm(int index);
  TAlarmRecord GetAlarm(int index) const;
  void SetAlarm(const TAlarmRecord& record, int index);
  void SetAutoRun(bool on);
  void SetStayOnTop(bool on);

  std::uint16_t Count() const { return header_.Count; }
  bool AutoRun() const { return header_.AutoRun != 0; }
  bool StayOnTop() const { return header_.StayOnTop != 0; }
  const TAlarmHeader& Header() const { return header_; }

  // The file the store writes first and then renames over the store file,
  // and the name an unreadable store file is kept under.
  static std::filesystem::path TempPathFor(const std::filesystem::path& path);
  static std::filesystem::path UnreadablePathFor(const std::filesystem::path& path);

 private:
  void KeepUnreadableFile(const std::filesystem::path& path);

  std::vector<TAlarmRecord> records_;
  TAlarmHeader header_;
  std::filesystem::path unreadable_;  // a file the last load could not read
};

}  // namespace dc

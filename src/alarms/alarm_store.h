// AlarmStore: the user's alarms and the two options, in memory and in
// Alarm.sav (a 10-byte header, then Count records of 344 bytes).
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "alarms/alarm_record.h"

namespace dc {

class AlarmStore {
 public:
  static constexpr std::uint16_t kMaxAlarms = 0xFFFF;

  // An empty store: no records, Count 0, Magic empty, both options off.
  AlarmStore();

  void ResetDefaults();

  // Replaces the header and the records with those of a file's bytes. Bytes
  // without the "KVX" mark are no alarm store: the store takes its defaults
  // and nothing is said. Throws FileError "Stream read error" for bytes
  // shorter than the header (the store takes its defaults) or than the
  // records the header announces (the whole records are kept, and Count
  // says how many).
  void LoadFromBytes(std::span<const std::uint8_t> bytes);
  // The file's bytes: the header, then every record in list order.
  std::vector<std::uint8_t> ToBytes() const;

  // LoadFromBytes on the file; a missing file changes nothing. Errors are
  // thrown as FileError with the file layer's texts. After a failed or
  // rejected load the next save first keeps the unreadable file beside it
  // under a new name.
  void LoadFromFile(const std::filesystem::path& path);

  // Writes ToBytes() to a temporary file beside `path` and then puts it in
  // place of `path`, so the last good file is never lost.
  void SaveToFile(const std::filesystem::path& path);

  // Throws UserError when the store already holds kMaxAlarms alarms.
  void AddAlarm(const AlarmRecord& record);
  void DeleteAlarm(int index);
  AlarmRecord GetAlarm(int index) const;
  void SetAlarm(const AlarmRecord& record, int index);
  void SetAutoRun(bool on);
  void SetStayOnTop(bool on);

  std::uint16_t Count() const { return header_.Count; }
  bool AutoRun() const { return header_.AutoRun != 0; }
  bool StayOnTop() const { return header_.StayOnTop != 0; }
  const AlarmStoreHeader& Header() const { return header_; }

  // The file the store writes first and then renames over the store file,
  // and the first free name to keep an unreadable store file under
  // (".unreadable", then ".unreadable2" and on; the 999th is reused).
  static std::filesystem::path TempPathFor(const std::filesystem::path& path);
  static std::filesystem::path UnreadablePathFor(const std::filesystem::path& path);

 private:
  void KeepUnreadableFile(const std::filesystem::path& path);

  std::vector<AlarmRecord> records_;
  AlarmStoreHeader header_;
  bool unreadable_ = false;
  std::filesystem::path unreadableFile_;  // the file the last load could not read
};

// Two records are the same alarm when all their bytes are the same.
bool SameAlarm(const AlarmRecord& a, const AlarmRecord& b);

}  // namespace dc

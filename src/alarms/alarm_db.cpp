// TAlarmDB: load, safe save and the list operations.
#include "alarms/alarm_db.h"

#include <bit>
#include <cstring>
#include <memory>

#include "base/file_io.h"
#include "base/fixed_text.h"

namespace dc {

static_assert(std::endian::native == std::endian::little, "Alarm.sav is read as it lies");

TAlarmDB::TAlarmDB() { std::memset(&header_, 0, sizeof header_); }

void TAlarmDB::ResetDefaults() {
  std::memset(&header_, 0, sizeof header_);
  std::memcpy(header_.Magic, "KVX", 3);
  header_.StayOnTop = 1;
  records_.clear();
}

std::filesystem::path TAlarmDB::TempPathFor(const std::filesystem::path& path) {
  std::filesystem::path p = path;
  p += ".tmp";
  return p;
}

std::filesystem::path TAlarmDB::UnreadablePathFor(const std::filesystem::path& path) {
  for (int n = 1;; ++n) {
    std::filesystem::path p = path;
    p += n == 1 ? std::string(".unreadable") : ".unreadable" + std::to_string(n);
    if (!FileExists(p) || n == 999) return p;
  }
}

void TAlarmDB::LoadFromFile(const std::filesystem::path& path) {
  if (!FileExists(path)) return;
  // Whatever happens below, the store ends with a header that matches the
  // records it holds and remembers a file it could not read.
  auto fail = [&](bool keepRecords) {
    if (!keepRecords) ResetDefaults();
    header_.Count = static_cast<std::uint16_t>(records_.size());
    unreadable_ = path;
  };
  std::unique_ptr<InputFile> file;
  try {
    file = std::make_unique<InputFile>(path);
  } catch (const FileError&) {
    fail(false);
    throw;
  }
  TAlarmHeader header;
  if (file->Read(&header, sizeof header) != sizeof header) {
    fail(false);
    throw FileError(kStreamReadError);
  }
  if (ReadFixedText(header.Magic) != "KVX") {
    fail(false);
    return;  // not an alarm store: nothing is read, nothing said
  }
  header_ = header;
  records_.assign(header.Count, TAlarmRecord{});
  std::size_t got = file->Read(records_.data(), records_.size() * sizeof(TAlarmRecord));
  if (got != records_.size() * sizeof(TAlarmRecord)) {
    records_.resize(got / sizeof(TAlarmRecord));  // only whole records are kept
    fail(true);
    throw FileError(kStreamReadError);
  }
  unreadable_.clear();
}

void TAlarmDB::KeepUnreadableFile(const std::filesystem::path& path) {
  if (unreadable_.empty()) return;
  if (unreadable_ == path && FileExists(path)) RenameFile(path, UnreadablePathFor(path));
  unreadable_.clear();
}

void TAlarmDB::SaveToFile(const std::filesystem::path& path) {
  KeepUnreadableFile(path);
  std::vector<std::uint8_t> bytes(sizeof header_ + records_.size() * sizeof(TAlarmRecord));
  std::memcpy(bytes.data(), &header_, sizeof header_);
  if (!records_.empty())
    std::memcpy(bytes.data() + sizeof header_, records_.data(), records_.size() * sizeof(TAlarmRecord));
  WriteFileSafely(path, TempPathFor(path), bytes);
}

void TAlarmDB::AddAlarm(const TAlarmRecord& record) {
  if (records_.size() >= kMaxAlarms)
    throw UserError("The alarm list is full: it holds " + std::to_string(kMaxAlarms) +
                    " alarms, the most it can hold. Delete an alarm before adding another.");
  records_.push_back(record);
  header_.Count = static_cast<std::uint16_t>(records_.size());
}

void TAlarmDB::DeleteAlarm(int index) {
  records_.erase(records_.begin() + index);
  header_.Count = static_cast<std::uint16_t>(records_.size());
}

TAlarmRecord TAlarmDB::GetAlarm(int index) const { return records_[static_cast<std::size_t>(index)]; }

void TAlarmDB::SetAlarm(const TAlarmRecord& record, int index) {
  records_[static_cast<std::size_t>(index)] = record;
}

void TAlarmDB::SetAutoRun(bool on) { header_.AutoRun = on ? 1 : 0; }
void TAlarmDB::SetStayOnTop(bool on) { header_.StayOnTop = on ? 1 : 0; }

}  // namespace dc

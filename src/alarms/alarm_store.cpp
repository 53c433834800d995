// AlarmStore: load from bytes, safe save and the list operations.
#include "alarms/alarm_store.h"

#include <bit>
#include <cstring>

#include "base/file_io.h"
#include "base/fixed_text.h"

namespace dc {

static_assert(std::endian::native == std::endian::little, "Alarm.sav is read as it lies");

AlarmStore::AlarmStore() { std::memset(&header_, 0, sizeof header_); }

void AlarmStore::ResetDefaults() {
  std::memset(&header_, 0, sizeof header_);
  std::memcpy(header_.Magic, "KVX", 3);
  header_.StayOnTop = 1;
  records_.clear();
}

std::filesystem::path AlarmStore::TempPathFor(const std::filesystem::path& path) {
  std::filesystem::path p = path;
  p += ".tmp";
  return p;
}

std::filesystem::path AlarmStore::UnreadablePathFor(const std::filesystem::path& path) {
  for (int n = 1;; ++n) {
    std::filesystem::path p = path;
    p += n == 1 ? std::string(".unreadable") : ".unreadable" + std::to_string(n);
    if (!FileExists(p) || n == 999) return p;
  }
}

void AlarmStore::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  // Whatever happens below, the store ends with a header that matches the
  // records it holds.
  unreadable_ = true;
  AlarmStoreHeader header;
  if (bytes.size() < sizeof header) {
    ResetDefaults();
    throw FileError(kStreamReadError);
  }
  std::memcpy(&header, bytes.data(), sizeof header);
  if (ReadFixedText(header.Magic) != "KVX") {
    ResetDefaults();
    return;  // not an alarm store: nothing is read, nothing said
  }
  header_ = header;
  const std::size_t whole = (bytes.size() - sizeof header) / sizeof(AlarmRecord);
  const std::size_t count = header.Count < whole ? header.Count : whole;  // only whole records are kept
  records_.resize(count);
  if (count) std::memcpy(records_.data(), bytes.data() + sizeof header, count * sizeof(AlarmRecord));
  header_.Count = static_cast<std::uint16_t>(count);
  if (count < header.Count) throw FileError(kStreamReadError);
  unreadable_ = false;
}

std::vector<std::uint8_t> AlarmStore::ToBytes() const {
  std::vector<std::uint8_t> bytes(sizeof header_ + records_.size() * sizeof(AlarmRecord));
  std::memcpy(bytes.data(), &header_, sizeof header_);
  if (!records_.empty())
    std::memcpy(bytes.data() + sizeof header_, records_.data(), records_.size() * sizeof(AlarmRecord));
  return bytes;
}

void AlarmStore::LoadFromFile(const std::filesystem::path& path) {
  if (!FileExists(path)) return;
  // The largest store: the header and 65535 records.
  constexpr std::uint64_t kLargest = sizeof(AlarmStoreHeader) + std::uint64_t{kMaxAlarms} * sizeof(AlarmRecord);
  bool read = false;
  try {
    std::vector<std::uint8_t> bytes;
    {
      InputFile file(path);
      const std::uint64_t size = file.Size();
      bytes.resize(static_cast<std::size_t>(size < kLargest ? size : kLargest));
      bytes.resize(file.Read(bytes.data(), bytes.size()));
    }
    read = true;
    LoadFromBytes(bytes);
  } catch (const FileError&) {
    if (!read) ResetDefaults();  // the file could not be opened or read at all
    unreadable_ = true;
    unreadableFile_ = path;
    throw;
  }
  unreadableFile_ = unreadable_ ? path : std::filesystem::path();
}

void AlarmStore::KeepUnreadableFile(const std::filesystem::path& path) {
  if (unreadableFile_.empty()) return;
  if (unreadableFile_ == path && FileExists(path)) RenameFile(path, UnreadablePathFor(path));
  unreadableFile_.clear();
}

void AlarmStore::SaveToFile(const std::filesystem::path& path) {
  KeepUnreadableFile(path);
  WriteFileSafely(path, TempPathFor(path), ToBytes());
}

void AlarmStore::AddAlarm(const AlarmRecord& record) {
  if (records_.size() >= kMaxAlarms)
    throw UserError("The alarm list is full: it holds " + std::to_string(kMaxAlarms) +
                    " alarms, the most it can hold. Delete an alarm before adding another.");
  records_.push_back(record);
  header_.Count = static_cast<std::uint16_t>(records_.size());
}

void AlarmStore::DeleteAlarm(int index) {
  records_.erase(records_.begin() + index);
  header_.Count = static_cast<std::uint16_t>(records_.size());
}

AlarmRecord AlarmStore::GetAlarm(int index) const { return records_[static_cast<std::size_t>(index)]; }

void AlarmStore::SetAlarm(const AlarmRecord& record, int index) {
  records_[static_cast<std::size_t>(index)] = record;
}

void AlarmStore::SetAutoRun(bool on) { header_.AutoRun = on ? 1 : 0; }
void AlarmStore::SetStayOnTop(bool on) { header_.StayOnTop = on ? 1 : 0; }

bool SameAlarm(const AlarmRecord& a, const AlarmRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace dc

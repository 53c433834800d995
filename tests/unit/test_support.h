// Helpers shared by the tests: a fresh temporary folder, whole-file reads
// and writes, alarm records, and (in the Windows build) the message pump.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "alarms/alarm_record.h"
#include "base/date_time.h"
#include "base/fixed_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace dctest {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("dctest-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only files left by a test must not keep the folder alive.
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
      std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The folder with its trailing separator, as the player passes folders.
  std::filesystem::path folder() const { return path_.native() + std::filesystem::path::preferred_separator; }

 private:
  std::filesystem::path path_;
};

// Read whole in one go (a byte at a time is slow in unoptimised test code).
inline Bytes ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary | std::ios::ate);
  if (!in) return {};
  Bytes bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

inline void WriteBytes(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Grows an existing file to `size` bytes by writing its last byte (the
// rest stays a hole). std::filesystem::resize_file is not used: MinGW's
// truncate asks every volume for its free space first, which Wine cannot
// always answer.
inline void GrowFile(const std::filesystem::path& p, std::uintmax_t size) {
  std::fstream f(p, std::ios::binary | std::ios::in | std::ios::out);
  f.seekp(static_cast<std::streamoff>(size - 1));
  f.put('\0');
}

template <class T>
Bytes BytesOf(const T& value) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
  return Bytes(p, p + sizeof value);
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The text of what `f` throws, or "(no error)".
inline std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

// An alarm record, zero but for the fields given. The time's date part is
// whatever day the editor's picker held (`timeDay`); the due test ignores it.
struct AlarmSpec {
  dc::AlarmKind kind = dc::AlarmKind::EveryDay;
  const char* title = "";
  const char* todo = "";
  int hour = 7, minute = 30, second = 0;
  std::optional<dc::CivilDateTime> date;  // unset: 0.0
  std::uint16_t weekday = 0;
  dc::CivilDateTime timeDay{2001, 2, 3};
};

inline dc::AlarmRecord MakeAlarm(const AlarmSpec& wanted) {
  dc::AlarmRecord r{};
  r.Kind = static_cast<std::uint8_t>(wanted.kind);
  r.Time = *dc::EncodeDateTime({wanted.timeDay.Year, wanted.timeDay.Month, wanted.timeDay.Day, wanted.hour, wanted.minute,
                                wanted.second});
  if (wanted.date) r.Date = *dc::EncodeDateTime(*wanted.date);
  r.Weekday = wanted.weekday;
  dc::WriteFixedText(r.Title, wanted.title);
  dc::WriteFixedText(r.ToDo, wanted.todo);
  return r;
}

inline dc::AlarmRecord EveryDay(const char* title, const char* todo, int hour = 7, int minute = 30) {
  return MakeAlarm({.title = title, .todo = todo, .hour = hour, .minute = minute, .timeDay = {2026, 12, 8}});
}

#ifdef _WIN32
// Dispatches what is queued, `rounds` times, sleeping between rounds.
inline void Pump(int rounds = 10, int sleepMs = 5) {
  MSG msg;
  for (int i = 0; i < rounds; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(static_cast<DWORD>(sleepMs));
  }
}
#endif

}  // namespace dctest

// The alarm record and the header of Alarm.sav, exactly as they lie in the
// file (little-endian, nothing aligned).
#pragma once

#include <cstddef>
#include <cstdint>

namespace dc {

enum class AlarmKind : std::uint8_t { Once = 0, EveryDay = 1, EveryWeek = 2, EveryMonth = 3, EveryYear = 4 };

inline constexpr std::uint16_t kNoWeekday = 0xFFFF;

#pragma pack(push, 1)

struct AlarmRecord {
  std::uint8_t Kind;  // an AlarmKind value; other bytes are kept as read
  std::uint8_t Pad1[3];
  double Time;  // date-time; only the time of day is used
  double Date;  // date-time; only the date is used
  std::uint16_t Weekday;  // 0 Sunday .. 6 Saturday, kNoWeekday for none
  char Title[64];
  char ToDo[256];
  std::uint8_t Pad342[2];
};

struct AlarmStoreHeader {
  char Magic[5];  // "KVX" and two zero bytes
  std::uint8_t Pad5;
  std::uint16_t Count;
  std::uint8_t AutoRun;
  std::uint8_t StayOnTop;
};

#pragma pack(pop)

// Field offsets are checked by the unit tests (record_layout_test.cpp).
static_assert(sizeof(AlarmRecord) == 344);
static_assert(sizeof(AlarmStoreHeader) == 10);

}  // namespace dc

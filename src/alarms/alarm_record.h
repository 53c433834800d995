// The alarm record and the header of Alarm.sav, exactly as they lie in the
// file (little-endian, nothing aligned).
#pragma once

#include <cstddef>
#include <cstdint>

namespace dc {

enum class TAlarmKind : std::uint8_t { Once = 0, EveryDay = 1, EveryWeek = 2, EveryMonth = 3, EveryYear = 4 };

inline constexpr std::uint16_t kNoWeekday = 0xFFFF;

#pragma pack(push, 1)

struct TAlarmRecord {
  std::uint8_t Kind;  // a TAlarmKind value; other bytes are kept as read
  std::uint8_t Pad1[3];
  double Time;  // date-time; only the time of day is used
  double Date;  // date-time; only the date is used
  std::uint16_t Weekday;  // 0 Sunday .. 6 Saturday, kNoWeekday for none
  char Title[64];
  char ToDo[256];
  std::uint8_t Pad342[2];
};

struct TAlarmHeader {
  char Magic[5];  // "KVX" and two zero bytes
  std::uint8_t Pad5;
  std::uint16_t Count;
  std::uint8_t AutoRun;
  std::uint8_t StayOnTop;
};

#pragma pack(pop)

static_assert(sizeof(TAlarmRecord) == 344);
static_assert(offsetof(TAlarmRecord, Time) == 4);
static_assert(offsetof(TAlarmRecord, Date) == 12);
static_assert(offsetof(TAlarmRecord, Weekday) == 20);
static_assert(offsetof(TAlarmRecord, Title) == 22);
static_assert(offsetof(TAlarmRecord, ToDo) == 86);
static_assert(offsetof(TAlarmRecord, Pad342) == 342);

static_assert(sizeof(TAlarmHeader) == 10);
static_assert(offsetof(TAlarmHeader, Pad5) == 5);
static_assert(offsetof(TAlarmHeader, Count) == 6);
static_assert(offsetof(TAlarmHeader, AutoRun) == 8);
static_assert(offsetof(TAlarmHeader, StayOnTop) == 9);

}  // namespace dc

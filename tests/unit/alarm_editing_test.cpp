// The alarm editor's transfers and the list's rows.
#include <gtest/gtest.h>

#include <cstring>

#include "alarms/alarm_editing.h"
#include "base/date_time.h"
#include "base/fixed_text.h"
#include "test_support.h"

using namespace dc;

namespace {

const double kToday = *EncodeDateTime({2026, 12, 8});

bool NoLead(unsigned char) { return false; }
// Shift-JIS lead bytes.
bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

AlarmRecord Zero() {
  AlarmRecord r;
  std::memset(&r, 0, sizeof r);
  return r;
}

}  // namespace

TEST(AlarmEditor, OkAtOnceGivesTheNewAlarmRecord) {
  AlarmRecord r = Zero();
  StoreControls(NewAlarmValues(kToday), r, NoLead);
  AlarmRecord expected = Zero();
  expected.Kind = 0;
  WriteFixedText(expected.Title, "Alarm1");
  WriteFixedText(expected.ToDo, "Don't forget......");
  expected.Time = kToday + 0.5;
  expected.Date = kToday;
  expected.Weekday = 0;
  EXPECT_EQ(dctest::BytesOf(r), dctest::BytesOf(expected));
  EXPECT_EQ(DecodeDateTime(r.Time)->Hour, 12);
}

TEST(AlarmEditor, UnusedFieldsKeepTheirValuesAcrossKindChanges) {
  AlarmRecord monthly = Zero();
  monthly.Kind = 3;
  monthly.Date = *EncodeDateTime({2026, 1, 31});
  monthly.Weekday = 4;
  monthly.Pad1[0] = 0x77;  // padding survives an edit
  EditorValues v = NewAlarmValues(kToday);
  LoadControls(monthly, v);
  EXPECT_EQ(v.kind, 3);
  EXPECT_EQ(v.dateMonth, +monthly.Date);
  EXPECT_EQ(v.dateOnce, kToday) << "the other pickers keep today";
  v.kind = 1;  // switched to "Every day"
  AlarmRecord out = monthly;
  StoreControls(v, out, NoLead);
  EXPECT_EQ(+out.Kind, 1);
  EXPECT_EQ(+out.Date, +monthly.Date);
  EXPECT_EQ(+out.Weekday, 4);
  EXPECT_EQ(+out.Pad1[0], 0x77);

  EditorValues week = NewAlarmValues(kToday);
  week.kind = 2;
  AlarmRecord w = monthly;
  StoreControls(week, w, NoLead);
  EXPECT_EQ(+w.Weekday, 65535) << "no day picked";
  EXPECT_EQ(+w.Date, +monthly.Date);
  EditorValues back = NewAlarmValues(kToday);
  LoadControls(w, back);
  EXPECT_EQ(back.weekday, -1);
}

TEST(AlarmEditor, LongTextsAreCutAtWholeCharacters) {
  EditorValues v = NewAlarmValues(kToday);
  v.title = std::string(70, 't');
  v.todo = std::string(300, 'd');
  AlarmRecord r = Zero();
  StoreControls(v, r, NoLead);
  EXPECT_EQ(ReadFixedText(r.Title), std::string(64, 't'));
  EXPECT_EQ(ReadFixedText(r.ToDo), std::string(256, 'd'));
  // 63 single bytes, then a double-byte character that would end past byte
  // 64: it is left out whole, not split.
  v.title = std::string(63, 'a') + "\x82\xA0" + "b";
  StoreControls(v, r, ShiftJisLead);
  EXPECT_EQ(ReadFixedText(r.Title), std::string(63, 'a'));
  v.title = std::string(62, 'a') + "\x82\xA0" + "b";
  StoreControls(v, r, ShiftJisLead);
  EXPECT_EQ(ReadFixedText(r.Title), std::string(62, 'a') + "\x82\xA0");
  EXPECT_EQ(CutToWholeCharacters("\x82\xA0\x82\xA0", 3, ShiftJisLead), "\x82\xA0");
  EXPECT_EQ(CutToWholeCharacters("abc", 3, NoLead), "abc");
}

TEST(AlarmList, RowsShowTheTimeTheSameForEveryKind) {
  TimeFormat f;
  f.twelveHour = false;
  f.leadingZero = true;
  for (std::uint8_t kind = 0; kind <= 4; ++kind) {
    AlarmRecord r = Zero();
    r.Kind = kind;
    r.Time = *EncodeDateTime({2001, 5, 6, 7, 30, 0});
    r.Date = *EncodeDateTime({2030, 1, 2});
    r.Weekday = 3;
    WriteFixedText(r.Title, "t");
    WriteFixedText(r.ToDo, "line1\r\nline2");
    AlarmRow row = RowOf(r, f);
    EXPECT_EQ(row.time, "07:30:00") << int(kind);
    EXPECT_EQ(row.title, "t");
    EXPECT_EQ(row.todo, "line1\r\nline2");
  }
}

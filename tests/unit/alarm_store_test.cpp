// The alarm store: exact bytes of Alarm.sav, the list operations, and the
// safe save and load rules.
#include <gtest/gtest.h>

#include <cstring>

#include "alarms/alarm_store.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "test_support.h"

using namespace dc;
using dctest::Bytes;
using dctest::ErrorOf;
using dctest::TempDir;

namespace {

const Bytes kDefaultFile = {'K', 'V', 'X', 0, 0, 0, 0, 0, 0, 1};

AlarmRecord MakeRecord(std::uint8_t kind, const char* title, std::uint8_t fill = 0) {
  AlarmRecord r;
  std::memset(&r, fill, sizeof r);
  r.Kind = kind;
  r.Time = 0.3125;  // 07:30
  r.Date = 46364.0;
  r.Weekday = 2;
  WriteFixedText(r.Title, title);
  WriteFixedText(r.ToDo, "Don't forget......");
  return r;
}

Bytes StoreFile(Bytes header, std::initializer_list<AlarmRecord> records) {
  for (const AlarmRecord& r : records) {
    Bytes b = dctest::BytesOf(r);
    header.insert(header.end(), b.begin(), b.end());
  }
  return header;
}

std::string Title(const AlarmRecord& r) { return ReadFixedText(r.Title); }


}  // namespace

TEST(AlarmStore, FreshStoreIsEmptyAndDefaultsWriteTheTenByteFile) {
  TempDir dir;
  AlarmStore db;
  EXPECT_EQ(db.Count(), 0);
  EXPECT_FALSE(db.AutoRun());
  EXPECT_FALSE(db.StayOnTop());
  EXPECT_EQ(ReadFixedText(db.Header().Magic), "");
  db.ResetDefaults();
  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), kDefaultFile);
  EXPECT_FALSE(FileExists(AlarmStore::TempPathFor(dir / "Alarm.sav")));
}

TEST(AlarmStore, LoadThenSaveReproducesHeaderRecordsAndPadding) {
  TempDir dir;
  // Header padding 0x5A, AutoRun 1, StayOnTop 0; records with odd padding,
  // plus trailing bytes that the save drops.
  Bytes header = {'K', 'V', 'X', 0, 'q', 0x5A, 2, 0, 1, 0};
  AlarmRecord a = MakeRecord(0, "first", 0xEE), b = MakeRecord(4, "second", 0x11);
  Bytes file = StoreFile(header, {a, b});
  Bytes withTail = file;
  withTail.insert(withTail.end(), {1, 2, 3});
  dctest::WriteBytes(dir / "Alarm.sav", withTail);

  AlarmStore db;
  db.LoadFromFile(dir / "Alarm.sav");
  ASSERT_EQ(db.Count(), 2);
  EXPECT_TRUE(db.AutoRun());
  EXPECT_FALSE(db.StayOnTop());
  EXPECT_EQ(Title(db.GetAlarm(1)), "second");
  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), file);
}

TEST(AlarmStore, ListOperationsKeepOrderAndCopySemantics) {
  TempDir dir;
  AlarmStore db;
  db.ResetDefaults();
  for (const char* t : {"a", "b", "c", "d"}) db.AddAlarm(MakeRecord(1, t));
  EXPECT_EQ(db.Count(), 4);

  AlarmRecord copy = db.GetAlarm(1);
  WriteFixedText(copy.Title, "changed");
  EXPECT_EQ(Title(db.GetAlarm(1)), "b") << "GetAlarm must hand out a copy";
  db.SetAlarm(copy, 1);
  EXPECT_EQ(Title(db.GetAlarm(1)), "changed");

  db.DeleteAlarm(2);
  ASSERT_EQ(db.Count(), 3);
  EXPECT_EQ(Title(db.GetAlarm(0)), "a");
  EXPECT_EQ(Title(db.GetAlarm(1)), "changed");
  EXPECT_EQ(Title(db.GetAlarm(2)), "d");

  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 3 * 344);

  AlarmStore one;
  one.ResetDefaults();
  one.AddAlarm(MakeRecord(0, "only"));
  one.DeleteAlarm(0);
  one.SaveToFile(dir / "one.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "one.sav"), kDefaultFile);
}

TEST(AlarmStore, OptionsChangeMemoryOnlyUntilSaved) {
  TempDir dir;
  AlarmStore db;
  db.ResetDefaults();
  db.SaveToFile(dir / "Alarm.sav");
  db.SetAutoRun(true);
  db.SetStayOnTop(false);
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), kDefaultFile);
  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), (Bytes{'K', 'V', 'X', 0, 0, 0, 0, 0, 1, 0}));
}

TEST(AlarmStore, SixtyFourCharacterTitleFillsItsFieldWithoutTakingTheToDo) {
  TempDir dir;
  AlarmRecord r = MakeRecord(0, "");
  std::string title(64, 'T');
  WriteFixedText(r.Title, title);
  WriteFixedText(r.ToDo, std::string(256, 'D'));
  dctest::WriteBytes(dir / "Alarm.sav", StoreFile({'K', 'V', 'X', 0, 0, 0, 1, 0, 0, 1}, {r}));
  AlarmStore db;
  db.LoadFromFile(dir / "Alarm.sav");
  EXPECT_EQ(Title(db.GetAlarm(0)), title);
  EXPECT_EQ(ReadFixedText(db.GetAlarm(0).ToDo), std::string(256, 'D'));
}

TEST(AlarmStore, MagicRules) {
  struct Case {
    Bytes magic;
    bool accepted;
  } cases[] = {
      {{'K', 'V', 'X', 0, 0}, true},
      {{'K', 'V', 'X', 0, 'z'}, true},   // any fifth byte after the NUL
      {{'K', 'V', 'X', 'A', 0}, false},  // four characters
      {{'K', 'V', 'X', 'A', 'B'}, false},
      {{'k', 'v', 'x', 0, 0}, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    Bytes header = c.magic;
    header.insert(header.end(), {0, 1, 0, 1, 0});
    dctest::WriteBytes(dir / "Alarm.sav", StoreFile(header, {MakeRecord(1, "x")}));
    AlarmStore db;
    db.LoadFromFile(dir / "Alarm.sav");
    SCOPED_TRACE(std::string(c.magic.begin(), c.magic.end()));
    EXPECT_EQ(db.Count(), c.accepted ? 1 : 0);
    // A rejected file leaves a valid default header, never a Count above
    // the records held.
    EXPECT_EQ(ReadFixedText(db.Header().Magic), "KVX");
    EXPECT_EQ(db.StayOnTop(), !c.accepted);
  }
}

TEST(AlarmStore, MissingFileChangesNothing) {
  TempDir dir;
  AlarmStore db;
  db.ResetDefaults();
  db.AddAlarm(MakeRecord(1, "kept"));
  db.LoadFromFile(dir / "Alarm.sav");
  EXPECT_EQ(db.Count(), 1);
  EXPECT_FALSE(FileExists(dir / "Alarm.sav"));
}

TEST(AlarmStore, CutRecordsKeepWholeOnesAndReportStreamReadError) {
  TempDir dir;
  Bytes file = StoreFile({'K', 'V', 'X', 0, 0, 0, 3, 0, 0, 1}, {MakeRecord(0, "a"), MakeRecord(0, "b"), MakeRecord(0, "c")});
  file.resize(10 + 2 * 344 + 100);  // the third record is cut
  dctest::WriteBytes(dir / "Alarm.sav", file);

  AlarmStore db;
  EXPECT_EQ(ErrorOf([&] { db.LoadFromFile(dir / "Alarm.sav"); }), "Stream read error");
  ASSERT_EQ(db.Count(), 2);
  EXPECT_EQ(Title(db.GetAlarm(1)), "b");

  // The first save keeps the damaged file beside the new one.
  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav.unreadable"), file);
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 2 * 344);
  // Later saves just save.
  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_FALSE(FileExists(dir / "Alarm.sav.unreadable2"));
}

TEST(AlarmStore, ShortHeaderAndWrongMagicAreKeptUnderANewNameAtTheFirstSave) {
  TempDir dir;
  const Bytes shortFile = {'K', 'V', 'X', 0};
  dctest::WriteBytes(dir / "Alarm.sav", shortFile);
  dctest::WriteBytes(dir / "Alarm.sav.unreadable", {'o', 'l', 'd'});  // an earlier one stays too
  AlarmStore db;
  EXPECT_EQ(ErrorOf([&] { db.LoadFromFile(dir / "Alarm.sav"); }), "Stream read error");
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(ReadFixedText(db.Header().Magic), "KVX");
  db.SaveToFile(dir / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav.unreadable2"), shortFile);
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav.unreadable"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), kDefaultFile);

  TempDir dir2;
  const Bytes foreign = {'M', 'Z', 0, 0, 0, 0, 9, 9, 9, 9, 9, 9};
  dctest::WriteBytes(dir2 / "Alarm.sav", foreign);
  AlarmStore db2;
  db2.LoadFromFile(dir2 / "Alarm.sav");  // a wrong mark is not reported
  db2.SaveToFile(dir2 / "Alarm.sav");
  EXPECT_EQ(dctest::ReadBytes(dir2 / "Alarm.sav.unreadable"), foreign);
}

TEST(AlarmStore, ReadOnlyFileGivesCannotCreateAndKeepsBothFileAndMemory) {
  TempDir dir;
  AlarmStore db;
  db.ResetDefaults();
  db.SaveToFile(dir / "Alarm.sav");
  std::filesystem::permissions(dir / "Alarm.sav", std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                                      std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  db.AddAlarm(MakeRecord(1, "new"));
  std::string err = ErrorOf([&] { db.SaveToFile(dir / "Alarm.sav"); });
  EXPECT_EQ(err.rfind("Cannot create file \"" + PathToUtf8(dir / "Alarm.sav") + "\". ", 0), 0u) << err;
  EXPECT_GT(err.size(), ("Cannot create file \"" + PathToUtf8(dir / "Alarm.sav") + "\". ").size()) << "no system text";
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), kDefaultFile);
  EXPECT_FALSE(FileExists(AlarmStore::TempPathFor(dir / "Alarm.sav")));
  EXPECT_EQ(db.Count(), 1);
}

TEST(AlarmStore, FolderThatDoesNotExistGivesCannotCreate) {
  TempDir dir;
  AlarmStore db;
  db.ResetDefaults();
  auto path = dir / "missing" / "Alarm.sav";
  std::string err = ErrorOf([&] { db.SaveToFile(path); });
  EXPECT_EQ(err.rfind("Cannot create file \"" + PathToUtf8(path) + "\". ", 0), 0u) << err;
  EXPECT_EQ(db.Count(), 0);
  db.AddAlarm(MakeRecord(1, "still works"));
  EXPECT_EQ(db.Count(), 1);
}

TEST(AlarmStore, AddingBeyondTheCountFieldIsRefused) {
  AlarmStore db;
  db.ResetDefaults();
  AlarmRecord r = MakeRecord(1, "x");
  for (int i = 0; i < AlarmStore::kMaxAlarms; ++i) db.AddAlarm(r);
  EXPECT_EQ(db.Count(), 65535);
  std::string err = ErrorOf([&] { db.AddAlarm(r); });
  EXPECT_NE(err.find("65535"), std::string::npos) << err;
  EXPECT_EQ(db.Count(), 65535);
}

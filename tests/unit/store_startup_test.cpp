// Opening the alarm store at start-up.
#include <gtest/gtest.h>

#include "alarms/store_startup.h"
#include "base/file_io.h"
#include "test_support.h"

using namespace dc;
using dctest::Bytes;
using dctest::TempDir;

TEST(AlarmStartup, FirstStartWritesTheDefaultFileAndLoadsIt) {
  TempDir dir;
  AlarmStore db;
  EXPECT_TRUE(OpenAlarmStore(db, dir / "Alarm.sav").empty());
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), (Bytes{'K', 'V', 'X', 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_TRUE(db.StayOnTop());
  EXPECT_FALSE(db.AutoRun());
}

TEST(AlarmStartup, UnwritableFolderIsOneErrorAndTheDefaults) {
  TempDir dir;
  AlarmStore db;
  auto path = dir / "no-such-folder" / "Alarm.sav";
  auto errors = OpenAlarmStore(db, path);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot create file \"" + PathToUtf8(path) + "\". ", 0), 0u) << errors[0];
  EXPECT_TRUE(db.StayOnTop());
  EXPECT_EQ(db.Count(), 0);
}

TEST(AlarmStartup, DamagedFileIsOneErrorAndAValidStore) {
  TempDir dir;
  Bytes file = {'K', 'V', 'X', 0, 0, 0, 5, 0, 1, 0};
  file.resize(10 + 344 + 10, 0);  // five announced, one whole record
  dctest::WriteBytes(dir / "Alarm.sav", file);
  AlarmStore db;
  auto errors = OpenAlarmStore(db, dir / "Alarm.sav");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Stream read error. ", 0), 0u) << errors[0];
  EXPECT_EQ(db.Count(), 1);
  EXPECT_TRUE(db.AutoRun());
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), file) << "nothing is written at start";
}

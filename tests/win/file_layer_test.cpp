// The Windows file layer: the platform's own error texts, sharing and the
// read-only attribute.
#include <gtest/gtest.h>

#include <windows.h>

#include "alarms/alarm_store.h"
#include "base/file_io.h"
#include "base/win_text.win.h"
#include "test_support.h"

using dctest::ErrorOf;
using dctest::TempDir;

TEST(FileLayer, FileLockedByAnotherProgramCannotBeOpenedAndSaysWhy) {
  TempDir dir;
  dc::AlarmStore db;
  db.ResetDefaults();
  db.SaveToFile(dir / "Alarm.sav");
  HANDLE lock = CreateFileW((dir / "Alarm.sav").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  std::string err = ErrorOf([&] { db.LoadFromFile(dir / "Alarm.sav"); });
  CloseHandle(lock);
  const std::string expect = "Cannot open file \"" + dc::PathToUtf8(dir / "Alarm.sav") + "\". " +
                             dc::SystemErrorText(ERROR_SHARING_VIOLATION);
  EXPECT_EQ(err, expect);
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(std::string(db.Header().Magic, 3), "KVX");
}

TEST(FileLayer, ReadOnlyAttributeRefusesTheSafeSaveWithAccessDenied) {
  TempDir dir;
  dc::AlarmStore db;
  db.ResetDefaults();
  db.SaveToFile(dir / "Alarm.sav");
  ASSERT_TRUE(SetFileAttributesW((dir / "Alarm.sav").c_str(), FILE_ATTRIBUTE_READONLY));
  std::string err = ErrorOf([&] { db.SaveToFile(dir / "Alarm.sav"); });
  SetFileAttributesW((dir / "Alarm.sav").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(err, "Cannot create file \"" + dc::PathToUtf8(dir / "Alarm.sav") + "\". " +
                     dc::SystemErrorText(ERROR_ACCESS_DENIED));
}

TEST(FileLayer, SystemErrorTextHasNoTrailingLineBreakOrDot) {
  std::string text = dc::SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_NE(text.back(), '\n');
  EXPECT_EQ(text.find("System error"), std::string::npos) << text;
}

TEST(FileLayer, AnsiFieldsUseTheSystemCodePage) {
  // Wine's default code page here is Windows-1252.
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_EQ(dc::AnsiToWide("caf\xe9 \x80"), L"caf\u00e9 \u20ac");
}

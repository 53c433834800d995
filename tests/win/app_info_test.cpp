// The application title under Wine's own lower-casing.
#include <gtest/gtest.h>

#include "ui/app_info.h"

TEST(AppInfo, TitleIsTheNameBeforeItsFirstDotWithTheRestInLowerCase) {
  struct Case {
    const wchar_t* path;
    const wchar_t* title;
  } cases[] = {
      {L"C:\\Program Files\\Clock\\DeskClock.exe", L"Deskclock"},
      {L"C:\\a.b\\my.CLOCK.exe", L"my"},  // the first character is kept as it is
      {L"Z:/tmp/ALARM", L"Alarm"},
      {L"C:\\x\\\u00c4RGER\u00d6.EXE", L"\u00c4rger\u00f6"},
      {L"C:\\x\\.hidden.exe", L""},
      {L"x.exe", L"x"},
  };
  for (const Case& c : cases) EXPECT_EQ(dc::ui::TitleFromExecutableName(c.path), c.title);
}

TEST(AppInfo, RunningProgramKnowsItsPathAndTitle) {
  auto exe = dc::ui::ExecutablePath();
  EXPECT_EQ(exe.filename(), L"win_tests.exe");
  EXPECT_EQ(dc::ui::ApplicationTitle(), L"win_tests");
}

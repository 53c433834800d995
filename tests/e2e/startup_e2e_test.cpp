// The real player at start-up: a missing package, a damaged one, and the
// demo clock coming up with its window and its first Alarm.sav.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "player_driver.h"
#include "ui/window_classes.h"
#include "test_support.h"

using namespace std::chrono_literals;
using dctest::Bytes;
using dctest::PlayerProcess;
using dctest::TempDir;

namespace {

std::size_t FilesIn(const TempDir& dir) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()));
}

}  // namespace

TEST(PlayerStartup, MissingPackageShowsTheInformationBoxAndExitsWithZero) {
  struct Case {
    const wchar_t* exe;
    std::string package;
    const wchar_t* caption;
    std::wstring text;
  } cases[] = {
      {L"DeskClock.exe", "missing.kvx", L"Deskclock", L"file missing.kvx not found."},
      {L"MY.ALARM.CLOCK.exe", std::string(32, 'k'), L"My", L"file " + std::wstring(32, L'k') + L" not found."},
      {L"DeskClock.exe", "", L"Deskclock", L"file  not found."},  // an all-zero trailer
  };
  for (const Case& c : cases) {
    TempDir dir;
    auto exe = dctest::InstallPlayer(dir.path(), c.exe, c.package);
    PlayerProcess player(exe);
    auto box = player.WaitForMessageBox(30s);
    ASSERT_TRUE(box.hwnd) << "no message box";
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.text, c.text);
    EXPECT_TRUE(box.hasButton(IDOK));
    EXPECT_FALSE(box.hasButton(IDCANCEL));
    EXPECT_EQ(player.WaitForExit(300ms), -1) << "the program must wait for OK";
    player.Press(box, IDOK);
    EXPECT_EQ(player.WaitForExit(20s), 0);
    EXPECT_EQ(FilesIn(dir), 1u) << "nothing may be written";
  }
}

TEST(PlayerStartup, DamagedPackageShowsTheErrorAndExitsWithNonZero) {
  TempDir dir;
  Bytes pkg = dctest::ReadBytes(dctest::PictureClockPackage());
  ASSERT_GT(pkg.size(), 694u);
  pkg.resize(pkg.size() - 1);  // the sound is cut short
  dctest::WriteBytes(dir / "clock.kvx", pkg);
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "clock.kvx");
  PlayerProcess player(exe);
  auto box = player.WaitForMessageBox(30s);
  ASSERT_TRUE(box.hwnd);
  EXPECT_EQ(box.caption, L"Deskclock");
  EXPECT_EQ(box.text.rfind(L"The clock package \"" + (dir / "clock.kvx").native() + L"\" cannot be used: ", 0), 0u);
  player.Press(box, IDOK);
  EXPECT_EQ(player.WaitForExit(20s), 2);
  EXPECT_EQ(FilesIn(dir), 2u) << "nothing may be written";
}

TEST(PlayerStartup, DemoClockRunsWritesItsFilesAndCleansUpTheSound) {
  TempDir dir;
  std::filesystem::copy_file(dctest::PictureClockPackage(), dir / "demo.kvx");
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");
  {
    PlayerProcess player(exe);
    HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
    ASSERT_TRUE(clock) << "no clock window";
    EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), (Bytes{'K', 'V', 'X', 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(dc::FileExists(dir / "chime.wav"));
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(clock, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 230);
    EXPECT_EQ(GetWindowLongPtrW(clock, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST) << "stays on top by default";
    PostMessageW(clock, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(20s), 0);
  }
  EXPECT_FALSE(dc::FileExists(dir / "chime.wav")) << "the extracted sound is deleted at exit";

  // "p": no sound is written out.
  PlayerProcess silent(exe, L"p");
  HWND clock = silent.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  EXPECT_FALSE(dc::FileExists(dir / "chime.wav"));
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(silent.WaitForExit(20s), 0);
}

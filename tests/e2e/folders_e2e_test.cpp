// Where the real clock keeps its files: beside itself when its folder can
// be written, as always; in the user's application data folders when it
// cannot (C:\Program Files, a read-only share), said once in an
// information box that names the folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "base/file_io.h"
#include "player_driver.h"
#include "test_support.h"
#include "ui/window_classes.h"

using namespace std::chrono_literals;
using dctest::PlayerProcess;
using dctest::TempDir;

namespace {

std::filesystem::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::filesystem::path out;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) out = path;
  CoTaskMemFree(path);
  return out;
}

// The demo's own folders under the user's application data.
struct UserFolders {
  std::filesystem::path roaming = KnownFolder(FOLDERID_RoamingAppData) / "Deskclock" / "Deskclock Demo";
  std::filesystem::path local = KnownFolder(FOLDERID_LocalAppData) / "Deskclock" / "Deskclock Demo";
  UserFolders() { Remove(); }
  ~UserFolders() { Remove(); }
  void Remove() {
    std::error_code ec;
    std::filesystem::remove_all(roaming, ec);
    std::filesystem::remove_all(local, ec);
  }
};

// A folder nobody can write, root included: immutable, while it lives.
struct ReadOnlyFolder {
  std::string unixPath;
  bool made = false;
  explicit ReadOnlyFolder(const std::filesystem::path& folder) : unixPath(dctest::UnixPathOf(folder)) {
    made = dctest::RunUnix("chattr +i '" + unixPath + "'") == 0;
  }
  ~ReadOnlyFolder() {
    if (made) dctest::RunUnix("chattr -i '" + unixPath + "'");
  }
};

std::size_t FilesIn(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
}

}  // namespace

TEST(ClockFolders, AClockInAFolderItCannotWriteKeepsItsFilesInTheUsersFoldersAndSaysSoOnce) {
  UserFolders user;
  TempDir dir;
  std::filesystem::copy_file(dctest::PictureClockPackage(), dir / "demo.kvx");
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");
  ReadOnlyFolder readOnly(dir.path());
  if (!readOnly.made) GTEST_SKIP() << "this machine cannot make a folder read-only for root (chattr +i)";
  ASSERT_FALSE(dc::FolderIsWritable(dir.path()));
  {
    PlayerProcess player(exe);
    auto box = player.WaitForMessageBox(30s);
    ASSERT_TRUE(box.hwnd) << "an information box says where the files go";
    EXPECT_NE(box.text.find(L"cannot be written"), std::wstring::npos) << box.text;
    EXPECT_NE(box.text.find(user.roaming.native()), std::wstring::npos) << box.text;
    EXPECT_TRUE(box.hasButton(IDOK));
    player.Press(box, IDOK);
    HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
    ASSERT_TRUE(clock) << "the clock runs on";
    EXPECT_EQ(dctest::ReadBytes(user.roaming / "Alarm.sav"), (dctest::Bytes{'K', 'V', 'X', 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(dc::FileExists(user.local / "chime.wav")) << "the sound goes to the local folder";
    ASSERT_TRUE(player.AddAlarmThroughTheDialogs(clock));
    EXPECT_EQ(dctest::ReadBytes(user.roaming / "Alarm.sav").size(), 10u + 344u) << "the alarm is saved, not lost";
    PostMessageW(clock, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(20s), 0);
  }
  EXPECT_FALSE(dc::FileExists(user.local / "chime.wav")) << "the sound is deleted at exit";
  EXPECT_EQ(FilesIn(dir.path()), 2u) << "nothing was written beside the clock";

  PlayerProcess again(exe);
  HWND clock = again.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  EXPECT_FALSE(again.WaitForMessageBox(2s).hwnd) << "it was said once";
  EXPECT_EQ(dctest::ReadBytes(user.roaming / "Alarm.sav").size(), 10u + 344u) << "the alarms are found again";
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(again.WaitForExit(20s), 0);
}

TEST(ClockFolders, AClockInAFolderItCanWriteKeepsItsFilesBesideItself) {
  UserFolders user;
  TempDir dir;
  std::filesystem::copy_file(dctest::PictureClockPackage(), dir / "demo.kvx");
  auto exe = dctest::InstallPlayer(dir.path(), L"DeskClock.exe", "demo.kvx");
  PlayerProcess player(exe);
  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock);
  EXPECT_FALSE(player.WaitForMessageBox(1s).hwnd) << "nothing to say";
  ASSERT_TRUE(player.AddAlarmThroughTheDialogs(clock));
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 344u);
  EXPECT_TRUE(dc::FileExists(dir / "chime.wav"));
  EXPECT_FALSE(std::filesystem::exists(user.roaming)) << "the user's folders are left alone";
  EXPECT_FALSE(std::filesystem::exists(user.local));
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}

// The clock as the installer left it (run by tests/release/release_test.sh
// with DC_INSTALLED_CLOCK naming the installed executable): it starts from
// its folder, and an alarm added through the dialogs lands in Alarm.sav
// beside it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "player_driver.h"
#include "test_support.h"
#include "ui/window_classes.h"

using namespace std::chrono_literals;

TEST(InstalledClock, StartsFromItsFolderAndSavesAnAddedAlarmBesideItself) {
  const char* installed = std::getenv("DC_INSTALLED_CLOCK");
  ASSERT_TRUE(installed && *installed) << "DC_INSTALLED_CLOCK names the installed clock";
  const std::filesystem::path exe = std::filesystem::path(installed);
  const std::filesystem::path store = exe.parent_path() / "Alarm.sav";
  dctest::PlayerProcess player(exe, L"p");
  HWND clock = player.WaitForWindow(dc::ui::kClockClass, 30s);
  ASSERT_TRUE(clock) << "the installed clock starts";
  ASSERT_EQ(dctest::ReadBytes(store).size(), 10u) << "a first start writes the store beside the clock";
  ASSERT_TRUE(player.AddAlarmThroughTheDialogs(clock));
  EXPECT_EQ(dctest::ReadBytes(store).size(), 10u + 344u);
  PostMessageW(clock, WM_CLOSE, 0, 0);
  EXPECT_EQ(player.WaitForExit(20s), 0);
}

// Alarms firing in the real clock window under Wine: popups piled at the
// corner, their fade and growth, display durations, OnClose, and the sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "base/date_time.h"
#include "base/fixed_text.h"
#include "popup_fixture.h"

using namespace dc;
using dctest::Bytes;
using dctest::Clock;
using dctest::FiringClock;
using dctest::Pump;
using dctest::Popups;
using dctest::EveryDay;
using dctest::Wait;


TEST(Popups, ThreeAlarmsPileUpFromTheCornerAndCloseDownward) {
  SetCursorPos(0, 0);
  FiringClock c(Popups(0, false, 0), {EveryDay("one", "1"), EveryDay("two", "2"), EveryDay("three", "3")});
  c.Fire();
  ASSERT_EQ(c.form->Popups().OpenPopups(), 3u);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT r0 = c.PopupRect(0), r1 = c.PopupRect(1), r2 = c.PopupRect(2);
  EXPECT_EQ(r0.right, work.right);
  EXPECT_EQ(r0.bottom, work.bottom) << "the first alarm lowest";
  EXPECT_EQ(r1.bottom, r0.top) << "no gaps";
  EXPECT_EQ(r2.bottom, r1.top);
  EXPECT_EQ(r0.right - r0.left, 329);
  EXPECT_EQ(r0.bottom - r0.top, 76);
  EXPECT_EQ(c.form->Popups().Popup(1)->HeaderText, L"two");

  // The pointer over the top popup keeps it where it is.
  SetCursorPos((r2.left + r2.right) / 2, (r2.top + r2.bottom) / 2);
  Wait(300);
  c.form->Popups().Popup(0)->Window()->CloseAlert();
  EXPECT_EQ(c.closes, 1);
  EXPECT_EQ(c.PopupRect(1).bottom, work.bottom) << "moved down by the closed one's height";
  EXPECT_EQ(c.PopupRect(2).top, r2.top) << "the popup under the pointer stays";
  SetCursorPos(0, 0);
  Pump();
  EXPECT_EQ(c.form->Popups().OpenPopups(), 2u) << "the closed alert freed itself";
}

TEST(Popups, FadeInHoldAndFadeOutWithOnCloseOnce) {
  SetCursorPos(0, 0);
  FiringClock c(Popups(0, true, 1), {EveryDay("fade", "text")});
  c.Fire();
  ASSERT_EQ(c.form->Popups().OpenPopups(), 1u);
  const std::set<int> fadeIn = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229, 255};
  const std::set<int> fadeOut = {255, 230, 204, 179, 153, 128, 102, 77, 51, 26, 0};
  std::vector<int> seen;
  HWND popup = c.form->Popups().Popup(0)->Window()->hwnd();
  const DWORD end = GetTickCount() + 4000;
  while (GetTickCount() < end && c.closes == 0) {
    int a = c.Alpha(0);
    if (seen.empty() || seen.back() != a) seen.push_back(a);
    Pump(1);
  }
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen.front(), 0);
  auto top = std::find(seen.begin(), seen.end(), 255);
  ASSERT_NE(top, seen.end());
  for (auto it = seen.begin(); it != top; ++it) EXPECT_TRUE(fadeIn.count(*it)) << *it;
  EXPECT_TRUE(std::is_sorted(seen.begin(), top + 1));
  for (auto it = top; it != seen.end(); ++it) EXPECT_TRUE(fadeOut.count(*it)) << *it;
  EXPECT_TRUE(std::is_sorted(top, seen.end(), std::greater<int>()));
  EXPECT_EQ(c.closes, 1) << "a 1 s popup closes by itself, once";
  EXPECT_FALSE(IsWindowVisible(popup));
  Pump();
  EXPECT_EQ(c.form->Popups().OpenPopups(), 0u) << "the alert freed itself after its close returned";
}

TEST(Popups, CenterGrowShowsGrowingRectangles) {
  SetCursorPos(0, 0);
  FiringClock c(Popups(1, false, 0), {EveryDay("grow", "text")});
  c.Fire();
  // Every visible region seen is the centre-grow rectangle of one of the
  // steps 10, 20 ... 100 percent.
  std::set<std::pair<int, int>> sizes;
  HWND popup = c.form->Popups().Popup(0)->Window()->hwnd();
  const DWORD end = GetTickCount() + 600;
  while (GetTickCount() < end) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    if (GetWindowRgn(popup, rgn) != ERROR && GetRgnBox(rgn, &box) != NULLREGION) {
      sizes.insert({box.right - box.left, box.bottom - box.top});
      bool stepRect = false;
      for (int percent = 10; percent <= 100; percent += 10) {
        const notify::GrowRect g = notify::CenterGrowRect(329, 76, percent);
        stepRect |= box.left == g.left && box.top == g.top && box.right - box.left == g.width &&
                    box.bottom - box.top == g.height;
      }
      EXPECT_TRUE(stepRect) << box.left << "," << box.top << " " << box.right - box.left << "x" << box.bottom - box.top;
    }
    DeleteObject(rgn);
    Pump(1);
  }
  EXPECT_TRUE(sizes.count({329, 76})) << "fully grown";
  EXPECT_GE(sizes.size(), 3u) << "grown in steps";
  Wait(1500);
  EXPECT_TRUE(IsWindowVisible(popup)) << "DisplayDuration 0 keeps the popup";
  EXPECT_EQ(c.closes, 0);
  c.form->Popups().Popup(0)->Window()->CloseAlert();
  EXPECT_EQ(c.closes, 1);
}

TEST(Popups, SoundPlaysUntilAPopupClosesAndAnUnplayableSoundStillShowsEveryAlarm) {
  SetCursorPos(0, 0);
  dctest::PackageParts p = Popups(0, false, 0);
  p.sound = dctest::ReadBytes(DC_CHIME_WAV);
  ASSERT_GT(p.sound.size(), 1000u);
  {
    FiringClock c(p, {EveryDay("ring", "text")});
    c.Fire();
    EXPECT_TRUE(c.form->Popups().Sound().IsOpen()) << "MCI error " << c.form->Popups().Sound().LastError();
    EXPECT_EQ(c.form->Popups().Sound().LastError(), 0u);
    EXPECT_TRUE(c.errors.empty());
    c.form->Popups().Popup(0)->Window()->CloseAlert();
    EXPECT_FALSE(c.form->Popups().Sound().IsOpen()) << "closing the popup stops the sound";
  }
  p.sound = Bytes(5000, 0x55);  // no sound format at all
  FiringClock bad(p, {EveryDay("first", "a"), EveryDay("second", "b")});
  bad.Fire();
  EXPECT_EQ(bad.form->Popups().OpenPopups(), 2u) << "both alarms still show";
  Pump();
  ASSERT_EQ(bad.errors.size(), 1u) << "one error for the pass";
  EXPECT_EQ(bad.errors[0].rfind("The alarm sound cannot be played: ", 0), 0u) << bad.errors[0];
  EXPECT_FALSE(bad.form->Popups().Sound().IsOpen());
}

TEST(Popups, UnknownAlertStyleFadesAndIsSaidOnceAtStart) {
  FiringClock c(Popups(7, false, 0), {EveryDay("odd", "style")});
  Pump();
  ASSERT_EQ(c.errors.size(), 1u);
  EXPECT_NE(c.errors[0].find("alert style 7"), std::string::npos) << c.errors[0];
  c.Fire();
  ASSERT_EQ(c.form->Popups().OpenPopups(), 1u);
  EXPECT_EQ(c.form->Popups().Popup(0)->AlertStyle(), notify::PopupStyle::Fade);
}

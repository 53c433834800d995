// Snoozing from the popup under Wine: the drop-down button and its menu of
// four snoozes, what a choice does, and that an open menu keeps the popup
// from hiding.
#include <gtest/gtest.h>

#include <vector>

#include "pixels.h"
#include "popup_fixture.h"

using namespace dc;
using dctest::FiringClock;
using dctest::Popups;
using dctest::Pump;
using dctest::Wait;
using dctest::EveryDay;

namespace {

std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t buf[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), buf, 64, MF_BYPOSITION);
    texts.push_back(std::wstring(buf) + L"=" + std::to_wstring(GetMenuItemID(menu, i)));
  }
  return texts;
}

// Dark (glyph) pixels of the popup inside a rectangle of its client area.
int DarkPixels(HWND popup, const RECT& r) {
  HDC dc = GetDC(popup);
  const std::vector<std::uint32_t> px = dctest::ReadPixels(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
  ReleaseDC(popup, dc);
  int dark = 0;
  for (std::uint32_t p : px) dark += ((p >> 16) & 0xFF) < 0x40 && ((p >> 8) & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
  return dark;
}

}  // namespace

TEST(Snooze, TheMenuHoldsFourSnoozesAndEachClosesThePopupAndRingsTheAlarmAgainLater) {
  ui::UniqueMenu menu(notify::AlarmPopupWindow::MakeSnoozeMenu());
  EXPECT_EQ(MenuTexts(menu.get()), (std::vector<std::wstring>{L"Snooze 5 minutes=1", L"Snooze 10 minutes=2",
                                                               L"Snooze 30 minutes=3", L"Snooze 1 hour=4"}));
  SetCursorPos(0, 0);
  const int minutes[] = {5, 10, 30, 60};
  for (UINT command = 1; command <= 4; ++command) {
    FiringClock c(Popups(0, false, 0), {EveryDay("tea", "kettle")});
    c.now.Second = 40;
    c.Fire();
    ASSERT_EQ(c.form->Popups().OpenPopups(), 1u);
    notify::AlarmPopupWindow* window = c.form->Popups().Popup(0)->Window();
    EXPECT_TRUE(window->HasDropDown());
    window->ChooseSnooze(command);
    EXPECT_EQ(c.closes, 1) << "closed as the close button closes it, which stops the sound";
    EXPECT_FALSE(IsWindowVisible(window->hwnd()));
    ASSERT_EQ(c.form->Scheduler().Snoozes().size(), 1u);
    const std::int64_t due = c.form->Scheduler().Snoozes()[0].dueSecond;
    EXPECT_EQ(due, MinuteNumber({2026, 12, 8, 7, 30}) * 60 + 40 + minutes[command - 1] * 60) << command;
    Pump();
    EXPECT_EQ(c.form->Popups().OpenPopups(), 0u);
    // Its time come, the same alarm rings again, marked.
    const std::int64_t minute = due / 60;
    c.now = FromMinuteNumber(minute);
    c.now.Second = static_cast<int>(due % 60);
    c.Fire();
    ASSERT_EQ(c.form->Popups().OpenPopups(), 1u);
    EXPECT_EQ(c.form->Popups().Popup(0)->HeaderText, L"tea (snoozed)");
    EXPECT_TRUE(c.form->Popups().Popup(0)->Window()->HasDropDown()) << "a snoozed alarm can be snoozed again";
  }
}

TEST(Snooze, TheDropDownButtonLiesSixteenPixelsLeftOfTheCloseButtonWithItsGlyph) {
  SetCursorPos(0, 0);
  FiringClock c(Popups(0, false, 0), {EveryDay("tea", "kettle")});
  c.Fire();
  notify::AlarmPopupWindow* window = c.form->Popups().Popup(0)->Window();
  Wait(500);
  auto text = [](const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  };
  EXPECT_EQ(text(window->CloseButton()), "312,10-327,25");
  EXPECT_EQ(text(window->DropDownButton()), "296,10-311,25");
  EXPECT_GT(DarkPixels(window->hwnd(), window->DropDownButton()), 3) << "the drop-down glyph";
  EXPECT_GT(DarkPixels(window->hwnd(), window->CloseButton()), 3) << "the close glyph";

  // A popup that cannot be snoozed shows no drop-down button.
  notify::AlarmPopup plain(c.hwnd());
  plain.ShowAlert();
  Wait(500);
  EXPECT_FALSE(plain.Window()->HasDropDown());
  EXPECT_EQ(DarkPixels(plain.Window()->hwnd(), plain.Window()->DropDownButton()), 0);
  plain.Window()->CloseAlert();
}

namespace {

notify::AlarmPopupWindow* g_window = nullptr;
struct MenuSeen {
  bool open = false, visible = false, pointerInside = false;
  BYTE alpha = 0;
} g_seen;

void CALLBACK LookAtTheOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND menu = FindWindowW(L"#32768", nullptr);
  g_seen.open = g_window->SnoozeMenuOpen() && menu && IsWindowVisible(menu);
  g_seen.visible = IsWindowVisible(g_window->hwnd());
  g_seen.pointerInside = g_window->PointerInside;
  DWORD flags = 0;
  GetLayeredWindowAttributes(g_window->hwnd(), nullptr, &g_seen.alpha, &flags);
  EndMenu();
}

}  // namespace

TEST(Snooze, AnOpenMenuKeepsAShortLivedPopupFromHiding) {
  SetCursorPos(0, 0);
  FiringClock c(Popups(0, true, 1), {EveryDay("tea", "kettle")});  // shown for 1 s
  c.Fire();
  g_window = c.form->Popups().Popup(0)->Window();
  Wait(300);
  const RECT drop = g_window->DropDownButton();
  g_seen = {};
  SetTimer(nullptr, 0, 2500, LookAtTheOpenMenu);  // well past the display time
  SendMessageW(g_window->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(drop.left + 7, drop.top + 7));
  EXPECT_TRUE(g_seen.open) << "a press on the drop-down opens the menu";
  EXPECT_TRUE(g_seen.visible);
  EXPECT_TRUE(g_seen.pointerInside) << "the pointer counts as inside while the menu is open";
  EXPECT_EQ(g_seen.alpha, 255) << "no hide effect started";
  EXPECT_EQ(c.closes, 0);
  // Dismissed, the popup goes its way: the pointer is away, so it hides.
  Wait(2500);
  EXPECT_EQ(c.closes, 1);
}

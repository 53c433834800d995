// The clock window's portable rules: time text, the minute rule, fitting
// to children, the face's shape, the tray tooltip, links and Auto Run.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/auto_run.h"
#include "base/time_text.h"
#include "app/message_filter.h"
#include "layout/window_layout.h"
#include "notify/tray_text.h"

using namespace dc;

TEST(LongTime, EveryLocaleCombination) {
  struct Case {
    bool zero, twelve, first;
    const char* sep;
    int h, m, s;
    const char* text;
  } cases[] = {
      {false, false, false, ":", 21, 5, 7, "21:05:07"},   {false, false, false, ":", 9, 5, 7, "9:05:07"},
      {true, false, false, ":", 9, 5, 7, "09:05:07"},     {true, false, false, ".", 0, 0, 0, "00.00.00"},
      {false, true, false, ":", 21, 5, 7, "9:05:07 PM"},  {true, true, false, ":", 21, 5, 7, "09:05:07 PM"},
      {false, true, true, ":", 21, 5, 7, "PM 9:05:07"},   {false, true, false, ":", 0, 30, 0, "12:30:00 AM"},
      {false, true, false, ":", 12, 0, 59, "12:00:59 PM"}, {false, true, false, ":", 11, 59, 59, "11:59:59 AM"},
      {true, true, true, "-", 1, 2, 3, "AM 01-02-03"},
  };
  for (const Case& c : cases) {
    TimeFormat f;
    f.leadingZero = c.zero;
    f.twelveHour = c.twelve;
    f.designatorFirst = c.first;
    f.separator = c.sep;
    EXPECT_EQ(FormatLongTime(f, {2026, 12, 8, c.h, c.m, c.s}), c.text);
  }
  TimeFormat local;
  local.am = "vorm.";
  local.pm = "nachm.";
  EXPECT_EQ(FormatLongTime(local, {2026, 12, 8, 13, 0, 0}), "1:00:00 nachm.");
}

TEST(TimePicture, ShortTimeOfTheLocalePicture) {
  TimeFormat f;
  struct Case {
    const char* picture;
    int h, m;
    const char* text;
  } cases[] = {
      {"h:mm tt", 10, 9, "10:09 AM"},   {"h:mm tt", 0, 5, "12:05 AM"},    {"hh:mm t", 13, 7, "01:07 P"},
      {"HH:mm", 9, 5, "09:05"},         {"H.mm", 21, 5, "21.05"},         {"H 'h' mm", 7, 30, "7 h 30"},
      {"tt hh:mm", 23, 59, "PM 11:59"}, {"H:mm:ss", 8, 1, "8:01:00"},
  };
  for (const Case& c : cases) {
    f.shortPicture = c.picture;
    EXPECT_EQ(FormatShortTime(f, {2026, 12, 8, c.h, c.m, 0}), c.text) << c.picture;
  }
}

TEST(WindowLayout, FitMovesTheVisibleChildrenToTheCorner) {
  // The clock window's design with a face at (0, 0) 220 x 96 and digits at
  // (10, 34) 195 x 35: the box is the face.
  std::vector<Child> kids = {{{0, 0, 220, 96}, true}, {{10, 34, 205, 69}, true}};
  EXPECT_EQ(FitToChildren(kids), (FitResult{0, 0, 220, 96}));
  kids = {{{40, 16, 171, 128}, true}, {{56, 0, 102, 37}, true}};
  EXPECT_EQ(FitToChildren(kids), (FitResult{-40, 0, 131, 128}));
  kids[1].visible = false;  // a hidden LED is neither counted nor moved
  EXPECT_EQ(FitToChildren(kids), (FitResult{-40, -16, 131, 112}));
  kids = {{{10, 10, 30, 30}, false}};
  EXPECT_EQ(FitToChildren(kids), (FitResult{0, 0, 0, 0}));
}

TEST(WindowShape, NonKeyPixelsBecomeRowSpansCoveringTheColumnRuns) {
  const std::uint32_t K = 0x00FF00FF;  // key colour
  const char* picture[] = {
      "K..K",
      "KK.K",
      ".K..",
      "K.KK",
  };
  std::vector<std::uint32_t> px;
  for (const char* row : picture)
    for (const char* c = row; *c; ++c) px.push_back(*c == 'K' ? K : 0x00123456);
  std::vector<Rect> rects = PictureRegionRects(px, 4, 4, K, 10, 20);
  const std::vector<Rect> expected = {{11, 20, 13, 21}, {12, 21, 13, 22}, {10, 22, 11, 23},
                                      {12, 22, 14, 23}, {11, 23, 12, 24}};
  EXPECT_EQ(rects, expected);

  // The same pixels as the column runs: every non-key pixel, the bottom row
  // included, and nothing else.
  std::set<std::pair<int, int>> covered, nonKey;
  for (const Rect& r : rects)
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) covered.insert({x - 10, y - 20});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (picture[y][x] != 'K') nonKey.insert({x, y});
  EXPECT_EQ(covered, nonKey);

  // A key colour with a nonzero top byte matches no pixel; an all-key
  // picture gives nothing.
  EXPECT_EQ(PictureRegionRects(px, 4, 4, 0x01FF00FF, 0, 0).size(), 4u);
  std::vector<std::uint32_t> allKey(16, K);
  EXPECT_TRUE(PictureRegionRects(allKey, 4, 4, K, 0, 0).empty());
}

TEST(TrayTip, CutAtTheBarAndAtTheShellsLimit) {
  std::wstring sixtyFour(64, L'n');
  EXPECT_EQ(TrayTip(sixtyFour, false), std::wstring(63, L'n'));
  EXPECT_EQ(TrayTip(sixtyFour, true), sixtyFour);
  EXPECT_EQ(TrayTip(std::wstring(200, L'x'), true).size(), 127u);
  EXPECT_EQ(TrayTip(L"Clock|long hint", true), L"Clock");
  EXPECT_EQ(TrayTip(L"a\r\nb", false), L"a - b");
  EXPECT_EQ(TrayTip(L"a\r\nb", true), L"a\r\nb");
}

TEST(AboutLinks, OnlyWebAddressesReachTheShell) {
  EXPECT_EQ(WebsiteToOpen("https://example.com/x"), "https://example.com/x");
  EXPECT_EQ(WebsiteToOpen("HTTP://EXAMPLE.COM"), "HTTP://EXAMPLE.COM");
  EXPECT_EQ(WebsiteToOpen("www.example.com"), "http://www.example.com");
  EXPECT_EQ(WebsiteToOpen("WWW.example.com"), "http://WWW.example.com");
  EXPECT_EQ(WebsiteToOpen("MailTo:shop@example.com"), "MailTo:shop@example.com");
  for (const char* bad : {"C:\\Windows\\System32\\calc.exe", "file:///C:/x.exe", "calc", "", "ftp://x",
                          "javascript:alert(1)", "mailto", "mail:x@y", "\\\\server\\share\\run.bat", " http://x", "http:/x"})
    EXPECT_EQ(WebsiteToOpen(bad), std::nullopt) << bad;
  EXPECT_EQ(MailtoOf("a@b.c"), "mailto:a@b.c");
  EXPECT_EQ(MailtoOf("mailto:a@b.c"), "mailto:mailto:a@b.c");
}

namespace {

// Run keys in memory; a root can refuse writes as for a user without rights.
class FakeRunKeys : public RunKeys {
 public:
  std::map<std::wstring, std::wstring> values[2];
  bool refuse[2] = {false, false};
  bool refuseDelete = false;
  int writes = 0;

  bool Has(RunRoot r, const std::wstring& n) override { return values[int(r)].count(n) > 0; }
  std::string Write(RunRoot r, const std::wstring& n, const std::wstring& d) override {
    ++writes;
    if (refuse[int(r)]) return "Access denied";
    values[int(r)][n] = d;
    return {};
  }
  std::string Delete(RunRoot r, const std::wstring& n) override {
    if (refuse[int(r)] || refuseDelete) return "Access denied";
    values[int(r)].erase(n);
    return {};
  }
};

constexpr auto LM = RunRoot::LocalMachine;
constexpr auto CU = RunRoot::CurrentUser;

}  // namespace

TEST(AutoRun, WritesAQuotedPathToTheMachineKeyOrElseTheUsersKey) {
  FakeRunKeys keys;
  AutoRunOutcome on = ApplyAutoRun(keys, true, L"Demo", L"C:\\Program Files\\Clock\\DeskClock.exe");
  EXPECT_TRUE(on.inEffect);
  EXPECT_EQ(on.error, "");
  EXPECT_EQ(keys.values[int(LM)][L"Demo"], L"\"C:\\Program Files\\Clock\\DeskClock.exe\"");

  FakeRunKeys user;
  user.refuse[int(LM)] = true;
  on = ApplyAutoRun(user, true, L"Demo", L"C:\\c.exe");
  EXPECT_TRUE(on.inEffect);
  EXPECT_EQ(user.values[int(CU)][L"Demo"], L"\"C:\\c.exe\"");
  EXPECT_TRUE(user.values[int(LM)].empty());

  FakeRunKeys none;
  none.refuse[0] = none.refuse[1] = true;
  on = ApplyAutoRun(none, true, L"Demo", L"C:\\c.exe");
  EXPECT_FALSE(on.inEffect) << "the check mark must not claim what did not happen";
  EXPECT_NE(on.error.find("Access denied"), std::string::npos) << on.error;
}

TEST(AutoRun, AnExistingValueOfTheNameIsLeftAsItIs) {
  FakeRunKeys keys;
  keys.values[int(CU)][L"Demo"] = L"D:\\other\\copy.exe";
  AutoRunOutcome on = ApplyAutoRun(keys, true, L"Demo", L"C:\\c.exe");
  EXPECT_TRUE(on.inEffect);
  EXPECT_EQ(keys.writes, 0);
  EXPECT_EQ(keys.values[int(CU)][L"Demo"], L"D:\\other\\copy.exe");
  EXPECT_TRUE(keys.values[int(LM)].empty());
}

TEST(AutoRun, TurningOffDeletesTheNameWhereverItIs) {
  FakeRunKeys keys;
  keys.values[int(LM)][L"Demo"] = L"x";
  keys.values[int(CU)][L"Demo"] = L"y";
  keys.values[int(CU)][L"Other"] = L"z";
  AutoRunOutcome off = ApplyAutoRun(keys, false, L"Demo", L"C:\\c.exe");
  EXPECT_FALSE(off.inEffect);
  EXPECT_TRUE(keys.values[int(LM)].empty());
  EXPECT_EQ(keys.values[int(CU)].size(), 1u);

  FakeRunKeys stuck;
  stuck.values[int(LM)][L"Demo"] = L"x";
  stuck.refuseDelete = true;
  off = ApplyAutoRun(stuck, false, L"Demo", L"C:\\c.exe");
  EXPECT_TRUE(off.inEffect);
  EXPECT_FALSE(off.error.empty());

  FakeRunKeys empty;
  EXPECT_FALSE(ApplyAutoRun(empty, false, L"Demo", L"C:\\c.exe").inEffect);
}

TEST(FlashFilter, OnlyPressesOnTheFlashWindowAreActedOn) {
  EXPECT_EQ(FlashMessageAction(true, true, 0x0201), FilterAction::Pass);  // the face tells a click from a move
  EXPECT_EQ(FlashMessageAction(true, true, 0x0204), FilterAction::OpenMenuAndDrop);
  EXPECT_EQ(FlashMessageAction(true, true, 0x0205), FilterAction::Pass);  // right button up
  EXPECT_EQ(FlashMessageAction(true, true, 0x0207), FilterAction::Pass);  // middle button down
  EXPECT_EQ(FlashMessageAction(true, false, 0x0204), FilterAction::Pass);
  EXPECT_EQ(FlashMessageAction(false, true, 0x0201), FilterAction::Pass);
}

TEST(FlashFilter, AClickIsAPressLetGoWithinTheDragRectangle) {
  struct Case {
    int moveX, moveY;  // from the press at (10, 10), drag rectangle 4 x 4
    bool moves;
  };
  const Case cases[] = {{0, 0, false}, {2, 2, false}, {-2, 2, false}, {3, 0, true}, {0, -3, true}, {5, 5, true}};
  for (const Case& c : cases) {
    ClickOrMove press;
    press.Press(10, 10);
    EXPECT_EQ(press.Moved(10 + c.moveX, 10 + c.moveY, 4, 4), c.moves) << c.moveX << "," << c.moveY;
    // Once the clock moves, the release is no click, and further moves
    // start nothing.
    EXPECT_EQ(press.Released(), !c.moves) << c.moveX << "," << c.moveY;
    EXPECT_FALSE(press.Moved(100, 100, 4, 4));
  }
  ClickOrMove idle;
  EXPECT_FALSE(idle.Released());
  idle.Press(1, 1);
  idle.Cancel();
  EXPECT_FALSE(idle.Released());
}

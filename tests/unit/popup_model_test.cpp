// The popup's effect numbers, its stack over the work area, and its
// painted background.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "notify/popup_effects.h"
#include "notify/popup_paint.h"
#include "notify/popup_stack_model.h"

using namespace dc::notify;

TEST(AlertEffects, FadeSequencesWithTheDefaults) {
  std::vector<int> in, out;
  for (std::uint32_t step = 0; step < 10; ++step) in.push_back(FadeInOpacity(0, 255, step, 10));
  for (std::uint32_t step = 1; step <= 10; ++step) out.push_back(FadeOutOpacity(0, 255, step, 10));
  EXPECT_EQ(in, (std::vector<int>{0, 25, 51, 76, 102, 127, 153, 178, 204, 229}));
  EXPECT_EQ(out, (std::vector<int>{230, 204, 179, 153, 128, 102, 77, 51, 26, 0}));
  EXPECT_EQ(FadeInOpacity(100, 200, 5, 10), 150);
}

TEST(AlertEffects, CenterGrowRoundsHalfToEven) {
  EXPECT_EQ(CenterGrowRect(329, 76, 50), (GrowRect{82, 19, 164, 38}));  // 164.5 -> 164
  EXPECT_EQ(CenterGrowRect(329, 76, 0), (GrowRect{164, 38, 0, 0}));
  EXPECT_EQ(CenterGrowRect(329, 76, 100), (GrowRect{0, 0, 329, 76}));
  EXPECT_EQ(CenterGrowRect(10, 5, 50), (GrowRect{2, 1, 5, 2}));  // height 2.5 -> 2
  EXPECT_EQ(CenterGrowRect(7, 3, 50), (GrowRect{1, 0, 4, 2}));   // width 3.5 -> 4, height 1.5 -> 2
  std::vector<double> in, out;
  for (std::uint32_t s = 0; s < 10; ++s) in.push_back(GrowInPercent(0, 100, s, 10));
  for (std::uint32_t s = 1; s <= 10; ++s) out.push_back(GrowOutPercent(0, 100, s, 10));
  EXPECT_EQ(in, (std::vector<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
  EXPECT_EQ(out, (std::vector<double>{90, 80, 70, 60, 50, 40, 30, 20, 10, 0}));
}

TEST(AlertEffects, SettingsAndClamps) {
  EffectSteps s;
  s.SetStartSteps(0);
  s.SetEndSteps(0);
  EXPECT_EQ(s.startSteps, 1u);
  EXPECT_EQ(s.endSteps, 1u);
  EXPECT_EQ(ClampGrowth(-5), 0);
  EXPECT_EQ(ClampGrowth(150), 100);
  EXPECT_EQ(ClampGrowth(std::nan("")), 0);
  EXPECT_EQ(ClampGrowth(42.5), 42.5);
  EXPECT_EQ(DisplayDurationOf(false, 10), 0u);
  EXPECT_EQ(DisplayDurationOf(true, 10), 10000u);
  EXPECT_EQ(DisplayDurationOf(true, -1), 4294966296u);      // -1000 taken as unsigned
  EXPECT_EQ(DisplayDurationOf(true, 3000000), 3000000000u);  // beyond 2^31: no overflow trap
  EXPECT_EQ(TimerInterval(4294966296u), 0x7FFFFFFFu);
  EXPECT_EQ(TimerInterval(0), 1u);
  EXPECT_EQ(TimerInterval(200), 200u);
}

namespace {

const dc::Rect kWork{0, 0, 400, 300};

// The stack's windows drawn into the work area (one character per 10 x 10
// pixels): each window's id.
std::string Picture(const PopupStackModel& stack) {
  std::vector<std::string> rows(30, std::string(40, '.'));
  for (const auto& s : stack.Slots()) {
    if (!s || !s->visible) continue;
    for (int y = s->top / 10; y < (s->top + s->height) / 10; ++y)
      for (int x = s->left / 10; x < (s->left + s->width) / 10; ++x)
        if (y >= 0 && y < 30 && x >= 0 && x < 40) rows[y][x] = static_cast<char>('0' + s->id);
  }
  std::string out;
  for (const auto& r : rows) out += r + "\n";
  return out;
}

std::string Tail(const std::string& picture, int rows) {
  return picture.substr(picture.size() - static_cast<std::size_t>(rows) * 41);
}

StackWindow Popup(int id, int h = 50) { return {id, 100, 100, 100, h}; }

}  // namespace

TEST(AlertStack, PilesUpwardFromTheBottomRightAndCloses) {
  PopupStackModel stack;
  stack.AddAlert(Popup(1), kWork);
  stack.AddAlert(Popup(2, 30), kWork);
  stack.AddAlert(Popup(3), kWork);
  EXPECT_EQ(Tail(Picture(stack), 13), std::string() +
            "..............................3333333333\n"
            "..............................3333333333\n"
            "..............................3333333333\n"
            "..............................3333333333\n"
            "..............................3333333333\n"
            "..............................2222222222\n"
            "..............................2222222222\n"
            "..............................2222222222\n"
            "..............................1111111111\n"
            "..............................1111111111\n"
            "..............................1111111111\n"
            "..............................1111111111\n"
            "..............................1111111111\n");
  // Closing the lowest moves the others down by its height.
  stack.RemoveAlert(1, kWork);
  EXPECT_EQ(stack.Find(2)->top, 270);
  EXPECT_EQ(stack.Find(3)->top, 220);
  EXPECT_EQ(stack.Slots().size(), 2u);
}

TEST(AlertStack, AWindowUnderThePointerStaysInItsSlot) {
  PopupStackModel stack;
  for (int id = 1; id <= 3; ++id) stack.AddAlert(Popup(id), kWork);
  stack.Find(2)->pointerInside = true;
  stack.RemoveAlert(1, kWork);
  // 2 keeps its slot and its place; 3 walks down past it into the empty
  // slot 0, the corner.
  EXPECT_EQ(stack.Find(2)->top, 200);
  ASSERT_EQ(stack.Slots().size(), 2u);
  EXPECT_EQ(stack.Slots()[0]->id, 3);
  EXPECT_EQ(stack.Find(3)->top, 250);

  PopupStackModel gap;
  for (int id = 1; id <= 4; ++id) gap.AddAlert(Popup(id), kWork);
  gap.Find(3)->pointerInside = true;
  gap.RemoveAlert(2, kWork);
  // 3 stays; 4 walks down past 3 into 2's empty slot.
  ASSERT_EQ(gap.Slots().size(), 3u);
  EXPECT_EQ(gap.Slots()[1]->id, 4);
  EXPECT_EQ(gap.Find(4)->top, 200);
  EXPECT_EQ(gap.Find(3)->top, 150);
}

TEST(AlertStack, OtherCornersAndPositionsThatDoNotArrange) {
  struct Case {
    PopupPosition pos;
    int left0, top0, left1, top1;
  } cases[] = {{PopupPosition::TopLeft, 0, 0, 0, 50},
                 {PopupPosition::TopRight, 300, 0, 300, 50},
                 {PopupPosition::BottomLeft, 0, 250, 0, 200}};
  for (const Case& c : cases) {
    PopupStackModel stack;
    stack.position = c.pos;
    stack.AddAlert(Popup(1), kWork);
    stack.AddAlert(Popup(2), kWork);
    EXPECT_EQ(stack.Find(1)->left, c.left0);
    EXPECT_EQ(stack.Find(1)->top, c.top0);
    EXPECT_EQ(stack.Find(2)->left, c.left1);
    EXPECT_EQ(stack.Find(2)->top, c.top1);
  }
  for (PopupPosition p : {PopupPosition::Custom, PopupPosition::DesktopCentre, PopupPosition::OwnerWindowCentre,
                          static_cast<PopupPosition>(9)}) {
    PopupStackModel stack;
    stack.position = p;
    stack.AddAlert(Popup(1), kWork);
    stack.AddAlert(Popup(2), kWork);
    EXPECT_EQ(stack.Find(2)->top, 100) << static_cast<int>(p);
  }
  PopupStackModel hidden;
  hidden.AddAlert(Popup(1), kWork);
  StackWindow h = Popup(2);
  h.visible = false;
  hidden.AddAlert(h, kWork);
  hidden.AddAlert(Popup(3), kWork);
  EXPECT_EQ(hidden.Find(3)->top, 200) << "a hidden window takes no place";
}

TEST(AlertPaint, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 5, 2), 3);
  EXPECT_EQ(MulDiv(-1, 5, 2), -3);
  EXPECT_EQ(MulDiv(1, -5, 2), -3);
  EXPECT_EQ(MulDiv(7, 10, 3), 23);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 2), INT32_MAX) << "the product may exceed 32 bits";
  EXPECT_EQ(MulDiv(INT32_MIN, INT32_MIN, 1), -1) << "a result beyond 32 bits is -1";
  EXPECT_EQ(MulDiv(INT32_MIN, 1, -1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, 96, 72), -1);
}

TEST(AlertPaint, GradientBandsWithLeftoverRows) {
  // 10 rows from red 0 to red 255 in 3 bands of 3 rows: 0, 128, 255, then
  // one leftover row in the end colour.
  std::vector<Band> bands = GradientBands(9, 10, 0x000000, 0x0000FF, 3);
  ASSERT_EQ(bands.size(), 4u);
  EXPECT_EQ(bands[0].colour, 0x000000u);
  EXPECT_EQ(bands[1].colour, 0x000080u);
  EXPECT_EQ(bands[2].colour, 0x0000FFu);
  EXPECT_EQ(bands[3].top, 18);
  EXPECT_EQ(bands[3].bottom, 19);
  EXPECT_EQ(bands[3].colour, 0x0000FFu);
  EXPECT_EQ(GradientBands(0, 5, 0x123456, 0x123456, 8).size(), 1u);
  EXPECT_EQ(GradientBands(0, 5, 0x000000, 0x0000FF, 1).size(), 1u);
  // Components move separately: blue down while green goes up.
  std::vector<Band> mixed = GradientBands(0, 2, 0xFF0000, 0x00FF00, 2);
  EXPECT_EQ(mixed[0].colour, 0xFF0000u);
  EXPECT_EQ(mixed[1].colour, 0x00FF00u);
}

TEST(AlertPaint, CaptionGripBodyAndFrameAsPixels) {
  const int w = 48, h = 14;
  std::vector<std::uint32_t> px(w * h);
  dc::PixelTarget t{px.data(), w, h, w};
  PaintPopupBackground(t, {0x0000FF, 0x000080, 0x00FF00, 0x008000}, true, 0xC0C0C0, LayOutPopup(w, h, 96));
  auto at = [&](int x, int y) { return t.At(x, y); };
  EXPECT_EQ(at(0, 0), 0x808080u);                 // frame
  EXPECT_EQ(at(w - 1, 5), 0x808080u);
  EXPECT_EQ(at(1, 1), 0x00ED0000u) << std::hex << at(1, 1);  // band 1: 255 + MulDiv(1, -127, 7) = 237
  EXPECT_EQ(at(5, 7), 0x00800000u);               // caption band 7: CaptionTo (red 128)
  EXPECT_EQ(at(5, 8), 0x00C0C0C0u);               // row 8 is not painted
  EXPECT_EQ(at(5, 9), 0x0000FF00u);               // body starts with WindowFrom
  EXPECT_EQ(at(5, 12), 0x00008000u);              // ... and ends with WindowTo
  EXPECT_EQ(at(5, 13), 0x808080u);
  // The first grip dot at (w / 2 - 20, 3) = (4, 3).
  EXPECT_EQ(at(4, 3), 0x808080u);
  EXPECT_EQ(at(5, 4), 0xB8BCB8u);
  EXPECT_EQ(at(6, 5), 0xF8FCF8u);
  EXPECT_EQ(at(5, 3), 0x808080u);
  EXPECT_EQ(at(8, 3), 0x808080u);                 // the second dot, 4 pixels on
}

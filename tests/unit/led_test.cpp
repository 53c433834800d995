// The LED display: cell geometry point for point, the pixels of a render
// pass as small pictures, the property checks and the automatic size.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include <vector>

#include "led/led_model.h"
#include "test_support.h"

using namespace dc::led;
using dc::ColourToPixel;
using dc::PixelTarget;

namespace {

std::vector<Point> Distinct(const Shape& s) {
  std::vector<Point> out;
  for (const Point& p : s)
    if (out.empty() || !(out.back() == p) ) out.push_back(p);
  if (out.size() > 1 && out.front() == out.back()) out.pop_back();
  return out;
}

// A model drawing at (0, 0) with no margins, sized to `w` x `h`.
LedModel Bare(std::int32_t w, std::int32_t h) {
  LedModel m;
  m.SetMarginX(0);
  m.SetMarginY(0);
  m.SetAutoSize(false);
  m.size = {w, h};
  return m;
}

// The render pass as a picture: '.' background, '#' lit, 'o' dark.
std::string Picture(const LedModel& m) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(m.size.width * m.size.height), 0xDEADBEEF);
  PixelTarget t{px.data(), m.size.width, m.size.height, m.size.width};
  m.Render(t);
  std::string out = "\n";
  for (int y = 0; y < t.height; ++y) {
    for (int x = 0; x < t.width; ++x) {
      std::uint32_t p = t.At(x, y);
      out += p == ColourToPixel(m.Background())      ? '.'
             : p == ColourToPixel(m.LitColour()) ? '#'
             : p == ColourToPixel(m.UnlitColour())  ? 'o'
                                                  : '?';
    }
    out += '\n';
  }
  return out;
}

}  // namespace

TEST(LedGeometry, DefaultCellPointForPoint) {
  CellShapes s = CalcCellShapes(0, 0, 17, 29, 3);
  const std::vector<std::vector<Point>> expected = {
      {{2, 0}, {4, 2}, {8, 2}, {10, 0}},
      {{12, 1}, {10, 3}, {10, 11}, {12, 13}},
      {{12, 15}, {10, 17}, {10, 25}, {12, 27}},
      {{10, 28}, {8, 26}, {4, 26}, {2, 28}},
      {{0, 27}, {2, 25}, {2, 17}, {0, 15}},
      {{0, 13}, {2, 11}, {2, 3}, {0, 1}},
      {{3, 13}, {2, 14}, {3, 15}, {9, 15}, {10, 14}, {9, 13}},
      {{14, 26}, {14, 29}, {17, 29}, {17, 26}},
      {{8, 9}, {11, 9}, {11, 12}, {8, 12}},
      {{8, 16}, {11, 16}, {11, 19}, {8, 19}},
  };
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Distinct(s[i]), expected[i]) << "shape " << i;
  // The repeated points are the ones the table names: P4 for the bars, P1
  // for the point and the dots.
  EXPECT_EQ(s[0][4], s[0][3]);
  EXPECT_EQ(s[0][5], s[0][3]);
  EXPECT_EQ(s[7][4], s[7][0]);
  EXPECT_EQ(s[9][5], s[9][0]);
}

TEST(LedGeometry, OnePixelCellWithTheMiddleBarMoved) {
  CellShapes s = CalcCellShapes(0, 0, 9, 13, 1);
  const std::vector<std::vector<Point>> expected = {
      {{2, 0}, {4, 0}},          {{6, 1}, {6, 5}},          {{6, 7}, {6, 11}},
      {{4, 12}, {2, 12}},        {{0, 11}, {0, 7}},         {{0, 5}, {0, 1}},
      {{2, 6}, {4, 6}},          {{8, 12}, {8, 13}, {9, 13}, {9, 12}},
      {{4, 4}, {5, 4}, {5, 5}, {4, 5}}, {{4, 7}, {5, 7}, {5, 8}, {4, 8}},
  };
  for (int i = 0; i < 10; ++i) {
    std::vector<Point> got = Distinct(s[i]);
    // A line's points run there and back; keep its two ends.
    if (expected[i].size() == 2) {
      std::vector<Point> ends;
      for (const Point& p : got)
        if (std::find(ends.begin(), ends.end(), p) == ends.end()) ends.push_back(p);
      got = ends;
    }
    EXPECT_EQ(got, expected[i]) << "shape " << i;
  }
  // The cell's corner moves every point.
  EXPECT_EQ(CalcCellShapes(100, 50, 9, 13, 1)[7][0], (Point{108, 62}));
}

TEST(LedGeometry, SegmentLists) {
  const char* lists[] = {"012345", "12", "01643", "01623", "5612", "05623", "054326", "012", "0123456", "650123"};
  for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(SegmentList(c), lists[c - '0']);
  EXPECT_EQ(SegmentList('-'), "6");
  EXPECT_EQ(SegmentList(':'), "");
  EXPECT_EQ(SegmentList('A'), "");
}

TEST(LedRaster, EightWithItsDecimalPointAtTheDefaultGeometry) {
  LedModel m = Bare(18, 30);
  m.SetUnlitColour(m.Background());
  m.SetText("8.");
  EXPECT_EQ(Picture(m), R"(
..#########.......
#..#######..#.....
##..#####..##.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
##.........##.....
#..#######..#.....
..#########.......
#..#######..#.....
##.........##.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
###.......###.....
##..#####..##.####
#..#######..#.####
..#########...####
..............####
)");
}

TEST(LedRaster, ColonShowsOnlyItsDotsAndMinusOnlyItsMiddle) {
  LedModel colon = Bare(17, 29);
  colon.SetText(":");
  std::string pic = Picture(colon);
  EXPECT_EQ(std::count(pic.begin(), pic.end(), '#'), 32) << pic;  // two 4 x 4 dots
  EXPECT_EQ(std::count(pic.begin(), pic.end(), 'o'), 0) << "a colon cell shows no dark segments" << pic;
  EXPECT_EQ(pic.substr(1 + 9 * 18, 18), "........####.....\n");

  LedModel minus = Bare(18, 30);
  minus.SetText("-.");  // a point after "-" lights nothing
  std::string rows = Picture(minus);
  const std::string middle = R"(
oo.........oo.....
o..#######..o.....
..#########.......
o..#######..o.....
oo.........oo.....
)";
  EXPECT_EQ("\n" + rows.substr(1 + 12 * 19, 5 * 19), middle) << rows;
  EXPECT_EQ(rows.substr(1 + 29 * 19, 19), "..............oooo\n") << "the point stays dark";
}

TEST(LedRaster, OnePixelSegments) {
  LedModel m = Bare(10, 14);
  m.SetCellWidth(9);
  m.SetCellHeight(13);
  m.SetThickness(1);
  m.SetUnlitColour(m.Background());
  m.SetText("8.");
  EXPECT_EQ(Picture(m), R"(
..###.....
#.....#...
#.....#...
#.....#...
#.....#...
#.....#...
..###.....
#.....#...
#.....#...
#.....#...
#.....#...
#.....#...
..###...##
........##
)");
}

TEST(LedRaster, NarrowCellBarsCrossAndAreFilledEvenOdd) {
  // CellWidth 10 with Thickness 3: the top bar (2,0) (4,2) (1,2) (3,0) crosses
  // itself; its two triangles meet at rows 0 to 2. The upper right bar
  // starts at (5,1) and widens to columns 4..5 on row 2.
  LedModel m = Bare(11, 3);
  m.SetCellWidth(10);
  m.SetUnlitColour(m.Background());
  m.SetText("7");
  EXPECT_EQ(Picture(m), R"(
..##.......
..##.#.....
.#####.....
)");
}

TEST(LedRaster, DecimalPointReachesTheNextCellWhichCoversIt) {
  LedModel m = Bare(35, 30);
  m.SetGap(0);
  m.SetText("8. ");  // the space draws all-dark segments over column 17
  std::string pic = Picture(m);
  auto at = [&](int x, int y) { return pic[1 + y * 36 + x]; };
  EXPECT_EQ(at(16, 26), '#');
  EXPECT_EQ(at(17, 26), 'o') << pic;  // under the next cell's lower-left bar
  EXPECT_EQ(at(17, 27), 'o');
  EXPECT_EQ(at(17, 28), '#');  // nothing of the next cell there
  EXPECT_EQ(at(17, 29), '#');
}

TEST(LedRaster, ColoursAreSwappedIntoDibPixels) {
  // Lit yellow (red 247, green 255, blue 0) must not come out cyan.
  EXPECT_EQ(ColourToPixel(LedModel::kDefaultLitColour), 0x00F7FF00u);
  EXPECT_EQ(ColourToPixel(0x00332211), 0x00112233u);
  LedModel m = Bare(18, 30);
  m.SetText("1");
  std::vector<std::uint32_t> px(18 * 30);
  PixelTarget t{px.data(), 18, 30, 18};
  m.Render(t, [](std::uint32_t c) { return c >> 24 ? 0x00000080u : c; });
  EXPECT_EQ(t.At(11, 5), 0x00F7FF00u);
  EXPECT_EQ(t.At(5, 5), 0x004A424Au);

  // A system colour is resolved for drawing but compared raw: a lit
  // colour naming a system colour is drawn, in the resolved colour.
  m.SetLitColour(0x80000005);
  m.Render(t, [](std::uint32_t c) { return c >> 24 ? 0x00000080u : c; });
  EXPECT_EQ(t.At(11, 5), 0x00800000u);
}

TEST(LedRaster, LayersFollowTheColourComparisons) {
  LedModel m = Bare(18, 30);
  m.SetText("A");  // any other character: an all-dark cell
  std::string pic = Picture(m);
  EXPECT_EQ(std::count(pic.begin(), pic.end(), '#'), 0);
  EXPECT_GT(std::count(pic.begin(), pic.end(), 'o'), 100);
  m.SetUnlitColour(m.Background());
  pic = Picture(m);
  EXPECT_EQ(std::count(pic.begin(), pic.end(), 'o') + std::count(pic.begin(), pic.end(), '#'), 0);
  m.SetText("8");
  m.SetLitColour(m.Background());
  pic = Picture(m);
  EXPECT_EQ(pic.find_first_not_of(".\n"), std::string::npos) << "digits are invisible";
}

TEST(LedModel, RefusedGeometryFollowsTheOrderOfAssignments) {
  LedModel m;
  EXPECT_EQ(m.SetCellWidth(6), Effect::None);
  EXPECT_EQ(m.CellWidth(), 17);
  EXPECT_EQ(m.SetCellWidth(7), Effect::Repaint);
  EXPECT_EQ(m.SetCellWidth(17), Effect::Repaint);
  EXPECT_EQ(m.SetCellHeight(11), Effect::None);
  EXPECT_EQ(m.SetCellHeight(12), Effect::Repaint);
  EXPECT_EQ(m.CellHeight(), 13);
  EXPECT_EQ(m.SetCellHeight(30), Effect::Repaint);
  EXPECT_EQ(m.CellHeight(), 31);
  EXPECT_EQ(m.SetCellHeight(31), Effect::None);
  EXPECT_EQ(m.SetCellHeight(29), Effect::Repaint);
  EXPECT_EQ(m.SetThickness(7), Effect::Repaint);  // 14 < 17, 28 <= 29
  EXPECT_EQ(m.SetThickness(8), Effect::None);     // 32 > 29
  EXPECT_EQ(m.Thickness(), 7);
  EXPECT_EQ(m.SetThickness(0), Effect::Repaint);  // the lower end of the range
  EXPECT_EQ(m.SetText("00"), Effect::None) << "the text it holds";
  EXPECT_EQ(m.SetText("12"), Effect::DrawNow);
  EXPECT_EQ(m.SetBackground(LedModel::kDefaultBackground), Effect::None);
  EXPECT_EQ(m.SetGap(0), Effect::Repaint);
}

TEST(LedModel, ValuesNoPackageCanCarryAreRefusedWithAClearErrorAndChangeNothing) {
  struct Case {
    const char* what;
    std::function<void(LedModel&)> set;
    const char* error;
  } cases[] = {
      {"thickness INT_MIN", [](LedModel& m) { m.SetThickness(INT32_MIN); },
       "The LED display's segment thickness -2147483648 is outside 0 to 16384."},
      {"thickness -2", [](LedModel& m) { m.SetThickness(-2); }, "segment thickness -2 is outside"},
      {"left margin 1.2e9", [](LedModel& m) { m.SetMarginX(1200000000); }, "left margin 1200000000 is outside"},
      {"top margin -1", [](LedModel& m) { m.SetMarginY(-1); }, "top margin -1 is outside"},
      {"gap 2147483640", [](LedModel& m) { m.SetGap(2147483640); }, "digit gap 2147483640 is outside"},
      {"height 2000000001", [](LedModel& m) { m.SetCellHeight(2000000001); }, "digit height 2000000001 is outside"},
      {"height 100000001", [](LedModel& m) { m.SetCellHeight(100000001); }, "digit height 100000001 is outside"},
      {"width 16385", [](LedModel& m) { m.SetCellWidth(16385); }, "digit width 16385 is outside 0 to 16384."},
      {"text of 1025", [](LedModel& m) { m.SetText(std::string(1025, '8')); },
       "The LED display cannot show a text of 1025 characters (at most 1024)."},
  };
  for (const Case& c : cases) {
    LedModel m;
    const LedModel before = m;
    EXPECT_EQ(dctest::ErrorOf([&] { c.set(m); }).find(c.error) != std::string::npos, true)
        << c.what << ": " << dctest::ErrorOf([&] { c.set(m); });
    EXPECT_EQ(m.Thickness(), before.Thickness());
    EXPECT_EQ(m.MarginX(), before.MarginX());
    EXPECT_EQ(m.MarginY(), before.MarginY());
    EXPECT_EQ(m.Gap(), before.Gap());
    EXPECT_EQ(m.CellWidth(), before.CellWidth());
    EXPECT_EQ(m.CellHeight(), before.CellHeight());
    EXPECT_EQ(m.Text(), before.Text()) << c.what;
  }
  LedModel edge;
  EXPECT_NO_THROW(edge.SetCellHeight(16384));
  EXPECT_EQ(edge.CellHeight(), 16385) << "the largest even height is raised by one, as every even height is";
  EXPECT_NO_THROW(edge.SetText(std::string(1024, '8')));
}

TEST(LedModel, DecimalPointRules) {
  struct Case {
    const char* text;
    const char* cells;
    int pointAfter;
  } cases[] = {{"12.5", "125", 1}, {".5", "5", -1}, {"1.2.3", "12.3", 0}, {"-.", "-", 0}, {"", "", -1}, {"5.", "5", 0}};
  for (const Case& c : cases) {
    CellText t = SplitDecimalPoint(c.text);
    EXPECT_EQ(t.cells, c.cells) << c.text;
    EXPECT_EQ(t.pointAfter, c.pointAfter) << c.text;
  }
  LedModel m = Bare(100, 30);
  m.SetText("1.2.3");
  std::string pic = Picture(m);
  EXPECT_EQ(pic[1 + 27 * 101 + 15], '#') << "the point of the 1 is lit";
  EXPECT_EQ(pic[1 + 27 * 101 + 15 + 42], 'o') << "the second dot is an all-dark cell" << pic;
}

TEST(LedModel, AutomaticSize) {
  LedModel created;  // 47 x 38, "00": cw is 46, so it stays
  EXPECT_EQ(created.TextWidth(), 46);
  EXPECT_EQ(created.SizeAfterPass(), std::nullopt);

  LedModel clock;
  clock.size = {46, 37};  // the clock window's instance
  EXPECT_EQ(clock.SizeAfterPass(), std::nullopt);
  clock.SetText("12:34:56");
  EXPECT_EQ(clock.SizeAfterPass(), (Size{172, 37}));
  clock.SetText("12.5");
  EXPECT_EQ(clock.TextWidth(), 67);
  clock.SetText("");
  EXPECT_EQ(clock.SizeAfterPass(), (Size{4, 37}));

  LedModel off;
  EXPECT_EQ(off.SetAutoSize(false), std::nullopt);
  off.SetText("12:34:56");
  EXPECT_EQ(off.SizeAfterPass(), std::nullopt);
  EXPECT_EQ(off.SetAutoSize(true), (Size{172, 37}));
  off.size = {46, 99};
  off.SetAutoSize(false);
  off.SetText("00");
  EXPECT_EQ(off.SetAutoSize(true), std::nullopt) << "width already cw: the height is not changed";

  LedModel hidden;
  hidden.visible = false;
  hidden.SetText("12:34:56");
  EXPECT_EQ(hidden.SizeAfterPass(), std::nullopt);
  std::vector<std::uint32_t> px(47 * 38, 7);
  PixelTarget t{px.data(), 47, 38, 47};
  hidden.Render(t);
  EXPECT_EQ(px[0], 7u) << "a hidden control draws nothing";
}

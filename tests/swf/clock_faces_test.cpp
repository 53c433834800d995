// Clock faces of every kind, played by the player at a faked time: each
// hand's angle is read from the drawn pixels, and the digital face's text
// from its fields.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "clock_face_movies.h"
#include "swf/player/player.h"
#include "swf/format/reader.h"

namespace dc::swf::test {
namespace {

struct Played {
  CivilDateTime time;
  std::unique_ptr<Player> player;
  std::vector<std::uint32_t> px = std::vector<std::uint32_t>(200 * 200);
  PixelTarget face{px.data(), 200, 200, 200};

  Played(ClockPattern pattern, CivilDateTime at) : time(at) {
    PlayerOptions options;
    options.now = [this] { return avm1::LocalTime{time, 60}; };
    player = std::make_unique<Player>(std::make_shared<const Movie>(ReadMovie(ClockFaceMovie(pattern))), options);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) player->Advance();
    player->Render(face);
  }
  std::uint32_t At(double x, double y) const {
    return face.At(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
  }
};

std::uint32_t PixelOf(Rgba c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

// The hand of `colour` points at `degrees` (clockwise from twelve): its
// colour lies along that direction from the centre out to its length, and
// in none of the three other quarters.
void ExpectHand(const Played& p, Rgba colour, int length, double degrees, const char* what) {
  const std::uint32_t want = PixelOf(colour);
  for (double turn : {0.0, 90.0, 180.0, 270.0}) {
    const double a = (degrees + turn) * std::numbers::pi / 180;
    for (int r = 12; r < length - 2; r += 6) {
      const std::uint32_t got = p.At(100 + r * std::sin(a) + 0.5, 100 - r * std::cos(a) + 0.5);
      if (turn == 0) {
        EXPECT_EQ(got, want) << what << " at " << degrees << " degrees, radius " << r;
      } else {
        EXPECT_NE(got, want) << what << " also at " << degrees + turn << " degrees, radius " << r;
      }
    }
  }
}

void ExpectTime(const Played& p, int h, int m, int s, const char* pattern) {
  const HandAngles a = AnglesAt(h, m, s);
  ExpectHand(p, kHourColour, kHourLength, a.hour, pattern);
  ExpectHand(p, kMinuteColour, kMinuteLength, a.minute, pattern);
  ExpectHand(p, kSecondColour, kSecondLength, a.second, pattern);
}

TEST(ClockFaces, AnalogueFacesShowTheTimeAndMove) {
  // As in Flash, a clip's enterFrame first runs on the frame after the one
  // that placed it.
  const struct {
    ClockPattern pattern;
    const char* name;
    int framesToTime;  // frames before the hands show the time
  } faces[] = {
      {ClockPattern::ClipEvent, "onClipEvent(enterFrame)", 1},
      {ClockPattern::Handler, "onEnterFrame handler", 1},  // set by the first frame's script, run from the next
      {ClockPattern::Interval, "setInterval", 12},         // the first call a second after the start
      {ClockPattern::Needle, "60-frame needle", 1},
      {ClockPattern::TwoFrameLoop, "two-frame loop", 0},
  };
  for (const auto& f : faces) {
    Played p(f.pattern, {2026, 12, 9, 10, 8, 30, 0});
    p.Frames(f.framesToTime);
    ExpectTime(p, 10, 8, 30, f.name);
    // A second and a half later the hands moved on (the loop face on its
    // frame 1 again).
    p.time = {2026, 12, 9, 10, 9, 41, 500};
    p.Frames(f.pattern == ClockPattern::Interval ? 12 : 2);
    ExpectTime(p, 10, 9, 41, f.name);
  }
}

TEST(ClockFaces, ADigitalFaceShowsTheTimeAndDateAcrossMidnightAndMonthEnds) {
  Played p(ClockPattern::Digital, {2026, 3, 31, 23, 59, 58, 0});
  const auto field = [&p](const char* name) {
    const avm1::Clip* c = p.player->Tree().Root().ChildByName(name, true);
    return c ? c->Text() : std::string("(none)");
  };
  const struct {
    CivilDateTime time;
    const char* shown;
    const char* day;
  } steps[] = {
      {{2026, 3, 31, 23, 59, 59, 900}, "23:59:59", "Tue 31 Mar"},
      {{2026, 4, 1, 0, 0, 0, 0}, "00:00:00", "Wed 1 Apr"},
      {{2026, 12, 31, 23, 59, 59, 0}, "23:59:59", "Thu 31 Dec"},
      {{2027, 1, 1, 0, 0, 0, 0}, "00:00:00", "Fri 1 Jan"},
      {{2027, 1, 1, 9, 5, 7, 0}, "09:05:07", "Fri 1 Jan"},
  };
  p.Frames(1);  // the ticker's first enterFrame
  EXPECT_EQ(field("timeField"), "23:59:58");
  for (const auto& s : steps) {
    p.time = s.time;
    p.Frames(1);
    EXPECT_EQ(field("timeField"), s.shown);
    EXPECT_EQ(field("dayField"), s.day);
  }
  // The text is drawn: dark pixels in the time field's box, none below the
  // fields.
  int dark = 0, stray = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) {
      const bool isDark = (p.face.At(x, y) & 0xFF) < 0x80;
      if (y >= 50 && y < 80 && x >= 10 && x < 190) dark += isDark;
      if (y >= 160) stray += isDark;
    }
  EXPECT_GT(dark, 100);
  EXPECT_EQ(stray, 0);
}

TEST(ClockFaces, AFaceDrawnByItsScriptWithAnAttachedHand) {
  Played p(ClockPattern::Drawn, {2026, 12, 9, 10, 8, 15, 0});
  p.Frames(1);
  // The disc's fill inside, its dark outline at radius 95, white outside;
  // the one-pixel tick mark down the middle of column 100 from y 8 to 14.
  EXPECT_EQ(p.At(40, 100), PixelOf(kDialColour));
  EXPECT_EQ(p.At(160, 160), PixelOf(kDialColour));
  EXPECT_LT(p.At(100.5, 195.5) & 0xFF, 0x80u) << "the outline at the bottom";
  EXPECT_EQ(p.At(2, 2), 0xFFFFFFu);
  EXPECT_EQ(p.At(100.5, 11.5) & 0xFF, 0u) << "the tick";
  ExpectHand(p, kSecondColour, kSecondLength, 90, "attached second hand");
}

}  // namespace
}  // namespace dc::swf::test

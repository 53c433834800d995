// clockpack play: the clock given on the command line reaches the scripts,
// frames run between the input's waits, trace lines and nothing else reach
// standard output, and captures are the stage's size.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testkit/avm1_assembler.h"
#include "manifest.h"
#include "play.h"
#include "testkit/swf_writer.h"
#include "test_support.h"

namespace {

using dc::swf::avm1::test::Asm;
namespace op = dc::swf::avm1::test::op;
namespace t = dc::swf::test;

TEST(PlayClock, ReadsTheCommandLinesTime) {
  struct Case {
    const char* text;
    dc::CivilDateTime time;
    int offset;
  };
  const Case good[] = {
      {"2001-02-03T04:05:06+0545", {2001, 2, 3, 4, 5, 6, 0}, 345},
      {"1999-12-31T23:59:59-0330", {1999, 12, 31, 23, 59, 59, 0}, -210},
      {"2024-02-29 00:00:00Z", {2024, 2, 29, 0, 0, 0, 0}, 0},
  };
  for (const Case& c : good) {
    const dc::swf::avm1::LocalTime t = clockpack::ParseClock(c.text);
    EXPECT_EQ(t.time, c.time) << c.text;
    EXPECT_EQ(t.utcOffsetMinutes, c.offset) << c.text;
  }
  for (const char* bad : {"2001-02-03T04:05:06", "2001-02-30T04:05:06+0000", "2001-02-03T24:00:00+0000",
                          "2001-02-03T04:05:06+1500", "2001/02/03T04:05:06+0000", "2001-02-03T04:05:06+05:45"})
    EXPECT_THROW(clockpack::ParseClock(bad), clockpack::ToolError) << bad;
}

TEST(PlayInput, KeepsMouseEventsAndWaitsInOrder) {
  const auto events = clockpack::ParseInput(R"([{"type":"MouseMove","pos":[20,30]},{"type":"Wait"},
      {"type":"MouseDown","pos":[1.5,2],"btn":"Left"},{"type":"KeyDown","key":"A"}])");
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].type, clockpack::InputEvent::Type::MouseMove);
  EXPECT_EQ(events[0].y, 30);
  EXPECT_EQ(events[1].type, clockpack::InputEvent::Type::Wait);
  EXPECT_EQ(events[2].button, "Left");
  EXPECT_EQ(events[2].x, 1.5);
  EXPECT_EQ(events[3].type, clockpack::InputEvent::Type::Keyboard);
  for (const char* bad : {"{}", R"([{"type":"MouseMove"}])", R"([{"type":"Teleport"}])", "[1]"})
    EXPECT_THROW(clockpack::ParseInput(bad), clockpack::ToolError) << bad;
}

TEST(PlayMovie, TracesEachFrameWithTheGivenClockAndCapturesTheStage) {
  // Every frame traces its number and the clock's hour and time zone.
  Asm script;
  script.Get("_currentframe").TraceTop();
  script.New("Date").Store("d");
  script.CallOn("d", "getHours").TraceTop();
  script.CallOn("d", "getTimezoneOffset").TraceTop();
  t::Bytes tags = t::SetBackgroundColor({10, 20, 30, 255});
  for (int f = 0; f < 3; ++f) tags = t::Concat({tags, t::DoActionTag(*script.Bytes()), t::ShowFrame()});
  t::Header header;
  header.stage = {0, 40 * 20, 0, 30 * 20};
  header.frameCount = 3;
  const dctest::TempDir dir;
  const auto movie = dir.path() / "face.swf";
  const auto shot = dir.path() / "f2.png";
  clockpack::WriteFileBytes(movie, t::Fws(header, tags));

  clockpack::PlayOptions options;
  options.movie = movie;
  options.frames = 2;
  options.clock = clockpack::ParseClock("2001-02-03T04:05:06+0545");
  options.trace = true;
  options.captures.push_back({2, shot});
  std::ostringstream out, err;
  clockpack::PlayMovie(options, out, err);
  EXPECT_EQ(out.str(), "1\n4\n-345\n2\n4\n-345\n");

  // A PNG of the stage's 40 x 30 pixels (IHDR's big-endian width and height).
  const std::vector<std::uint8_t> png = clockpack::ReadFileBytes(shot);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin() + 16, png.begin() + 24),
            (std::vector<std::uint8_t>{0, 0, 0, 40, 0, 0, 0, 30}));
}

}  // namespace

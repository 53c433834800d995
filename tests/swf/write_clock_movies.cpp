// Writes the clock-face test movies into a folder: for checking them by
// hand in an outside player, and for the measurements of a Flash clock
// under Wine (scripts/measure-flash.sh).
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "clock_face_movies.h"

int main(int argc, char** argv) {
  using dc::swf::test::ClockPattern;
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_clock_movies FOLDER\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  const std::pair<const char*, ClockPattern> faces[] = {
      {"clip-event.swf", ClockPattern::ClipEvent}, {"handler.swf", ClockPattern::Handler},
      {"interval.swf", ClockPattern::Interval},    {"needle.swf", ClockPattern::Needle},
      {"two-frame-loop.swf", ClockPattern::TwoFrameLoop}, {"digital.swf", ClockPattern::Digital},
      {"drawn.swf", ClockPattern::Drawn}};
  const auto write = [&out](const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(out / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  for (const auto& [name, pattern] : faces) write(name, dc::swf::test::ClockFaceMovie(pattern));
  write("once-a-second.swf", dc::swf::test::LoopingMovie(24, 12, 0));
  write("once-a-second-1mb.swf", dc::swf::test::LoopingMovie(24, 12, 1 << 20));
  write("mouse.swf", dc::swf::test::MouseFaceMovie());
  return 0;
}

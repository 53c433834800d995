// clockpack play: a movie played on the command line as the clock plays it,
// for a designer to see what the face's scripts do (their trace lines), to
// feed it the mouse, and to capture the stage after chosen frames.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/avm1/engine.h"

namespace clockpack {

// One entry of an input file: a JSON list of {"type": ...} objects.
struct InputEvent {
  enum class Type { MouseMove, MouseDown, MouseUp, Wait, Keyboard };
  Type type = Type::Wait;
  double x = 0, y = 0;  // stage pixels (mouse events)
  std::string button;   // "Left", "Right", "Middle" (MouseDown, MouseUp)
};

struct Capture {
  std::uint32_t frame = 1;  // after this frame, from 1
  std::filesystem::path file;
};

struct PlayOptions {
  std::filesystem::path movie;
  std::optional<std::uint32_t> frames;           // default: the root timeline's frames
  std::optional<dc::swf::avm1::LocalTime> clock;  // fixed; default: the wall clock
  std::vector<InputEvent> input;
  bool trace = false;
  std::int32_t width = 0, height = 0;  // the stage fitted into this; 0: the stage's size
  std::string quality = "high";         // low, medium, high or best
  std::vector<Capture> captures;
};

// "YYYY-MM-DDTHH:MM:SS+HHMM" (or -HHMM, or Z); throws ToolError otherwise.
dc::swf::avm1::LocalTime ParseClock(std::string_view text);
// "WxH"; throws ToolError otherwise.
void ParseSize(std::string_view text, std::int32_t& width, std::int32_t& height);
// The JSON list of an input file; throws ToolError for anything else.
std::vector<InputEvent> ParseInput(std::string_view json);

// Plays the movie: trace lines (with --trace) go to `out`, each followed by
// "\n", and nothing else; warnings to `err`. Throws dc::UserError when the
// movie cannot be played, ToolError for a capture that cannot be written.
void PlayMovie(const PlayOptions& options, std::ostream& out, std::ostream& err);

}  // namespace clockpack

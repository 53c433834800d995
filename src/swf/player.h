// A movie playing: its display tree stepped at the frame rate and drawn
// onto the face when the picture changed. What the clock window and
// clockpack's preview hold.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/pixels.h"
#include "swf/display_tree.h"
#include "swf/limits.h"
#include "swf/movie.h"
#include "swf/render.h"

namespace dc::swf {

// Reads a movie file. Throws SwfError (or FileError) saying why it cannot
// be played.
std::shared_ptr<const Movie> ReadMovieFile(const std::filesystem::path& path, const Limits& limits = kDefaultLimits);

class Player {
 public:
  explicit Player(std::shared_ptr<const Movie> movie, const Limits& limits = kDefaultLimits);

  const Movie& movie() const { return tree_.movie(); }
  DisplayTree& Tree() { return tree_; }
  // Frames a second, the file's rate clamped to what a clock keeps.
  double FrameRate() const;
  // The frame shown, from 1, of the root timeline.
  std::uint32_t CurrentFrame() const { return tree_.Root().frame + 1; }

  // One frame on. A movie that went past a limit no longer moves.
  void Advance();
  // True when the picture changed since it was last drawn.
  bool NeedsRender() const { return needsRender_; }
  // Draws the frame onto `face`, the stage fitted to it.
  void Render(PixelTarget& face);

  // What was left out or stopped, each said once: the reader's warnings
  // first, then what playing found.
  std::vector<std::string> TakeWarnings();
  bool Stopped() const { return stopped_; }

 private:
  void Collect();

  DisplayTree tree_;
  Renderer renderer_;
  bool needsRender_ = true;
  bool stopped_ = false;
  bool movieWarningsTaken_ = false;
  std::vector<std::string> warnings_;
};

}  // namespace dc::swf

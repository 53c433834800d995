// Playing a movie.
#include "swf/player.h"

#include "base/file_io.h"
#include "swf/reader.h"
#include "swf/stage_fit.h"

namespace dc::swf {

std::shared_ptr<const Movie> ReadMovieFile(const std::filesystem::path& path, const Limits& limits) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(path, limits.maxFileBytes);
  return std::make_shared<const Movie>(ReadMovie(bytes, limits));
}

Player::Player(std::shared_ptr<const Movie> movie, const Limits& limits)
    : tree_(std::move(movie), limits), renderer_(limits) {}

double Player::FrameRate() const { return PlayableFrameRate(movie().frameRate); }

void Player::Advance() {
  if (stopped_) return;
  tree_.Step();
  Collect();
}

void Player::Collect() {
  if (tree_.TakeDirty()) needsRender_ = true;
  for (std::string& w : tree_.TakeWarnings()) warnings_.push_back(std::move(w));
}

void Player::Render(PixelTarget& face) {
  Collect();
  if (!renderer_.Render(tree_, face) && !stopped_) {
    stopped_ = true;
    warnings_.push_back("The Flash face costs too much to draw; it stops at this frame.");
  }
  needsRender_ = false;
}

std::vector<std::string> Player::TakeWarnings() {
  Collect();
  std::vector<std::string> all;
  if (!movieWarningsTaken_) {
    movieWarningsTaken_ = true;
    all = movie().warnings;
    if (movie().actionScript3)
      all.push_back("The Flash face is an ActionScript 3 movie; its timeline plays without its scripts.");
  }
  for (std::string& w : warnings_) all.push_back(std::move(w));
  warnings_.clear();
  return all;
}

}  // namespace dc::swf

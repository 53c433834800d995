// The frames of one timeline (the movie's or a sprite's) as its control
// tags arrive: a frame per ShowFrame, a last frame for tags after the last
// ShowFrame, and no frames past Limits::maxFrames.
#pragma once

#include <string>

#include "swf/model/movie.h"
#include "swf/format/read_context.h"

namespace dc::swf {

class FrameBuilder {
 public:
  explicit FrameBuilder(ReadContext& context) : context_(context) {}

  void Add(FrameTag&& tag);
  // The frame's first label is kept.
  void Label(std::string label);
  void Add(InitAction&& action);
  void ShowFrame();
  // At least one frame, even for a timeline with no tags. `ended`: the
  // tags ended with an End tag.
  Sprite Finish(std::uint16_t declaredFrameCount, bool ended);

 private:
  // False, with a warning, once the timeline has its most frames.
  bool Room();

  ReadContext& context_;
  std::vector<Frame> frames_;
  Frame pending_;
};

}  // namespace dc::swf

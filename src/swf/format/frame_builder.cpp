// Frames built tag by tag.
#include "swf/format/frame_builder.h"

namespace dc::swf {
namespace {

bool Empty(const Frame& f) { return f.tags.empty() && !f.label && f.initActions.empty(); }

}  // namespace

bool FrameBuilder::Room() {
  if (frames_.size() < context_.limits.maxFrames) return true;
  context_.Warn("Timelines of more than " + std::to_string(context_.limits.maxFrames) + " frames stop at frame " +
                std::to_string(context_.limits.maxFrames) + ".");
  return false;
}

void FrameBuilder::Add(FrameTag&& tag) {
  if (!Room()) return;
  context_.Spend(sizeof(FrameTag));
  pending_.tags.push_back(std::move(tag));
}

void FrameBuilder::Label(std::string label) {
  if (!Room()) return;
  context_.Spend(label.size());
  if (!pending_.label) pending_.label = std::move(label);
}

void FrameBuilder::Add(InitAction&& action) {
  if (!Room()) return;
  context_.Spend(sizeof(InitAction));
  pending_.initActions.push_back(std::move(action));
}

void FrameBuilder::ShowFrame() {
  if (!Room()) return;
  context_.Spend(sizeof(Frame));
  frames_.push_back(std::move(pending_));
  pending_ = Frame{};
}

Sprite FrameBuilder::Finish(std::uint16_t declaredFrameCount, bool ended) {
  const bool partial = !Empty(pending_);
  if (partial && Room()) frames_.push_back(std::move(pending_));
  if (frames_.empty()) frames_.emplace_back();
  return Sprite{std::move(frames_), declaredFrameCount, ended && !partial};
}

}  // namespace dc::swf

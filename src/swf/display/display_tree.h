// The display lists of a playing movie: the root timeline and every sprite
// instance on it, each with its own frame counter. Stepping applies one
// frame's tags; jumping back rebuilds the list of the target frame and
// keeps the objects placed again as they are. The tree also keeps its
// limits (objects, nesting) and says whether the picture changed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "swf/display/display_object.h"
#include "swf/limits.h"
#include "swf/model/movie.h"

namespace dc::swf {

class DisplayTree {
 public:
  // Makes the root timeline; Start shows its first frame (once the hooks
  // below are set).
  DisplayTree(std::shared_ptr<const Movie> movie, const Limits& limits);
  void Start();
  ~DisplayTree();
  DisplayTree(const DisplayTree&) = delete;
  DisplayTree& operator=(const DisplayTree&) = delete;

  const Movie& movie() const { return *movie_; }
  DisplayObject& Root() { return *root_; }
  const DisplayObject& Root() const { return *root_; }

  // One frame on for every playing timeline, the root first; a timeline at
  // its last frame goes back to its first. Objects made during this step
  // show their first frame until the next one.
  void Step();
  // Shows a 0-based frame of a sprite's timeline (clamped to its frames);
  // going back rebuilds the frame's list from the first frame on.
  void GotoFrame(DisplayObject& sprite, std::uint32_t frame);

  // A new object for a script: from a character, or an empty one of a
  // kind (an empty sprite, a text field); null when the character cannot
  // be shown or a limit is reached. Insert puts it at `depth` of `parent`,
  // replacing what is there, and shows its first frame.
  std::unique_ptr<DisplayObject> Make(DisplayObject& parent, std::uint16_t characterId, std::int32_t depth);
  std::unique_ptr<DisplayObject> MakeEmpty(DisplayObject& parent, DisplayKind kind, std::int32_t depth);
  DisplayObject* Insert(DisplayObject& parent, std::unique_ptr<DisplayObject> object);
  void Remove(DisplayObject& object);
  // Moves an object to another depth of its parent, swapping with what is
  // there.
  void MoveToDepth(DisplayObject& object, std::int32_t depth);
  // Frees what was taken off the display lists: after the frame's scripts,
  // which may still hold it.
  void Bury() { removed_.clear(); }

  // The movie's quality, which scripts may change: how finely it is drawn.
  Quality quality() const { return quality_; }
  void SetQuality(Quality q) {
    if (q != quality_) MarkDirty();
    quality_ = q;
  }

  // True when something shown changed since the last TakeDirty.
  bool TakeDirty() { return std::exchange(dirty_, false); }
  void MarkDirty() { dirty_ = true; }

  // Hooks for scripts: a frame of a timeline was entered (its actions are
  // due), an object was made, an object is about to go.
  std::function<void(DisplayObject&, std::uint32_t frame)> onFrameEntered;
  std::function<void(DisplayObject&)> onCreated;
  std::function<void(DisplayObject&)> onRemoving;

  // What was left out since the last call, each kind said once per movie.
  std::vector<std::string> TakeWarnings();
  std::size_t LiveObjects() const { return liveObjects_; }

 private:
  struct PlaceState;
  void InitialiseChildren(DisplayObject& object);
  void ApplyFrame(DisplayObject& sprite, std::uint32_t frame);
  void ApplyPlace(DisplayObject& sprite, const PlaceObject& place);
  void RemoveAt(DisplayObject& sprite, std::int32_t depth);
  void JumpBack(DisplayObject& sprite, std::uint32_t frame);
  void StepObject(DisplayObject& object);
  void Release(DisplayObject& object);
  void Warn(const std::string& text);

  std::shared_ptr<const Movie> movie_;
  Limits limits_;
  std::unique_ptr<DisplayObject> root_;
  std::uint64_t step_ = 0;
  std::size_t liveObjects_ = 0;
  bool dirty_ = true;
  Quality quality_ = Quality::High;
  std::set<std::string> said_;
  std::vector<std::string> warnings_;
  std::vector<std::unique_ptr<DisplayObject>> removed_;
};

}  // namespace dc::swf

// The display lists of a playing movie: the root timeline and every sprite
// instance on it, each with its own frame counter, and the list of
// timelines in the order they were made, which a frame runs newest first.
// Playing a frame applies its tags in file order; a jump brings the list to
// the frame before the target without scripts, then plays the target frame.
// The tree keeps its limits (objects, nesting), the instance names it gives
// and whether the picture changed; what scripts must do is said through
// its hooks.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "swf/display/display_object.h"
#include "swf/limits.h"
#include "swf/model/movie.h"
#include "swf/text/font_library.h"

namespace dc::swf {

class DisplayTree {
 public:
  // Makes the root timeline; Start plays its first frame (once the hooks
  // below are set).
  DisplayTree(std::shared_ptr<const Movie> movie, const Limits& limits);
  void Start();
  ~DisplayTree();
  DisplayTree(const DisplayTree&) = delete;
  DisplayTree& operator=(const DisplayTree&) = delete;

  const Movie& movie() const { return *movie_; }
  // The names the movie exports a character under.
  std::vector<std::string> ExportNamesOf(std::uint16_t characterId) const;
  // The movie's embedded fonts by name, for text fields (made at first use).
  const FontLibrary& Fonts();
  // The system's fonts that text in device fonts is measured in (the
  // renderer draws it in the same); null: the fallback font. Set before
  // the first field is measured.
  void SetDeviceFonts(DeviceFonts* device) { deviceFonts_ = device; }
  DeviceFonts* DeviceFontsOf() const { return deviceFonts_; }
  DisplayObject& Root() { return *root_; }
  const DisplayObject& Root() const { return *root_; }
  // Names compare as the movie's version does: exactly from SWF 7 on.
  bool CaseSensitive() const { return caseSensitive_; }

  // One frame on: each timeline on the list, newest first (the root last),
  // is told its enterFrame is due and then, when playing, shows its next
  // frame. At its last frame a timeline goes back to its first, unless its
  // definition is incomplete. Timelines made during the step wait for the
  // next one.
  void Step();
  // Shows a 0-based frame of a sprite's timeline. The frames before it
  // are applied without their scripts, then the frame is played (its
  // DoAction blocks are due). A frame past the last shows the last one
  // without its scripts; the frame shown already does nothing.
  void GotoFrame(DisplayObject& sprite, std::uint32_t frame);
  // The timelines newest first, the root last: the order a frame runs them
  // in, and the order clips hear the mouse.
  std::vector<DisplayObject*> Timelines() const {
    std::vector<DisplayObject*> out;
    for (DisplayObject* o = newest_; o; o = o->older_) out.push_back(o);
    return out;
  }

  // A new object for a script: from a character, or an empty one of a
  // kind (an empty sprite, a text field); null when the character cannot
  // be shown or a limit is reached. Insert puts it at its depth of
  // `parent`, replacing what is there, and plays its first frame.
  std::unique_ptr<DisplayObject> Make(DisplayObject& parent, std::uint16_t characterId, std::int32_t depth);
  std::unique_ptr<DisplayObject> MakeEmpty(DisplayObject& parent, DisplayKind kind, std::int32_t depth);
  DisplayObject* Insert(DisplayObject& parent, std::unique_ptr<DisplayObject> object);
  void Remove(DisplayObject& object);
  // Shows a button's state: the records of that state become its children
  // (a record in both states stays).
  void ShowButtonState(DisplayObject& button, ButtonState state);
  // Moves an object to another depth of its parent, swapping with what is
  // there.
  void MoveToDepth(DisplayObject& object, std::int32_t depth);
  void Rename(DisplayObject& object, std::string name);
  // Makes `mask` the script mask of `masked` (nullptr: none), taking it
  // from a clip it masked before. A clip layer takes no script mask.
  void SetMask(DisplayObject& masked, DisplayObject* mask);
  // The child named so (the lowest depth of several); null when none.
  DisplayObject* ChildNamed(const DisplayObject& parent, std::string_view name) const;
  // Frees what was taken off the display lists: after the frame's scripts,
  // which may still hold it.
  void Bury() { removed_.clear(); }

  // The movie's quality, which scripts may change: how finely it is drawn.
  Quality quality() const { return quality_; }
  void SetQuality(Quality q) {
    if (q != quality_) MarkDirty();
    quality_ = q;
  }

  // True when something shown changed since the last TakeDirty: an object,
  // or the pixels of a script's bitmap shown.
  bool TakeDirty();
  // A script's bitmap is shown: from now on TakeDirty looks at the pixels
  // of such bitmaps too.
  void ShowsScriptBitmaps() { scriptBitmaps_ = true; }
  void MarkDirty() { dirty_ = true; }

  // Hooks for scripts. Only onInitAction runs scripts at once (a class a
  // frame registers is there before the frame places an instance); the
  // others note what is due.
  //   onEnterFrame: a timeline's enterFrame is due (Step, before it moves).
  //   onFrameAction: a DoAction block of a frame played is due.
  //   onInitAction: a DoInitAction block, the first time its frame is
  //     reached (played or passed by a jump), before the frame's other tags.
  //   onCreated: an object was made and placed, its first frame played.
  //   onRemoving: an object leaves its list (each object inside it first);
  //     it must not throw, or the tree would free an object half told.
  //   onDebugMessage: what the debugging player writes to its log (a
  //     placement onto a taken depth).
  //   onWork: work a script caused, in units of actions (a jump's replayed
  //     tags, objects made), for the frame's budget.
  std::function<void(DisplayObject&)> onEnterFrame;
  std::function<void(DisplayObject&, const ActionBytes&)> onFrameAction;
  std::function<void(DisplayObject&, const ActionBytes&)> onInitAction;
  std::function<void(DisplayObject&)> onCreated;
  std::function<void(DisplayObject&)> onRemoving;
  std::function<void(std::string_view)> onDebugMessage;
  std::function<void(std::uint64_t)> onWork;

  // What was left out since the last call, each kind said once per movie.
  std::vector<std::string> TakeWarnings();
  std::size_t LiveObjects() const { return liveObjects_; }
  // A new script drawing, under the limits of one shape and of all the
  // movie's drawings together.
  std::unique_ptr<Drawing> NewDrawing() { return std::make_unique<Drawing>(limits_.maxEdgesPerShape, &drawnEdges_); }
  // Room for a tween's in-between shape of `edges` to be kept (against
  // Limits::maxKeptTweenEdges), taken; and given back. A shape not kept is
  // made in the scratch shape, good until the next one is made there.
  bool KeepTween(std::uint64_t edges);
  void ReleaseTween(std::uint64_t edges) { tweenEdges_.used -= edges; }
  Shape& TweenScratch() { return tweenScratch_; }
  std::uint64_t DrawnEdges() const { return drawnEdges_.used; }

 private:
  // Export names by character, made once from the movie's name list.
  std::multimap<std::uint16_t, std::string> exportNames_;
  struct PlaceState;
  using ListState = std::map<std::int32_t, PlaceState>;
  void PlayFrame(DisplayObject& sprite, std::uint32_t frame, bool scripts);
  void RunInitActions(DisplayObject& sprite, std::uint32_t from, std::uint32_t to);
  void ApplyPlace(DisplayObject& sprite, const PlaceObject& place);
  DisplayObject* PlaceNew(DisplayObject& sprite, std::int32_t depth, const PlaceState& state);
  void RemoveAt(DisplayObject& sprite, std::int32_t depth);
  void Replay(const Sprite& timeline, std::uint32_t from, std::uint32_t to, ListState& state) const;
  void Release(DisplayObject& object);
  void Link(DisplayObject& object);
  void Unlink(DisplayObject& object);
  void Index(DisplayObject& parent, DisplayObject& child);
  void Unindex(DisplayObject& parent, DisplayObject& child);
  void SetProperties(DisplayObject& object, const PlaceObject& place);
  void Charge(std::uint64_t units);
  // Whether one more object of `kind` inside `parent` stays within the
  // object count and the nesting; warns of the limit that says no.
  bool Admits(const DisplayObject& parent, DisplayKind kind);
  void Warn(const std::string& text);

  std::shared_ptr<const Movie> movie_;
  std::unique_ptr<FontLibrary> fonts_;
  DeviceFonts* deviceFonts_ = nullptr;
  Limits limits_;
  // Before the objects: their drawings give their edges back to it.
  EdgePool drawnEdges_;
  EdgePool tweenEdges_;
  Shape tweenScratch_;
  bool caseSensitive_;
  std::unique_ptr<DisplayObject> root_;
  DisplayObject* newest_ = nullptr;  // the head of the list of timelines
  std::uint64_t instances_ = 0;      // the names instance1, instance2, ... given
  std::vector<bool> initialised_;    // sprite ids whose DoInitAction ran
  std::size_t liveObjects_ = 0;
  bool dirty_ = true;
  bool scriptBitmaps_ = false;
  Quality quality_ = Quality::High;
  std::set<std::string> said_;
  std::vector<std::string> warnings_;
  std::vector<std::unique_ptr<DisplayObject>> removed_;
  std::vector<DisplayObject*> stepping_;  // Step's copy of the list
};

}  // namespace dc::swf

// The script engine as the player drives it: ActionScript 1 and 2 of SWF 4
// to 8 movies, run on the player's clips through the Clip interface.
//
// A frame, as the player runs it (player.cpp keeps the same order):
//   1. BeginFrame(): the action budget starts anew.
//   2. The timelines step, newest first and the root last. A frame's
//      DoInitAction blocks run at once through RunActions (once each for
//      the movie's life); what else comes due (enterFrame, DoAction blocks,
//      a placed clip's initialize, construct and load, a removed clip's
//      unload) is queued in order, initialize and construct ahead.
//   3. The queue runs: RunActions(clip, block) for a frame script and for
//      each clip event block of the event, then RunHandler
//      for its handler (onEnterFrame, onLoad, onUnload). Blocks run on one
//      stack for the frame: what a block leaves, the next one finds.
//   4. RunNextDueInterval(the frame's end) until none is due, the queue
//      run after each.
//   5. ClipRemoved for the clips taken away this frame (ClipLeaving was
//      said for each as it went).
//   6. EndFrame(): what host objects owe the scripts runs (a load that
//      failed, a LocalConnection message, a sound that ended), bound text
//      fields show their variables, the budget's outcome is counted, and
//      garbage is collected (once a megabyte was made since the last
//      collection, or sixty frames went by).
//   7. The frame is drawn.
// Clips the display side creates (placed by the timeline or made for a
// script through the Clip interface) are announced with ClipAdded before
// anything runs on them; a clip taken away is announced with ClipLeaving as
// it goes and with ClipRemoved at the frame's end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "swf/avm1/clip.h"
#include "swf/limits.h"
#include "swf/model/actions.h"

namespace dc::swf::avm1 {

// The local time as the clock's own time seam gives it.
struct LocalTime {
  CivilDateTime time;          // with milliseconds
  int utcOffsetMinutes = 0;    // local minus UTC: +60 for GMT+0100
};

struct Host {
  std::function<LocalTime()> now;             // Date; UTC when unset
  std::function<double()> timerMs;            // getTimer: ms since the movie started
  std::function<void(std::string_view)> trace;    // the debug log, nowhere else
  std::function<void(std::string_view)> warning;  // what a face did wrong, once each
  // The movie's stage, and the window it is shown in (Stage's size when the
  // movie does not scale; none: the stage's), in pixels.
  double stageWidth = 0, stageHeight = 0;
  double viewportWidth = 0, viewportHeight = 0;
  // The length in ms of the sound the movie exports as `name` (Sound's
  // attachSound); none when there is no such sound.
  std::function<std::optional<double>(std::string_view name)> exportedSoundMs;
  // The bitmap the movie exports as `name` (BitmapData.loadBitmap); null
  // when there is none.
  std::function<const Bitmap*(std::string_view name)> exportedBitmap;
  // BitmapData.draw of a clip: the clip and what is in it drawn over
  // `target` through `toTarget` (the clip's twips to the bitmap's pixels)
  // and `cx`, only within `area` of the bitmap (whose pixels are real).
  std::function<void(Clip& clip, const Matrix& toTarget, const ColorTransform& cx, BitmapRect area, bool smoothing,
                     BitmapPixels& target)>
      drawClip;
  // The pointer on the stage, in the root's twips (_xmouse, _ymouse,
  // hitTest's points are the stage's).
  std::function<Point()> pointer;
  // startDrag on a clip (`bounds` in its parent's twips), stopDrag, and the
  // clip a dragged clip was last over (_droptarget; null when none).
  std::function<void(Clip& clip, bool lockCentre, std::optional<TwipRect> bounds)> startDrag;
  std::function<void()> stopDrag;
  std::function<Clip*(const Clip& dragged)> dropTarget;
  // Whether a mouse button is held, by its key code (1 left, 2 right, 4
  // middle): Key.isDown's answer for them; a face has no other keys.
  std::function<bool(int keyCode)> mouseButtonDown;
};

// The limits scripts run under (swf/limits.h).
using dc::swf::ScriptLimits;

// What the engine did with the last frame (after EndFrame) and since.
struct ScriptStats {
  std::uint64_t actionsThisFrame = 0;
  bool frameStopped = false;       // the budget, the memory limit or the call depth
  // Frames that went past a limit among the last ScriptLimits::stopWindowFrames.
  int framesOverBudgetInWindow = 0;
  bool scriptsStopped = false;     // for good: no script runs any more
  std::uint64_t bytesInUse = 0;    // after the last collection
  std::uint64_t objectsInUse = 0;  // script cells after the last collection
};

class Runtime;

class Engine {
 public:
  Engine(int swfVersion, Host host, ScriptLimits limits = {});
  // Clears the script slot of every clip it still knows: destroy the engine
  // before those clips (or announce their removal first).
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // _root and _level0. Set once, before any script runs.
  void SetRoot(Clip& root);
  // A clip now on a display list (a text field with a variable is bound
  // from now on). Clips are also taken up when a script first reaches them.
  void ClipAdded(Clip& clip);
  // A clip the timeline placed runs the class registered to its symbol,
  // after its construct event.
  void ConstructClip(Clip& clip);
  // The clip is gone: the script object no longer reaches it (references
  // to it resolve to nothing) and its timeline variables become garbage.
  // Required for every clip that leaves the display list, announced or not
  // (scripts reach clips the display side never announced): the engine
  // keeps no pointer to a clip after this call.
  void ClipRemoved(Clip& clip);
  // The clip left its list but lives on until ClipRemoved (the frame's
  // end): its own running code still reaches it. Other references reach
  // what is placed at its path from now on, unless `reachable` (a clip with
  // an unload to run stays theirs until the frame ends).
  void ClipLeaving(Clip& clip, bool reachable);

  void BeginFrame();
  // A frame script, DoInitAction or onClipEvent block: `clip` is `this`
  // and the timeline the block's names resolve on.
  void RunActions(Clip& clip, const ActionBytes& actions);
  // The clip's handler by name (onEnterFrame, onLoad, onUnload, ...) when a
  // script defined one; false when there is none.
  bool RunHandler(Clip& clip, std::string_view name);
  // Whether the clip has a member of that name (a getter is not called).
  // Never stops the running script: the display tree asks it mid-change.
  bool HasHandler(Clip& clip, std::string_view name);
  // The mouse (player.cpp says when its events run). Whether a clip takes
  // the mouse as a button does: it has a handler of a button's events.
  bool HasButtonHandler(Clip& clip);
  // The clip's `enabled` and `useHandCursor`: true unless a script made
  // them false (a getter is not called).
  bool MouseEnabled(Clip& clip);
  bool HandCursor(Clip& clip);
  // The clip's `trackAsMenu`: false unless a script made it true.
  bool TrackAsMenu(Clip& clip);
  // Mouse's listeners told of `event` (onMouseDown, onMouseMove, onMouseUp).
  void BroadcastMouse(std::string_view event);
  // A text link "asfunction:PATH,ARGUMENT" clicked in a field on
  // `timeline`: the function at PATH (from the timeline, else _global)
  // called on the object that holds it, with the rest after the first
  // comma as its one argument (none without a comma). False when nothing
  // is called.
  bool CallLinkFunction(Clip& timeline, std::string_view reference);
  // The setInterval or setTimeout callback that falls due first by `nowMs`
  // (the player's timer), run; false when none is due or scripts stopped.
  // An interval behind the timer catches up, a few dozen runs a frame at
  // most.
  bool RunNextDueInterval(double nowMs);
  // Every callback due by `nowMs`.
  void RunDueIntervals(double nowMs);
  // Work the display side did for a script (a jump's replayed tags, clips
  // made), counted against the frame's action budget.
  void AddWork(std::uint64_t units);
  void EndFrame();

  // Collects garbage now (EndFrame does it too).
  void CollectGarbage();
  const ScriptStats& Stats() const;

  // The engine's state, for tests and the fuzz target.
  Runtime& Internals();

 private:
  std::unique_ptr<Runtime> runtime_;
  int framesSinceCollection_ = 0;
};

}  // namespace dc::swf::avm1

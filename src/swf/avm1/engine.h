// The script engine as the player drives it: ActionScript 1 and 2 of SWF 4
// to 8 movies, run on the player's clips through the Clip interface.
//
// A frame, as the player runs it (player.cpp keeps the same order):
//   1. The timelines step (the root first, then the sprites in it); the
//      frames entered are noted.
//   2. BeginFrame(): the action budget starts anew.
//   3. Clips placed on this frame: RunClipEvent(clip, kEventLoad, ...) for
//      each clip event block that has the load bit, then RunHandler(clip,
//      "onLoad").
//   4. For every clip, parents before children: RunClipEvent(clip,
//      kEventEnterFrame, ...) and RunHandler(clip, "onEnterFrame").
//   5. For each frame entered (gotos included): its DoInitAction blocks
//      once per sprite for the movie's life, before any frame script of
//      that frame (RunActions(the root, ...)), then its DoAction blocks
//      (RunActions(clip, ...)), in the order the frames were entered.
//   6. RunDueIntervals(timer).
//   7. Clips removed: RunClipEvent(clip, kEventUnload, ...), RunHandler(clip,
//      "onUnload"), then ClipRemoved(clip) for it and each clip in it.
//   8. EndFrame(): what host objects owe the scripts runs (a load that
//      failed, a LocalConnection message, a sound that ended), bound text
//      fields show their variables, the budget's outcome is counted, and
//      garbage is collected (once a megabyte was made since the last
//      collection, or sixty frames went by).
//   9. The frame is drawn.
// Clips the display side creates (placed by the timeline or made for a
// script through the Clip interface) are announced with ClipAdded before
// anything runs on them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "swf/avm1/clip.h"
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
  std::function<void(Clip& clip, const Matrix& toTarget, const ColorTransform& cx, PixelRect area, bool smoothing,
                     BitmapPixels& target)>
      drawClip;
};

struct ScriptLimits {
  std::uint64_t actionsPerFrame = 1'000'000;
  int maxCallDepth = 256;
  std::uint64_t maxMemoryBytes = 64ull << 20;  // objects, strings and arrays
  int framesOverBudgetBeforeStop = 10;         // in a row
};

// What the engine did with the last frame (after EndFrame) and since.
struct ScriptStats {
  std::uint64_t actionsThisFrame = 0;
  bool frameStopped = false;       // the budget, the memory limit or the call depth
  int framesOverBudgetInARow = 0;
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
  // The clip is gone: the script object no longer reaches it (references
  // to it resolve to nothing) and its timeline variables become garbage.
  // Required for every clip that leaves the display list, announced or not
  // (scripts reach clips the display side never announced): the engine
  // keeps no pointer to a clip after this call.
  void ClipRemoved(Clip& clip);

  void BeginFrame();
  // A frame script or DoInitAction block: `clip` is `this` and the
  // timeline the block's names resolve on.
  void RunActions(Clip& clip, const ActionBytes& actions);
  // One onClipEvent block of `clip` (the event is for the log only).
  void RunClipEvent(Clip& clip, ClipEvent event, const ActionBytes& actions);
  // The clip's handler by name (onEnterFrame, onLoad, onUnload, ...) when a
  // script defined one; false when there is none.
  bool RunHandler(Clip& clip, std::string_view name);
  // setInterval/setTimeout callbacks whose time has come (each at most once
  // per call), on the player's timer in ms.
  void RunDueIntervals(double nowMs);
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

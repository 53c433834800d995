// A movie playing: its display tree stepped at the frame rate, its scripts
// run in the order of a frame, and the picture drawn onto the face when it
// changed. What the clock window and clockpack's preview hold.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/pixels.h"
#include "swf/avm1/engine.h"
#include "swf/display/display_tree.h"
#include "swf/limits.h"
#include "swf/model/movie.h"
#include "swf/player/render.h"
#include "swf/text/device_fonts.h"

namespace dc::swf {

// Reads a movie file. Throws SwfError (or FileError) saying why it cannot
// be played.
std::shared_ptr<const Movie> ReadMovieFile(const std::filesystem::path& path, const Limits& limits = kDefaultLimits);

struct PlayerOptions {
  Limits limits;
  avm1::ScriptLimits scriptLimits;
  // The local time scripts read (`new Date()`): the clock's own time seam.
  // Unset, scripts see 1 January 2000, 00:00 UTC.
  std::function<avm1::LocalTime()> now;
  // Milliseconds since the movie started (getTimer, intervals). Unset, the
  // frames played at the movie's rate.
  std::function<double()> timerMs;
  // `trace` output: a debug log, nowhere else.
  std::function<void(std::string_view)> trace;
  // The face's size in pixels, which scripts may ask for (Stage); 0: the
  // stage's.
  double viewportWidth = 0, viewportHeight = 0;
  // The quality the movie starts at; its scripts may change it.
  Quality quality = Quality::High;
  // The system's fonts, for text in a font the movie does not embed;
  // unset, such text is drawn in our fallback font.
  std::shared_ptr<DeviceFontSource> deviceFonts;
};

class Player {
 public:
  explicit Player(std::shared_ptr<const Movie> movie, PlayerOptions options = {});
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  const Movie& movie() const { return tree_.movie(); }
  DisplayTree& Tree() { return tree_; }
  // Frames a second, the file's rate clamped to what a clock keeps.
  double FrameRate() const;
  // The frame shown, from 1, of the root timeline.
  std::uint32_t CurrentFrame() const { return tree_.Root().frame + 1; }
  const avm1::ScriptStats* ScriptStats() const { return engine_ ? &engine_->Stats() : nullptr; }

  // One frame on: the timelines step, then the frame's scripts run. A
  // movie whose drawing went past its limits on framesOverBudgetBeforeStop
  // of the last stopWindowFrames frames no longer moves.
  void Advance();
  // True when the picture changed since it was last drawn.
  bool NeedsRender() const { return needsRender_; }
  // Draws the frame onto `face`, the stage fitted to it. A frame that
  // costs more than the drawing limits allow leaves the last picture drawn
  // in full on the face.
  void Render(PixelTarget& face);
  // Draws onto `face`, which holds the picture this player drew last, only
  // the box of what changed since (nothing when nothing did), and returns
  // that box: the part of the face to show again.
  PixelBox RenderChanges(PixelTarget& face);

  // The pointer, in the face's pixels (the face the frame was last drawn
  // on, else the viewport, else the stage), mapped through the stage's fit.
  // Each event runs its scripts at once (player.cpp says in what order).
  void MouseMove(double x, double y);
  void MouseDown(double x, double y);
  void MouseUp(double x, double y);
  // The pointer left the face: what it was over is left.
  void MouseLeave();
  // The right or middle button pressed or let go (the left one is
  // MouseDown and MouseUp): scripts see it only through Key.isDown.
  enum class OtherButton { Right = 2, Middle = 4 };
  void OtherButtonHeld(OtherButton button, bool held);
  // What the pointer should look like where it is: a hand over an enabled
  // button, or a clip that takes the mouse, whose useHandCursor is true.
  enum class Cursor { Arrow, Hand };
  Cursor PointerCursor();

  // What was left out or stopped, each said once: the reader's warnings
  // first, then what playing found.
  std::vector<std::string> TakeWarnings();
  bool Stopped() const { return stopped_; }

 private:
  struct Queue;
  PixelBox Draw(PixelTarget& face, bool onlyChanged);
  // The player's timer in ms after `frames` frames.
  double TimerMs(std::uint64_t frames) const;
  void RunScripts();
  void RunQueue();
  // One queued block (`event` 0) or clip event of `clip`.
  void RunItem(DisplayObject& clip, const ActionBytes& actions, std::uint32_t event);
  void Collect();
  // Ends a frame's or an event's scripts: clips gone forgotten, host
  // events, garbage.
  void FinishScripts();

  // The mouse (player_mouse.cpp).
  // Frame: the frame moved things under a pointer that stayed.
  enum class PointerEvent { Move, Down, Up, Leave, Frame };
  void Pointer(PointerEvent event, Point stage);
  // The event's clip events and transitions, within the budget begun.
  void PointerScripts(PointerEvent event, Point stage);
  Point FaceToStage(double x, double y) const;
  // Clip events of `event` to every clip, newest first, then Mouse's
  // listeners.
  void SendMouseEvent(std::uint32_t event, const char* listenerEvent);
  DisplayObject* FindTarget();
  bool TakesMouse(DisplayObject& o);
  bool IsMenu(DisplayObject& o);
  void Transition(DisplayObject* o, std::uint16_t condition);
  void ShowStates();
  void FollowPointer();
  void FollowLink();
  void Forget(DisplayObject& o);
  void FindLost();
  struct PointerState {
    bool inside = false;
    Point at;  // the root's twips
    bool down = false;
    std::uint8_t otherButtons = 0;  // OtherButton bits held
    DisplayObject* over = nullptr;     // the target under the pointer
    DisplayObject* pressed = nullptr;  // the target pressed, until released
    DisplayObject* dragged = nullptr;
    bool lockCentre = false;
    std::optional<TwipRect> dragBounds;  // the parent's twips
    Point grab;                          // the pointer's offset from the dragged origin
    const DisplayObject* lastDragged = nullptr;
    DisplayObject* dropTarget = nullptr;
    std::vector<DisplayObject*> shown;  // buttons not in their up state
    // Where the target the pointer was over or pressed was, when its
    // timeline took it away: the same character placed there again takes
    // its place.
    struct Place {
      const DisplayObject* parent = nullptr;
      std::int32_t depth = 0;
      std::uint16_t characterId = 0;
      bool over = false, pressed = false;
    };
    std::optional<Place> lost;
  };
  PointerState pointer_;
  std::int32_t faceWidth_ = 0, faceHeight_ = 0;

  PlayerOptions options_;
  std::uint64_t framesPlayed_ = 0;
  DeviceFonts deviceFonts_;  // made before the tree and the renderer, gone after them
  DisplayTree tree_;  // made before the engine, gone after it
  std::unique_ptr<avm1::Engine> engine_;
  std::unique_ptr<Queue> queue_;
  Renderer renderer_;
  // The last picture drawn in full, shown again for a frame that went past
  // a drawing limit.
  struct KeptPicture {
    std::vector<std::uint32_t> pixels;
    std::int32_t width = 0, height = 0;
    void Keep(const PixelTarget& face, const PixelBox& box);
    bool Restore(PixelTarget& face) const;  // false: none of the face's size
  } picture_;
  // Frames whose drawing went past a limit, the last stopWindowFrames.
  std::deque<std::uint64_t> drawnOverBudget_;
  std::vector<std::string> drawLimitsSaid_;
  bool needsRender_ = true;
  bool stopped_ = false;
  bool movieWarningsTaken_ = false;
  std::vector<std::string> warnings_;
};

}  // namespace dc::swf

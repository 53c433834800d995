// The Flash face: a child window of the clock that plays the clock's movie
// with our own player. It steps the movie at the movie's frame rate, woken
// by its timer or by the program's message loop, draws into its one DIB
// section only the box of what changed in the picture, and copies to the
// screen only what was invalidated or uncovered. Paused (a hidden clock), it runs no timer and draws nothing.
// The pointer over it reaches the movie: moves, its leaving, and a click (a
// left press let go within the system's drag distance); a press moved
// further moves the clock instead, unseen by the movie.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/frame_clock.h"
#include "app/message_filter.h"
#include "base/date_time.h"
#include "swf/player/player.h"
#include "ui/dib_surface.win.h"
#include "ui/handles.win.h"
#include "ui/window.win.h"

namespace dc {

class FlashFace : public ui::Window {
 public:
  static constexpr UINT_PTR kFrameTimer = 1;

  // Reads the movie at `moviePath` and shows its first frame; its scripts
  // read the time from `now`. Throws UserError saying why the movie cannot
  // be played.
  // `moveClock` starts the system's move of the clock (a press that moved),
  // the clock first moved by how far the pointer went before it was a move.
  // Text in fonts the movie does not embed comes from `deviceFonts` (the
  // system's), or, unset, from the player's fallback font.
  FlashFace(HWND parent, const std::filesystem::path& moviePath, int left, int top, int width, int height,
            std::function<CivilDateTime()> now, std::function<void(int dx, int dy)> moveClock,
            std::shared_ptr<swf::DeviceFontSource> deviceFonts = nullptr);

  // Runs the movie while the clock is shown; paused, it holds its frame.
  void SetRunning(bool running);
  bool Running() const { return running_; }
  // Who wakes the face for its frames: its own timer (at first), or the
  // program's message loop, which sleeps until NextFrameTick() and then
  // calls PlayDueFrames(); a frame's wake then costs the system no timer
  // message.
  void SetTimerPaced(bool paced);
  // The tick count (GetTickCount64) at which the next frame is due; none
  // while paused.
  std::optional<ULONGLONG> NextFrameTick() const;
  // Plays the frames due by now, and shows what they changed.
  void PlayDueFrames();
  // At a whole frame rate, counts the frames from a whole number of seconds
  // before `tick` (a tick count), so that one of them is due then; those
  // due by now count as played. The frames keep their rate and their
  // spacing; only where in the second they fall moves, by what the clock's
  // ticks drifted from the last.
  void KeepInStepWith(ULONGLONG tick);
  // Frames counted since the movie last started running, or since the
  // tick they are counted from.
  std::uint64_t FramesPlayed() const { return framesPlayed_; }
  swf::Player& Player() { return *player_; }
  // How many frames were drawn (a frame that changes nothing is not).
  std::uint64_t FramesDrawn() const { return framesDrawn_; }

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // Draws the whole frame into a DIB section not drawn yet; true when it
  // did.
  bool DrawFrame();
  void Invalidate(const RECT* box);
  void MakeSurface(int width, int height);
  void StartFrameTimer();
  void PassOnWarnings();
  // Mouse messages to the movie; the picture is drawn again when it changed.
  void OnMouse(UINT msg, int x, int y);
  void ShowChanges();

  std::unique_ptr<swf::Player> player_;
  ui::DibSurface surface_;  // the movie's picture, copied to the window when painted
  int width_ = 0, height_ = 0;
  bool running_ = false;
  bool timerPaced_ = true;
  FrameClock frameClock_{12};
  bool surfaceStale_ = true;
  ULONGLONG startTick_ = 0;
  std::uint64_t framesPlayed_ = 0;
  std::uint64_t framesDrawn_ = 0;
  std::function<void(int dx, int dy)> moveClock_;
  ClickOrMove press_;
  bool tracking_ = false;  // the system tells us when the pointer leaves
};

}  // namespace dc

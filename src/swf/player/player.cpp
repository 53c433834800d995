// Playing a movie. A frame, in order:
//   1. the timelines step, newest first and the root last (the order they
//      were made in, reversed). Each is told its enterFrame is due, then,
//      when playing, shows its next frame: the frame's DoInitAction blocks
//      run at once (once each for the movie's life), then its tags apply in
//      file order. A DoAction block is queued where it stands; a placed
//      clip shows its first frame at once (its blocks queued there too) and
//      queues its initialize event ahead of everything else, its construct
//      event and class constructor behind every clip's initialize, and its
//      load event behind its first frame's blocks; a removed clip
//      queues its unload. Clips made during the step move from the next
//      frame on.
//   2. the queue runs in order. What scripts place, remove or go to is
//      applied at once and queued behind by the same rules; a block or
//      event of a clip taken away meanwhile is dropped (its unload runs).
//   3. intervals and timeouts whose time has come by the frame's end run,
//      in the order they fall due, each followed by what it queued; then,
//      while the pointer is over the face, what is under it is found again
//      and its transitions run (player_mouse.cpp), as part of the frame;
//   4. clips that had unload handlers are forgotten by the scripts (clips
//      without were forgotten as they went); host objects' events run (a
//      failed load, a message, a sound's end), bound text fields show their
//      variables, and garbage is collected;
//   5. the frame is drawn (when it is asked for and changed).
// The first frame, when the player is made, is the root's first frame
// played with the same steps, without enterFrame. The mouse's events run
// between frames, as they arrive, each handler's actions at once and then
// what they queued, in the order written at the top of player_mouse.cpp.
#include "swf/player/player.h"

#include <algorithm>
#include <deque>

#include "base/file_io.h"
#include "swf/avm1/conversions.h"
#include "swf/display/hit_test.h"
#include "swf/player/clip_events.h"
#include "swf/format/reader.h"
#include "swf/player/stage_fit.h"

namespace dc::swf {

// What the display tree said is due, in the order it runs.
struct Player::Queue {
  enum class Kind : std::uint8_t { Block, Event, Construct };
  struct Item {
    Kind kind;
    DisplayObject* clip;
    ActionBytes actions;        // Block
    std::uint32_t event = 0;    // Event: a ClipEvent bit
  };
  std::deque<Item> first;       // initialize events
  std::deque<Item> constructs;  // then construct events and classes' constructors
  std::deque<Item> items;
  // Clips taken away this frame, forgotten by the scripts at its end.
  std::vector<DisplayObject*> leaving;
};

std::shared_ptr<const Movie> ReadMovieFile(const std::filesystem::path& path, const Limits& limits) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(path, limits.maxFileBytes);
  return std::make_shared<const Movie>(ReadMovie(bytes, limits));
}

Player::Player(std::shared_ptr<const Movie> movie, PlayerOptions options)
    : options_(std::move(options)),
      deviceFonts_(options_.deviceFonts),
      tree_(std::move(movie), options_.limits),
      queue_(std::make_unique<Queue>()),
      renderer_(options_.limits, options_.deviceFonts ? &deviceFonts_ : nullptr) {
  tree_.SetQuality(options_.quality);
  if (options_.deviceFonts) tree_.SetDeviceFonts(&deviceFonts_);
  const Movie& m = tree_.movie();
  if (m.hasAvm1Scripts && !m.actionScript3) {
    avm1::Host host;
    if (options_.now) {
      host.now = options_.now;
    } else {
      host.now = [] { return avm1::LocalTime{CivilDateTime{2000, 1, 1, 0, 0, 0, 0}, 0}; };
    }
    host.timerMs = [this] { return TimerMs(framesPlayed_); };
    host.trace = options_.trace;
    host.warning = [this](std::string_view w) { warnings_.emplace_back(w); };
    host.stageWidth = static_cast<double>(m.stage.Width()) / 20;
    host.stageHeight = static_cast<double>(m.stage.Height()) / 20;
    host.viewportWidth = options_.viewportWidth;
    host.viewportHeight = options_.viewportHeight;
    host.pointer = [this] { return pointer_.at; };
    host.mouseButtonDown = [this](int code) {
      return code == 1 ? pointer_.down : (pointer_.otherButtons & code) != 0;
    };
    host.startDrag = [this](avm1::Clip& clip, bool lockCentre, std::optional<TwipRect> bounds) {
      auto& o = static_cast<DisplayObject&>(clip);
      if (o.removed || !o.parent) return;
      pointer_.dragged = &o;
      pointer_.lastDragged = &o;
      pointer_.lockCentre = lockCentre;
      pointer_.dragBounds = bounds;
      const std::optional<Matrix> fromRoot = o.parent->ToRootMatrix().Inverse();
      const Point at = fromRoot ? fromRoot->Apply(pointer_.at) : Point{};
      pointer_.grab = {at.x - o.matrix.tx, at.y - o.matrix.ty};
      FollowPointer();
    };
    host.stopDrag = [this] {
      if (!pointer_.dragged) return;
      std::uint64_t edges = 0;
      pointer_.dropTarget = DropTargetAt(tree_.Root(), pointer_.at, pointer_.dragged, edges);
      engine_->AddWork(edges * kWorkPerEdgeCopied);
      pointer_.dragged = nullptr;
    };
    host.dropTarget = [this](const avm1::Clip& clip) -> avm1::Clip* {
      return &clip == pointer_.lastDragged ? pointer_.dropTarget : nullptr;
    };
    host.exportedSoundMs = [this](std::string_view name) -> std::optional<double> {
      const Movie& movie = tree_.movie();
      auto it = movie.exports.find(std::string(name));
      // Before SWF 7 names match in either case.
      if (it == movie.exports.end() && movie.version < 7) {
        it = std::find_if(movie.exports.begin(), movie.exports.end(),
                          [&](const auto& e) { return avm1::NamesEqual(e.first, name, false); });
      }
      if (it == movie.exports.end()) return std::nullopt;
      const auto sound = movie.sounds.find(it->second);
      if (sound == movie.sounds.end()) return std::nullopt;
      return sound->second.DurationMs();
    };
    engine_ = std::make_unique<avm1::Engine>(m.version, std::move(host), options_.scriptLimits);
    engine_->SetRoot(tree_.Root());
    Queue& q = *queue_;
    tree_.onEnterFrame = [&q](DisplayObject& o) {
      if (o.kind == DisplayKind::Sprite) q.items.push_back({Queue::Kind::Event, &o, {}, kEventEnterFrame});
    };
    tree_.onFrameAction = [&q](DisplayObject& o, const ActionBytes& a) {
      q.items.push_back({Queue::Kind::Block, &o, a, 0});
    };
    tree_.onInitAction = [this](DisplayObject& o, const ActionBytes& a) { engine_->RunActions(o, a); };
    tree_.onCreated = [this, &q](DisplayObject& o) {
      engine_->ClipAdded(o);
      if (HasClipEvent(o, kEventInitialize)) q.first.push_back({Queue::Kind::Event, &o, {}, kEventInitialize});
      if (HasClipEvent(o, kEventConstruct)) q.constructs.push_back({Queue::Kind::Event, &o, {}, kEventConstruct});
      // Scripts run a class on the clips they make themselves.
      if (o.kind == DisplayKind::Sprite && o.fromTimeline) q.constructs.push_back({Queue::Kind::Construct, &o, {}, 0});
      if (o.kind == DisplayKind::Sprite) q.items.push_back({Queue::Kind::Event, &o, {}, kEventLoad});
    };
    tree_.onRemoving = [this, &q](DisplayObject& o) {
      Forget(o);
      // A clip with something to run as it goes stays reachable until the
      // frame ends; any other is gone for the scripts' references at once.
      const bool unload = HasClipEvent(o, kEventUnload) || engine_->HasHandler(o, "onUnload");
      if (unload) q.items.push_back({Queue::Kind::Event, &o, {}, kEventUnload});
      engine_->ClipLeaving(o, unload);
      q.leaving.push_back(&o);
    };
    tree_.onDebugMessage = [this](std::string_view line) {
      if (options_.trace) options_.trace(line);
    };
    tree_.onWork = [this](std::uint64_t units) { engine_->AddWork(units); };
  }
  if (!tree_.onRemoving) tree_.onRemoving = [this](DisplayObject& o) { Forget(o); };
  if (engine_) engine_->BeginFrame();
  tree_.Start();
  RunScripts();
  Collect();
}

Player::~Player() {
  // The scripts go first: they let go of the clips.
  engine_.reset();
}

double Player::FrameRate() const { return PlayableFrameRate(movie().frameRate); }

double Player::TimerMs(std::uint64_t frames) const {
  if (options_.timerMs) return options_.timerMs();
  return static_cast<double>(frames) * 1000.0 / FrameRate();
}

void Player::Advance() {
  if (stopped_) return;
  ++framesPlayed_;
  if (engine_) engine_->BeginFrame();
  tree_.Step();
  RunScripts();
  Collect();
}

void Player::RunItem(DisplayObject& o, const ActionBytes& actions, std::uint32_t event) {
  if (!event) {
    if (!o.removed) engine_->RunActions(o, actions);
    return;
  }
  // Only the unload runs on a clip taken away.
  if (o.removed != (event == kEventUnload)) return;
  for (const ClipAction& a : o.clipActions) {
    if (a.events & event) engine_->RunActions(o, a.actions);
    if (o.removed != (event == kEventUnload)) return;
  }
  if (const char* handler = HandlerOf(event)) engine_->RunHandler(o, handler);
}

void Player::RunQueue() {
  Queue& q = *queue_;
  while (!q.first.empty() || !q.constructs.empty() || !q.items.empty()) {
    // Once the frame's scripts stopped nothing more runs; what scripts
    // would have placed stays placed.
    if (engine_->Stats().frameStopped || engine_->Stats().scriptsStopped) {
      q.first.clear();
      q.constructs.clear();
      q.items.clear();
      return;
    }
    std::deque<Queue::Item>& from = !q.first.empty() ? q.first : !q.constructs.empty() ? q.constructs : q.items;
    const Queue::Item item = std::move(from.front());
    from.pop_front();
    if (item.kind == Queue::Kind::Construct) {
      if (!item.clip->removed) engine_->ConstructClip(*item.clip);
      continue;
    }
    RunItem(*item.clip, item.actions, item.kind == Queue::Kind::Block ? 0 : item.event);
  }
}

void Player::RunScripts() {
  if (!engine_) {
    if (pointer_.inside) PointerScripts(PointerEvent::Frame, pointer_.at);
    tree_.Bury();
    return;
  }
  RunQueue();
  // Timers due by the end of this frame, each followed by what it queued.
  const double frameEnd = TimerMs(framesPlayed_ + 1);
  while (engine_->RunNextDueInterval(frameEnd)) RunQueue();
  // The frame may have moved, hidden or placed again what the pointer is
  // over; within the frame's budget.
  if (pointer_.inside) {
    PointerScripts(PointerEvent::Frame, pointer_.at);
    RunQueue();
  }
  FinishScripts();
}

void Player::FinishScripts() {
  Queue& q = *queue_;
  q.first.clear();
  q.constructs.clear();
  q.items.clear();
  std::vector<DisplayObject*> leaving;
  leaving.swap(q.leaving);
  for (DisplayObject* o : leaving) engine_->ClipRemoved(*o);
  engine_->EndFrame();
  tree_.Bury();
}

void Player::Collect() {
  if (tree_.TakeDirty()) needsRender_ = true;
  for (std::string& w : tree_.TakeWarnings()) warnings_.push_back(std::move(w));
}

void Player::Render(PixelTarget& face) { Draw(face, false); }

PixelBox Player::RenderChanges(PixelTarget& face) { return Draw(face, true); }

PixelBox Player::Draw(PixelTarget& face, bool onlyChanged) {
  Collect();
  faceWidth_ = face.width;
  faceHeight_ = face.height;
  needsRender_ = false;
  const PixelBox whole{0, 0, std::max(face.width, 0), std::max(face.height, 0)};
  // A movie stopped for what it cost to draw is not drawn again.
  if (stopped_ && picture_.Restore(face)) return whole;
  if (renderer_.Render(tree_, face, onlyChanged)) {
    picture_.Keep(face, renderer_.DrawnBox());
    return renderer_.DrawnBox();
  }
  // Past a drawing limit the face shows the last picture finished, and the
  // frame counts against the movie as a script's overrun does.
  picture_.Restore(face);
  const std::string limit = renderer_.Overrun();
  if (std::find(drawLimitsSaid_.begin(), drawLimitsSaid_.end(), limit) == drawLimitsSaid_.end()) {
    drawLimitsSaid_.push_back(limit);
    warnings_.push_back("drawing went past " + limit + "; the face keeps its last finished picture");
  }
  const ScriptLimits& l = options_.scriptLimits;
  const std::uint64_t window = static_cast<std::uint64_t>(std::max({1, l.stopWindowFrames, l.framesOverBudgetBeforeStop}));
  if (drawnOverBudget_.empty() || drawnOverBudget_.back() != framesPlayed_) drawnOverBudget_.push_back(framesPlayed_);
  while (drawnOverBudget_.front() + window <= framesPlayed_) drawnOverBudget_.pop_front();
  if (static_cast<int>(drawnOverBudget_.size()) >= l.framesOverBudgetBeforeStop && !stopped_) {
    stopped_ = true;
    warnings_.push_back("drawing went past its limits on " + std::to_string(drawnOverBudget_.size()) + " of the last " +
                        std::to_string(window) + " frames (framesOverBudgetBeforeStop " +
                        std::to_string(l.framesOverBudgetBeforeStop) + ", stopWindowFrames " + std::to_string(window) +
                        "); the movie stopped");
  }
  return whole;
}

void Player::KeptPicture::Keep(const PixelTarget& face, const PixelBox& box) {
  // Outside the box the face still shows the picture kept, when it is one
  // of the face's size.
  PixelBox copied = Intersection(box, {0, 0, face.width, face.height});
  if (face.width != width || face.height != height) {
    width = face.width, height = face.height;
    pixels.resize(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0));
    copied = {0, 0, std::max(width, 0), std::max(height, 0)};
  }
  for (std::int32_t y = copied.y0; y < copied.y1; ++y) {
    const std::uint32_t* row = face.pixels + static_cast<std::ptrdiff_t>(y) * face.stride;
    std::copy(row + copied.x0, row + copied.x1, pixels.begin() + static_cast<std::ptrdiff_t>(y) * width + copied.x0);
  }
}

bool Player::KeptPicture::Restore(PixelTarget& face) const {
  if (pixels.empty() || face.width != width || face.height != height) return false;
  for (std::int32_t y = 0; y < height; ++y) {
    const auto from = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
    std::copy(from, from + width, face.pixels + static_cast<std::ptrdiff_t>(y) * face.stride);
  }
  return true;
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

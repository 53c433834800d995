// Playing a movie. A frame, in order:
//   1. the timelines step (the root first, then the sprites in it);
//   2. clips placed on this frame run onClipEvent(load) and onLoad;
//   3. every clip, parents before children, runs onClipEvent(enterFrame)
//      and its onEnterFrame handler;
//   4. the frames just entered run their scripts in the order they were
//      entered, each frame's DoInitAction blocks first (once for the
//      movie's life); what those scripts place or go to runs after them,
//      by the same rules;
//   5. intervals that are due run;
//   6. clips taken away run onClipEvent(unload) and onUnload, then are
//      forgotten by the scripts;
//   7. bound text fields show their variables, and garbage is collected;
//   8. the frame is drawn (when it is asked for and changed).
// The first frame runs steps 2 to 7 when the player is made.
#include "swf/player/player.h"

#include <deque>
#include <set>

#include "base/file_io.h"
#include "swf/format/reader.h"
#include "swf/player/stage_fit.h"

namespace dc::swf {

// What the display tree reported since the scripts last ran.
struct Player::Queue {
  std::deque<DisplayObject*> created;
  std::deque<std::pair<DisplayObject*, std::uint32_t>> entered;
  std::vector<DisplayObject*> removed;
  std::set<std::uint16_t> initialisedSprites;
};

namespace {

// Scripts that place and go to frames which place again are cut off here;
// the action budget stops endless ones far earlier.
constexpr int kMaxScriptRounds = 64;

void EachClip(DisplayObject& o, const std::function<void(DisplayObject&)>& f) {
  f(o);
  std::vector<DisplayObject*> kids;
  for (auto& [d, child] : o.children) kids.push_back(child.get());
  for (DisplayObject* child : kids)
    if (!child->removed) EachClip(*child, f);
}

}  // namespace

std::shared_ptr<const Movie> ReadMovieFile(const std::filesystem::path& path, const Limits& limits) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(path, limits.maxFileBytes);
  return std::make_shared<const Movie>(ReadMovie(bytes, limits));
}

Player::Player(std::shared_ptr<const Movie> movie, PlayerOptions options)
    : options_(std::move(options)),
      tree_(std::move(movie), options_.limits),
      queue_(std::make_unique<Queue>()),
      renderer_(options_.limits) {
  tree_.SetQuality(options_.quality);
  const Movie& m = tree_.movie();
  if (m.hasAvm1Scripts && !m.actionScript3) {
    avm1::Host host;
    if (options_.now) {
      host.now = options_.now;
    } else {
      host.now = [] { return avm1::LocalTime{CivilDateTime{2000, 1, 1, 0, 0, 0, 0}, 0}; };
    }
    host.timerMs = options_.timerMs ? options_.timerMs : [this] { return framesPlayed_ * 1000.0 / FrameRate(); };
    host.trace = options_.trace;
    host.warning = [this](std::string_view w) { warnings_.emplace_back(w); };
    engine_ = std::make_unique<avm1::Engine>(m.version, std::move(host), options_.scriptLimits);
    engine_->SetRoot(tree_.Root());
    tree_.onCreated = [this](DisplayObject& o) {
      engine_->ClipAdded(o);
      queue_->created.push_back(&o);
    };
    tree_.onFrameEntered = [this](DisplayObject& o, std::uint32_t f) { queue_->entered.emplace_back(&o, f); };
    tree_.onRemoving = [this](DisplayObject& o) { queue_->removed.push_back(&o); };
  }
  tree_.Start();
  RunScripts(true);
  Collect();
}

Player::~Player() {
  // The scripts go first: they let go of the clips.
  engine_.reset();
}

double Player::FrameRate() const { return PlayableFrameRate(movie().frameRate); }

void Player::Advance() {
  if (stopped_) return;
  tree_.Step();
  ++framesPlayed_;
  RunScripts(true);
  Collect();
}

void Player::RunLoads() {
  Queue& q = *queue_;
  while (!q.created.empty()) {
    DisplayObject* o = q.created.front();
    q.created.pop_front();
    if (o->removed) continue;
    for (const ClipAction& a : o->clipActions)
      if (!o->removed && (a.events & (kEventInitialize | kEventConstruct | kEventLoad)))
        engine_->RunClipEvent(*o, kEventLoad, a.actions);
    if (!o->removed) engine_->RunHandler(*o, "onLoad");
  }
}

void Player::RunQueued() {
  Queue& q = *queue_;
  for (int round = 0; round < kMaxScriptRounds && (!q.created.empty() || !q.entered.empty()); ++round) {
    RunLoads();
    std::deque<std::pair<DisplayObject*, std::uint32_t>> entered;
    entered.swap(q.entered);
    for (auto [o, f] : entered) {
      if (o->removed || !o->sprite || f >= o->sprite->frames.size()) continue;
      const Frame& frame = o->sprite->frames[f];
      for (const InitAction& init : frame.initActions)
        if (q.initialisedSprites.insert(init.spriteId).second) engine_->RunActions(tree_.Root(), init.actions);
      for (const FrameTag& tag : frame.tags) {
        if (o->removed) break;
        if (const auto* action = std::get_if<DoAction>(&tag)) engine_->RunActions(*o, action->actions);
      }
    }
  }
  q.created.clear();
  q.entered.clear();
}

void Player::RunScripts(bool enterFrame) {
  if (!engine_) {
    tree_.Bury();
    return;
  }
  Queue& q = *queue_;
  engine_->BeginFrame();
  // The loads come first; a clip placed this frame also runs its
  // enterFrame, so the first frame shown is already the script's.
  RunLoads();
  if (enterFrame) {
    EachClip(tree_.Root(), [this](DisplayObject& o) {
      if (o.kind != DisplayKind::Sprite) return;
      for (const ClipAction& a : o.clipActions)
        if (!o.removed && (a.events & kEventEnterFrame)) engine_->RunClipEvent(o, kEventEnterFrame, a.actions);
      if (!o.removed) engine_->RunHandler(o, "onEnterFrame");
    });
  }
  RunQueued();
  engine_->RunDueIntervals(options_.timerMs ? options_.timerMs() : framesPlayed_ * 1000.0 / FrameRate());
  RunQueued();
  // Clips taken away say goodbye, then the scripts forget them.
  std::vector<DisplayObject*> removed;
  removed.swap(q.removed);
  for (DisplayObject* o : removed) {
    for (const ClipAction& a : o->clipActions)
      if (a.events & kEventUnload) engine_->RunClipEvent(*o, kEventUnload, a.actions);
    engine_->RunHandler(*o, "onUnload");
  }
  for (DisplayObject* o : removed) engine_->ClipRemoved(*o);
  // What an unload handler removed in turn.
  for (DisplayObject* o : q.removed) engine_->ClipRemoved(*o);
  q.removed.clear();
  q.created.clear();
  q.entered.clear();
  engine_->EndFrame();
  tree_.Bury();
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

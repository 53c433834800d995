// The mouse on a playing movie: the pointer's events run their scripts
// between frames, as they arrive, each with a frame's budget of its own;
// at the end of each frame's scripts, while the pointer is over the face,
// what is under it is found again (steps 3 and 4, within the frame's
// budget), since the frame may have moved, hidden or placed it again. An
// event, in order:
//   1. a move drags the clip being dragged;
//   2. the clip event (mouseMove, mouseDown, mouseUp) goes to every clip,
//      newest first and the root last, each clip's on() blocks and then
//      its handler (onMouseMove, ...), then to Mouse's listeners;
//   3. the target under the pointer is found in one walk from the top (an
//      enabled button by its hit area, or a clip with a button's handler
//      by what it shows, which hides the buttons inside it) and the state
//      transitions run: a button's actions of that condition on its
//      parent's timeline and its handler, a clip's on() blocks and
//      handler (onRollOver, onPress, onRelease, onDragOut, ...);
//   4. each handler's actions run at once, then what they queued; then,
//      as at a frame's end, clips gone are forgotten and buttons show the
//      state the pointer left them in.
#include <algorithm>
#include <cctype>
#include <string_view>

#include "swf/display/edit_field.h"
#include "swf/display/hit_test.h"
#include "swf/player/clip_events.h"
#include "swf/player/player.h"
#include "swf/player/stage_fit.h"

namespace dc::swf {
namespace {

struct TransitionEvent {
  std::uint16_t condition;
  std::uint32_t clipEvent;
};
constexpr TransitionEvent kTransitions[] = {
    {kIdleToOverUp, kEventRollOver},         {kOverUpToIdle, kEventRollOut},
    {kOverUpToOverDown, kEventPress},        {kOverDownToOverUp, kEventRelease},
    {kOverDownToOutDown, kEventDragOut},     {kOutDownToOverDown, kEventDragOver},
    {kOutDownToIdle, kEventReleaseOutside},  {kIdleToOverDown, kEventDragOver},
    {kOverDownToIdle, kEventDragOut},
};

constexpr std::uint32_t kButtonEvents = kEventPress | kEventRelease | kEventReleaseOutside | kEventRollOver |
                                        kEventRollOut | kEventDragOver | kEventDragOut;

}  // namespace

Point Player::FaceToStage(double x, double y) const {
  const TwipRect& stage = movie().stage;
  std::int32_t w = faceWidth_, h = faceHeight_;
  if (w <= 0 || h <= 0) {
    w = static_cast<std::int32_t>(options_.viewportWidth > 0 ? options_.viewportWidth : stage.Width() / 20.0);
    h = static_cast<std::int32_t>(options_.viewportHeight > 0 ? options_.viewportHeight : stage.Height() / 20.0);
  }
  const std::optional<Matrix> fromFace = StageToFace(stage, w, h).Inverse();
  return fromFace ? fromFace->Apply({x, y}) : Point{};
}

void Player::MouseMove(double x, double y) { Pointer(PointerEvent::Move, FaceToStage(x, y)); }
void Player::MouseDown(double x, double y) { Pointer(PointerEvent::Down, FaceToStage(x, y)); }
void Player::MouseUp(double x, double y) { Pointer(PointerEvent::Up, FaceToStage(x, y)); }
void Player::MouseLeave() { Pointer(PointerEvent::Leave, pointer_.at); }

void Player::OtherButtonHeld(OtherButton button, bool held) {
  const auto bit = static_cast<std::uint8_t>(button);
  pointer_.otherButtons = held ? (pointer_.otherButtons | bit) : (pointer_.otherButtons & ~bit);
}

// A disabled button or clip still hides what is beneath it, but its state
// stands still: it runs no transitions, and the pointer coming onto it
// finds nothing (so enabling it under the pointer is a roll-over).
bool Player::TakesMouse(DisplayObject& o) {
  if (o.kind == DisplayKind::Button) return true;
  // The root never takes the mouse as a button, whatever its handlers.
  if (o.kind != DisplayKind::Sprite || !engine_ || !o.parent) return false;
  for (const ClipAction& a : o.clipActions)
    if (a.events & kButtonEvents) return true;
  return engine_->HasButtonHandler(o);
}

bool Player::IsMenu(DisplayObject& o) {
  if (o.kind == DisplayKind::Button && std::get<Button>(*o.character).trackAsMenu) return true;
  return engine_ && engine_->TrackAsMenu(o);
}

DisplayObject* Player::FindTarget() {
  if (!pointer_.inside) return nullptr;
  std::uint64_t edges = 0;
  DisplayObject* hit =
      MouseTarget(movie(), tree_.Root(), pointer_.at, [this](DisplayObject& o) { return TakesMouse(o); }, edges);
  if (engine_) engine_->AddWork(edges * kWorkPerEdgeCopied);
  return hit;
}

void Player::Forget(DisplayObject& o) {
  if (pointer_.lost && pointer_.lost->parent == &o) pointer_.lost.reset();
  if ((&o == pointer_.over || &o == pointer_.pressed) && o.parent && !o.parent->removed && o.fromTimeline)
    pointer_.lost = PointerState::Place{o.parent, o.depth, o.characterId, &o == pointer_.over, &o == pointer_.pressed};
  for (DisplayObject** p : {&pointer_.over, &pointer_.pressed, &pointer_.dragged, &pointer_.dropTarget})
    if (*p == &o) *p = nullptr;
  if (pointer_.lastDragged == &o) pointer_.lastDragged = nullptr;
  std::erase(pointer_.shown, &o);
}

void Player::FindLost() {
  if (!pointer_.lost) return;
  const PointerState::Place place = *std::exchange(pointer_.lost, std::nullopt);
  if (pointer_.over || pointer_.pressed) return;
  const auto it = place.parent->children.find(place.depth);
  if (it == place.parent->children.end() || it->second->characterId != place.characterId) return;
  if (place.over) pointer_.over = it->second.get();
  if (place.pressed && pointer_.down) pointer_.pressed = it->second.get();
}

void Player::Transition(DisplayObject* o, std::uint16_t condition) {
  if (!o || o->removed || !engine_ || !engine_->MouseEnabled(*o)) return;
  std::uint32_t clipEvent = 0;
  for (const TransitionEvent& t : kTransitions)
    if (t.condition == condition) clipEvent = t.clipEvent;
  if (o->kind == DisplayKind::Button) {
    // A button's actions run on the timeline it is placed in.
    for (const ButtonAction& a : std::get<Button>(*o->character).actions) {
      if (!(a.conditions & condition)) continue;
      if (o->removed || !o->parent) return;
      engine_->RunActions(*o->parent, a.actions);
      RunQueue();
    }
    if (!o->removed)
      if (const char* handler = HandlerOf(clipEvent)) engine_->RunHandler(*o, handler);
  } else {
    RunItem(*o, {}, clipEvent);
  }
  RunQueue();
}

void Player::SendMouseEvent(std::uint32_t event, const char* listenerEvent) {
  if (!engine_) return;
  for (DisplayObject* o : tree_.Timelines()) {
    if (o->removed || o->kind != DisplayKind::Sprite) continue;
    RunItem(*o, {}, event);
    RunQueue();
  }
  engine_->BroadcastMouse(listenerEvent);
  RunQueue();
}

void Player::FollowPointer() {
  DisplayObject* o = pointer_.dragged;
  if (!o || o->removed || !o->parent) return;
  const std::optional<Matrix> fromRoot = o->parent->ToRootMatrix().Inverse();
  if (!fromRoot) return;
  Point at = fromRoot->Apply(pointer_.at);
  if (!pointer_.lockCentre) at = {at.x - pointer_.grab.x, at.y - pointer_.grab.y};
  if (const auto& b = pointer_.dragBounds) {
    at.x = std::clamp<double>(at.x, b->xMin, b->xMax);
    at.y = std::clamp<double>(at.y, b->yMin, b->yMax);
  }
  at = {std::round(at.x), std::round(at.y)};
  o->transformedByScript = true;
  if (o->matrix.tx != at.x || o->matrix.ty != at.y) {
    o->matrix.tx = at.x;
    o->matrix.ty = at.y;
    tree_.MarkDirty();
  }
}

// A press on a text field's link that no button took: an "asfunction:"
// link calls its script's function; any other link leads nowhere, since a
// face opens no pages.
void Player::FollowLink() {
  if (!engine_ || !pointer_.inside) return;
  std::string link;
  std::uint64_t edges = 0;
  DisplayObject* field = MouseTarget(
      movie(), tree_.Root(), pointer_.at,
      [&](DisplayObject& o) {
        const EditField* f = o.kind == DisplayKind::EditText ? o.Field() : nullptr;
        const std::optional<Matrix> toField = f ? o.ToRootMatrix().Inverse() : std::nullopt;
        link = toField ? f->LinkAt(toField->Apply(pointer_.at)) : std::string();
        return !link.empty();
      },
      edges);
  engine_->AddWork(edges * kWorkPerEdgeCopied);
  constexpr std::string_view kScheme = "asfunction:";
  if (!field || !field->parent || link.size() < kScheme.size() ||
      !std::equal(kScheme.begin(), kScheme.end(), link.begin(),
                  [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
    return;
  engine_->CallLinkFunction(*field->parent, std::string_view(link).substr(kScheme.size()));
  RunQueue();
}

void Player::ShowStates() {
  std::vector<DisplayObject*> now;
  for (DisplayObject* o : {pointer_.over, pointer_.pressed})
    if (o && o->kind == DisplayKind::Button && !o->removed && std::find(now.begin(), now.end(), o) == now.end())
      now.push_back(o);
  for (DisplayObject* o : pointer_.shown)
    if (std::find(now.begin(), now.end(), o) == now.end()) tree_.ShowButtonState(*o, ButtonState::Up);
  for (DisplayObject* o : now) {
    ButtonState state = ButtonState::Over;
    if (pointer_.down && pointer_.pressed == o) {
      state = pointer_.over == o ? ButtonState::Down : ButtonState::Over;
    } else if (pointer_.down && pointer_.over == o && !pointer_.pressed) {
      state = ButtonState::Up;  // pressed elsewhere and moved over it
    }
    tree_.ShowButtonState(*o, state);
  }
  pointer_.shown = std::move(now);
}

void Player::Pointer(PointerEvent event, Point stage) {
  if (stopped_) return;
  // An event's scripts have a frame's budget of their own.
  if (engine_) engine_->BeginFrame();
  PointerScripts(event, stage);
  if (engine_) {
    RunQueue();
    FinishScripts();
  } else {
    tree_.Bury();
  }
  Collect();
}

void Player::PointerScripts(PointerEvent event, Point stage) {
  FindLost();
  if (event != PointerEvent::Frame) {
    pointer_.inside = event != PointerEvent::Leave;
    pointer_.at = stage;
  }
  switch (event) {
    case PointerEvent::Move:
      FollowPointer();
      SendMouseEvent(kEventMouseMove, "onMouseMove");
      break;
    case PointerEvent::Down:
      pointer_.down = true;
      SendMouseEvent(kEventMouseDown, "onMouseDown");
      break;
    case PointerEvent::Up:
      pointer_.down = false;
      SendMouseEvent(kEventMouseUp, "onMouseUp");
      break;
    case PointerEvent::Leave:
    case PointerEvent::Frame:
      break;
  }
  // What is under the pointer now, after the handlers moved things.
  DisplayObject* now = FindTarget();
  DisplayObject* was = pointer_.over;
  if (now && now != was && engine_ && !engine_->MouseEnabled(*now)) now = nullptr;
  if (event == PointerEvent::Down) {
    if (was != now) {
      Transition(was, kOverUpToIdle);
      pointer_.over = now;
      Transition(now, kIdleToOverUp);
    }
    pointer_.pressed = pointer_.over;
    Transition(pointer_.pressed, kOverUpToOverDown);
    if (!pointer_.pressed) FollowLink();
  } else if (event == PointerEvent::Up) {
    DisplayObject* pressed = std::exchange(pointer_.pressed, nullptr);
    if (pressed) Transition(pressed, now == pressed ? kOverDownToOverUp : (IsMenu(*pressed) ? kOverDownToIdle : kOutDownToIdle));
    pointer_.over = now;
    if (now && now != pressed) Transition(now, kIdleToOverUp);
  } else if (was != now) {
    pointer_.over = now;
    DisplayObject* pressed = pointer_.pressed;
    if (!pointer_.down) {
      Transition(was, kOverUpToIdle);
      Transition(now, kIdleToOverUp);
    } else if (pressed && IsMenu(*pressed) && was == pressed) {
      // A menu lets go as the pointer leaves it; a menu under it takes over.
      Transition(pressed, kOverDownToIdle);
      pointer_.pressed = nullptr;
    } else if (pressed) {
      if (was == pressed) Transition(pressed, kOverDownToOutDown);
      if (now == pressed) Transition(pressed, kOutDownToOverDown);
    }
    if (pointer_.down && now && now != pointer_.pressed && IsMenu(*now)) {
      pointer_.pressed = now;
      Transition(now, kIdleToOverDown);
    }
  }
  ShowStates();
}

Player::Cursor Player::PointerCursor() {
  DisplayObject* o = pointer_.over;
  if (!o || o->removed) return Cursor::Arrow;
  if (!engine_) return Cursor::Hand;
  return engine_->MouseEnabled(*o) && engine_->HandCursor(*o) ? Cursor::Hand : Cursor::Arrow;
}

}  // namespace dc::swf

// Stepping timelines and jumping between frames.
#include "swf/display/display_tree.h"

#include <type_traits>
#include <variant>

namespace dc::swf {

// What a depth holds after replaying a timeline's tags up to a frame.
struct DisplayTree::PlaceState {
  std::uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  std::uint16_t ratio = 0;
  std::string name;
  std::uint16_t clipDepth = 0;
  bool visible = true;
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;
  bool cacheAsBitmap = false;
  std::vector<ClipAction> clipActions;
};

namespace {

DisplayKind KindOf(const Character& c) {
  return std::visit(
      [](const auto& def) {
        using T = std::decay_t<decltype(def)>;
        if constexpr (std::is_same_v<T, Shape>) return DisplayKind::Shape;
        if constexpr (std::is_same_v<T, Sprite>) return DisplayKind::Sprite;
        if constexpr (std::is_same_v<T, StaticText>) return DisplayKind::StaticText;
        if constexpr (std::is_same_v<T, EditText>) return DisplayKind::EditText;
        if constexpr (std::is_same_v<T, Button>) return DisplayKind::Button;
        if constexpr (std::is_same_v<T, MorphShape>) return DisplayKind::Morph;
        return DisplayKind::Unknown;
      },
      c);
}

// The properties a PlaceObject gives, onto an object or a replayed state.
template <typename Target>
bool ApplyProperties(Target& t, const PlaceObject& p, bool keepTransform) {
  bool changed = false;
  const auto set = [&changed](auto& field, const auto& value) {
    if (!(field == value)) {
      field = value;
      changed = true;
    }
  };
  if (p.matrix && !keepTransform) set(t.matrix, *p.matrix);
  if (p.colorTransform && !keepTransform) set(t.colorTransform, *p.colorTransform);
  if (p.ratio) set(t.ratio, *p.ratio);
  if (p.name) set(t.name, *p.name);
  if (p.clipDepth) set(t.clipDepth, *p.clipDepth);
  if (p.visible) set(t.visible, *p.visible);
  if (p.blendMode) set(t.blendMode, *p.blendMode);
  if (p.filters) set(t.filters, *p.filters);
  if (p.cacheAsBitmap) set(t.cacheAsBitmap, *p.cacheAsBitmap);
  return changed;
}

}  // namespace

DisplayTree::DisplayTree(std::shared_ptr<const Movie> movie, const Limits& limits)
    : movie_(std::move(movie)), limits_(limits) {
  root_ = std::make_unique<DisplayObject>(this, DisplayKind::Sprite, 0, nullptr, nullptr);
  root_->sprite = &movie_->root;
  root_->depth = kScriptDepthOffset;
  liveObjects_ = 1;
}

void DisplayTree::Start() { InitialiseChildren(*root_); }

DisplayTree::~DisplayTree() = default;

void DisplayTree::Warn(const std::string& text) {
  if (said_.insert(text).second) warnings_.push_back(text);
}

std::vector<std::string> DisplayTree::TakeWarnings() { return std::exchange(warnings_, {}); }

std::unique_ptr<DisplayObject> DisplayTree::Make(DisplayObject& parent, std::uint16_t characterId, std::int32_t depth) {
  const Character* c = movie_->Find(characterId);
  if (!c) return nullptr;  // a character the movie lacks shows nothing, as in Flash
  const DisplayKind kind = KindOf(*c);
  if (kind == DisplayKind::Unknown) return nullptr;
  if (liveObjects_ >= limits_.maxDisplayObjects) {
    Warn("The Flash face shows more than " + std::to_string(limits_.maxDisplayObjects) +
         " objects at once; the rest are left out.");
    return nullptr;
  }
  const std::uint32_t nesting = parent.nesting + 1;
  if ((kind == DisplayKind::Sprite || kind == DisplayKind::Button) && nesting > limits_.maxSpriteNesting) {
    Warn("The Flash face nests sprites more than " + std::to_string(limits_.maxSpriteNesting) +
         " deep; the deeper ones are left out.");
    return nullptr;
  }
  auto object = std::make_unique<DisplayObject>(this, kind, characterId, c, &parent);
  object->depth = depth;
  object->nesting = nesting;
  object->bornStep = step_;
  if (const auto* sprite = std::get_if<Sprite>(c)) object->sprite = sprite;
  if (const auto* field = std::get_if<EditText>(c)) object->text = field->initialText;
  ++liveObjects_;
  return object;
}

void DisplayTree::InitialiseChildren(DisplayObject& object) {
  if (object.kind == DisplayKind::Button) {
    for (const ButtonRecord& r : std::get<Button>(*object.character).records) {
      if (!(r.states & 1)) continue;  // the up state is the one shown
      auto child = Make(object, r.characterId, r.depth);
      if (!child) continue;
      child->matrix = r.matrix;
      child->colorTransform = r.colorTransform;
      child->filters = r.filters;
      child->blendMode = r.blendMode;
      RemoveAt(object, r.depth);
      auto& slot = object.children[r.depth];
      slot = std::move(child);
      InitialiseChildren(*slot);
    }
    return;
  }
  if (object.sprite && !object.sprite->frames.empty()) {
    object.frame = 0;
    for (const FrameTag& tag : object.sprite->frames[0].tags) {
      if (const auto* place = std::get_if<PlaceObject>(&tag)) ApplyPlace(object, *place);
      if (const auto* remove = std::get_if<RemoveObject>(&tag)) RemoveAt(object, remove->depth);
    }
    if (onFrameEntered) onFrameEntered(object, 0);
  }
}

void DisplayTree::Release(DisplayObject& object) {
  for (auto& [depth, child] : object.children) Release(*child);
  object.removed = true;
  if (onRemoving) onRemoving(object);
  --liveObjects_;
}

void DisplayTree::RemoveAt(DisplayObject& sprite, std::int32_t depth) {
  const auto it = sprite.children.find(depth);
  if (it == sprite.children.end()) return;
  Release(*it->second);
  removed_.push_back(std::move(it->second));
  sprite.children.erase(it);
  dirty_ = true;
}

void DisplayTree::Remove(DisplayObject& object) {
  if (object.parent) RemoveAt(*object.parent, object.depth);
}

void DisplayTree::ApplyPlace(DisplayObject& sprite, const PlaceObject& place) {
  const std::int32_t depth = place.depth;
  const auto it = sprite.children.find(depth);
  DisplayObject* existing = it == sprite.children.end() ? nullptr : it->second.get();
  if (existing && place.move && (!place.characterId || *place.characterId == existing->characterId)) {
    if (ApplyProperties(*existing, place, existing->transformedByScript)) dirty_ = true;
    return;
  }
  if (!place.characterId) return;  // a move of an empty depth
  auto object = Make(sprite, *place.characterId, depth);
  if (!object) return;
  if (existing && place.move) {
    // A new character in an object's place keeps the object's place.
    object->matrix = existing->matrix;
    object->colorTransform = existing->colorTransform;
    object->ratio = existing->ratio;
    object->name = existing->name;
    object->clipDepth = existing->clipDepth;
  }
  ApplyProperties(*object, place, false);
  object->clipActions = place.clipActions;
  object->fromTimeline = true;
  Insert(sprite, std::move(object));
}

void DisplayTree::ApplyFrame(DisplayObject& sprite, std::uint32_t frame) {
  for (const FrameTag& tag : sprite.sprite->frames[frame].tags) {
    if (const auto* place = std::get_if<PlaceObject>(&tag)) ApplyPlace(sprite, *place);
    if (const auto* remove = std::get_if<RemoveObject>(&tag)) RemoveAt(sprite, remove->depth);
  }
  sprite.frame = frame;
}

void DisplayTree::JumpBack(DisplayObject& sprite, std::uint32_t frame) {
  // The list the target frame would have, had the timeline played to it.
  std::map<std::int32_t, PlaceState> states;
  for (std::uint32_t f = 0; f <= frame; ++f) {
    for (const FrameTag& tag : sprite.sprite->frames[f].tags) {
      if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
        states.erase(remove->depth);
        continue;
      }
      const auto* place = std::get_if<PlaceObject>(&tag);
      if (!place) continue;
      const auto it = states.find(place->depth);
      if (it != states.end() && place->move) {
        if (place->characterId) it->second.characterId = *place->characterId;
        ApplyProperties(it->second, *place, false);
      } else if (place->characterId) {
        PlaceState s;
        s.characterId = *place->characterId;
        ApplyProperties(s, *place, false);
        s.clipActions = place->clipActions;
        states[place->depth] = std::move(s);
      }
    }
  }
  // Objects the target frame holds with the same character stay as they
  // are (their own timelines go on); the rest go.
  std::vector<std::int32_t> gone;
  for (auto& [depth, object] : sprite.children) {
    if (!object->fromTimeline) continue;
    const auto it = states.find(depth);
    if (it == states.end() || it->second.characterId != object->characterId) {
      gone.push_back(depth);
      continue;
    }
    PlaceObject again;
    again.matrix = it->second.matrix;
    again.colorTransform = it->second.colorTransform;
    again.ratio = it->second.ratio;
    again.name = it->second.name;
    again.clipDepth = it->second.clipDepth;
    again.visible = it->second.visible;
    again.blendMode = it->second.blendMode;
    again.filters = it->second.filters;
    again.cacheAsBitmap = it->second.cacheAsBitmap;
    if (ApplyProperties(*object, again, object->transformedByScript)) dirty_ = true;
  }
  for (std::int32_t depth : gone) RemoveAt(sprite, depth);
  for (auto& [depth, state] : states) {
    if (sprite.children.count(depth)) continue;
    PlaceObject place;
    place.depth = static_cast<std::uint16_t>(depth);
    place.characterId = state.characterId;
    place.matrix = state.matrix;
    place.colorTransform = state.colorTransform;
    place.ratio = state.ratio;
    place.name = state.name;
    place.clipDepth = state.clipDepth;
    place.visible = state.visible;
    place.blendMode = state.blendMode;
    place.filters = state.filters;
    place.cacheAsBitmap = state.cacheAsBitmap;
    place.clipActions = state.clipActions;
    ApplyPlace(sprite, place);
  }
  sprite.frame = frame;
}

void DisplayTree::GotoFrame(DisplayObject& sprite, std::uint32_t frame) {
  if (!sprite.sprite || sprite.sprite->frames.empty() || sprite.removed) return;
  frame = std::min<std::uint32_t>(frame, static_cast<std::uint32_t>(sprite.sprite->frames.size()) - 1);
  if (frame == sprite.frame) return;
  if (frame > sprite.frame) {
    for (std::uint32_t f = sprite.frame + 1; f <= frame; ++f) ApplyFrame(sprite, f);
  } else {
    JumpBack(sprite, frame);
  }
  if (onFrameEntered) onFrameEntered(sprite, frame);
}

void DisplayTree::StepObject(DisplayObject& object) {
  if (object.sprite && object.playing && object.bornStep != step_ && object.FrameCount() > 1) {
    const std::uint32_t next = object.frame + 1;
    if (next >= object.FrameCount()) {
      JumpBack(object, 0);
    } else {
      ApplyFrame(object, next);
    }
    if (onFrameEntered) onFrameEntered(object, object.frame);
  }
  std::vector<DisplayObject*> children;
  children.reserve(object.children.size());
  for (auto& [depth, child] : object.children) children.push_back(child.get());
  for (DisplayObject* child : children) StepObject(*child);
}

void DisplayTree::Step() {
  ++step_;
  StepObject(*root_);
}

std::unique_ptr<DisplayObject> DisplayTree::MakeEmpty(DisplayObject& parent, DisplayKind kind, std::int32_t depth) {
  if (liveObjects_ >= limits_.maxDisplayObjects || parent.nesting + 1 > limits_.maxSpriteNesting) {
    Warn("The Flash face makes more clips than it may; the rest are left out.");
    return nullptr;
  }
  static const Sprite kEmpty{{Frame{}}, 1};
  auto object = std::make_unique<DisplayObject>(this, kind, 0, nullptr, &parent);
  object->depth = depth;
  object->nesting = parent.nesting + 1;
  object->bornStep = step_;
  if (kind == DisplayKind::Sprite) object->sprite = &kEmpty;
  ++liveObjects_;
  return object;
}

DisplayObject* DisplayTree::Insert(DisplayObject& parent, std::unique_ptr<DisplayObject> object) {
  // Nothing joins a list that was taken away: it would be freed with it,
  // never said to be gone.
  if (parent.removed) {
    --liveObjects_;
    return nullptr;
  }
  const std::int32_t depth = object->depth;
  RemoveAt(parent, depth);
  object->parent = &parent;
  auto& slot = parent.children[depth];
  slot = std::move(object);
  dirty_ = true;
  DisplayObject& made = *slot;
  InitialiseChildren(made);
  if (onCreated) onCreated(made);
  return &made;
}

void DisplayTree::MoveToDepth(DisplayObject& object, std::int32_t depth) {
  DisplayObject* parent = object.parent;
  if (!parent || depth == object.depth) return;
  auto mine = parent->children.find(object.depth);
  if (mine == parent->children.end() || mine->second.get() != &object) return;
  std::unique_ptr<DisplayObject> moving = std::move(mine->second);
  parent->children.erase(mine);
  const auto there = parent->children.find(depth);
  if (there != parent->children.end()) {
    std::unique_ptr<DisplayObject> other = std::move(there->second);
    parent->children.erase(there);
    other->depth = moving->depth;
    parent->children[other->depth] = std::move(other);
  }
  moving->depth = depth;
  parent->children[depth] = std::move(moving);
  dirty_ = true;
}

}  // namespace dc::swf

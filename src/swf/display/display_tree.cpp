// Stepping timelines and jumping between frames, and the tree's own
// bookkeeping: the list of timelines, the children's names, the limits.
#include "swf/display/display_tree.h"

#include <type_traits>
#include <variant>

#include "swf/model/rectangle_edges.h"
#include "swf/avm1/bitmap_pixels.h"
#include "swf/avm1/conversions.h"

namespace dc::swf {

// What a depth holds after replaying a timeline's tags up to a frame: the
// tag that made the object there, and the properties it has by then.
struct DisplayTree::PlaceState {
  const PlaceObject* madeBy = nullptr;
  std::uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  std::uint16_t ratio = 0;
  std::string name;
  std::uint16_t clipDepth = 0;
  bool visible = true;
  bool touched = true;  // a replayed tag set it (a jump applies only these)
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;
  bool cacheAsBitmap = false;
  std::optional<std::uint32_t> opaqueBackground;  // 0xRRGGBB
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
        if constexpr (std::is_same_v<T, Bitmap>) return DisplayKind::Shape;
        if constexpr (std::is_same_v<T, VideoStream>) return DisplayKind::Video;
        return DisplayKind::Unknown;
      },
      c);
}

// Objects scripts reach by name get a name of their own when placed
// without one; shapes and static texts do not.
bool TakesInstanceName(DisplayKind kind) {
  return kind == DisplayKind::Sprite || kind == DisplayKind::Button || kind == DisplayKind::EditText;
}

}  // namespace

Shape BitmapRectangle(std::uint16_t id, std::int32_t width, std::int32_t height, bool smoothed) {
  Shape s;
  const auto w = static_cast<std::int32_t>(width * kTwipsPerPixel);
  const auto h = static_cast<std::int32_t>(height * kTwipsPerPixel);
  s.bounds = {0, w, 0, h};
  FillStyle fill;
  fill.kind = FillKind::Bitmap;
  fill.bitmapId = id;
  fill.matrix = Matrix{kTwipsPerPixel, 0, 0, kTwipsPerPixel, 0, 0};
  fill.repeating = false;
  fill.smoothed = smoothed;
  s.fills.push_back(fill);
  Path p;
  p.fill1 = 0;
  p.edges = RectangleEdges(0, 0, w, h);
  s.paths.push_back(std::move(p));
  return s;
}

namespace {

// The properties a PlaceObject gives, onto a replayed state; true when one
// changed.
bool ApplyProperties(auto& t, const PlaceObject& p, bool keepTransform) {
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
  if (p.opaqueBackground) {
    const Rgba c = *p.opaqueBackground;
    set(t.opaqueBackground, std::optional<std::uint32_t>((std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b));
  }
  return changed;
}

PlaceObject PlaceOf(std::int32_t depth, const auto& s) {
  PlaceObject p;
  p.depth = static_cast<std::uint16_t>(depth);
  p.matrix = s.matrix;
  p.colorTransform = s.colorTransform;
  p.ratio = s.ratio;
  p.name = s.name;
  p.clipDepth = s.clipDepth;
  p.visible = s.visible;
  p.blendMode = s.blendMode;
  p.filters = s.filters;
  p.cacheAsBitmap = s.cacheAsBitmap;
  if (s.opaqueBackground) {
    const std::uint32_t c = *s.opaqueBackground;
    p.opaqueBackground = Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                              static_cast<std::uint8_t>(c), 255};
  }
  return p;
}

}  // namespace

DisplayTree::DisplayTree(std::shared_ptr<const Movie> movie, const Limits& limits)
    : movie_(std::move(movie)),
      limits_(limits),
      drawnEdges_{0, limits.maxDrawnEdges, false},
      tweenEdges_{0, limits.maxKeptTweenEdges, false},
      caseSensitive_(movie_->version >= 7),
      initialised_(65536, false) {
  root_ = std::make_unique<DisplayObject>(this, DisplayKind::Sprite, 0, nullptr, nullptr);
  root_->sprite = &movie_->root;
  for (const auto& [exportName, id] : movie_->exports) exportNames_.emplace(id, exportName);
  root_->depth = 0;  // a script sees the root at depth -16384
  Link(*root_);
  liveObjects_ = 1;
}

std::vector<std::string> DisplayTree::ExportNamesOf(std::uint16_t characterId) const {
  std::vector<std::string> out;
  const auto [from, to] = exportNames_.equal_range(characterId);
  for (auto it = from; it != to; ++it) out.push_back(it->second);
  return out;
}

void DisplayTree::Start() {
  RunInitActions(*root_, 0, 0);
  PlayFrame(*root_, 0, true);
}

DisplayTree::~DisplayTree() = default;

void DisplayTree::Warn(const std::string& text) {
  if (said_.insert(text).second) warnings_.push_back(text);
}

std::vector<std::string> DisplayTree::TakeWarnings() {
  if (drawnEdges_.refused)
    Warn("The Flash face's drawings have more than " + std::to_string(drawnEdges_.max) +
         " edges together (maxDrawnEdges); the rest are left out.");
  if (tweenEdges_.refused)
    Warn("The Flash face's shape tweens have more than " + std::to_string(tweenEdges_.max) +
         " edges in between together (maxKeptTweenEdges); the rest are made again each time they are drawn.");
  return std::exchange(warnings_, {});
}

bool DisplayTree::KeepTween(std::uint64_t edges) {
  if (!tweenEdges_.Allows(edges)) {
    tweenEdges_.refused = true;
    return false;
  }
  tweenEdges_.used += edges;
  return true;
}

void DisplayTree::Charge(std::uint64_t units) {
  if (onWork) onWork(units);
}

// The list of timelines.

void DisplayTree::Link(DisplayObject& o) {
  if (o.listed_ || o.kind != DisplayKind::Sprite) return;
  o.older_ = newest_;
  o.newer_ = nullptr;
  if (newest_) newest_->newer_ = &o;
  newest_ = &o;
  o.listed_ = true;
}

void DisplayTree::Unlink(DisplayObject& o) {
  if (!o.listed_) return;
  if (o.newer_) o.newer_->older_ = o.older_;
  else newest_ = o.older_;
  if (o.older_) o.older_->newer_ = o.newer_;
  o.newer_ = o.older_ = nullptr;
  o.listed_ = false;
}

// Children by name.

void DisplayTree::Index(DisplayObject& parent, DisplayObject& child) {
  if (child.name.empty()) return;
  parent.byName_[avm1::FoldName(child.name, caseSensitive_)][child.depth] = &child;
}

void DisplayTree::Unindex(DisplayObject& parent, DisplayObject& child) {
  if (child.name.empty()) return;
  const auto it = parent.byName_.find(avm1::FoldName(child.name, caseSensitive_));
  if (it == parent.byName_.end()) return;
  const auto at = it->second.find(child.depth);
  if (at != it->second.end() && at->second == &child) it->second.erase(at);
  if (it->second.empty()) parent.byName_.erase(it);
}

DisplayObject* DisplayTree::ChildNamed(const DisplayObject& parent, std::string_view name) const {
  if (parent.byName_.empty() || name.empty()) return nullptr;
  const auto it = parent.byName_.find(avm1::FoldName(name, caseSensitive_));
  return it == parent.byName_.end() ? nullptr : it->second.begin()->second;
}

void DisplayTree::Rename(DisplayObject& object, std::string name) {
  if (object.name == name) return;
  DisplayObject* parent = object.removed ? nullptr : object.parent;
  if (parent) Unindex(*parent, object);
  object.name = std::move(name);
  if (parent) Index(*parent, object);
}

// Making and taking away.

bool DisplayTree::Admits(const DisplayObject& parent, DisplayKind kind) {
  if (liveObjects_ >= limits_.maxDisplayObjects) {
    Warn("The Flash face shows more than " + std::to_string(limits_.maxDisplayObjects) +
         " objects at once (maxDisplayObjects); the rest are left out.");
    return false;
  }
  if ((kind == DisplayKind::Sprite || kind == DisplayKind::Button) && parent.nesting + 1 > limits_.maxSpriteNesting) {
    Warn("The Flash face nests sprites more than " + std::to_string(limits_.maxSpriteNesting) +
         " deep (maxSpriteNesting); the deeper ones are left out.");
    return false;
  }
  return true;
}

std::unique_ptr<DisplayObject> DisplayTree::Make(DisplayObject& parent, std::uint16_t characterId, std::int32_t depth) {
  const Character* c = movie_->Find(characterId);
  if (!c) return nullptr;  // a character the movie lacks shows nothing, as in Flash
  const DisplayKind kind = KindOf(*c);
  if (kind == DisplayKind::Unknown || !Admits(parent, kind)) return nullptr;
  auto object = std::make_unique<DisplayObject>(this, kind, characterId, c, &parent);
  object->depth = depth;
  object->nesting = parent.nesting + 1;
  if (const auto* sprite = std::get_if<Sprite>(c)) object->sprite = sprite;
  if (const auto* field = std::get_if<EditText>(c)) object->text = field->initialText;
  if (const auto* bitmap = std::get_if<Bitmap>(c)) {
    object->ownCharacter = std::make_unique<Character>(BitmapRectangle(characterId, bitmap->width, bitmap->height, false));
    object->character = object->ownCharacter.get();
  }
  ++liveObjects_;
  // A field is drawn as scripts measure it, from its runs.
  if (kind == DisplayKind::EditText) object->Field();
  return object;
}

namespace {

// Whether a script's bitmap shown in `object` or inside it changed since
// it was last looked at; every one is looked at.
bool ScriptBitmapsChanged(DisplayObject& object) {
  bool changed = false;
  if (object.scriptBitmap && object.scriptBitmap->Revision() != object.scriptBitmapRevision) {
    object.scriptBitmapRevision = object.scriptBitmap->Revision();
    changed = true;
  }
  for (auto& [depth, child] : object.children) changed = ScriptBitmapsChanged(*child) || changed;
  return changed;
}

}  // namespace

bool DisplayTree::TakeDirty() {
  const bool bitmaps = scriptBitmaps_ && root_ && ScriptBitmapsChanged(*root_);
  return std::exchange(dirty_, false) || bitmaps;
}

std::unique_ptr<DisplayObject> DisplayTree::MakeEmpty(DisplayObject& parent, DisplayKind kind, std::int32_t depth) {
  if (!Admits(parent, kind)) return nullptr;
  static const Sprite kEmpty{{Frame{}}, 1, true};
  auto object = std::make_unique<DisplayObject>(this, kind, 0, nullptr, &parent);
  object->depth = depth;
  object->nesting = parent.nesting + 1;
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
  Charge(kWorkPerObjectMade);
  const std::int32_t depth = object->depth;
  RemoveAt(parent, depth);
  object->parent = &parent;
  auto& slot = parent.children[depth];
  slot = std::move(object);
  DisplayObject& made = *slot;
  Index(parent, made);
  Link(made);
  dirty_ = true;
  if (made.kind == DisplayKind::Button) {
    ShowButtonState(made, ButtonState::Up);
  } else if (made.sprite && !made.sprite->frames.empty()) {
    RunInitActions(made, 0, 0);
    if (!made.removed) PlayFrame(made, 0, true);
  }
  if (!made.removed && onCreated) onCreated(made);
  return &made;
}

void DisplayTree::ShowButtonState(DisplayObject& button, ButtonState state) {
  if (button.kind != DisplayKind::Button || button.removed) return;
  const bool first = button.children.empty() && button.buttonState == ButtonState::Up;
  if (!first && button.buttonState == state) return;
  button.buttonState = state;
  const auto bit = static_cast<std::uint8_t>(1u << static_cast<unsigned>(state));
  const Button& def = std::get<Button>(*button.character);
  // A record shown in both states stays as it is (a sprite in it plays on);
  // the others go, and the new state's are made.
  std::set<std::int32_t> kept;
  for (const ButtonRecord& r : def.records) {
    if (!(r.states & bit)) continue;
    const auto it = button.children.find(r.depth);
    if (it != button.children.end() && it->second->characterId == r.characterId) kept.insert(r.depth);
  }
  std::vector<std::int32_t> leaving;
  for (const auto& [depth, child] : button.children)
    if (!kept.count(depth)) leaving.push_back(depth);
  for (std::int32_t depth : leaving) RemoveAt(button, depth);
  for (const ButtonRecord& r : def.records) {
    if (!(r.states & bit) || kept.count(r.depth) || button.removed) continue;
    auto child = Make(button, r.characterId, r.depth);
    if (!child) continue;
    child->matrix = r.matrix;
    child->colorTransform = r.colorTransform;
    child->filters = r.filters;
    child->blendMode = r.blendMode;
    if (TakesInstanceName(child->kind)) child->name = "instance" + std::to_string(++instances_);
    Insert(button, std::move(child));
  }
  dirty_ = true;
}

void DisplayTree::Release(DisplayObject& object) {
  for (auto& [depth, child] : object.children) Release(*child);
  object.removed = true;
  // A mask taken away lifts itself; a clip taken away frees its mask to be
  // drawn.
  if (object.scriptMask) object.scriptMask->masking = nullptr;
  if (object.masking) object.masking->scriptMask = nullptr;
  object.scriptMask = object.masking = nullptr;
  Charge(kWorkPerObjectGone);
  Unlink(object);
  if (onRemoving) onRemoving(object);
  --liveObjects_;
}

void DisplayTree::RemoveAt(DisplayObject& sprite, std::int32_t depth) {
  const auto it = sprite.children.find(depth);
  if (it == sprite.children.end()) return;
  std::unique_ptr<DisplayObject> gone = std::move(it->second);
  sprite.children.erase(it);
  Unindex(sprite, *gone);
  Release(*gone);
  removed_.push_back(std::move(gone));
  dirty_ = true;
}

void DisplayTree::SetMask(DisplayObject& masked, DisplayObject* mask) {
  // A clip layer is a mask itself: it takes none from a script.
  if (masked.removed || masked.clipDepth || (mask && mask->removed) || masked.scriptMask == mask) return;
  if (masked.scriptMask) masked.scriptMask->masking = nullptr;
  masked.scriptMask = nullptr;
  if (mask) {
    if (mask->masking) mask->masking->scriptMask = nullptr;
    mask->masking = &masked;
    masked.scriptMask = mask;
  }
  dirty_ = true;
}

void DisplayTree::Remove(DisplayObject& object) {
  if (object.parent && !object.removed) RemoveAt(*object.parent, object.depth);
}

void DisplayTree::MoveToDepth(DisplayObject& object, std::int32_t depth) {
  DisplayObject* parent = object.parent;
  if (!parent || object.removed || depth == object.depth) return;
  auto mine = parent->children.find(object.depth);
  if (mine == parent->children.end() || mine->second.get() != &object) return;
  std::unique_ptr<DisplayObject> moving = std::move(mine->second);
  parent->children.erase(mine);
  Unindex(*parent, object);
  const auto there = parent->children.find(depth);
  if (there != parent->children.end()) {
    std::unique_ptr<DisplayObject> other = std::move(there->second);
    parent->children.erase(there);
    Unindex(*parent, *other);
    other->depth = moving->depth;
    other->fromTimeline = false;
    Index(*parent, *other);
    parent->children[other->depth] = std::move(other);
  }
  // Swapped out of the places the timeline gave them, both are the
  // script's from now on: the timeline neither moves nor removes them.
  moving->depth = depth;
  moving->fromTimeline = false;
  Index(*parent, *moving);
  parent->children[depth] = std::move(moving);
  dirty_ = true;
}

// Timelines.

void DisplayTree::SetProperties(DisplayObject& object, const PlaceObject& place) {
  PlaceObject p = place;
  if (p.name) {
    Rename(object, *p.name);
    p.name.reset();
  }
  if (ApplyProperties(object, p, object.transformedByScript)) dirty_ = true;
}

void DisplayTree::RunInitActions(DisplayObject& sprite, std::uint32_t from, std::uint32_t to) {
  if (!sprite.sprite || !onInitAction) return;
  for (std::uint32_t f = from; f <= to && f < sprite.sprite->frames.size(); ++f) {
    for (const InitAction& init : sprite.sprite->frames[f].initActions) {
      if (initialised_[init.spriteId]) continue;
      initialised_[init.spriteId] = true;
      onInitAction(sprite, init.actions);
      if (sprite.removed) return;
    }
  }
}

DisplayObject* DisplayTree::PlaceNew(DisplayObject& sprite, std::int32_t depth, const PlaceState& s) {
  auto object = Make(sprite, s.characterId, depth);
  if (!object) return nullptr;
  object->placedBy = s.madeBy;
  object->fromTimeline = true;
  object->matrix = s.matrix;
  object->colorTransform = s.colorTransform;
  object->ratio = s.ratio;
  object->clipDepth = s.clipDepth;
  object->visible = s.visible;
  object->blendMode = s.blendMode;
  object->filters = s.filters;
  object->cacheAsBitmap = s.cacheAsBitmap;
  object->opaqueBackground = s.opaqueBackground;
  object->name = s.name;
  if (object->name.empty() && TakesInstanceName(object->kind)) object->name = "instance" + std::to_string(++instances_);
  if (s.madeBy) object->clipActions = s.madeBy->clipActions;
  return Insert(sprite, std::move(object));
}

void DisplayTree::ApplyPlace(DisplayObject& sprite, const PlaceObject& place) {
  const auto it = sprite.children.find(place.depth);
  DisplayObject* existing = it == sprite.children.end() ? nullptr : it->second.get();
  if (existing && existing->placedBy == &place) {
    // The tag that made the object, played again after a jump back.
    SetProperties(*existing, place);
    return;
  }
  if (existing && place.move) {
    // A script's clip, or one a script moved to another depth, is no longer
    // the timeline's to move.
    if (!existing->fromTimeline) return;
    if (!place.characterId || *place.characterId == existing->characterId) {
      SetProperties(*existing, place);
      return;
    }
    // A new character in an object's place keeps the object's place.
    PlaceState s{&place, *place.characterId, existing->matrix, existing->colorTransform, existing->ratio,
                 existing->name, existing->clipDepth, existing->visible};
    s.blendMode = existing->blendMode;
    s.filters = existing->filters;
    s.cacheAsBitmap = existing->cacheAsBitmap;
    s.opaqueBackground = existing->opaqueBackground;
    ApplyProperties(s, place, false);
    PlaceNew(sprite, place.depth, s);
    return;
  }
  if (existing) {
    // Flash keeps what is there; its debugging player says so.
    if (onDebugMessage) onDebugMessage("Warning: Failed to place object at depth " + std::to_string(place.depth) + ".");
    return;
  }
  if (!place.characterId) return;  // a move of an empty depth
  PlaceState s;
  s.madeBy = &place;
  s.characterId = *place.characterId;
  ApplyProperties(s, place, false);
  PlaceNew(sprite, place.depth, s);
}

void DisplayTree::PlayFrame(DisplayObject& sprite, std::uint32_t frame, bool scripts) {
  sprite.frame = frame;
  const std::vector<FrameTag>& tags = sprite.sprite->frames[frame].tags;
  const std::less<const void*> before;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (sprite.removed) return;
    const FrameTag& tag = tags[i];
    if (const auto* place = std::get_if<PlaceObject>(&tag)) {
      ApplyPlace(sprite, *place);
    } else if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
      // After a jump the depth may already hold what a later tag of this
      // frame places: the removal was of what stood there before.
      const auto it = sprite.children.find(remove->depth);
      if (it == sprite.children.end()) continue;
      const void* madeBy = it->second->placedBy;
      if (madeBy && !before(madeBy, &tags[i]) && before(madeBy, tags.data() + tags.size())) continue;
      RemoveAt(sprite, remove->depth);
    } else if (const auto* action = std::get_if<DoAction>(&tag); action && scripts && onFrameAction) {
      onFrameAction(sprite, action->actions);
    }
  }
}

void DisplayTree::Replay(const Sprite& timeline, std::uint32_t from, std::uint32_t to, ListState& state) const {
  for (std::uint32_t f = from; f < to; ++f) {
    for (const FrameTag& tag : timeline.frames[f].tags) {
      if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
        state.erase(remove->depth);
        continue;
      }
      const auto* place = std::get_if<PlaceObject>(&tag);
      if (!place) continue;
      const auto it = state.find(place->depth);
      if (it != state.end()) {
        if (!place->move) continue;  // a taken depth: the placement fails
        PlaceState& s = it->second;
        if (place->characterId && *place->characterId != s.characterId) {
          s.madeBy = place;
          s.characterId = *place->characterId;
        }
        ApplyProperties(s, *place, false);
        s.touched = true;
      } else if (place->characterId) {
        PlaceState s;
        s.madeBy = place;
        s.characterId = *place->characterId;
        ApplyProperties(s, *place, false);
        state.emplace(place->depth, std::move(s));
      }
    }
  }
}

void DisplayTree::GotoFrame(DisplayObject& sprite, std::uint32_t frame) {
  if (!sprite.sprite || sprite.sprite->frames.empty() || sprite.removed) return;
  const auto count = static_cast<std::uint32_t>(sprite.sprite->frames.size());
  // Past the end: the last frame, whose scripts do not run as the frame
  // asked for was never reached.
  const bool scripts = frame < count;
  frame = std::min(frame, count - 1);
  if (frame == sprite.frame) return;
  const std::uint32_t from = frame < sprite.frame ? 0 : sprite.frame + 1;
  // The frames are walked past twice: for their first scripts, then to
  // replay their tags.
  Charge(2 * ((frame - from + 1) / kFramesWalkedPerAction));
  RunInitActions(sprite, from, frame);
  if (sprite.removed || sprite.frame == frame) return;
  const bool back = frame < sprite.frame;
  const std::uint32_t start = back ? 0 : sprite.frame + 1;
  std::uint64_t tags = 0;
  for (std::uint32_t f = start; f <= frame; ++f) tags += sprite.sprite->frames[f].tags.size();
  Charge(tags);

  // The list at the end of the frame before the target, and whose objects
  // the target frame still holds.
  ListState before;
  if (!back) {
    for (const auto& [depth, child] : sprite.children) {
      if (!child->fromTimeline || !child->placedBy) continue;
      PlaceState s{child->placedBy, child->characterId, child->matrix, child->colorTransform, child->ratio,
                   child->name, child->clipDepth, child->visible, false};
      s.blendMode = child->blendMode;
      s.filters = child->filters;
      s.cacheAsBitmap = child->cacheAsBitmap;
      s.opaqueBackground = child->opaqueBackground;
      before.emplace(depth, std::move(s));
    }
  }
  Replay(*sprite.sprite, start, frame, before);
  ListState after = before;
  Replay(*sprite.sprite, frame, frame + 1, after);

  std::vector<std::int32_t> gone;
  for (const auto& [depth, child] : sprite.children) {
    if (!child->fromTimeline) continue;
    const auto it = after.find(depth);
    if (it == after.end() || it->second.madeBy != child->placedBy) gone.push_back(depth);
  }
  for (std::int32_t depth : gone) RemoveAt(sprite, depth);
  for (const auto& [depth, state] : before) {
    if (sprite.removed) return;
    const auto kept = after.find(depth);
    if (kept == after.end() || kept->second.madeBy != state.madeBy) continue;  // the target frame takes it away
    const auto it = sprite.children.find(depth);
    if (it == sprite.children.end()) {
      PlaceNew(sprite, depth, state);
    } else if (it->second->placedBy == state.madeBy && state.touched) {
      SetProperties(*it->second, PlaceOf(depth, state));
    }
  }
  if (!sprite.removed) PlayFrame(sprite, frame, scripts);
}

void DisplayTree::Step() {
  stepping_.clear();
  for (DisplayObject* o = newest_; o; o = o->older_) stepping_.push_back(o);
  for (DisplayObject* o : stepping_) {
    if (o->removed) continue;
    if (onEnterFrame) onEnterFrame(*o);
    o->beforeFirstFrame = false;
    if (!o->sprite || !o->playing || o->removed) continue;
    const std::uint32_t count = o->FrameCount();
    if (count <= 1) continue;
    const std::uint32_t next = o->frame + 1;
    if (next < count) {
      const std::uint32_t was = o->frame;
      RunInitActions(*o, next, next);
      if (!o->removed && o->frame == was) PlayFrame(*o, next, true);
    } else if (o->sprite->complete) {
      GotoFrame(*o, 0);
    }
  }
}

}  // namespace dc::swf

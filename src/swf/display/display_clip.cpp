// What scripts see of a display object: its properties, its timeline, the
// clips it makes and removes, its drawing and its text.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <utility>
#include <variant>

#include "swf/display/display_object.h"
#include "swf/display/display_tree.h"
#include "swf/display/hit_test.h"

namespace dc::swf {
namespace {

bool SameName(std::string_view a, std::string_view b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (caseSensitive ? x != y : std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// A rectangle's four corners under a matrix, boxed again.
TwipRect Transformed(const TwipRect& r, const Matrix& m) {
  if (r.Empty()) return {};
  const Point corners[] = {m.Apply({double(r.xMin), double(r.yMin)}), m.Apply({double(r.xMax), double(r.yMin)}),
                           m.Apply({double(r.xMin), double(r.yMax)}), m.Apply({double(r.xMax), double(r.yMax)})};
  double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
  for (const Point& p : corners) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  const auto clamp = [](double v) { return static_cast<std::int32_t>(std::clamp(std::round(v), -1e9, 1e9)); };
  return {clamp(x0), clamp(x1), clamp(y0), clamp(y1)};
}

// A clip with nothing in it reports no bounds the way Flash does: every
// side at its marker, 0x7FFFFFF twips, in its own space; in another clip's
// that corner mapped in single precision (the marker alone reads 2^27).
constexpr std::int32_t kNoBoundsMarker = 0x7FFFFFF;
TwipRect NoBounds(const Matrix& m) {
  const auto f = [](double v) { return static_cast<float>(v); };
  const auto marker = static_cast<float>(kNoBoundsMarker);
  const float x = f(m.a) * marker + f(m.c) * marker + f(m.tx);
  const float y = f(m.b) * marker + f(m.d) * marker + f(m.ty);
  const auto twips = [](float v) {
    return static_cast<std::int32_t>(std::isfinite(v) ? std::clamp<double>(v, -2147483648.0, 2147483647.0) : 0);
  };
  return {twips(x), twips(x), twips(y), twips(y)};
}

TwipRect Union(const TwipRect& a, const TwipRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.xMin, b.xMin), std::max(a.xMax, b.xMax), std::min(a.yMin, b.yMin), std::max(a.yMax, b.yMax)};
}

// The map from an object's twips to the root's.
Matrix ToRoot(const DisplayObject* o) {
  Matrix m;
  for (; o && o->parent; o = o->parent) m = o->matrix * m;
  return m;
}

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }
double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

}  // namespace

std::optional<std::int32_t> ListDepth(std::int64_t scriptDepth) {
  if (scriptDepth < kMinScriptDepth || scriptDepth > kMaxScriptDepth) return std::nullopt;
  return static_cast<std::int32_t>(scriptDepth + kScriptDepthOffset);
}

TwipRect DisplayObject::OwnBounds() const {
  TwipRect box;
  if (character) {
    std::visit(
        [&box](const auto& def) {
          using T = std::decay_t<decltype(def)>;
          if constexpr (std::is_same_v<T, Shape> || std::is_same_v<T, StaticText>) box = def.bounds;
          if constexpr (std::is_same_v<T, VideoStream>)
            box = {0, static_cast<std::int32_t>(def.width * kTwipsPerPixel), 0,
                   static_cast<std::int32_t>(def.height * kTwipsPerPixel)};
          // A field made with a negative size spans the other way from its
          // corner.
          if constexpr (std::is_same_v<T, EditText>)
            box = {std::min(def.bounds.xMin, def.bounds.xMax), std::max(def.bounds.xMin, def.bounds.xMax),
                   std::min(def.bounds.yMin, def.bounds.yMax), std::max(def.bounds.yMin, def.bounds.yMax)};
        },
        *character);
  }
  if (kind == DisplayKind::Morph) box = MorphBoundsAt(std::get<MorphShape>(*character), ratio);
  if (const Shape* d = DrawnShape()) box = Union(box, d->bounds);
  for (const auto& [d, child] : children) box = Union(box, Transformed(child->OwnBounds(), child->matrix));
  if (!children.empty() && tree_ && tree_->onWork) tree_->onWork(children.size() * kWorkPerObjectMeasured);
  return box;
}

avm1::ClipKind DisplayObject::Kind() const {
  if (kind == DisplayKind::Sprite) return avm1::ClipKind::MovieClip;
  if (kind == DisplayKind::EditText) return avm1::ClipKind::TextField;
  if (kind == DisplayKind::Button) return avm1::ClipKind::Button;
  if (kind == DisplayKind::Video) return avm1::ClipKind::Video;
  return avm1::ClipKind::Other;
}

std::vector<std::string> DisplayObject::ExportNames() const {
  if (kind != DisplayKind::Sprite || !character || !tree_) return {};
  return tree_->ExportNamesOf(characterId);
}

avm1::Clip* DisplayObject::ChildAtDepth(int scriptDepth) const {
  const std::optional<std::int32_t> at = ListDepth(scriptDepth);
  if (!at) return nullptr;
  const auto it = children.find(*at);
  return it == children.end() ? nullptr : it->second.get();
}

avm1::Clip* DisplayObject::ChildByName(std::string_view childName, bool caseSensitive) const {
  if (tree_ && caseSensitive == tree_->CaseSensitive()) return tree_->ChildNamed(*this, childName);
  // Names compared otherwise than the movie's version does (never by the
  // engine): a walk.
  for (const auto& [d, child] : children)
    if (!child->name.empty() && SameName(child->name, childName, caseSensitive)) return child.get();
  return nullptr;
}

void DisplayObject::SetName(const std::string& n) {
  if (tree_) tree_->Rename(*this, n);
  else name = n;
}

std::vector<avm1::Clip*> DisplayObject::Children() const {
  std::vector<avm1::Clip*> out;
  out.reserve(children.size());
  for (const auto& [d, child] : children) out.push_back(child.get());
  return out;
}

DisplayObject::Transform DisplayObject::ScriptTransform() const {
  if (transform_ && transformOf_ && *transformOf_ == matrix) return *transform_;
  const Matrix& m = matrix;
  const double rotation = std::atan2(m.b, m.a);
  // Both scales read as lengths, a mirror's too: the skew keeps it.
  const Transform t{std::hypot(m.a, m.b), std::hypot(m.c, m.d), rotation, std::atan2(-m.c, m.d) - rotation};
  transform_ = t;
  transformOf_ = matrix;
  return t;
}

void DisplayObject::SetTransform(const Transform& t) {
  const double r = t.rotation, k = t.rotation + t.skew;
  Matrix m{t.xScale * std::cos(r), t.xScale * std::sin(r), -t.yScale * std::sin(k), t.yScale * std::cos(k),
           matrix.tx, matrix.ty};
  // Scripts read back the infinite scale or the turn that is not a number
  // they set; what is drawn stays finite.
  for (double* e : {&m.a, &m.b, &m.c, &m.d}) *e = std::isnan(*e) ? 0 : std::clamp(*e, -1e7, 1e7);
  transform_ = t;
  transformOf_ = m;
  if (!(m == matrix)) {
    matrix = m;
    Changed();
  }
  transformedByScript = true;
}

Matrix DisplayObject::ToRootMatrix() const { return ToRoot(this); }

void DisplayObject::SetMatrix(const Matrix& m) {
  transformedByScript = true;
  if (m == matrix) return;
  matrix = m;
  transform_.reset();  // the scales and turn are read from the matrix again
  Changed();
}

void DisplayObject::SetColorTransform(const ColorTransform& given) {
  const ColorTransform cx = given.Stored();
  if (!(cx == colorTransform)) {
    colorTransform = cx;
    Changed();
  }
  transformedByScript = true;
}

void DisplayObject::Changed() {
  if (tree_) tree_->MarkDirty();
}

double DisplayObject::Get(avm1::DisplayProperty property) const {
  using P = avm1::DisplayProperty;
  if (double v; GetFieldGeometry(property, v)) return v;
  switch (property) {
    case P::X: return matrix.tx / kTwipsPerPixel;
    case P::Y: return matrix.ty / kTwipsPerPixel;
    case P::XScale: return ScriptTransform().xScale * 100;
    case P::YScale: return ScriptTransform().yScale * 100;
    case P::Rotation: return Degrees(ScriptTransform().rotation);
    case P::Alpha: return colorTransform.mulA * 100;
    case P::Visible: return visible ? 1 : 0;
    case P::Width: return Transformed(OwnBounds(), matrix).Width() / kTwipsPerPixel;
    case P::Height: return Transformed(OwnBounds(), matrix).Height() / kTwipsPerPixel;
  }
  return 0;
}

void DisplayObject::Set(avm1::DisplayProperty property, double value) {
  using P = avm1::DisplayProperty;
  if (std::isnan(value)) return;  // Flash leaves the property as it was
  // A text field's box: finite places and sizes only; infinities take the
  // clip's way below.
  if (std::isfinite(value) && SetFieldGeometry(property, std::clamp(value, -1e9, 1e9))) return;
  Transform t = ScriptTransform();
  switch (property) {
    case P::X:
    case P::Y: {
      // A place held in 32-bit twips: beyond them (infinities too) it is
      // the lowest, as the processor's conversion gives.
      double& field = property == P::X ? matrix.tx : matrix.ty;
      double twips = std::round(value * kTwipsPerPixel);
      if (!(std::fabs(twips) < 2147483648.0)) twips = -2147483648.0;
      transformedByScript = true;
      if (field != twips) {
        field = twips;
        transformOf_ = matrix;
        Changed();
      }
      return;
    }
    case P::XScale: t.xScale = value / 100; break;
    case P::YScale: t.yScale = value / 100; break;
    case P::Rotation: {
      double degrees = std::fmod(value, 360.0);
      if (degrees > 180) degrees -= 360;
      if (degrees < -180) degrees += 360;
      t.rotation = Radians(degrees);
      break;
    }
    case P::Alpha: {
      transformedByScript = true;
      ColorTransform cx = colorTransform;
      cx.mulA = std::isfinite(value) ? std::clamp(value, -1e9, 1e9) / 100 : 0;
      cx = cx.Stored();
      if (colorTransform.mulA != cx.mulA) {
        colorTransform.mulA = cx.mulA;
        Changed();
      }
      return;
    }
    case P::Visible:
      if (visible != (value != 0)) {
        visible = value != 0;
        Changed();
      }
      return;
    case P::Width:
    case P::Height: {
      // The size asked for is read along the parent's axis as if the
      // object's own box were turned at its scale 1, and goes to the
      // object's own scale of that name; the other scale becomes what the
      // other parent axis shows now of that turned box. Unturned, that is
      // the other scale as it was; a quarter turn takes the other axis's.
      const TwipRect own = OwnBounds();
      const double r = t.rotation, k = t.rotation + t.skew;
      const Matrix unit{std::cos(r), std::sin(r), -std::sin(k), std::cos(k), 0, 0};
      const TwipRect turned = Transformed(own, unit);
      const bool width = property == P::Width;
      const double size = width ? turned.Width() : turned.Height();
      if (size <= 0 || !std::isfinite(value)) return;
      (width ? t.xScale : t.yScale) = std::clamp(value, -1e9, 1e9) * kTwipsPerPixel / size;
      if (unit.b != 0 || unit.c != 0) {
        const TwipRect shown = Transformed(own, matrix);
        const double across = width ? turned.Height() : turned.Width();
        double& other = width ? t.yScale : t.xScale;
        if (across > 0) other = std::copysign((width ? shown.Height() : shown.Width()) / across, other);
      }
      break;
    }
  }
  SetTransform(t);
}

void DisplayObject::GotoFrame(int frame1, bool play) {
  // A clip taken off its list no longer moves: a script may still hold it
  // until the frame's scripts are done.
  if (!sprite || !tree_ || removed || frame1 < 1) return;
  playing = play;
  tree_->GotoFrame(*this, static_cast<std::uint32_t>(frame1 - 1));
}

std::optional<int> DisplayObject::FrameOfLabel(std::string_view label) const {
  if (!sprite) return std::nullopt;
  for (std::size_t f = 0; f < sprite->frames.size(); ++f)
    if (sprite->frames[f].label && SameName(*sprite->frames[f].label, label, false)) return static_cast<int>(f) + 1;
  return std::nullopt;
}

std::vector<ActionBytes> DisplayObject::FrameActions(int frame1) const {
  std::vector<ActionBytes> out;
  if (!sprite || frame1 < 1 || static_cast<std::size_t>(frame1) > sprite->frames.size()) return out;
  for (const FrameTag& tag : sprite->frames[frame1 - 1].tags)
    if (const auto* action = std::get_if<DoAction>(&tag)) out.push_back(action->actions);
  return out;
}

avm1::Clip* DisplayObject::CreateEmptyMovieClip(const std::string& newName, int scriptDepth) {
  const std::optional<std::int32_t> at = ListDepth(scriptDepth);
  if (kind != DisplayKind::Sprite || !tree_ || removed || !at) return nullptr;
  auto made = tree_->MakeEmpty(*this, DisplayKind::Sprite, *at);
  if (!made) return nullptr;
  made->name = newName;
  made->fromTimeline = false;
  made->beforeFirstFrame = true;
  return tree_->Insert(*this, std::move(made));
}

avm1::Clip* DisplayObject::AttachBitmap(std::shared_ptr<avm1::BitmapPixels> pixels, int scriptDepth,
                                         bool smoothing) {
  const std::optional<std::int32_t> at = ListDepth(scriptDepth);
  if (kind != DisplayKind::Sprite || !tree_ || removed || !at || !pixels) return nullptr;
  auto made = tree_->MakeEmpty(*this, DisplayKind::Shape, *at);
  if (!made) return nullptr;
  made->ownCharacter = std::make_unique<Character>(BitmapRectangle(0, pixels->Width(), pixels->Height(), smoothing));
  made->character = made->ownCharacter.get();
  made->scriptBitmapRevision = pixels->Revision();
  made->scriptBitmap = std::move(pixels);
  made->fromTimeline = false;
  tree_->ShowsScriptBitmaps();
  return tree_->Insert(*this, std::move(made));
}

avm1::Clip* DisplayObject::AttachMovie(const std::string& exportName, const std::string& newName, int scriptDepth) {
  const std::optional<std::int32_t> at = ListDepth(scriptDepth);
  if (kind != DisplayKind::Sprite || !tree_ || removed || !at) return nullptr;
  const auto& exports = tree_->movie().exports;
  auto it = exports.find(exportName);
  if (it == exports.end()) {
    it = std::find_if(exports.begin(), exports.end(),
                      [&](const auto& e) { return SameName(e.first, exportName, false); });
    if (it == exports.end()) return nullptr;
  }
  auto made = tree_->Make(*this, it->second, *at);
  if (!made) return nullptr;
  made->name = newName;
  made->fromTimeline = false;
  return tree_->Insert(*this, std::move(made));
}

avm1::Clip* DisplayObject::CreateTextField(const std::string& newName, int scriptDepth, double x, double y,
                                           double width, double height) {
  const std::optional<std::int32_t> at = ListDepth(scriptDepth);
  if (kind != DisplayKind::Sprite || !tree_ || removed || !at) return nullptr;
  auto made = tree_->MakeEmpty(*this, DisplayKind::EditText, *at);
  if (!made) return nullptr;
  EditText field;
  // Whole pixels, as the player takes them.
  const auto twips = [](double v) {
    return static_cast<std::int32_t>(std::isfinite(v) ? std::clamp(std::trunc(v) * kTwipsPerPixel, -1e8, 1e8) : 0);
  };
  field.bounds = {0, twips(width), 0, twips(height)};
  made->ownCharacter = std::make_unique<Character>(std::move(field));
  made->character = made->ownCharacter.get();
  made->matrix = Matrix::Translate(twips(x), twips(y));
  made->Field();  // drawn as scripts measure it
  made->name = newName;
  made->fromTimeline = false;
  return tree_->Insert(*this, std::move(made));
}

// What every copy a script makes takes from its original: a name of its
// own, off the timeline, at the original's place and colour.
void DisplayObject::CopyPlaceTo(DisplayObject& made, const std::string& newName) const {
  made.name = newName;
  made.fromTimeline = false;
  made.matrix = matrix;
  made.colorTransform = colorTransform;
  made.transformedByScript = true;
}

avm1::Clip* DisplayObject::Duplicate(const std::string& newName, int scriptDepth) {
  const std::optional<std::int32_t> at = ListDepth(scriptDepth);
  if (!parent || !tree_ || removed || !at) return nullptr;
  if (kind == DisplayKind::EditText) return DuplicateField(newName, *at);
  if (kind != DisplayKind::Sprite) return nullptr;
  auto made = characterId ? tree_->Make(*parent, characterId, *at) : tree_->MakeEmpty(*parent, DisplayKind::Sprite, *at);
  if (!made) return nullptr;
  CopyPlaceTo(*made, newName);
  made->visible = visible;
  made->clipActions = clipActions;
  if (drawing) {
    if (tree_->onWork) tree_->onWork(drawing->Edges() * kWorkPerEdgeCopied);
    made->drawing = std::make_unique<Drawing>(*drawing);
    made->drawnStale_ = true;
  }
  return tree_->Insert(*parent, std::move(made));
}

// A field's copy starts as its definition does, with the original's place,
// colour and type: a script-made field's definition has no box and no text,
// so its copy is empty until a script fills it. Nothing else a script set
// on the field (its text, look, visibility) goes with it.
avm1::Clip* DisplayObject::DuplicateField(const std::string& newName, std::int32_t listDepth) {
  std::unique_ptr<DisplayObject> made;
  if (characterId) {
    made = tree_->Make(*parent, characterId, listDepth);
  } else if ((made = tree_->MakeEmpty(*parent, DisplayKind::EditText, listDepth))) {
    EditText fresh;
    if (const auto* def = std::get_if<EditText>(character)) fresh.readOnly = def->readOnly;
    made->ownCharacter = std::make_unique<Character>(std::move(fresh));
    made->character = made->ownCharacter.get();
  }
  if (!made) return nullptr;
  CopyPlaceTo(*made, newName);
  if (!characterId) made->Field();
  return tree_->Insert(*parent, std::move(made));
}

bool DisplayObject::Remove() {
  // Scripts remove what scripts made, or what was moved to a script's depth;
  // the topmost depths (from list depth 0x7EFFFFF0) hold clips for good.
  constexpr std::int32_t kFirstFixedDepth = 0x7EFFFFF0;
  if (!parent || !tree_ || removed || depth < kScriptDepthOffset || depth >= kFirstFixedDepth) return false;
  tree_->Remove(*this);
  return true;
}

void DisplayObject::SwapDepths(int scriptDepth) {
  if (const std::optional<std::int32_t> at = ListDepth(scriptDepth); tree_ && !removed && at)
    tree_->MoveToDepth(*this, *at);
}

int DisplayObject::NextHighestDepth() const {
  int next = 0;
  for (const auto& [d, child] : children) next = std::max(next, d - kScriptDepthOffset + 1);
  return next;
}

TwipRect DisplayObject::Bounds(const avm1::Clip* space) const {
  const TwipRect own = OwnBounds();
  const auto* target = static_cast<const DisplayObject*>(space);
  const bool nothing = kind == DisplayKind::Sprite && own == TwipRect{};
  if (!target || target == this)
    return nothing ? TwipRect{kNoBoundsMarker, kNoBoundsMarker, kNoBoundsMarker, kNoBoundsMarker} : own;
  const std::optional<Matrix> fromRoot = ToRoot(target).Inverse();
  if (!fromRoot) return {};
  const Matrix toTarget = *fromRoot * ToRoot(this);
  return nothing ? NoBounds(toTarget) : Transformed(own, toTarget);
}

bool DisplayObject::ShapeContains(Point stage) const {
  const std::optional<Matrix> fromRoot = ToRoot(this).Inverse();
  if (!fromRoot) return false;
  // The clip's own script mask holds; a clip layer over it does not.
  std::uint64_t edges = 0;
  const Point p = fromRoot->Apply(stage);
  const bool hit = InScriptMask(*this, p, edges) && ObjectContains(*this, p, edges);
  if (tree_ && tree_->onWork) tree_->onWork(edges * kWorkPerEdgeCopied);
  return hit;
}

void DisplayObject::SetMask(avm1::Clip* mask) {
  auto* object = static_cast<DisplayObject*>(mask);  // every clip is a display object
  if (!tree_ || (object && object->tree_ != tree_)) return;
  tree_->SetMask(*this, object);
}

Drawing* DisplayObject::GetDrawing() {
  if (kind != DisplayKind::Sprite) return nullptr;
  if (!drawing) drawing = tree_ ? tree_->NewDrawing() : std::make_unique<Drawing>();
  return drawing.get();
}

void DisplayObject::DrawingChanged() {
  if (!drawing) return;
  drawnStale_ = true;
  ++contentChanges;
  Changed();
}

DisplayObject::~DisplayObject() {
  if (tree_) tree_->ReleaseTween(tweenKept_);
}

const Shape& DisplayObject::TweenedShape() const {
  if (TweenMade()) return *tweened_;
  if (tree_) tree_->ReleaseTween(std::exchange(tweenKept_, 0));
  tweened_.reset();
  const auto& morph = std::get<MorphShape>(*character);
  const std::uint64_t edges = morph.start.EdgeCount();
  if (tree_ && !tree_->KeepTween(edges)) return tree_->TweenScratch() = MorphAt(morph, ratio);
  tweened_ = MorphAt(morph, ratio);
  tweenedRatio_ = ratio;
  tweenKept_ = tree_ ? edges : 0;
  return *tweened_;
}

const Shape* DisplayObject::DrawnShape() const {
  if (!drawing) return nullptr;
  if (drawnStale_) {
    drawn_ = drawing->Current();
    drawnStale_ = false;
  }
  return drawn_ && !drawn_->paths.empty() ? &*drawn_ : nullptr;
}

}  // namespace dc::swf

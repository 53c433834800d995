// An object on a display list: a placed character with its depth, matrix,
// colour transform and name. A sprite's instance carries its own timeline
// (the frame it shows, whether it plays) and its children by depth. Every
// object is also what scripts see of it (avm1::Clip, in display_clip.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/avm1/clip.h"
#include "swf/display/edit_field.h"
#include "swf/model/drawing.h"
#include "swf/text/text_layout.h"
#include "swf/model/movie.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

class DisplayTree;

// A bitmap placed by itself shows as a Shape of its own (a rectangle of its
// pixels); a video shows nothing.
enum class DisplayKind : std::uint8_t { Shape, Morph, Sprite, StaticText, EditText, Button, Video, Unknown };
// A bitmap shown by itself: a rectangle of its pixels (fill `id`), one
// twip-scaled pixel each, not repeated.
Shape BitmapRectangle(std::uint16_t id, std::int32_t width, std::int32_t height, bool smoothed);

// The state a button shows, numbered as its records' state bits.
enum class ButtonState : std::uint8_t { Up = 0, Over = 1, Down = 2 };

// Timeline depths are the file's; scripts number depths from this one
// down (so a timeline's depth 1 is -16383 to a script).
inline constexpr std::int32_t kScriptDepthOffset = 16384;
// The depths a script may give, as Flash takes them: a depth outside this
// range is ignored.
inline constexpr std::int64_t kMinScriptDepth = -kScriptDepthOffset;
inline constexpr std::int64_t kMaxScriptDepth = 2130690044;
// A script's depth as the display list's, or none when out of range.
std::optional<std::int32_t> ListDepth(std::int64_t scriptDepth);

class DisplayObject final : public avm1::Clip {
 public:
  DisplayObject(DisplayTree* tree, DisplayKind kind, std::uint16_t characterId, const Character* character,
                DisplayObject* parent)
      : kind(kind), characterId(characterId), character(character), parent(parent), tree_(tree) {}
  DisplayObject(const DisplayObject&) = delete;
  DisplayObject& operator=(const DisplayObject&) = delete;
  ~DisplayObject() override;

  const DisplayKind kind;
  std::uint16_t characterId;
  const Character* character;  // null for a clip a script made empty
  DisplayObject* parent;
  // A character the object made for itself (a script's text field).
  std::unique_ptr<Character> ownCharacter;

  std::int32_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  std::uint16_t ratio = 0;
  std::string name;
  std::uint16_t clipDepth = 0;  // nonzero: a mask over the depths above it up to this one
  bool visible = true;
  // Flash 8's look, from PlaceObject3 or scripts: how the object's pixels
  // meet those beneath, the filters they pass through, whether it is drawn
  // through a bitmap of its own, the colour that fills its bounds behind
  // it (0xRRGGBB), and the part of it shown (in its own pixels).
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;
  bool cacheAsBitmap = false;
  std::optional<std::uint32_t> opaqueBackground;
  std::optional<PixelRect> scrollRect;
  // Placed by a timeline's tags (as against made by a script): only these
  // are taken away or kept when the timeline jumps. `placedBy` is the tag
  // that made it: a jump keeps the object only where the frame it goes to
  // holds the object that same tag made.
  bool fromTimeline = true;
  const PlaceObject* placedBy = nullptr;
  std::vector<ClipAction> clipActions;
  // A script set its place, size, turn or colour: the timeline no longer
  // moves it.
  bool transformedByScript = false;
  // Taken off its display list; kept until the frame's scripts are done.
  bool removed = false;
  // setMask: the clip this one shows through (in place of a clip layer
  // over it), and the clip this one masks, which is then not drawn. The
  // tree keeps both sides true, and clears them when either leaves it.
  DisplayObject* scriptMask = nullptr;
  DisplayObject* masking = nullptr;

  // Sprites (and buttons, whose up state is held as children).
  const Sprite* sprite = nullptr;
  std::map<std::int32_t, std::unique_ptr<DisplayObject>> children;
  std::uint32_t frame = 0;  // 0-based frame shown
  bool playing = true;
  // A clip a script made empty is on no frame until the player first
  // steps it: scripts read its frame as 0 till then.
  bool beforeFirstFrame = false;
  std::uint32_t nesting = 0;  // sprites above it
  ButtonState buttonState = ButtonState::Up;  // buttons

  // A script's bitmap the object shows (MovieClip.attachBitmap), drawn as
  // its pixels are at the time, and the revision of them last drawn.
  std::shared_ptr<const avm1::BitmapPixels> scriptBitmap;
  std::uint64_t scriptBitmapRevision = 0;

  // What scripts drew into a sprite, beneath its children; the shape is
  // made again only when drawn after a change.
  std::unique_ptr<Drawing> drawing;
  // Counts the changes scripts made to what the object draws (its drawing,
  // its field's text or format), so that what changed on the face is found
  // without comparing the content itself.
  std::uint64_t contentChanges = 0;
  const Shape* DrawnShape() const;
  // A tween's shape at the placement's ratio, made when the ratio changed
  // and kept while the tree has room; TweenMade says whether it is there,
  // so that the drawing budget pays for making it first.
  const Shape& TweenedShape() const;
  bool TweenMade() const { return tweened_ && tweenedRatio_ == ratio; }

  // Edit texts: the text shown (UTF-8, HTML when the definition says so
  // until a script first reaches the field, plain after).
  std::string text;
  // Edit texts: the field as scripts see it, made when first reached.
  EditField* Field();
  // The field if a script has reached it, else null.
  const EditField* MadeField() const { return field_.get(); }
  // The field's text or look changed: the picture is drawn again.
  void FieldChanged() {
    ++contentChanges;
    Changed();
  }
  // Edit texts: _x and _y are where the box's corner is, _width and
  // _height set the box's size (display_field.cpp); false for other kinds.
  bool GetFieldGeometry(avm1::DisplayProperty property, double& value) const;
  bool SetFieldGeometry(avm1::DisplayProperty property, double value);

  const DisplayTree* Tree() const { return tree_; }
  std::uint32_t FrameCount() const { return sprite ? static_cast<std::uint32_t>(sprite->frames.size()) : 1; }
  // The bounds of what the object shows, in its own twips.
  TwipRect OwnBounds() const;

  // avm1::Clip
  avm1::ClipKind Kind() const override;
  std::string Name() const override { return name; }
  void SetName(const std::string& n) override;
  int Depth() const override { return depth - kScriptDepthOffset; }
  avm1::Clip* Parent() const override { return parent; }
  bool Removed() const override { return removed; }
  avm1::Clip* ChildByName(std::string_view childName, bool caseSensitive) const override;
  std::vector<avm1::Clip*> Children() const override;
  avm1::Clip* ChildAtDepth(int scriptDepth) const override;
  std::vector<std::string> ExportNames() const override;
  double Get(avm1::DisplayProperty property) const override;
  void Set(avm1::DisplayProperty property, double value) override;
  ColorTransform GetColorTransform() const override { return colorTransform; }
  void SetColorTransform(const ColorTransform& cx) override;
  Matrix GetMatrix() const override { return matrix; }
  Matrix ToRootMatrix() const override;
  void SetMatrix(const Matrix& m) override;
  int CurrentFrame() const override { return beforeFirstFrame ? 0 : static_cast<int>(frame) + 1; }
  int TotalFrames() const override { return static_cast<int>(FrameCount()); }
  int FramesLoaded() const override { return static_cast<int>(FrameCount()); }
  void GotoFrame(int frame1, bool play) override;
  std::optional<int> FrameOfLabel(std::string_view label) const override;
  void Play() override { playing = true; }
  void Stop() override { playing = false; }
  std::vector<ActionBytes> FrameActions(int frame1) const override;
  avm1::Clip* CreateEmptyMovieClip(const std::string& newName, int scriptDepth) override;
  avm1::Clip* AttachBitmap(std::shared_ptr<avm1::BitmapPixels> pixels, int scriptDepth, bool smoothing) override;
  avm1::Clip* AttachMovie(const std::string& exportName, const std::string& newName, int scriptDepth) override;
  avm1::Clip* CreateTextField(const std::string& newName, int scriptDepth, double x, double y, double width,
                              double height) override;
  avm1::Clip* Duplicate(const std::string& newName, int scriptDepth) override;
  bool Remove() override;
  void SwapDepths(int scriptDepth) override;
  int NextHighestDepth() const override;
  bool MadeEmpty() const override { return kind == DisplayKind::Sprite && parent && characterId == 0; }
  TwipRect Bounds(const avm1::Clip* space) const override;
  bool ShapeContains(Point stage) const override;
  void SetMask(avm1::Clip* mask) override;
  BlendMode GetBlendMode() const override { return blendMode; }
  void SetBlendMode(BlendMode mode) override;
  bool GetCacheAsBitmap() const override { return cacheAsBitmap; }
  void SetCacheAsBitmap(bool cache) override;
  std::optional<std::uint32_t> GetOpaqueBackground() const override { return opaqueBackground; }
  void SetOpaqueBackground(std::optional<std::uint32_t> colour) override;
  std::optional<PixelRect> GetScrollRect() const override { return scrollRect; }
  void SetScrollRect(std::optional<PixelRect> rect) override;
  Quality GetQuality() const override;
  void SetQuality(Quality quality) override;
  Drawing* GetDrawing() override;
  void DrawingChanged() override;
  std::string Text() const override;
  void SetText(const std::string& t) override;
  std::string VariableName() const override;
  avm1::TextFieldHost* TextField() override { return Field(); }
  std::optional<avm1::TextExtent> MeasureText(const avm1::FieldFormat& format, const std::string& text,
                                              std::optional<double> width) const override;

 private:
  // The place, scales and turn scripts read and set, kept so that setting
  // one does not drift the others.
  struct Transform {
    double xScale, yScale, rotation, skew;  // fractions and radians
  };
  Transform ScriptTransform() const;
  void SetTransform(const Transform& t);
  void Changed();
  avm1::Clip* DuplicateField(const std::string& newName, std::int32_t listDepth);
  void CopyPlaceTo(DisplayObject& made, const std::string& newName) const;

  friend class DisplayTree;
  DisplayTree* tree_;
  // The tree's list of timelines in the order they were made, newest first
  // (the order a frame runs them in).
  DisplayObject* newer_ = nullptr;
  DisplayObject* older_ = nullptr;
  bool listed_ = false;
  // The children by instance name (folded as the movie's version compares
  // names), each name's holders by depth: a name is found in constant time
  // however many children there are.
  std::unordered_map<std::string, std::map<std::int32_t, DisplayObject*>> byName_;
  std::unique_ptr<EditField> field_;
  mutable std::optional<Shape> drawn_;
  mutable std::optional<Shape> tweened_;
  mutable std::uint16_t tweenedRatio_ = 0;
  mutable std::uint64_t tweenKept_ = 0;  // edges of tweened_ the tree counts
  mutable bool drawnStale_ = false;
  mutable std::optional<Transform> transform_;
  mutable std::optional<Matrix> transformOf_;  // the matrix transform_ was read from
};

}  // namespace dc::swf

// What a display object offers scripts. The display side (the timeline and
// its display list) implements `Clip` on its own objects; the script engine
// reads and changes them only through it. Numbers are as scripts see them:
// pixels, degrees, percent, frames counted from 1, depths as scripts number
// them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/model/actions.h"
#include "swf/avm1/bitmap_pixels.h"
#include "swf/avm1/text_field_host.h"
#include "swf/model/filters.h"
#include "swf/model/swf_types.h"

namespace dc::swf {
class Drawing;
}

namespace dc::swf::avm1 {

// Other: what scripts cannot hold (shapes, static texts, bitmaps): a name
// of one reaches the clip it is in. A Video is held with Video's prototype.
enum class ClipKind { MovieClip, TextField, Button, Video, Other };

// The display properties scripts set and read by name (_x ...) or by the
// file's property index.
enum class DisplayProperty { X, Y, XScale, YScale, Rotation, Alpha, Visible, Width, Height };

class Clip {
 public:
  virtual ~Clip() = default;

  // Identity and place in the tree.
  virtual ClipKind Kind() const = 0;
  virtual std::string Name() const = 0;  // the instance name, "" when none
  virtual void SetName(const std::string& name) = 0;
  virtual int Depth() const = 0;
  virtual Clip* Parent() const = 0;  // nullptr for the root
  // Taken off its display list (a script may still hold it until the
  // frame ends).
  virtual bool Removed() const { return false; }
  // The child with this instance name; when several match, the lowest depth.
  virtual Clip* ChildByName(std::string_view name, bool caseSensitive) const = 0;
  virtual std::vector<Clip*> Children() const = 0;  // in depth order, lowest first
  // The names the movie exports this clip's symbol under (for the classes
  // scripts register to symbols); empty for most.
  virtual std::vector<std::string> ExportNames() const { return {}; }
  // The child at a script depth, nullptr when none.
  virtual Clip* ChildAtDepth(int /*depth*/) const { return nullptr; }

  // _x _y (pixels in the parent's space), _xscale _yscale _alpha (percent),
  // _rotation (degrees, -180..180), _visible (0 or 1), _width _height
  // (pixels, the bounds in the parent's space). The display side decomposes
  // and rebuilds its matrix.
  virtual double Get(DisplayProperty property) const = 0;
  virtual void Set(DisplayProperty property, double value) = 0;
  // The colour transform (Color objects); _alpha is its alpha multiplier.
  virtual ColorTransform GetColorTransform() const = 0;
  virtual void SetColorTransform(const ColorTransform& cx) = 0;
  // Flash 8's `transform`: the whole matrix as the display list holds it
  // (its translation in twips), set at once.
  virtual Matrix GetMatrix() const { return {}; }
  // The matrices down from the root to this clip, as one (twips).
  virtual Matrix ToRootMatrix() const { return {}; }
  virtual void SetMatrix(const Matrix&) {}
  // The filters drawn over the clip, copied in and out.
  virtual std::vector<Filter> GetFilters() const { return {}; }
  virtual void SetFilters(std::vector<Filter>) {}
  // A child at `depth` that shows `pixels` (MovieClip.attachBitmap), with
  // or without smoothing; null when none can be made. The pixels are
  // shared: what scripts draw into them later shows.
  virtual Clip* AttachBitmap(std::shared_ptr<BitmapPixels>, int /*depth*/, bool /*smoothing*/) { return nullptr; }

  // The timeline. Frames count from 1. A goto applies the frame at once and
  // queues that frame's scripts to run through Engine::RunActions after the
  // current script; a frame out of range is clamped to the timeline.
  virtual int CurrentFrame() const = 0;
  virtual int TotalFrames() const = 0;
  virtual int FramesLoaded() const = 0;
  virtual void GotoFrame(int frame, bool play) = 0;
  virtual std::optional<int> FrameOfLabel(std::string_view label) const = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // The DoAction blocks of a frame, for the Call action (runs them without
  // moving the playhead).
  virtual std::vector<ActionBytes> FrameActions(int frame) const = 0;

  // Children made and removed by scripts. Each returns the new clip (already
  // announced to the engine with Engine::ClipAdded), or nullptr when it
  // cannot be made (no such export, not a movie clip, a limit). An object
  // already at `depth` is replaced, as the display list does.
  virtual Clip* CreateEmptyMovieClip(const std::string& name, int depth) = 0;
  virtual Clip* AttachMovie(const std::string& exportName, const std::string& name, int depth) = 0;
  virtual Clip* CreateTextField(const std::string& name, int depth, double x, double y, double width,
                                double height) = 0;
  // A copy of this clip under the same parent, its clip events included.
  virtual Clip* Duplicate(const std::string& name, int depth) = 0;
  // Whether the clip was made empty by a script (createEmptyMovieClip, or a
  // copy of such a clip): it has no bytes of a movie of its own.
  virtual bool MadeEmpty() const { return false; }
  // Removes this clip (after Engine::ClipRemoved for it and everything in
  // it); false for clips scripts may not remove (placed by the timeline at
  // a negative depth, or the root).
  virtual bool Remove() = 0;
  virtual void SwapDepths(int depth) = 0;  // with whatever is at `depth`, or moves there
  virtual int NextHighestDepth() const = 0;

  // The clip's bounds in twips, in `space`'s coordinates (its own when
  // `space` is nullptr or itself).
  virtual TwipRect Bounds(const Clip* space) const = 0;
  // Whether a point of the stage (the root's twips) falls on what the clip
  // shows: its shapes' fills and strokes, inside their masks and its own
  // script mask.
  virtual bool ShapeContains(Point /*stage*/) const { return false; }
  // setMask: the clip shows only where `mask`'s shapes are (nullptr: the
  // mask is taken off). A clip masks one clip at a time.
  virtual void SetMask(Clip* /*mask*/) {}

  // Flash 8's look of a clip, and the movie's quality (which any clip
  // reaches). The display side keeps them; these defaults suit a clip that
  // has none.
  virtual BlendMode GetBlendMode() const { return BlendMode::Normal; }
  virtual void SetBlendMode(BlendMode) {}
  virtual bool GetCacheAsBitmap() const { return false; }
  virtual void SetCacheAsBitmap(bool) {}
  virtual std::optional<std::uint32_t> GetOpaqueBackground() const { return std::nullopt; }  // 0xRRGGBB
  virtual void SetOpaqueBackground(std::optional<std::uint32_t>) {}
  virtual std::optional<PixelRect> GetScrollRect() const { return std::nullopt; }
  virtual void SetScrollRect(std::optional<PixelRect>) {}
  virtual Quality GetQuality() const { return Quality::High; }
  virtual void SetQuality(Quality) {}

  // The drawing API's canvas (nullptr for clips that are not movie clips);
  // the engine calls DrawingChanged after each drawing call.
  virtual Drawing* GetDrawing() = 0;
  virtual void DrawingChanged() = 0;

  // Text fields (other kinds return "" and ignore SetText): the text a
  // bound variable holds, an HTML field's as HTML.
  virtual std::string Text() const = 0;  // UTF-8
  virtual void SetText(const std::string& text) = 0;
  virtual std::string VariableName() const = 0;  // DefineEditText's variable, "" when none
  // A text field's properties and formats; nullptr for other kinds.
  virtual TextFieldHost* TextField() { return nullptr; }
  // `text` measured as a field in `format` would lay it out, wrapped at
  // `width` pixels when given (TextFormat.getTextExtent); the movie's
  // fonts are the root's to know, so null for a clip that cannot measure.
  virtual std::optional<TextExtent> MeasureText(const FieldFormat& /*format*/, const std::string& /*text*/,
                                                std::optional<double> /*width*/) const {
    return std::nullopt;
  }

  // The engine's object for this clip: set by the engine, kept and handed
  // back by the display side, never looked into.
  void* ScriptObject() const { return scriptObject_; }
  void SetScriptObject(void* object) { scriptObject_ = object; }

 private:
  void* scriptObject_ = nullptr;
};

}  // namespace dc::swf::avm1

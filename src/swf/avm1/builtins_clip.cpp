// MovieClip and TextField as scripts see them through the Clip interface:
// the underscore properties, children by instance name, the timeline and
// clip methods, and the drawing API.
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/clip_frames.h"
#include "swf/avm1/builtins_clip_look.h"
#include "swf/avm1/conversions.h"
#include "swf/model/drawing.h"

namespace dc::swf::avm1 {
namespace {

struct DisplayName {
  std::string_view name;
  DisplayProperty property;
};
constexpr DisplayName kDisplayNames[] = {
    {"_x", DisplayProperty::X},           {"_y", DisplayProperty::Y},
    {"_xscale", DisplayProperty::XScale}, {"_yscale", DisplayProperty::YScale},
    {"_rotation", DisplayProperty::Rotation}, {"_alpha", DisplayProperty::Alpha},
    {"_visible", DisplayProperty::Visible},   {"_width", DisplayProperty::Width},
    {"_height", DisplayProperty::Height},
};

bool FindDisplay(std::string_view name, DisplayProperty& out) {
  for (const DisplayName& d : kDisplayNames)
    if (NamesEqual(name, d.name, false)) {
      out = d.property;
      return true;
    }
  return false;
}

Clip* ThisClip(Value self) { return Runtime::ClipOf(self); }

double Number(Runtime& rt, std::span<const Value> args, std::size_t i, double fallback = 0) {
  if (i >= args.size() || args[i].IsUndefined()) return fallback;
  const double v = rt.ToNumber(args[i]);
  return std::isnan(v) ? fallback : v;
}

// A depth argument as Flash reads it: a number taken modulo 2^32 (NaN is 0);
// the display side ignores depths outside the range scripts may use.
int Depth(Runtime& rt, std::span<const Value> args, std::size_t i) {
  return ToInt32(Number(rt, args, i, 0));
}

Value GotoAndStop(Runtime& rt, Value self, std::span<const Value> args) {
  GotoFrameMethod(rt, ThisClip(self), Arg(args, 0), false);
  return Value();
}
Value GotoAndPlay(Runtime& rt, Value self, std::span<const Value> args) {
  GotoFrameMethod(rt, ThisClip(self), Arg(args, 0), true);
  return Value();
}
Value Play(Runtime&, Value self, std::span<const Value>) {
  if (Clip* c = ThisClip(self)) c->Play();
  return Value();
}
Value Stop(Runtime&, Value self, std::span<const Value>) {
  if (Clip* c = ThisClip(self)) c->Stop();
  return Value();
}
Value NextFrame(Runtime&, Value self, std::span<const Value>) {
  if (Clip* c = ThisClip(self)) c->GotoFrame(c->CurrentFrame() + 1, false);
  return Value();
}
Value PrevFrame(Runtime&, Value self, std::span<const Value>) {
  if (Clip* c = ThisClip(self); c && c->CurrentFrame() > 1) c->GotoFrame(c->CurrentFrame() - 1, false);
  return Value();
}

// Copies an init object's properties onto a new clip.
void Initialize(Runtime& rt, Clip* made, Value init) {
  Object* o = init.AsObject();
  if (!made || !o) return;
  const Value target = rt.ClipValue(made);
  // In the order the properties were made: a for-in lists them newest first.
  const std::vector<std::string> names = rt.EnumerableNames(o);
  for (auto it = names.rbegin(); it != names.rend(); ++it) rt.SetMember(target, *it, rt.GetMember(init, *it));
}

Value CreateEmptyMovieClip(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.size() < 2) return Value();
  return rt.ClipValue(c->CreateEmptyMovieClip(rt.ToString(args[0]), Depth(rt, args, 1)));
}

Value AttachMovie(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.size() < 3) return Value();
  Clip* made = c->AttachMovie(rt.ToString(args[0]), rt.ToString(args[1]), Depth(rt, args, 2));
  Initialize(rt, made, Arg(args, 3));
  if (made) rt.ConstructClip(*made);
  return rt.ClipValue(made);
}

Value DuplicateMovieClip(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.size() < 2) return Value();
  Clip* made = c->Duplicate(rt.ToString(args[0]), Depth(rt, args, 1));
  Initialize(rt, made, Arg(args, 2));
  if (made) rt.ConstructClip(*made);
  return rt.ClipValue(made);
}

Value CreateTextField(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.size() < 6) return Value();
  return rt.ClipValue(c->CreateTextField(rt.ToString(args[0]), Depth(rt, args, 1), Number(rt, args, 2),
                                         Number(rt, args, 3), Number(rt, args, 4), Number(rt, args, 5)));
}

Value RemoveMovieClip(Runtime&, Value self, std::span<const Value>) {
  if (Clip* c = ThisClip(self)) c->Remove();
  return Value();
}

Value SwapDepths(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.empty()) return Value();
  // A string names the other clip by its target path from this one.
  Clip* other = Runtime::ClipOf(args[0]);
  if (!other && args[0].IsString()) other = Runtime::ClipOf(rt.ResolveTarget(rt.ObjectFor(*c), rt.ToString(args[0])));
  if (other) {
    if (other->Parent() == c->Parent() && other != c) c->SwapDepths(other->Depth());
  } else if (!args[0].IsUndefined()) {
    c->SwapDepths(ToInt32(rt.ToNumber(args[0])));
  }
  return Value();
}

Value GetDepth(Runtime&, Value self, std::span<const Value>) {
  Clip* c = ThisClip(self);
  return c ? Value::Number(c->Depth()) : Value();
}

// What scripts cannot hold (a shape, a static text) stands for the clip
// it is in, as its name would.
Value GetInstanceAtDepth(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.empty()) return Value();
  Clip* child = c->ChildAtDepth(ToInt32(rt.ToNumber(args[0])));
  if (!child) return Value();
  return rt.ClipValue(child->Kind() == ClipKind::Other ? c : child);
}

Value GetNextHighestDepth(Runtime&, Value self, std::span<const Value>) {
  Clip* c = ThisClip(self);
  return c ? Value::Number(c->NextHighestDepth()) : Value();
}

// localToGlobal and globalToLocal: the point object's x and y, both
// numbers, mapped in place between the clip's space and the root's.
Value MapPoint(Runtime& rt, Value self, std::span<const Value> args, bool toGlobal) {
  Clip* c = ThisClip(self);
  const Value point = Arg(args, 0);
  if (!c || !point.IsObject()) return Value();
  const Value x = rt.GetMember(point, "x"), y = rt.GetMember(point, "y");
  if (!x.IsNumber() || !y.IsNumber()) return Value();
  std::optional<Matrix> m = c->ToRootMatrix();
  if (!toGlobal) m = m->Inverse();
  if (!m) return Value();
  const Point p = m->Apply({x.n * kTwipsPerPixel, y.n * kTwipsPerPixel});
  rt.SetMember(point, "x", Value::Number(p.x / kTwipsPerPixel));
  rt.SetMember(point, "y", Value::Number(p.y / kTwipsPerPixel));
  return Value();
}
Value LocalToGlobal(Runtime& rt, Value self, std::span<const Value> args) { return MapPoint(rt, self, args, true); }
Value GlobalToLocal(Runtime& rt, Value self, std::span<const Value> args) { return MapPoint(rt, self, args, false); }

// hitTest(x, y[, shapeFlag]) with a point on the stage, or hitTest(other):
// the clip's bounds in the root's space against the point or the other's
// bounds; with the shape flag, what the clip shows against the point.
Value HitTest(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.empty() || !rt.root) return Value::Bool(false);
  if (args.size() >= 2) {
    const double x = rt.ToNumber(args[0]) * kTwipsPerPixel, y = rt.ToNumber(args[1]) * kTwipsPerPixel;
    if (std::isnan(x) || std::isnan(y)) return Value::Bool(false);
    if (args.size() >= 3 && rt.ToBoolean(args[2])) return Value::Bool(c->ShapeContains({x, y}));
    const TwipRect mine = c->Bounds(rt.root);
    if (mine.Empty()) return Value::Bool(false);
    return Value::Bool(x >= mine.xMin && x <= mine.xMax && y >= mine.yMin && y <= mine.yMax);
  }
  const TwipRect mine = c->Bounds(rt.root);
  if (mine.Empty()) return Value::Bool(false);
  Clip* other = Runtime::ClipOf(args[0]);
  if (!other && args[0].IsString()) other = Runtime::ClipOf(rt.ResolveTarget(rt.ObjectFor(*c), rt.ToString(args[0])));
  if (!other) return Value::Bool(false);
  const TwipRect theirs = other->Bounds(rt.root);
  if (theirs.Empty()) return Value::Bool(false);
  return Value::Bool(mine.xMin <= theirs.xMax && theirs.xMin <= mine.xMax && mine.yMin <= theirs.yMax &&
                     theirs.yMin <= mine.yMax);
}

// setMask(mask): whether the mask named a clip. null or undefined takes
// the mask off (true); a clip, or a path from the clip's parent, becomes
// it (true); any other object, or a path to nothing, leaves the mask as it
// is (false), as does a call with no argument (undefined).
Value SetMask(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || args.empty()) return Value();
  const Value mask = args[0];
  const bool none = mask.IsNull() || mask.IsUndefined();
  Clip* named = nullptr;
  if (mask.IsObject()) {
    named = Runtime::ClipOf(mask);
  } else if (!none) {
    Clip* base = c->Parent() ? c->Parent() : c;
    named = Runtime::ClipOf(rt.ResolveTarget(rt.ObjectFor(*base), rt.ToString(mask)));
  }
  if (!named && !none) return Value::Bool(false);
  c->SetMask(named);
  return Value::Bool(true);
}

Value GetBounds(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c) return Value();
  const Clip* space = args.empty() ? c : Runtime::ClipOf(args[0]);
  const TwipRect r = c->Bounds(space ? space : c);
  Object* o = rt.NewObject();
  const Value v = Value::Obj(o);
  rt.SetMember(v, "xMin", Value::Number(r.xMin / kTwipsPerPixel));
  rt.SetMember(v, "xMax", Value::Number(r.xMax / kTwipsPerPixel));
  rt.SetMember(v, "yMin", Value::Number(r.yMin / kTwipsPerPixel));
  rt.SetMember(v, "yMax", Value::Number(r.yMax / kTwipsPerPixel));
  return v;
}

// The pointer in the clip's own pixels.
double Pointer(Runtime& rt, const Clip& clip, bool x) {
  if (!rt.host.pointer) return 0;
  const std::optional<Matrix> fromRoot = clip.ToRootMatrix().Inverse();
  if (!fromRoot) return 0;
  const Point p = fromRoot->Apply(rt.host.pointer());
  return (x ? p.x : p.y) / kTwipsPerPixel;
}

// The slash path of the clip a dragged clip was over, "" when none.
Value DropTarget(Runtime& rt, const Clip& clip) {
  Clip* target = rt.host.dropTarget ? rt.host.dropTarget(clip) : nullptr;
  return rt.Str(target ? rt.SlashPath(target) : "");
}

// startDrag([lockCentre, left, top, right, bottom]).
Value StartDrag(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* c = ThisClip(self);
  if (!c || !rt.host.startDrag) return Value();
  std::optional<TwipRect> bounds;
  if (args.size() >= 5) {
    double v[4];
    for (int i = 0; i < 4; ++i) {
      const double t = rt.ToNumber(args[1 + i]) * kTwipsPerPixel;
      v[i] = std::isfinite(t) ? std::clamp(t, -1e9, 1e9) : 0;
    }
    const auto twips = [](double t) { return static_cast<std::int32_t>(t); };
    bounds = TwipRect{twips(std::min(v[0], v[2])), twips(std::max(v[0], v[2])), twips(std::min(v[1], v[3])),
                      twips(std::max(v[1], v[3]))};
  }
  rt.host.startDrag(*c, !args.empty() && rt.ToBoolean(args[0]), bounds);
  return Value();
}

Value StopDrag(Runtime& rt, Value, std::span<const Value>) {
  if (rt.host.stopDrag) rt.host.stopDrag();
  return Value();
}

Value GetSwfVersion(Runtime& rt, Value, std::span<const Value>) { return Value::Number(rt.version); }
// getBytesLoaded, getBytesTotal: the movie's bytes are all there at once;
// a clip a script made empty has none.
Value Bytes(Runtime&, Value self, std::span<const Value>) {
  const Clip* c = ThisClip(self);
  return Value::Number(c && c->MadeEmpty() ? 0 : 1);
}
Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

// The drawing API: each call changes the clip's Drawing and says so.
template <class F>
Value Draw(Value self, F&& change) {
  Clip* c = ThisClip(self);
  if (!c) return Value();
  if (Drawing* d = c->GetDrawing()) {
    change(*d);
    c->DrawingChanged();
  }
  return Value();
}

Rgba Colour(Runtime& rt, Value rgb, Value alpha) {
  const std::uint32_t c = ToUint32(rt.ToNumber(rgb));
  double a = alpha.IsUndefined() ? 100 : rt.ToNumber(alpha);
  if (std::isnan(a)) a = 0;
  a = std::clamp(a, 0.0, 100.0);
  return Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c),
              static_cast<std::uint8_t>(std::lround(a * 255 / 100))};
}

Value Clear(Runtime&, Value self, std::span<const Value>) {
  return Draw(self, [](Drawing& d) { d.Clear(); });
}

Value BeginFill(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) {
    if (Arg(args, 0).IsUndefined()) {
      d.EndFill();
      return;
    }
    FillStyle fill;
    fill.color = Colour(rt, args[0], Arg(args, 1));
    d.BeginFill(fill);
  });
}

double MemberNumber(Runtime& rt, Value o, std::string_view name, double fallback = 0) {
  const Value v = rt.GetMember(o, name);
  if (v.IsUndefined()) return fallback;
  const double n = rt.ToNumber(v);
  return std::isfinite(n) ? n : fallback;
}

// The gradient's matrix from the script's object to the gradient square's
// map into twips: {a, b, c, d, tx, ty} maps the square as a pixel-space
// matrix of a 1638.4 px square would; {a, b, d, e, g, h, i} maps the unit
// square centred on 0; {matrixType: "box", x, y, w, h, r} fits the square
// to the box, turned by r radians.
Matrix GradientMatrix(Runtime& rt, Value m) {
  if (!m.IsObject()) return Matrix{};
  const std::string type = rt.ToString(rt.GetMember(m, "matrixType"));
  if (type == "box") {
    const double x = MemberNumber(rt, m, "x"), y = MemberNumber(rt, m, "y");
    const double w = MemberNumber(rt, m, "w"), h = MemberNumber(rt, m, "h"), r = MemberNumber(rt, m, "r");
    const double sx = w / 1638.4, sy = h / 1638.4;
    return Matrix{std::cos(r) * sx, std::sin(r) * sy, -std::sin(r) * sx, std::cos(r) * sy, (x + w / 2) * kTwipsPerPixel,
                  (y + h / 2) * kTwipsPerPixel};
  }
  if (!rt.GetMember(m, "tx").IsUndefined() || rt.GetMember(m, "g").IsUndefined()) {
    return Matrix{MemberNumber(rt, m, "a", 1), MemberNumber(rt, m, "b"), MemberNumber(rt, m, "c"),
                  MemberNumber(rt, m, "d", 1), MemberNumber(rt, m, "tx") * kTwipsPerPixel,
                  MemberNumber(rt, m, "ty") * kTwipsPerPixel};
  }
  const double k = kTwipsPerPixel / 32768.0;
  return Matrix{MemberNumber(rt, m, "a") * k, MemberNumber(rt, m, "b") * k, MemberNumber(rt, m, "d") * k,
                MemberNumber(rt, m, "e") * k, MemberNumber(rt, m, "g") * kTwipsPerPixel,
                MemberNumber(rt, m, "h") * kTwipsPerPixel};
}

// The gradient of beginGradientFill's and lineGradientStyle's arguments
// (type, colours, alphas, ratios, matrix, spread, interpolation, focal
// point); false when they make none: five to eight arguments, "linear" or
// "radial", three arrays of one length whose ratios are all 0..255 once cut
// to whole numbers.
bool GradientOf(Runtime& rt, std::span<const Value> args, FillStyle& fill) {
  if (args.size() < 5 || args.size() > 8) return false;
  const std::string type = rt.ToString(Arg(args, 0));
  ArrayObject *colors = AsArray(Arg(args, 1)), *alphas = AsArray(Arg(args, 2)), *ratios = AsArray(Arg(args, 3));
  if ((type != "linear" && type != "radial") || !colors || !alphas || !ratios) return false;
  if (colors->Count() != alphas->Count() || colors->Count() != ratios->Count()) return false;
  fill.kind = type == "linear" ? FillKind::LinearGradient : FillKind::RadialGradient;
  const std::uint32_t n = std::min(colors->Count(), std::uint32_t{15});
  for (std::uint32_t i = 0; i < n; ++i) {
    // A ratio is taken as a whole number, cut toward zero (not a number
    // is 0): 255.9 is 255 and -0.99 is 0, but -1 and 256 make no gradient.
    const std::int32_t ratio = ToInt32(rt.ToNumber(ratios->At(i)));
    if (ratio < 0 || ratio > 255) return false;
    fill.gradient.stops.push_back(GradientStop{static_cast<std::uint8_t>(ratio), Colour(rt, colors->At(i), alphas->At(i))});
  }
  if (fill.gradient.stops.empty()) return false;
  fill.matrix = GradientMatrix(rt, Arg(args, 4));
  const std::string spread = rt.ToString(Arg(args, 5));
  fill.gradient.spread = spread == "reflect" ? SpreadMode::Reflect : spread == "repeat" ? SpreadMode::Repeat : SpreadMode::Pad;
  fill.gradient.interpolation =
      rt.ToString(Arg(args, 6)) == "linearRGB" ? InterpolationMode::Linear : InterpolationMode::Normal;
  const double focal = Number(rt, args, 7, 0);
  if (fill.kind == FillKind::RadialGradient && focal != 0) {
    fill.kind = FillKind::FocalGradient;
    // Held as the file holds it: 8.8 fixed point, what is past cut off.
    fill.gradient.focalPoint = std::trunc(std::clamp(focal, -1.0, 1.0) * 256) / 256;
  }
  return true;
}

// An undefined type ends the fill; other arguments that make no gradient
// change nothing.
Value BeginGradientFill(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) {
    FillStyle fill;
    if (GradientOf(rt, args, fill))
      d.BeginFill(fill);
    else if (Arg(args, 0).IsUndefined())
      d.EndFill();
  });
}

// The open line style strokes with a gradient from here on.
Value LineGradientStyle(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) {
    FillStyle fill;
    if (GradientOf(rt, args, fill)) d.SetLineFill(fill);
  });
}

Value SetLineStyle(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) {
    const double thickness = rt.ToNumber(Arg(args, 0));
    if (Arg(args, 0).IsUndefined() || std::isnan(thickness)) {
      d.ClearLineStyle();
      return;
    }
    LineStyle line;
    line.width = static_cast<std::uint16_t>(std::lround(std::clamp(thickness, 0.0, 255.0) * kTwipsPerPixel));
    line.color = Colour(rt, Arg(args, 1), Arg(args, 2));
    line.pixelHinting = rt.ToBoolean(Arg(args, 3));
    const std::string scale = rt.ToString(Arg(args, 4));
    line.noHScale = scale == "none" || scale == "vertical";
    line.noVScale = scale == "none" || scale == "horizontal";
    const std::string caps = rt.ToString(Arg(args, 5));
    line.startCap = line.endCap = caps == "none" ? CapStyle::None : caps == "square" ? CapStyle::Square : CapStyle::Round;
    const std::string joints = rt.ToString(Arg(args, 6));
    line.join = joints == "miter" ? JoinStyle::Miter : joints == "bevel" ? JoinStyle::Bevel : JoinStyle::Round;
    line.miterLimit = std::clamp(Number(rt, args, 7, 3), 1.0, 255.0);
    d.SetLineStyle(line);
  });
}

Value MoveTo(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) { d.MoveTo(rt.ToNumber(Arg(args, 0)), rt.ToNumber(Arg(args, 1))); });
}
Value LineTo(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) { d.LineTo(rt.ToNumber(Arg(args, 0)), rt.ToNumber(Arg(args, 1))); });
}
Value CurveTo(Runtime& rt, Value self, std::span<const Value> args) {
  return Draw(self, [&](Drawing& d) {
    d.CurveTo(rt.ToNumber(Arg(args, 0)), rt.ToNumber(Arg(args, 1)), rt.ToNumber(Arg(args, 2)),
              rt.ToNumber(Arg(args, 3)));
  });
}
Value EndFill(Runtime&, Value self, std::span<const Value>) {
  return Draw(self, [](Drawing& d) { d.EndFill(); });
}

Value ClipConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

bool IsNumericProperty(std::string_view name) {
  DisplayProperty p;
  if (FindDisplay(name, p)) return true;
  for (std::string_view n : {"_highquality", "_soundbuftime", "_focusrect"})
    if (NamesEqual(name, n, false)) return true;
  return false;
}

// A number in SWF 5, a boolean after; null on a clip no script set it on
// but the root, whose frame shows by default.
Value FocusRect(Runtime& rt, const ClipObject& o) {
  if (!o.focusRect && o.clip != rt.root) return Value::Null();
  const bool on = o.focusRect.value_or(true);
  return rt.version >= 6 ? Value::Bool(on) : Value::Number(on ? 1 : 0);
}

}  // namespace

bool ClipObject::GetSpecial(Runtime& rt, std::string_view name, Value& out) {
  if (!clip || name.empty()) return false;
  if (name[0] == '_') {
    // A level's name comes before a child's; a child's before a property's.
    if (Clip* level = nullptr; rt.IsLevelName(name, level)) {
      out = rt.ClipValue(level);
      return true;
    }
    if (clip->ChildByName(name, rt.caseSensitive)) return false;
  }
  return GetClipProperty(rt, name, out);
}

bool ClipObject::GetClipProperty(Runtime& rt, std::string_view name, Value& out) {
  if (!clip || name.empty()) return false;
  if (GetClipLook(rt, *clip, name, out)) return true;
  if (name[0] == '_') {
    DisplayProperty p;
    if (FindDisplay(name, p)) {
      const double v = clip->Get(p);
      out = p == DisplayProperty::Visible ? Value::Bool(v != 0) : Value::Number(v);
      return true;
    }
    const auto is = [&](std::string_view n) { return NamesEqual(name, n, false); };
    if (is("_currentframe")) out = Value::Number(clip->CurrentFrame());
    else if (is("_totalframes")) out = Value::Number(clip->TotalFrames());
    else if (is("_framesloaded")) out = Value::Number(clip->FramesLoaded());
    else if (is("_name")) out = rt.Str(clip->Name());
    else if (is("_target")) out = rt.Str(rt.SlashPath(clip));
    else if (is("_parent")) out = rt.ClipValue(clip->Parent());
    else if (is("_root")) out = rt.ClipValue(rt.root);
    else if (rt.version >= 6 && NamesEqual(name, "_global", rt.caseSensitive)) out = Value::Obj(rt.global);
    else if (is("_url")) out = rt.Str("");
    else if (is("_lockroot") && clip->Kind() == ClipKind::MovieClip) out = Value::Bool(lockRoot);
    else if (is("_droptarget")) out = DropTarget(rt, *clip);
    else if (is("_focusrect")) out = FocusRect(rt, *this);
    else if (is("_soundbuftime")) out = Value::Number(rt.soundBufferTime);
    else if (is("_xmouse") || is("_ymouse")) out = Value::Number(Pointer(rt, *clip, is("_xmouse")));
    else return false;
    return true;
  }
  return false;
}

bool ClipObject::SetSpecial(Runtime& rt, std::string_view name, Value v) {
  if (!clip || name.empty()) return false;
  // undefined and null leave the numeric properties as they were.
  const bool nothing = v.IsUndefined() || v.IsNull();
  if (nothing && name[0] == '_' && IsNumericProperty(name)) return true;
  if (SetClipLook(rt, *clip, name, v)) return true;
  if (name[0] == '_') {
    DisplayProperty p;
    if (FindDisplay(name, p)) {
      // Not a number leaves the property as it was too; the display side
      // takes infinities as Flash's fixed-point fields do.
      const double n = rt.ToNumber(v);
      if (!std::isnan(n)) clip->Set(p, p == DisplayProperty::Visible ? (n != 0 ? 1 : 0) : n);
      return true;
    }
    if (NamesEqual(name, "_name", false)) {
      clip->SetName(rt.ToString(v));
      return true;
    }
    if (NamesEqual(name, "_lockroot", false) && clip->Kind() == ClipKind::MovieClip) {
      lockRoot = rt.ToBoolean(v);
      return true;
    }
    if (NamesEqual(name, "_soundbuftime", false)) {
      const double n = rt.ToNumber(v);
      if (!std::isnan(n)) rt.soundBufferTime = TruncateToInt32(n);
      return true;
    }
    if (NamesEqual(name, "_focusrect", false)) {
      // An object turns the frame off unasked; values that are not numbers
      // leave it.
      if (v.IsObject()) {
        focusRect = false;
      } else if (const double n = rt.ToNumber(v); !std::isnan(n)) {
        focusRect = n != 0;
      }
      return true;
    }
    // The other underscore properties are read-only or have no effect here.
    for (std::string_view n : {"_currentframe", "_totalframes", "_framesloaded", "_target", "_url", "_droptarget",
                               "_focusrect", "_soundbuftime", "_xmouse", "_ymouse"})
      if (NamesEqual(name, n, false)) return true;
    return false;
  }
  return false;
}

bool ClipObject::GetAfterOwn(Runtime& rt, std::string_view name, Value& out) {
  if (!clip) return false;
  Clip* child = clip->ChildByName(name, rt.caseSensitive);
  if (!child) return false;
  // A shape's name reaches the clip it is in: scripts cannot hold a shape.
  out = rt.ClipValue(child->Kind() == ClipKind::Other ? clip : child);
  return true;
}

void ClipObject::SpecialNames(Runtime& rt, std::vector<std::string>& names) {
  if (!clip) return;
  const std::vector<Clip*> children = clip->Children();
  rt.CountWork(children.size());
  // Lowest depth first: a for-in, reading the list the other way round,
  // gives the highest depth first, after the clip's own variables.
  for (Clip* child : children)
    if (child && !child->Name().empty()) names.push_back(child->Name());
}

void InstallClipBuiltins(Runtime& rt) {
  Object* p = rt.clipProto = rt.NewObject();
  struct Method {
    const char* name;
    NativeFunction fn;
  };
  const Method methods[] = {
      {"gotoAndStop", GotoAndStop},
      {"gotoAndPlay", GotoAndPlay},
      {"play", Play},
      {"stop", Stop},
      {"nextFrame", NextFrame},
      {"prevFrame", PrevFrame},
      {"createEmptyMovieClip", CreateEmptyMovieClip},
      {"attachMovie", AttachMovie},
      {"duplicateMovieClip", DuplicateMovieClip},
      {"createTextField", CreateTextField},
      {"removeMovieClip", RemoveMovieClip},
      {"swapDepths", SwapDepths},
      {"getDepth", GetDepth},
      {"getNextHighestDepth", GetNextHighestDepth},
      {"getInstanceAtDepth", GetInstanceAtDepth},
      {"getBounds", GetBounds},
      {"getRect", GetBounds},
      {"getSWFVersion", GetSwfVersion},
      {"getBytesLoaded", Bytes},
      {"getBytesTotal", Bytes},
      {"hitTest", HitTest},
      {"startDrag", StartDrag},
      {"stopDrag", StopDrag},
      {"localToGlobal", LocalToGlobal},
      {"globalToLocal", GlobalToLocal},
      {"clear", Clear},
      {"beginFill", BeginFill},
      {"beginGradientFill", BeginGradientFill},
      {"lineStyle", SetLineStyle},
      {"lineGradientStyle", LineGradientStyle},
      {"moveTo", MoveTo},
      {"lineTo", LineTo},
      {"curveTo", CurveTo},
      {"endFill", EndFill},
      {"setMask", SetMask},
  };
  for (const Method& m : methods) rt.DefineMethod(p, m.name, m.fn);
  // No way out from a clip either.
  for (const char* name : {"getURL", "loadMovie", "loadVariables", "unloadMovie", "attachAudio", "attachBitmap"})
    rt.DefineMethod(p, name, Nothing);
  // A clip with a button's handlers takes the mouse unless these are false.
  rt.DefineValue(p, "enabled", Value::Bool(true));
  rt.DefineValue(p, "useHandCursor", Value::Bool(true));
  DefineTabIndex(rt, p, false);
  DefineClass(rt, "MovieClip", p, Nothing, ClipConstruct);

  // Buttons are objects of their own from SWF 6.
  if (rt.version >= 6) {
    Object* b = rt.buttonProto = rt.NewObject();
    rt.DefineMethod(b, "getDepth", GetDepth);
    // for-in lists a button's `enabled`, as Flash's does.
    rt.DefineValue(b, "enabled", Value::Bool(true), 0);
    rt.DefineValue(b, "useHandCursor", Value::Bool(true));
    rt.DefineValue(b, "trackAsMenu", Value::Bool(false));
    DefineTabIndex(rt, b, true);
    DefineClass(rt, "Button", b, Nothing, ClipConstruct);
  }
}

}  // namespace dc::swf::avm1

// flash.filters: BitmapFilter and its nine kinds as script objects. Each
// object keeps a filter description; its properties are accessors on the
// class's prototype that read the description and write it within the
// ranges Flash keeps (blurs and strengths 0..255, quality 0..15, alphas
// 0..1, colours 24-bit). A constructor takes its arguments in the order
// of the class's properties; clone() copies the description.
#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <numbers>

#include "swf/avm1/array_object.h"
#include "swf/avm1/bitmap_data_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/filter_objects.h"
#include "swf/avm1/geom_objects.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {

void FilterObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(mapBitmap);
}

std::size_t FilterObject::Footprint() const {
  std::size_t extra = 0;
  if (const auto* g = std::get_if<GradientFilter>(&filter)) extra = g->stops.capacity() * sizeof(GradientStop);
  if (const auto* c = std::get_if<ConvolutionFilter>(&filter)) extra = c->matrix.capacity() * sizeof(double);
  return sizeof(FilterObject) + props.Bytes() + extra;
}

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

template <class F>
F* As(Value self) {
  auto* o = dynamic_cast<FilterObject*>(self.AsObject());
  return o ? std::get_if<F>(&o->filter) : nullptr;
}

double Num(Runtime& rt, std::span<const Value> args) { return rt.ToNumber(Arg(args, 0)); }

// A number kept within lo..hi; NaN leaves the property as it was.
template <class F, double F::*M, int Lo, int Hi>
Value SetClamped(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  const double v = Num(rt, args);
  if (f && !std::isnan(v)) f->*M = std::clamp(v, double(Lo), double(Hi));
  return Value();
}
template <class F, double F::*M>
Value SetAny(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  const double v = Num(rt, args);
  if (f && !std::isnan(v)) f->*M = v;
  return Value();
}
template <class F, double F::*M>
Value GetNumber(Runtime&, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  return f ? Value::Number(f->*M) : Value();
}

// Angles are degrees to scripts, radians in the description.
template <class F, double F::*M>
Value GetAngle(Runtime&, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  return f ? Value::Number(std::fmod(f->*M * kDegrees, 360)) : Value();
}
template <class F, double F::*M>
Value SetAngle(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  const double v = Num(rt, args);
  if (f && std::isfinite(v)) f->*M = std::fmod(v, 360) / kDegrees;
  return Value();
}

template <class F, std::uint8_t F::*M, int Hi>
Value GetSmall(Runtime&, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  return f ? Value::Number(f->*M) : Value();
}
template <class F, std::uint8_t F::*M, int Hi>
Value SetSmall(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  const double v = Num(rt, args);
  if (f && !std::isnan(v)) f->*M = static_cast<std::uint8_t>(std::clamp(ToInt32(v), 0, Hi));
  return Value();
}

template <class F, bool F::*M>
Value GetFlag(Runtime&, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  return f ? Value::Bool(f->*M) : Value();
}
template <class F, bool F::*M>
Value SetFlag(Runtime& rt, Value self, std::span<const Value> args) {
  if (F* f = As<F>(self)) f->*M = rt.ToBoolean(Arg(args, 0));
  return Value();
}

// A colour's RGB and its alpha (0..1) are two properties.
template <class F, Rgba F::*M>
Value GetRgb(Runtime&, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  if (!f) return Value();
  const Rgba c = f->*M;
  return Value::Number(c.r << 16 | c.g << 8 | c.b);
}
template <class F, Rgba F::*M>
Value SetRgb(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  if (!f) return Value();
  const std::uint32_t v = ToUint32(Num(rt, args));
  Rgba& c = f->*M;
  c.r = static_cast<std::uint8_t>(v >> 16), c.g = static_cast<std::uint8_t>(v >> 8), c.b = static_cast<std::uint8_t>(v);
  return Value();
}
template <class F, Rgba F::*M>
Value GetAlpha(Runtime&, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  return f ? Value::Number((f->*M).a / 255.0) : Value();
}
template <class F, Rgba F::*M>
Value SetAlpha(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  const double v = Num(rt, args);
  if (f && !std::isnan(v)) (f->*M).a = static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  return Value();
}

template <class F, BevelType F::*M>
Value GetType(Runtime& rt, Value self, std::span<const Value>) {
  F* f = As<F>(self);
  if (!f) return Value();
  switch (f->*M) {
    case BevelType::Inner: return rt.Str("inner");
    case BevelType::Outer: return rt.Str("outer");
    case BevelType::Full: return rt.Str("full");
  }
  return Value();
}
template <class F, BevelType F::*M>
Value SetType(Runtime& rt, Value self, std::span<const Value> args) {
  F* f = As<F>(self);
  if (!f) return Value();
  const std::string s = rt.ToString(Arg(args, 0));
  if (s == "inner") f->*M = BevelType::Inner;
  else if (s == "outer") f->*M = BevelType::Outer;
  else if (s == "full") f->*M = BevelType::Full;
  return Value();
}

// Arrays are copied in and out.
Value NumberArray(Runtime& rt, std::span<const double> values) {
  std::vector<Value> v;
  v.reserve(values.size());
  for (double d : values) v.push_back(Value::Number(d));
  return Value::Obj(rt.NewArray(v));
}
std::vector<double> NumbersOf(Runtime& rt, Value v, std::size_t most) {
  std::vector<double> out;
  ArrayObject* a = AsArray(v);
  if (!a) return out;
  const std::size_t n = std::min<std::size_t>(a->Count(), most);
  for (std::size_t i = 0; i < n; ++i) out.push_back(rt.ToNumber(a->At(static_cast<std::uint32_t>(i))));
  return out;
}

// --- gradients -------------------------------------------------------------------

constexpr std::size_t kMostStops = 16;

Value GetColors(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<GradientFilter>(self);
  if (!f) return Value();
  std::vector<double> v;
  for (const GradientStop& s : f->stops) v.push_back(s.color.r << 16 | s.color.g << 8 | s.color.b);
  return NumberArray(rt, v);
}
Value GetAlphas(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<GradientFilter>(self);
  if (!f) return Value();
  std::vector<double> v;
  for (const GradientStop& s : f->stops) v.push_back(s.color.a / 255.0);
  return NumberArray(rt, v);
}
Value GetRatios(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<GradientFilter>(self);
  if (!f) return Value();
  std::vector<double> v;
  for (const GradientStop& s : f->stops) v.push_back(s.ratio);
  return NumberArray(rt, v);
}
// The colours set how many stops there are; new stops are opaque, their
// ratios spread evenly.
Value SetColors(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<GradientFilter>(self);
  if (!f) return Value();
  const std::vector<double> colours = NumbersOf(rt, Arg(args, 0), kMostStops);
  const std::size_t old = f->stops.size();
  f->stops.resize(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::uint32_t c = ToUint32(colours[i]);
    GradientStop& s = f->stops[i];
    s.color.r = static_cast<std::uint8_t>(c >> 16), s.color.g = static_cast<std::uint8_t>(c >> 8);
    s.color.b = static_cast<std::uint8_t>(c);
    if (i >= old) {
      s.color.a = 255;
      s.ratio = static_cast<std::uint8_t>(colours.size() > 1 ? i * 255 / (colours.size() - 1) : 0);
    }
  }
  return Value();
}
Value SetAlphas(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<GradientFilter>(self);
  if (!f) return Value();
  const std::vector<double> alphas = NumbersOf(rt, Arg(args, 0), f->stops.size());
  for (std::size_t i = 0; i < alphas.size(); ++i)
    f->stops[i].color.a =
        static_cast<std::uint8_t>(std::lround(std::clamp(std::isnan(alphas[i]) ? 0 : alphas[i], 0.0, 1.0) * 255));
  return Value();
}
Value SetRatios(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<GradientFilter>(self);
  if (!f) return Value();
  const std::vector<double> ratios = NumbersOf(rt, Arg(args, 0), f->stops.size());
  for (std::size_t i = 0; i < ratios.size(); ++i)
    f->stops[i].ratio = static_cast<std::uint8_t>(std::clamp(ToInt32(ratios[i]), 0, 255));
  return Value();
}

// --- colour matrix and convolution ---------------------------------------------

Value GetColorMatrix(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<ColorMatrixFilter>(self);
  return f ? NumberArray(rt, f->matrix) : Value();
}
Value SetColorMatrix(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<ColorMatrixFilter>(self);
  if (!f || !AsArray(Arg(args, 0))) return Value();
  const std::vector<double> v = NumbersOf(rt, args[0], 20);
  f->matrix.fill(0);
  for (std::size_t i = 0; i < v.size(); ++i) f->matrix[i] = std::isnan(v[i]) ? 0 : v[i];
  return Value();
}

Value GetKernel(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<ConvolutionFilter>(self);
  return f ? NumberArray(rt, f->matrix) : Value();
}
void FitKernel(ConvolutionFilter& f) { f.matrix.resize(std::size_t{f.columns} * f.rows, 0); }
Value SetKernel(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<ConvolutionFilter>(self);
  if (!f) return Value();
  const std::vector<double> v = NumbersOf(rt, Arg(args, 0), std::size_t{f->columns} * f->rows);
  FitKernel(*f);
  std::fill(f->matrix.begin(), f->matrix.end(), 0.0);
  std::copy(v.begin(), v.end(), f->matrix.begin());
  return Value();
}
template <std::uint8_t ConvolutionFilter::*M>
Value SetKernelSize(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<ConvolutionFilter>(self);
  const double v = Num(rt, args);
  if (!f || std::isnan(v)) return Value();
  f->*M = static_cast<std::uint8_t>(std::clamp(ToInt32(v), 0, 15));
  FitKernel(*f);
  return Value();
}

// --- displacement map ---------------------------------------------------------------

Value GetMapBitmap(Runtime&, Value self, std::span<const Value>) {
  auto* o = dynamic_cast<FilterObject*>(self.AsObject());
  return o && std::holds_alternative<DisplacementMapFilter>(o->filter) ? o->mapBitmap : Value();
}
Value SetMapBitmap(Runtime&, Value self, std::span<const Value> args) {
  auto* o = dynamic_cast<FilterObject*>(self.AsObject());
  if (o && std::holds_alternative<DisplacementMapFilter>(o->filter) && BitmapDataOf(Arg(args, 0)))
    o->mapBitmap = args[0];
  return Value();
}
Value GetMapPoint(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<DisplacementMapFilter>(self);
  return f ? NewPoint(rt, f->mapPoint.x, f->mapPoint.y) : Value();
}
Value SetMapPoint(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<DisplacementMapFilter>(self);
  if (f && Arg(args, 0).IsObject()) {
    const double x = NumberMember(rt, args[0], "x"), y = NumberMember(rt, args[0], "y");
    f->mapPoint = {std::isnan(x) ? 0 : x, std::isnan(y) ? 0 : y};
  }
  return Value();
}
constexpr const char* kModes[] = {"wrap", "clamp", "ignore", "color"};
Value GetMode(Runtime& rt, Value self, std::span<const Value>) {
  auto* f = As<DisplacementMapFilter>(self);
  return f ? rt.Str(kModes[static_cast<int>(f->mode)]) : Value();
}
Value SetMode(Runtime& rt, Value self, std::span<const Value> args) {
  auto* f = As<DisplacementMapFilter>(self);
  if (!f) return Value();
  const std::string s = rt.ToString(Arg(args, 0));
  for (int i = 0; i < 4; ++i)
    if (s == kModes[i]) f->mode = static_cast<DisplacementMode>(i);
  return Value();
}

// --- the classes -----------------------------------------------------------------------

struct FilterClass;
std::vector<FilterClass> MakeClasses();

struct Accessor {
  const char* name;
  NativeFunction get, set;
};

// `new` makes the filter's defaults, then sets each argument given in
// the order of `order` through the property's own setter.
struct FilterClass {
  const char* name;
  Filter (*make)();
  std::vector<Accessor> properties;
  std::vector<const char*> order;
  // Flash's native table of the class, where we know its number (0 when
  // not): the properties' getters and setters sit there from index 1, a
  // getter and its setter after it, as ASnative and ASSetNativeAccessor
  // reach them.
  std::uint16_t nativeTable = 0;
};

Value FilterCall(Runtime&, Value, std::span<const Value>) { return Value(); }

Value Clone(Runtime& rt, Value self, std::span<const Value>) {
  auto* o = dynamic_cast<FilterObject*>(self.AsObject());
  if (!o) return Value();
  const Value copy = NewFilterObject(rt, o->filter);
  if (auto* c = dynamic_cast<FilterObject*>(copy.AsObject())) c->mapBitmap = o->mapBitmap;
  return copy;
}

template <class F>
using D = double F::*;

const std::vector<FilterClass>& Classes() {
  static const std::vector<FilterClass> classes = MakeClasses();
  return classes;
}

std::vector<FilterClass> MakeClasses() {
  using SF = ShadowFilter;
  using BF = BevelFilter;
  using GF = GradientFilter;
  using CF = ConvolutionFilter;
  using MF = DisplacementMapFilter;
  return {
      {"BlurFilter",
       [] { return Filter{BlurFilter{}}; },
       {{"blurX", GetNumber<BlurFilter, &BlurFilter::blurX>, SetClamped<BlurFilter, &BlurFilter::blurX, 0, 255>},
        {"blurY", GetNumber<BlurFilter, &BlurFilter::blurY>, SetClamped<BlurFilter, &BlurFilter::blurY, 0, 255>},
        {"quality", GetSmall<BlurFilter, &BlurFilter::passes, 15>, SetSmall<BlurFilter, &BlurFilter::passes, 15>}},
       {"blurX", "blurY", "quality"}},
      {"DropShadowFilter",
       [] { return Filter{SF{}}; },
       {{"distance", GetNumber<SF, &SF::distance>, SetAny<SF, &SF::distance>},
        {"angle", GetAngle<SF, &SF::angle>, SetAngle<SF, &SF::angle>},
        {"color", GetRgb<SF, &SF::color>, SetRgb<SF, &SF::color>},
        {"alpha", GetAlpha<SF, &SF::color>, SetAlpha<SF, &SF::color>},
        {"blurX", GetNumber<SF, &SF::blurX>, SetClamped<SF, &SF::blurX, 0, 255>},
        {"blurY", GetNumber<SF, &SF::blurY>, SetClamped<SF, &SF::blurY, 0, 255>},
        {"strength", GetNumber<SF, &SF::strength>, SetClamped<SF, &SF::strength, 0, 255>},
        {"quality", GetSmall<SF, &SF::passes, 15>, SetSmall<SF, &SF::passes, 15>},
        {"inner", GetFlag<SF, &SF::inner>, SetFlag<SF, &SF::inner>},
        {"knockout", GetFlag<SF, &SF::knockout>, SetFlag<SF, &SF::knockout>},
        {"hideObject", GetFlag<SF, &SF::hideObject>, SetFlag<SF, &SF::hideObject>}},
       {"distance", "angle", "color", "alpha", "blurX", "blurY", "strength", "quality", "inner", "knockout",
        "hideObject"}},
      {"GlowFilter",
       [] {
         SF glow;
         glow.glow = true;
         glow.color = {255, 0, 0, 255};
         glow.blurX = glow.blurY = 6;
         glow.strength = 2;
         glow.distance = 0;
         glow.angle = 0;
         return Filter{glow};
       },
       {{"color", GetRgb<SF, &SF::color>, SetRgb<SF, &SF::color>},
        {"alpha", GetAlpha<SF, &SF::color>, SetAlpha<SF, &SF::color>},
        {"blurX", GetNumber<SF, &SF::blurX>, SetClamped<SF, &SF::blurX, 0, 255>},
        {"blurY", GetNumber<SF, &SF::blurY>, SetClamped<SF, &SF::blurY, 0, 255>},
        {"strength", GetNumber<SF, &SF::strength>, SetClamped<SF, &SF::strength, 0, 255>},
        {"quality", GetSmall<SF, &SF::passes, 15>, SetSmall<SF, &SF::passes, 15>},
        {"inner", GetFlag<SF, &SF::inner>, SetFlag<SF, &SF::inner>},
        {"knockout", GetFlag<SF, &SF::knockout>, SetFlag<SF, &SF::knockout>}},
       {"color", "alpha", "blurX", "blurY", "strength", "quality", "inner", "knockout"}},
      {"BevelFilter",
       [] { return Filter{BF{}}; },
       {{"distance", GetNumber<BF, &BF::distance>, SetAny<BF, &BF::distance>},
        {"angle", GetAngle<BF, &BF::angle>, SetAngle<BF, &BF::angle>},
        {"highlightColor", GetRgb<BF, &BF::highlight>, SetRgb<BF, &BF::highlight>},
        {"highlightAlpha", GetAlpha<BF, &BF::highlight>, SetAlpha<BF, &BF::highlight>},
        {"shadowColor", GetRgb<BF, &BF::shadow>, SetRgb<BF, &BF::shadow>},
        {"shadowAlpha", GetAlpha<BF, &BF::shadow>, SetAlpha<BF, &BF::shadow>},
        {"blurX", GetNumber<BF, &BF::blurX>, SetClamped<BF, &BF::blurX, 0, 255>},
        {"blurY", GetNumber<BF, &BF::blurY>, SetClamped<BF, &BF::blurY, 0, 255>},
        {"strength", GetNumber<BF, &BF::strength>, SetClamped<BF, &BF::strength, 0, 255>},
        {"quality", GetSmall<BF, &BF::passes, 15>, SetSmall<BF, &BF::passes, 15>},
        {"type", GetType<BF, &BF::type>, SetType<BF, &BF::type>},
        {"knockout", GetFlag<BF, &BF::knockout>, SetFlag<BF, &BF::knockout>}},
       {"distance", "angle", "highlightColor", "highlightAlpha", "shadowColor", "shadowAlpha", "blurX", "blurY",
        "strength", "quality", "type", "knockout"}},
      {"GradientGlowFilter",
       [] { return Filter{GF{}}; },
       {},
       {"distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "strength", "quality", "type",
        "knockout"}},
      {"GradientBevelFilter",
       [] {
         GF bevel;
         bevel.bevel = true;
         return Filter{bevel};
       },
       {},
       {"distance", "angle", "colors", "alphas", "ratios", "blurX", "blurY", "strength", "quality", "type",
        "knockout"}},
      {"ColorMatrixFilter",
       [] { return Filter{ColorMatrixFilter{}}; },
       {{"matrix", GetColorMatrix, SetColorMatrix}},
       {"matrix"}},
      {"ConvolutionFilter",
       [] { return Filter{CF{}}; },
       {{"matrixX", GetSmall<CF, &CF::columns, 15>, SetKernelSize<&CF::columns>},
        {"matrixY", GetSmall<CF, &CF::rows, 15>, SetKernelSize<&CF::rows>},
        {"matrix", GetKernel, SetKernel},
        {"divisor", GetNumber<CF, &CF::divisor>, SetAny<CF, &CF::divisor>},
        {"bias", GetNumber<CF, &CF::bias>, SetAny<CF, &CF::bias>},
        {"preserveAlpha", GetFlag<CF, &CF::preserveAlpha>, SetFlag<CF, &CF::preserveAlpha>},
        {"clamp", GetFlag<CF, &CF::clamp>, SetFlag<CF, &CF::clamp>},
        {"color", GetRgb<CF, &CF::color>, SetRgb<CF, &CF::color>},
        {"alpha", GetAlpha<CF, &CF::color>, SetAlpha<CF, &CF::color>}},
       {"matrixX", "matrixY", "matrix", "divisor", "bias", "preserveAlpha", "clamp", "color", "alpha"},
       1109},
      {"DisplacementMapFilter",
       [] { return Filter{MF{}}; },
       {{"mapBitmap", GetMapBitmap, SetMapBitmap},
        {"mapPoint", GetMapPoint, SetMapPoint},
        {"componentX", GetSmall<MF, &MF::componentX, 15>, SetSmall<MF, &MF::componentX, 15>},
        {"componentY", GetSmall<MF, &MF::componentY, 15>, SetSmall<MF, &MF::componentY, 15>},
        {"scaleX", GetNumber<MF, &MF::scaleX>, SetAny<MF, &MF::scaleX>},
        {"scaleY", GetNumber<MF, &MF::scaleY>, SetAny<MF, &MF::scaleY>},
        {"mode", GetMode, SetMode},
        {"color", GetRgb<MF, &MF::color>, SetRgb<MF, &MF::color>},
        {"alpha", GetAlpha<MF, &MF::color>, SetAlpha<MF, &MF::color>}},
       {"mapBitmap", "mapPoint", "componentX", "componentY", "scaleX", "scaleY", "mode", "color", "alpha"}},
  };
}

std::vector<Accessor> GradientAccessors() {
  using GF = GradientFilter;
  return {{"distance", GetNumber<GF, &GF::distance>, SetAny<GF, &GF::distance>},
          {"angle", GetAngle<GF, &GF::angle>, SetAngle<GF, &GF::angle>},
          {"colors", GetColors, SetColors},
          {"alphas", GetAlphas, SetAlphas},
          {"ratios", GetRatios, SetRatios},
          {"blurX", GetNumber<GF, &GF::blurX>, SetClamped<GF, &GF::blurX, 0, 255>},
          {"blurY", GetNumber<GF, &GF::blurY>, SetClamped<GF, &GF::blurY, 0, 255>},
          {"strength", GetNumber<GF, &GF::strength>, SetClamped<GF, &GF::strength, 0, 255>},
          {"quality", GetSmall<GF, &GF::passes, 15>, SetSmall<GF, &GF::passes, 15>},
          {"type", GetType<GF, &GF::type>, SetType<GF, &GF::type>},
          {"knockout", GetFlag<GF, &GF::knockout>, SetFlag<GF, &GF::knockout>}};
}

// Which class a description belongs to.
const char* ClassName(const Filter& f) {
  return std::visit(
      [](const auto& d) -> const char* {
        using T = std::decay_t<decltype(d)>;
        if constexpr (std::is_same_v<T, BlurFilter>) return "BlurFilter";
        if constexpr (std::is_same_v<T, ShadowFilter>) return d.glow ? "GlowFilter" : "DropShadowFilter";
        if constexpr (std::is_same_v<T, BevelFilter>) return "BevelFilter";
        if constexpr (std::is_same_v<T, GradientFilter>) return d.bevel ? "GradientBevelFilter" : "GradientGlowFilter";
        if constexpr (std::is_same_v<T, ColorMatrixFilter>) return "ColorMatrixFilter";
        if constexpr (std::is_same_v<T, ConvolutionFilter>) return "ConvolutionFilter";
        return "DisplacementMapFilter";
      },
      f);
}

}  // namespace

std::optional<Filter> FilterOf(Value v) {
  auto* o = dynamic_cast<FilterObject*>(v.AsObject());
  if (!o) return std::nullopt;
  Filter f = o->filter;
  if (auto* map = std::get_if<DisplacementMapFilter>(&f)) {
    // The map shares the bitmap's pixels as they are now and later.
    if (BitmapDataObject* b = BitmapDataOf(o->mapBitmap); b && !b->pixels->Uniform())
      map->map = std::shared_ptr<const Bitmap>(b->pixels, &b->pixels->AsBitmap());
  }
  return f;
}

Value NewFilterObject(Runtime& rt, const Filter& filter) {
  const Value flash = rt.GetMember(Value::Obj(rt.global), "flash");
  const Value ctor = rt.GetMember(rt.GetMember(flash, "filters"), ClassName(filter));
  Object* proto = rt.GetMember(ctor, "prototype").AsObject();
  return Value::Obj(rt.heap.Make<FilterObject>(proto ? proto : rt.objectProto, filter));
}

namespace {

Value FilterConstruct(Runtime& rt, Object* proto, std::span<const Value> args, std::size_t index) {
  const FilterClass& c = Classes()[index];
  auto* o = rt.heap.Make<FilterObject>(proto, c.make());
  const Value self = Value::Obj(o);
  for (std::size_t i = 0; i < args.size() && i < c.order.size(); ++i) {
    if (args[i].IsUndefined()) continue;
    const Value arg[1] = {args[i]};
    // Through the prototype's accessor, as a set from a script would go.
    Property* p = rt.FindProperty(proto, c.order[i]);
    if (p && p->accessor) rt.Call(p->setter, self, arg);
  }
  return self;
}

template <std::size_t I>
Value ConstructKind(Runtime& rt, Object* proto, std::span<const Value> args) {
  return FilterConstruct(rt, proto, args, I);
}

template <std::size_t... I>
constexpr std::array<NativeConstructor, sizeof...(I)> Constructors(std::index_sequence<I...>) {
  return {ConstructKind<I>...};
}
constexpr auto kConstructors = Constructors(std::make_index_sequence<9>());

}  // namespace

void InstallFilterBuiltins(Runtime& rt) {
  Object* base = rt.NewObject();
  rt.DefineMethod(base, "clone", Clone);
  DefinePackageClass(rt, "flash.filters", "BitmapFilter", base, FilterCall, nullptr);
  const std::vector<FilterClass>& classes = Classes();
  for (std::size_t i = 0; i < classes.size() && i < kConstructors.size(); ++i) {
    const FilterClass& c = classes[i];
    Object* p = rt.NewObject(base);
    const std::vector<Accessor> accessors =
        c.properties.empty() && std::string_view(c.name).starts_with("Gradient") ? GradientAccessors() : c.properties;
    for (const Accessor& a : accessors) DefineAccessor(rt, p, a.name, a.get, a.set, kDontDelete);
    for (std::uint32_t k = 0; c.nativeTable && k < accessors.size(); ++k) {
      const std::uint32_t table = std::uint32_t{c.nativeTable} << 16;
      rt.nativeTable[table | (1 + 2 * k)] = accessors[k].get;
      rt.nativeTable[table | (2 + 2 * k)] = accessors[k].set;
    }
    DefinePackageClass(rt, "flash.filters", c.name, p, FilterCall, kConstructors[i]);
  }
}

}  // namespace dc::swf::avm1

// What scripts see of a clip's Flash 8 look (blendMode, cacheAsBitmap,
// opaqueBackground, scrollRect) and of the movie's quality (_quality,
// _highquality), all through the Clip interface.
#include "swf/avm1/builtins_clip_look.h"

#include <array>
#include <cmath>

#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::array<std::string_view, 14> kBlendNames = {
    "normal",     "layer", "multiply", "screen", "lighten", "darken",  "difference",
    "add",        "subtract", "invert", "alpha", "erase",   "overlay", "hardlight"};
constexpr std::array<std::string_view, 4> kQualityNames = {"LOW", "MEDIUM", "HIGH", "BEST"};

// Flash 8's names: a movie of an older version sees ordinary members.
bool IsLookName(Runtime& rt, std::string_view name, std::string_view look) {
  return rt.version >= 8 && NamesEqual(name, look, rt.caseSensitive);
}

double NumberMember(Runtime& rt, Object* o, std::string_view name) {
  Value v;
  return rt.TryGet(o, name, v) ? rt.ToNumber(v) : std::nan("");
}

}  // namespace

bool GetClipLook(Runtime& rt, Clip& clip, std::string_view name, Value& out) {
  if (NamesEqual(name, "_quality", false)) {
    out = rt.Str(std::string(kQualityNames[static_cast<std::size_t>(clip.GetQuality())]));
    return true;
  }
  if (NamesEqual(name, "_highquality", false)) {
    const Quality q = clip.GetQuality();
    out = Value::Number(q == Quality::Low ? 0 : q == Quality::Best ? 2 : 1);
    return true;
  }
  if (clip.Kind() != ClipKind::MovieClip) return false;
  if (IsLookName(rt, name, "blendMode")) {
    out = rt.Str(std::string(kBlendNames[static_cast<std::size_t>(clip.GetBlendMode())]));
  } else if (IsLookName(rt, name, "cacheAsBitmap")) {
    out = Value::Bool(clip.GetCacheAsBitmap());
  } else if (IsLookName(rt, name, "opaqueBackground")) {
    const auto colour = clip.GetOpaqueBackground();
    out = colour ? Value::Number(*colour) : Value();
  } else if (IsLookName(rt, name, "scrollRect")) {
    const auto rect = clip.GetScrollRect();
    if (!rect) {
      out = Value();
      return true;
    }
    Object* o = rt.NewObject();
    rt.SetMember(Value::Obj(o), "x", Value::Number(rect->x));
    rt.SetMember(Value::Obj(o), "y", Value::Number(rect->y));
    rt.SetMember(Value::Obj(o), "width", Value::Number(rect->width));
    rt.SetMember(Value::Obj(o), "height", Value::Number(rect->height));
    out = Value::Obj(o);
  } else {
    return false;
  }
  return true;
}

bool SetClipLook(Runtime& rt, Clip& clip, std::string_view name, Value v) {
  if (NamesEqual(name, "_quality", false)) {
    const std::string text = rt.ToString(v);
    for (std::size_t i = 0; i < kQualityNames.size(); ++i)
      if (NamesEqual(text, kQualityNames[i], false)) clip.SetQuality(static_cast<Quality>(i));
    return true;  // any other text leaves the quality as it was
  }
  if (NamesEqual(name, "_highquality", false)) {
    const double n = std::trunc(rt.ToNumber(v));
    if (!std::isnan(n)) clip.SetQuality(n == 0 ? Quality::Low : n >= 2 ? Quality::Best : Quality::High);
    return true;
  }
  if (clip.Kind() != ClipKind::MovieClip) return false;
  if (IsLookName(rt, name, "blendMode")) {
    // A name, or the mode's number; anything else leaves it as it was.
    if (v.IsString()) {
      const std::string text = rt.ToString(v);
      for (std::size_t i = 0; i < kBlendNames.size(); ++i)
        if (text == kBlendNames[i]) clip.SetBlendMode(static_cast<BlendMode>(i));
    } else {
      const double n = rt.ToNumber(v);
      if (n >= 1 && n <= 14) clip.SetBlendMode(BlendModeOfFile(static_cast<std::uint8_t>(n)));
    }
  } else if (IsLookName(rt, name, "cacheAsBitmap")) {
    clip.SetCacheAsBitmap(rt.ToBoolean(v));
  } else if (IsLookName(rt, name, "opaqueBackground")) {
    if (v.IsNullish()) clip.SetOpaqueBackground(std::nullopt);
    else clip.SetOpaqueBackground(ToUint32(rt.ToNumber(v)) & 0xFFFFFFu);
  } else if (IsLookName(rt, name, "scrollRect")) {
    Object* o = v.AsObject();
    if (!o) {
      clip.SetScrollRect(std::nullopt);
      return true;
    }
    clip.SetScrollRect(PixelRect{NumberMember(rt, o, "x"), NumberMember(rt, o, "y"), NumberMember(rt, o, "width"),
                                 NumberMember(rt, o, "height")});
  } else {
    return false;
  }
  return true;
}

}  // namespace dc::swf::avm1

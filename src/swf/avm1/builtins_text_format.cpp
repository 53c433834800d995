// TextFormat: its fields as accessors on the prototype that coerce what a
// script sets as Flash does (sizes and indents rounded half to even into 32
// bits, margins never negative, colours wrapped to 32 bits, an unknown
// alignment ignored, null and undefined unsetting the rest), and the constructor's
// arguments in order (its sizes, margins, indent and leading truncated
// instead, margins kept negative).
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/text_format_object.h"

namespace dc::swf::avm1 {
namespace {

enum class F {
  Font, Size, Color, Bold, Italic, Underline, Url, Target, Align, LeftMargin, RightMargin, Indent, Leading,
  BlockIndent, TabStops, Bullet, Kerning, LetterSpacing, Display
};

struct FieldName {
  const char* name;
  F field;
};
// The constructor's arguments come first, in its order.
constexpr FieldName kFields[] = {
    {"font", F::Font},           {"size", F::Size},
    {"color", F::Color},         {"bold", F::Bold},
    {"italic", F::Italic},       {"underline", F::Underline},
    {"url", F::Url},             {"target", F::Target},
    {"align", F::Align},         {"leftMargin", F::LeftMargin},
    {"rightMargin", F::RightMargin}, {"indent", F::Indent},
    {"leading", F::Leading},     {"blockIndent", F::BlockIndent},
    {"tabStops", F::TabStops},   {"bullet", F::Bullet},
    {"kerning", F::Kerning},     {"letterSpacing", F::LetterSpacing},
    {"display", F::Display},
};
constexpr std::size_t kConstructorArgs = 13;

struct AlignName {
  const char* name;
  TextAlign align;
};
constexpr AlignName kAligns[] = {{"left", TextAlign::Left},
                                 {"right", TextAlign::Right},
                                 {"center", TextAlign::Center},
                                 {"justify", TextAlign::Justify}};

std::string CharPrefix(const std::string& utf8, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t chars = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
    if (chars++ == count) break;
  }
  return utf8.substr(0, i);
}

// A 32-bit integer as the player's conversion makes it: half to even, and
// the integer indefinite for what does not fit.
double RoundInt(double v) {
  if (!std::isfinite(v)) return std::numeric_limits<std::int32_t>::min();
  const double r = std::nearbyint(v);
  if (r < -2147483648.0 || r > 2147483647.0) return std::numeric_limits<std::int32_t>::min();
  return r;
}

std::optional<std::vector<double>> TabStopsOf(Runtime& rt, Value v) {
  Object* o = v.AsObject();
  if (!o) return std::nullopt;
  std::vector<double> stops;
  if (o->cls == ObjectClass::Array) {
    for (const Value& e : static_cast<ArrayObject*>(o)->Values(rt)) stops.push_back(RoundInt(rt.ToNumber(e)));
    return stops;
  }
  // Anything else with a length reads as an array does.
  const double length = rt.ToNumber(rt.GetMember(v, "length"));
  if (!(length >= 0)) return std::vector<double>{RoundInt(rt.ToNumber(v))};
  const std::size_t n = static_cast<std::size_t>(std::min(length, 1024.0));
  rt.CountWork(n);
  for (std::size_t i = 0; i < n; ++i)
    stops.push_back(RoundInt(rt.ToNumber(rt.GetMember(v, std::to_string(i)))));
  return stops;
}

template <F Field>
Value Get(Runtime& rt, Value self, std::span<const Value>) {
  TextFormatObject* t = AsTextFormat(self);
  if (!t) return Value();
  const FieldFormat& f = t->format;
  const auto num = [](const std::optional<double>& d) { return d ? Value::Number(*d) : Value::Null(); };
  const auto flag = [](const std::optional<bool>& b) { return b ? Value::Bool(*b) : Value::Null(); };
  const auto str = [&rt](const std::optional<std::string>& s) { return s ? rt.Str(*s) : Value::Null(); };
  switch (Field) {
    case F::Font: return str(f.font);
    case F::Size: return num(f.size);
    case F::Color: return f.color ? Value::Number(*f.color) : Value::Null();
    case F::Bold: return flag(f.bold);
    case F::Italic: return flag(f.italic);
    case F::Underline: return flag(f.underline);
    case F::Url: return str(f.url);
    case F::Target: return str(f.target);
    case F::Align:
      if (f.align)
        for (const AlignName& a : kAligns)
          if (a.align == *f.align) return rt.Str(a.name);
      return Value::Null();
    case F::LeftMargin: return num(f.leftMargin);
    case F::RightMargin: return num(f.rightMargin);
    case F::Indent: return num(f.indent);
    case F::Leading: return num(f.leading);
    case F::BlockIndent: return num(f.blockIndent);
    case F::TabStops: {
      if (!f.tabStops) return Value::Null();
      std::vector<Value> values;
      for (double d : *f.tabStops) values.push_back(Value::Number(d));
      return Value::Obj(rt.NewArray(values));
    }
    case F::Bullet: return flag(f.bullet);
    case F::Kerning: return flag(f.kerning);
    case F::LetterSpacing: return num(f.letterSpacing);
    case F::Display: return rt.Str(f.display.value_or("block"));
  }
  return Value();
}

template <F Field>
Value Set(Runtime& rt, Value self, std::span<const Value> args) {
  TextFormatObject* t = AsTextFormat(self);
  if (!t) return Value();
  const Value v = Arg(args, 0);
  FieldFormat& f = t->format;
  const bool unset = v.IsNullish();
  const auto str = [&](std::optional<std::string>& field) {
    field = unset ? std::nullopt : std::optional<std::string>(rt.ToString(v));
  };
  const auto flag = [&](std::optional<bool>& field) {
    field = unset ? std::nullopt : std::optional<bool>(rt.ToBoolean(v));
  };
  const auto integer = [&](std::optional<double>& field) {
    field = unset ? std::nullopt : std::optional<double>(RoundInt(rt.ToNumber(v)));
  };
  const auto margin = [&](std::optional<double>& field) {
    if (unset) return field.reset();
    const double n = rt.ToNumber(v);
    field = n >= 0 ? RoundInt(n) : 0.0;
  };
  switch (Field) {
    case F::Font:
      str(f.font);
      // Flash keeps a font name's first 64 characters.
      if (f.font) f.font = CharPrefix(*f.font, 64);
      break;
    case F::Size: integer(f.size); break;
    case F::Color:
      f.color = unset ? std::nullopt : std::optional<std::uint32_t>(static_cast<std::uint32_t>(ToInt32(rt.ToNumber(v))));
      break;
    case F::Bold: flag(f.bold); break;
    case F::Italic: flag(f.italic); break;
    case F::Underline: flag(f.underline); break;
    case F::Url: str(f.url); break;
    case F::Target: str(f.target); break;
    case F::Align: {
      // null and undefined are names of no alignment: it stays as it was.
      if (unset) break;
      const std::string name = rt.ToString(v);
      for (const AlignName& a : kAligns)
        if (NamesEqual(name, a.name, false)) f.align = a.align;
      break;
    }
    case F::LeftMargin: margin(f.leftMargin); break;
    case F::RightMargin: margin(f.rightMargin); break;
    case F::Indent: integer(f.indent); break;
    case F::Leading: integer(f.leading); break;
    case F::BlockIndent: integer(f.blockIndent); break;
    case F::TabStops:
      if (unset) f.tabStops.reset();
      else if (auto stops = TabStopsOf(rt, v)) f.tabStops = std::move(stops);
      break;
    case F::Bullet: flag(f.bullet); break;
    case F::Kerning: flag(f.kerning); break;
    case F::LetterSpacing:
      f.letterSpacing = unset ? std::nullopt : std::optional<double>(rt.ToNumber(v));
      break;
    case F::Display: break;
  }
  return Value();
}

template <std::size_t... I>
void DefineAccessors(Runtime& rt, Object* proto, std::index_sequence<I...>) {
  const NativeFunction getters[] = {Get<kFields[I].field>...};
  const NativeFunction setters[] = {Set<kFields[I].field>...};
  for (std::size_t i = 0; i < sizeof...(I); ++i) {
    rt.DefineAccessor(proto, kFields[i].name, Value::Obj(rt.NewNative(getters[i])),
                      Value::Obj(rt.NewNative(setters[i])), 0);
  }
}

Value FormatConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  TextFormatObject* format = rt.heap.Make<TextFormatObject>(proto);
  const Value self = Value::Obj(format);
  for (std::size_t i = 0; i < kConstructorArgs && i < args.size(); ++i) {
    const F field = kFields[i].field;
    std::optional<double>* pixels = field == F::Size          ? &format->format.size
                                    : field == F::LeftMargin  ? &format->format.leftMargin
                                    : field == F::RightMargin ? &format->format.rightMargin
                                    : field == F::Indent      ? &format->format.indent
                                    : field == F::Leading     ? &format->format.leading
                                                              : nullptr;
    if (!pixels) rt.SetMember(self, kFields[i].name, args[i]);
    else if (args[i].IsNullish()) pixels->reset();
    else *pixels = static_cast<double>(ToInt32(rt.ToNumber(args[i])));
  }
  return self;
}

Value FormatCall(Runtime&, Value, std::span<const Value>) { return Value(); }

// The size of a text in this format; a width given (undefined is none)
// wraps it there.
Value GetTextExtent(Runtime& rt, Value self, std::span<const Value> args) {
  TextFormatObject* t = AsTextFormat(self);
  if (!t || args.empty() || !rt.root) return Value();
  const std::string text = rt.ToString(args[0]);
  std::optional<double> width;
  if (args.size() > 1 && !args[1].IsUndefined()) width = rt.ToNumber(args[1]);
  rt.CountWork(text.size());
  const std::optional<TextExtent> extent = rt.root->MeasureText(t->format, text, width);
  if (!extent) return Value();
  const Value out = Value::Obj(rt.NewObject());
  const std::pair<const char*, double> fields[] = {
      {"ascent", extent->ascent},
      {"descent", extent->descent},
      {"width", extent->width},
      {"height", extent->height},
      {"textFieldHeight", extent->textFieldHeight},
      {"textFieldWidth", extent->textFieldWidth},
  };
  for (const auto& [name, v] : fields) rt.SetMember(out, name, Value::Number(v));
  return out;
}

}  // namespace

Value MakeTextFormat(Runtime& rt, const FieldFormat& format) {
  TextFormatObject* t = rt.heap.Make<TextFormatObject>(rt.textFormatProto);
  t->format = format;
  return Value::Obj(t);
}

void InstallTextFormatBuiltins(Runtime& rt) {
  rt.textFormatProto = rt.NewObject();
  DefineAccessors(rt, rt.textFormatProto, std::make_index_sequence<std::size(kFields)>());
  rt.DefineMethod(rt.textFormatProto, "getTextExtent", GetTextExtent);
  DefineClass(rt, "TextFormat", rt.textFormatProto, FormatCall, FormatConstruct);
  InstallTextFieldBuiltins(rt);
}

}  // namespace dc::swf::avm1

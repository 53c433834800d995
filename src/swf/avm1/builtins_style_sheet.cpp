// TextField.StyleSheet: its styles kept as members a script can read (the
// styles as given in `_css`, each turned into a TextFormat by the sheet's
// own transform in `_styles`), CSS text read into them, and what a text
// field with the sheet reads a selector as.
#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/css_text.h"
#include "swf/avm1/text_format_object.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::string_view kGiven = "_css", kFormats = "_styles";

// One of the sheet's two tables, made on first need.
Value Table(Runtime& rt, Value self, std::string_view name, bool make) {
  const Value t = rt.GetMember(self, name);
  if (t.IsObject() || !make) return t;
  const Value made = Value::Obj(rt.NewObject());
  rt.SetMember(self, name, made);
  return made;
}

// A new object with `style`'s enumerable members (their values shared).
Value ShallowCopy(Runtime& rt, Value style) {
  Object* from = style.AsObject();
  if (!from) return Value::Null();
  const Value copy = Value::Obj(rt.NewObject());
  for (const std::string& name : rt.EnumerableNames(from)) rt.SetMember(copy, name, rt.GetMember(style, name));
  return copy;
}

// `style` kept under `name`, with its format from the sheet's transform.
void Keep(Runtime& rt, Value self, const std::string& name, Value style) {
  rt.SetMember(Table(rt, self, kGiven, true), name, style);
  const Value format = rt.CallMethod(self, "transform", std::span<const Value>(&style, 1));
  rt.SetMember(Table(rt, self, kFormats, true), name, format);
}

Value SetStyle(Runtime& rt, Value self, std::span<const Value> args) {
  Keep(rt, self, rt.ToString(Arg(args, 0)), ShallowCopy(rt, Arg(args, 1)));
  return Value();
}

Value GetStyle(Runtime& rt, Value self, std::span<const Value> args) {
  const Value given = Table(rt, self, kGiven, false);
  if (!given.IsObject()) return Value::Null();
  return ShallowCopy(rt, rt.GetMember(given, rt.ToString(Arg(args, 0))));
}

Value GetStyleNames(Runtime& rt, Value self, std::span<const Value>) {
  std::vector<Value> names;
  if (Object* given = Table(rt, self, kGiven, false).AsObject())
    for (const std::string& name : rt.EnumerableNames(given)) names.push_back(rt.Str(name));
  return Value::Obj(rt.NewArray(names));
}

Value Clear(Runtime& rt, Value self, std::span<const Value>) {
  rt.SetMember(self, kGiven, Value::Obj(rt.NewObject()));
  rt.SetMember(self, kFormats, Value::Obj(rt.NewObject()));
  return Value();
}

// parseCSS(text): every rule kept, or none when the text is malformed.
Value ParseCssText(Runtime& rt, Value self, std::span<const Value> args) {
  const std::string text = rt.ToString(Arg(args, 0));
  rt.CountWork(text.size());
  const std::optional<std::vector<CssRule>> rules = ParseCss(text);
  if (!rules) return Value::Bool(false);
  for (const CssRule& rule : *rules) {
    const Value style = Value::Obj(rt.NewObject());
    for (const auto& [name, value] : rule.properties) rt.SetMember(style, name, rt.Str(value));
    Keep(rt, self, rule.selector, style);
  }
  return Value::Bool(true);
}

Value Transform(Runtime& rt, Value, std::span<const Value> args) {
  const Value style = Arg(args, 0);
  if (style.IsNullish()) return Value::Null();
  return MakeTextFormat(rt, CssFormat([&](std::string_view name) {
    const Value v = rt.GetMember(style, name);
    return CssValue{rt.ToString(v), rt.ToBoolean(v), v.type == ValueType::String};
  }));
}

// A sheet loads nothing from a clock: a request with somewhere to go is
// started and never answered.
Value Load(Runtime& rt, Value self, std::span<const Value> args) {
  if (Arg(args, 0).IsNullish()) return Value::Bool(false);
  rt.SetMember(self, "loaded", Value::Bool(false));
  return Value::Bool(true);
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
Value Construct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

}  // namespace

StyleLookup StyleSheetLookup(Runtime& rt, Value sheet) {
  return [&rt, sheet](std::string_view selector) -> std::optional<FieldFormat> {
    const Value formats = rt.GetMember(sheet, kFormats);
    Object* table = formats.AsObject();
    if (!table) return std::nullopt;
    Value format;
    if (!rt.TryGet(table, selector, format)) {
      for (const std::string& name : rt.EnumerableNames(table))
        if (NamesEqual(name, selector, false)) {
          format = rt.GetMember(formats, name);
          break;
        }
    }
    const TextFormatObject* t = AsTextFormat(format);
    return t ? std::optional<FieldFormat>(t->format) : std::nullopt;
  };
}

void InstallStyleSheet(Runtime& rt, Object* textField) {
  Object* proto = rt.NewObject();
  FunctionObject* ctor = rt.NewNative(Nothing, Construct);
  rt.DefineValue(ctor, "prototype", Value::Obj(proto), kDontEnum | kDontDelete);
  rt.DefineValue(proto, "constructor", Value::Obj(ctor));
  struct Method {
    const char* name;
    NativeFunction fn;
  };
  const Method methods[] = {
      {"transform", Transform},         {"setStyle", SetStyle}, {"parseCSS", ParseCssText},
      {"parse", ParseCssText},          {"load", Load},         {"getStyleNames", GetStyleNames},
      {"getStyle", GetStyle},           {"clear", Clear},
  };
  for (const Method& m : methods)
    rt.DefineValue(proto, m.name, Value::Obj(rt.NewNative(m.fn)), kDontEnum | kDontDelete);
  rt.DefineValue(textField, "StyleSheet", Value::Obj(ctor));
}

}  // namespace dc::swf::avm1

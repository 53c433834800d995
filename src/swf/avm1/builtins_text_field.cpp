// TextField: its properties as accessors on the prototype (listed by
// for-in; those Flash 8 added are hidden from older movies, where a set
// makes a plain member instead), its methods, and a bound field's text read
// fresh from its variable.
#include <cmath>
#include <utility>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/text_format_object.h"

namespace dc::swf::avm1 {
namespace {

using P = FieldProperty;

// How a script's value is converted for a property.
enum class Kind { Bool, Number, Colour, String, AutoSize, Optional, ReadOnly, Script };

struct Prop {
  const char* name;
  P property;
  Kind kind;
  int version;  // the first SWF version that sees it
};

// In for-in order, which lists the newest first: they are made last to
// first.
constexpr Prop kProps[] = {
    {"styleSheet", P::Text, Kind::Script, 7},
    {"mouseWheelEnabled", P::MouseWheelEnabled, Kind::Bool, 0},
    {"condenseWhite", P::CondenseWhite, Kind::Bool, 0},
    {"restrict", P::Restrict, Kind::String, 0},
    {"textHeight", P::TextHeight, Kind::ReadOnly, 0},
    {"textWidth", P::TextWidth, Kind::ReadOnly, 0},
    {"bottomScroll", P::BottomScroll, Kind::ReadOnly, 0},
    {"length", P::Length, Kind::ReadOnly, 0},
    {"selectable", P::Selectable, Kind::Bool, 0},
    {"multiline", P::Multiline, Kind::Bool, 0},
    {"password", P::Password, Kind::Bool, 0},
    {"wordWrap", P::WordWrap, Kind::Bool, 0},
    {"background", P::Background, Kind::Bool, 0},
    {"border", P::Border, Kind::Bool, 0},
    {"html", P::Html, Kind::Bool, 0},
    {"embedFonts", P::EmbedFonts, Kind::Bool, 0},
    {"maxChars", P::MaxChars, Kind::Number, 0},
    {"maxhscroll", P::MaxHScroll, Kind::ReadOnly, 0},
    {"hscroll", P::HScroll, Kind::Number, 0},
    {"variable", P::Variable, Kind::String, 0},
    {"htmlText", P::HtmlText, Kind::String, 0},
    {"type", P::Type, Kind::String, 0},
    {"text", P::Text, Kind::String, 0},
    {"autoSize", P::AutoSize, Kind::AutoSize, 0},
    {"tabIndex", P::TabIndex, Kind::Optional, 0},
    {"textColor", P::TextColor, Kind::Colour, 0},
    {"backgroundColor", P::BackgroundColor, Kind::Colour, 0},
    {"borderColor", P::BorderColor, Kind::Colour, 0},
    {"maxscroll", P::MaxScroll, Kind::ReadOnly, 0},
    {"scroll", P::Scroll, Kind::Number, 0},
    {"filters", P::Text, Kind::Script, 8},
    {"sharpness", P::Sharpness, Kind::Number, 8},
    {"thickness", P::Thickness, Kind::Number, 8},
    {"antiAliasType", P::AntiAliasType, Kind::String, 8},
    {"gridFitType", P::GridFitType, Kind::String, 8},
};

// Script values a field holds for scripts only, kept as members no script
// can name.
constexpr std::string_view kHeldStyleSheet("\0styleSheet", 11);
constexpr std::string_view kHeldFilters("\0filters", 8);

TextFieldHost* HostOf(Value self) {
  Clip* c = Runtime::ClipOf(self);
  return c ? c->TextField() : nullptr;
}

Value ToScript(Runtime& rt, const FieldValue& v) {
  switch (v.index()) {
    case 1: return Value::Null();
    case 2: return Value::Bool(std::get<bool>(v));
    case 3: return Value::Number(std::get<double>(v));
    case 4: return rt.Str(std::get<std::string>(v));
    default: return Value();
  }
}

// A bound field shows its variable as it is now, not as it was when the
// frame began.
void RefreshBound(Runtime& rt, Value self, Clip& field) {
  Object* o = self.AsObject();
  if (!o || o->cls != ObjectClass::Clip || !static_cast<ClipObject*>(o)->bound) return;
  const std::string name = field.VariableName();
  if (name.empty() || !field.Parent()) return;
  Value holder;
  std::string_view member;
  if (!rt.BoundVariable(rt.ObjectFor(*field.Parent()), name, holder, member) || holder.o->cls != ObjectClass::Clip)
    return;
  const Value v = rt.GetMember(holder, member);
  if (v.IsUndefined()) return;
  std::string text = rt.ToString(v);
  auto* clip = static_cast<ClipObject*>(o);
  if (text != clip->boundText) {
    clip->boundText = text;
    rt.TakeFieldText(field, text.size(), [&] { field.SetText(text); });
  }
}

// A field's text set by a script goes to its variable too.
void WriteBound(Runtime& rt, Value self, Clip& field) {
  Object* o = self.AsObject();
  if (!o || o->cls != ObjectClass::Clip || !static_cast<ClipObject*>(o)->bound) return;
  const std::string name = field.VariableName();
  Value holder;
  std::string_view member;
  if (name.empty() || !field.Parent() || !rt.BoundVariable(rt.ObjectFor(*field.Parent()), name, holder, member))
    return;
  const std::string text = field.Text();
  static_cast<ClipObject*>(o)->boundText = text;
  rt.SetMember(holder, member, rt.Str(text));
}

Value HeldStyleSheet(Runtime& rt, Value self) {
  Value held;
  if (!rt.TryGet(self.AsObject(), kHeldStyleSheet, held)) return Value();
  return held;
}

// A field keeps an object (but a clip) as its style sheet; anything else
// takes its sheet away.
Value SetStyleSheet(Runtime& rt, Value self, TextFieldHost& host, Value v) {
  Object* o = v.AsObject();
  const Value sheet = o && o->cls != ObjectClass::Clip ? v : Value();
  rt.DefineValue(self.AsObject(), kHeldStyleSheet, sheet);
  if (sheet.IsObject()) {
    const StyleLookup styles = StyleSheetLookup(rt, sheet);
    host.SetStyleSheet(&styles);
  } else {
    host.SetStyleSheet(nullptr);
  }
  rt.CountWork(host.TakeWork());
  return Value();
}

template <std::size_t I>
Value Get(Runtime& rt, Value self, std::span<const Value>) {
  constexpr Prop prop = kProps[I];
  if (rt.version < prop.version) return Value();
  TextFieldHost* host = HostOf(self);
  if (!host) return Value();
  if constexpr (prop.kind == Kind::Script) {
    const bool sheet = prop.name[0] == 's';
    Value held;
    if (!rt.TryGet(self.AsObject(), sheet ? kHeldStyleSheet : kHeldFilters, held)) held = Value();
    if (sheet) return held;
    std::vector<Value> copy;
    if (ArrayObject* a = AsArray(held)) copy = a->Values(rt);
    return Value::Obj(rt.NewArray(copy));
  }
  if (prop.property == P::Text || prop.property == P::HtmlText) {
    RefreshBound(rt, self, *Runtime::ClipOf(self));
    rt.CountWork(host->TextLength());
  }
  const Value out = ToScript(rt, host->GetProperty(prop.property));
  rt.CountWork(host->TakeWork());
  return out;
}

template <std::size_t I>
Value Set(Runtime& rt, Value self, std::span<const Value> args) {
  constexpr Prop prop = kProps[I];
  const Value v = Arg(args, 0);
  if (rt.version < prop.version) {
    // Hidden from this movie: the name is an ordinary member.
    if (Object* o = self.AsObject()) {
      if (Property* own = o->props.Find(prop.name, rt.caseSensitive)) own->value = v;
      else o->props.Add(prop.name, v, rt.caseSensitive);
    }
    return Value();
  }
  TextFieldHost* host = HostOf(self);
  if (!host) return Value();
  FieldValue value;
  switch (prop.kind) {
    case Kind::ReadOnly: return Value();
    case Kind::Script:
      if (prop.name[0] == 's') return SetStyleSheet(rt, self, *host, v);
      rt.DefineValue(self.AsObject(), kHeldFilters, v);
      return Value();
    case Kind::Bool: value = rt.ToBoolean(v); break;
    case Kind::Number: value = rt.ToNumber(v); break;
    case Kind::Colour: value = static_cast<double>(ToUint32(rt.ToNumber(v)) & 0xFFFFFFu); break;
    case Kind::Optional:
      // A field keeps its tab index as an unsigned 32-bit number: -4 reads
      // back as 4294967292, a text or an object as 0.
      if (!v.IsUndefined()) value = static_cast<double>(ToUint32(rt.ToNumber(v)));
      break;
    case Kind::AutoSize:
      if (v.type == ValueType::Boolean) value = v.b;
      else value = rt.ToString(v);
      break;
    case Kind::String:
      if (v.IsNull()) value = nullptr;
      else if (!v.IsUndefined() || prop.property == P::Text || prop.property == P::HtmlText) value = rt.ToString(v);
      break;
  }
  Clip& field = *Runtime::ClipOf(self);
  if (prop.property == P::Variable) {
    host->SetProperty(prop.property, value);
    auto* o = static_cast<ClipObject*>(self.AsObject());
    o->bound = false;
    rt.BindTextField(o);
    return Value();
  }
  if (const auto* text = std::get_if<std::string>(&value);
      text && (prop.property == P::Text || prop.property == P::HtmlText)) {
    // With a style sheet, either text is HTML in its styles.
    const Value sheet = HeldStyleSheet(rt, self);
    rt.TakeFieldText(field, text->size(), [&] {
      if (sheet.IsObject()) host->SetStyledHtml(*text, StyleSheetLookup(rt, sheet));
      else host->SetProperty(prop.property, value);
    });
  }
  else
    host->SetProperty(prop.property, value);
  rt.CountWork(host->TakeWork());
  if (prop.property == P::Text || prop.property == P::HtmlText) {
    rt.CountWork(host->TextLength());
    WriteBound(rt, self, field);
  }
  return Value();
}

template <std::size_t... I>
void DefineProperties(Runtime& rt, Object* proto, std::index_sequence<I...>) {
  const NativeFunction getters[] = {Get<I>...};
  const NativeFunction setters[] = {Set<I>...};
  // Made last to first: a for-in reads the newest first, in the table's order.
  for (std::size_t i = sizeof...(I); i-- > 0;) {
    rt.DefineAccessor(proto, kProps[i].name, Value::Obj(rt.NewNative(getters[i])),
                      Value::Obj(rt.NewNative(setters[i])), 0);
  }
}

// ---- Methods ----

std::size_t Index(Runtime& rt, Value v, std::size_t length) {
  const double n = rt.ToNumber(v);
  if (std::isnan(n) || n < 0) return 0;
  return static_cast<std::size_t>(std::min(std::trunc(n), static_cast<double>(length)));
}

// The range the arguments before the last name: none the whole text, one
// a character, two a span.
std::pair<std::size_t, std::size_t> Range(Runtime& rt, std::span<const Value> args, std::size_t given,
                                          std::size_t length) {
  if (given == 0) return {0, length};
  const std::size_t begin = Index(rt, args[0], length);
  if (given == 1) return {begin, std::min(begin + 1, length)};
  return {begin, std::max(begin, Index(rt, args[1], length))};
}

Value GetTextFormat(Runtime& rt, Value self, std::span<const Value> args) {
  TextFieldHost* host = HostOf(self);
  if (!host) return Value();
  // Formats by range cost the field's length (its runs), counted as work.
  rt.CountWork(host->TextLength());
  const std::size_t given = std::min<std::size_t>(args.size(), 2);
  const auto [begin, end] = Range(rt, args, given, host->TextLength());
  return MakeTextFormat(rt, host->GetFormat(begin, end));
}

Value SetTextFormat(Runtime& rt, Value self, std::span<const Value> args) {
  TextFieldHost* host = HostOf(self);
  if (!host || args.empty()) return Value();
  TextFormatObject* format = AsTextFormat(args.back());
  if (!format) return Value();
  rt.CountWork(host->TextLength());
  const std::size_t given = std::min<std::size_t>(args.size() - 1, 2);
  const auto [begin, end] = Range(rt, args, given, host->TextLength());
  host->SetFormat(begin, end, format->format);
  rt.CountWork(host->TakeWork());
  return Value();
}

Value GetNewTextFormat(Runtime& rt, Value self, std::span<const Value>) {
  TextFieldHost* host = HostOf(self);
  return host ? MakeTextFormat(rt, host->GetNewFormat()) : Value();
}

Value SetNewTextFormat(Runtime&, Value self, std::span<const Value> args) {
  TextFieldHost* host = HostOf(self);
  TextFormatObject* format = AsTextFormat(Arg(args, 0));
  if (host && format) host->SetNewFormat(format->format);
  return Value();
}

Value ReplaceText(Runtime& rt, Value self, std::span<const Value> args) {
  TextFieldHost* host = HostOf(self);
  if (!host || args.size() < 3) return Value();
  const std::size_t length = host->TextLength();
  rt.CountWork(length);
  const std::size_t begin = Index(rt, args[0], length), end = std::max(begin, Index(rt, args[1], length));
  const std::string text = rt.ToString(args[2]);
  if (Clip* field = Runtime::ClipOf(self))
    rt.TakeFieldText(*field, length + text.size(), [&] { host->ReplaceText(begin, end, text); });
  rt.CountWork(host->TakeWork());
  return Value();
}

// replaceSel(text): the selection's characters become `text`, and the
// caret goes after it.
Value ReplaceSel(Runtime& rt, Value self, std::span<const Value> args) {
  TextFieldHost* host = HostOf(self);
  Clip* field = Runtime::ClipOf(self);
  if (!host || !field || args.empty()) return Value();
  const std::size_t length = host->TextLength();
  rt.CountWork(length);
  const FieldSelection sel = FieldSelectionOf(rt, *field);
  const std::string text = rt.ToString(args[0]);
  rt.TakeFieldText(*field, length + text.size(), [&] { host->ReplaceText(sel.begin, sel.end, text); });
  rt.CountWork(host->TakeWork());
  const std::size_t caret = sel.begin + (host->TextLength() + (sel.end - sel.begin) - length);
  SetFieldSelection(rt, *field, {caret, caret});
  return Value();
}

Value RemoveTextField(Runtime&, Value self, std::span<const Value>) {
  if (Clip* c = Runtime::ClipOf(self); c && c->Kind() == ClipKind::TextField) c->Remove();
  return Value();
}

Value GetDepth(Runtime&, Value self, std::span<const Value>) {
  Clip* c = Runtime::ClipOf(self);
  return c ? Value::Number(c->Depth()) : Value();
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

Value GetFontList(Runtime& rt, Value, std::span<const Value>) {
  const Value names[] = {rt.Str("_sans"), rt.Str("_serif"), rt.Str("_typewriter")};
  return Value::Obj(rt.NewArray(names));
}

Value FieldConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

}  // namespace

void InstallTextFieldBuiltins(Runtime& rt) {
  Object* t = rt.textFieldProto = rt.NewObject();
  DefineProperties(rt, t, std::make_index_sequence<std::size(kProps)>());
  struct Method {
    const char* name;
    NativeFunction fn;
  };
  const Method methods[] = {
      {"replaceSel", ReplaceSel},          {"getTextFormat", GetTextFormat},
      {"setTextFormat", SetTextFormat}, {"removeTextField", RemoveTextField},
      {"getNewTextFormat", GetNewTextFormat}, {"setNewTextFormat", SetNewTextFormat},
      {"getDepth", GetDepth},           {"replaceText", ReplaceText},
  };
  for (const Method& m : methods) rt.DefineMethod(t, m.name, m.fn);
  FunctionObject* ctor = DefineClass(rt, "TextField", t, Nothing, FieldConstruct);
  rt.DefineMethod(ctor, "getFontList", GetFontList);
  InstallStyleSheet(rt, ctor);
}

}  // namespace dc::swf::avm1

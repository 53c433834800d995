// TextFormat, and the text field methods and property that use it. A
// format applies to the whole field: a clock sets a field's text whole
// every frame, so a format for part of it, or for text typed later, is
// the field's format too. Of its properties the field keeps the colour, the
// size and the alignment; the others are kept on the object only.
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/clip.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

// The constructor's arguments, in order.
constexpr const char* kFormatFields[] = {"font",  "size",      "color",       "bold",   "italic", "underline", "url",
                                         "target", "align", "leftMargin", "rightMargin", "indent", "leading"};

struct AlignName {
  const char* name;
  TextAlign align;
};
constexpr AlignName kAligns[] = {{"left", TextAlign::Left},
                                 {"right", TextAlign::Right},
                                 {"center", TextAlign::Center},
                                 {"justify", TextAlign::Justify}};

Value FormatConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  Object* format = rt.NewObject(proto);
  for (std::size_t i = 0; i < std::size(kFormatFields); ++i)
    rt.SetMember(Value::Obj(format), kFormatFields[i], i < args.size() ? args[i] : Value::Null());
  return Value::Obj(format);
}

Value FormatCall(Runtime&, Value, std::span<const Value>) { return Value(); }

Rgba ColourOf(std::int32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb),
          255};
}
double NumberOf(Rgba c) { return (c.r << 16) | (c.g << 8) | c.b; }

// What a TextFormat object sets: the members it holds that are not null.
FieldFormat FormatOf(Runtime& rt, Object* given) {
  FieldFormat f;
  Value v;
  if (rt.TryGet(given, "color", v) && !v.IsNullish()) f.color = ColourOf(ToInt32(rt.ToNumber(v)));
  if (rt.TryGet(given, "size", v) && !v.IsNullish()) {
    const double size = rt.ToNumber(v);
    if (std::isfinite(size) && size > 0) f.size = size;
  }
  if (rt.TryGet(given, "align", v) && !v.IsNullish()) {
    const std::string name = rt.ToString(v);
    for (const AlignName& a : kAligns)
      if (NamesEqual(name, a.name, false)) f.align = a.align;
  }
  return f;
}

// setTextFormat(format), setTextFormat(index, format),
// setTextFormat(begin, end, format), setNewTextFormat(format): the last
// argument is the format.
Value SetFormat(Runtime& rt, Value self, std::span<const Value> args) {
  Clip* field = Runtime::ClipOf(self);
  Object* given = args.empty() ? nullptr : args.back().AsObject();
  if (field && given) field->SetFieldFormat(FormatOf(rt, given));
  return Value();
}

Value GetFormat(Runtime& rt, Value self, std::span<const Value>) {
  Clip* field = Runtime::ClipOf(self);
  if (!field) return Value();
  const FieldFormat f = field->GetFieldFormat();
  const Value format = FormatConstruct(rt, rt.textFormatProto, {});
  if (f.color) rt.SetMember(format, "color", Value::Number(NumberOf(*f.color)));
  if (f.size) rt.SetMember(format, "size", Value::Number(*f.size));
  if (f.align)
    for (const AlignName& a : kAligns)
      if (a.align == *f.align) rt.SetMember(format, "align", rt.Str(a.name));
  return format;
}

}  // namespace

bool GetTextFieldFormatProperty(Runtime& rt, Clip& field, std::string_view name, Value& out) {
  if (!NamesEqual(name, "textColor", rt.caseSensitive)) return false;
  const FieldFormat f = field.GetFieldFormat();
  out = Value::Number(f.color ? NumberOf(*f.color) : 0);
  return true;
}

bool SetTextFieldFormatProperty(Runtime& rt, Clip& field, std::string_view name, Value v) {
  if (!NamesEqual(name, "textColor", rt.caseSensitive)) return false;
  FieldFormat f;
  f.color = ColourOf(ToInt32(rt.ToNumber(v)));
  field.SetFieldFormat(f);
  return true;
}

void InstallTextFormatBuiltins(Runtime& rt) {
  rt.textFormatProto = rt.NewObject();
  DefineClass(rt, "TextFormat", rt.textFormatProto, FormatCall, FormatConstruct);
  for (const char* name : {"setTextFormat", "setNewTextFormat"}) rt.DefineMethod(rt.textFieldProto, name, SetFormat);
  for (const char* name : {"getTextFormat", "getNewTextFormat"}) rt.DefineMethod(rt.textFieldProto, name, GetFormat);
}

}  // namespace dc::swf::avm1

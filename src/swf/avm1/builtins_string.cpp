// String: the constructor, String.fromCharCode and the methods, indexing
// by character.
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1 {
namespace {

std::u32string ThisText(Runtime& rt, Value self) {
  std::u32string text = DecodeText(rt.ToString(PrimitiveOf(self)));
  rt.CountWork(text.size());
  return text;
}

Value Text(Runtime& rt, std::u32string_view chars) { return rt.Str(EncodeText(chars)); }

// An index argument as a whole number, NaN as `fallback`.
double Index(Runtime& rt, std::span<const Value> args, std::size_t i, double fallback) {
  if (i >= args.size() || args[i].IsUndefined()) return fallback;
  const double v = rt.ToNumber(args[i]);
  return std::isnan(v) ? 0 : std::trunc(v);
}

std::size_t Clamp(double v, std::size_t size) {
  if (v <= 0) return 0;
  return v >= static_cast<double>(size) ? size : static_cast<std::size_t>(v);
}

Value StringCall(Runtime& rt, Value, std::span<const Value> args) {
  return args.empty() ? rt.Str("") : rt.ToStringValue(args[0]);
}

Value StringConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  return Value::Obj(rt.heap.Make<BoxObject>(proto, ObjectClass::String, StringCall(rt, Value(), args)));
}

Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) { return rt.ToStringValue(PrimitiveOf(self)); }

Value CharAt(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  const double i = Index(rt, args, 0, 0);
  if (i < 0 || i >= static_cast<double>(s.size())) return rt.Str("");
  return Text(rt, std::u32string_view(s).substr(static_cast<std::size_t>(i), 1));
}

Value CharCodeAt(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  const double i = Index(rt, args, 0, 0);
  if (i < 0 || i >= static_cast<double>(s.size())) return Value::Number(std::nan(""));
  return Value::Number(s[static_cast<std::size_t>(i)]);
}

Value IndexOf(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  const std::u32string what = DecodeText(rt.ToString(Arg(args, 0)));
  const std::size_t from = Clamp(Index(rt, args, 1, 0), s.size());
  const std::size_t at = s.find(what, from);
  return Value::Number(at == std::u32string::npos ? -1 : static_cast<double>(at));
}

Value LastIndexOf(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  const std::u32string what = DecodeText(rt.ToString(Arg(args, 0)));
  const double from = Index(rt, args, 1, static_cast<double>(s.size()));
  if (from < 0) return Value::Number(-1);
  const std::size_t at = s.rfind(what, Clamp(from, s.size()));
  return Value::Number(at == std::u32string::npos ? -1 : static_cast<double>(at));
}

Value Substr(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  const double size = static_cast<double>(s.size());
  double start = Index(rt, args, 0, 0);
  if (start < 0) start = std::max(0.0, size + start);
  const double length = Index(rt, args, 1, size);
  if (start >= size || length <= 0) return rt.Str("");
  return Text(rt, std::u32string_view(s).substr(static_cast<std::size_t>(start), Clamp(length, s.size())));
}

Value Substring(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  std::size_t a = Clamp(Index(rt, args, 0, 0), s.size());
  std::size_t b = Clamp(Index(rt, args, 1, static_cast<double>(s.size())), s.size());
  if (a > b) std::swap(a, b);
  return Text(rt, std::u32string_view(s).substr(a, b - a));
}

Value Slice(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  const double size = static_cast<double>(s.size());
  double a = Index(rt, args, 0, 0), b = Index(rt, args, 1, size);
  if (a < 0) a += size;
  if (b < 0) b += size;
  const std::size_t from = Clamp(a, s.size()), to = Clamp(b, s.size());
  if (from >= to) return rt.Str("");
  return Text(rt, std::u32string_view(s).substr(from, to - from));
}

Value Split(Runtime& rt, Value self, std::span<const Value> args) {
  const std::u32string s = ThisText(rt, self);
  ArrayObject* out = rt.NewArray();
  const double limit = Index(rt, args, 1, 4294967295.0);
  if (limit <= 0) return Value::Obj(out);
  std::vector<Value> parts;
  const auto add = [&](std::u32string_view part) {
    if (static_cast<double>(parts.size()) >= limit) return false;
    if (!rt.heap.Allows(part.size() + sizeof(StringCell))) throw ScriptStop{StopReason::Memory};
    parts.push_back(Text(rt, part));
    return true;
  };
  if (Arg(args, 0).IsUndefined()) {
    add(s);
  } else {
    const std::u32string sep = DecodeText(rt.ToString(args[0]));
    if (sep.empty()) {
      for (std::size_t i = 0; i < s.size(); ++i)
        if (!add(std::u32string_view(s).substr(i, 1))) break;
    } else {
      std::size_t from = 0;
      while (true) {
        const std::size_t at = s.find(sep, from);
        if (!add(std::u32string_view(s).substr(from, at == std::u32string::npos ? std::u32string::npos : at - from)) ||
            at == std::u32string::npos)
          break;
        from = at + sep.size();
      }
    }
  }
  out->Resize(rt, parts.size());
  std::copy(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(out->elements.size()), out->elements.begin());
  return Value::Obj(out);
}

char32_t Upper(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  return c;
}
char32_t Lower(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  return c;
}

Value ToUpperCase(Runtime& rt, Value self, std::span<const Value>) {
  std::u32string s = ThisText(rt, self);
  for (char32_t& c : s) c = Upper(c);
  return Text(rt, s);
}

Value ToLowerCase(Runtime& rt, Value self, std::span<const Value>) {
  std::u32string s = ThisText(rt, self);
  for (char32_t& c : s) c = Lower(c);
  return Text(rt, s);
}

Value Concat(Runtime& rt, Value self, std::span<const Value> args) {
  std::string out = rt.ToString(PrimitiveOf(self));
  for (const Value& v : args) {
    out += rt.ToString(v);
    if (!rt.heap.Allows(out.size())) throw ScriptStop{StopReason::Memory};
  }
  return rt.Str(std::move(out));
}

Value FromCharCode(Runtime& rt, Value, std::span<const Value> args) {
  std::string out;
  for (const Value& v : args) {
    const double n = rt.ToNumber(v);
    const std::uint32_t code = std::isfinite(n) ? static_cast<std::uint32_t>(static_cast<std::int64_t>(n) & 0xFFFF) : 0;
    if (code != 0) AppendChar(out, code);
  }
  return rt.Str(std::move(out));
}

}  // namespace

void InstallStringBuiltins(Runtime& rt) {
  Object* p = rt.stringProto = rt.NewObject();
  rt.DefineMethod(p, "toString", ToStringMethod);
  rt.DefineMethod(p, "valueOf", ToStringMethod);
  rt.DefineMethod(p, "charAt", CharAt);
  rt.DefineMethod(p, "charCodeAt", CharCodeAt);
  rt.DefineMethod(p, "indexOf", IndexOf);
  rt.DefineMethod(p, "lastIndexOf", LastIndexOf);
  rt.DefineMethod(p, "substr", Substr);
  rt.DefineMethod(p, "substring", Substring);
  rt.DefineMethod(p, "slice", Slice);
  rt.DefineMethod(p, "split", Split);
  rt.DefineMethod(p, "toUpperCase", ToUpperCase);
  rt.DefineMethod(p, "toLowerCase", ToLowerCase);
  rt.DefineMethod(p, "concat", Concat);
  FunctionObject* string = DefineClass(rt, "String", p, StringCall, StringConstruct);
  rt.DefineMethod(string, "fromCharCode", FromCharCode);
}

}  // namespace dc::swf::avm1

// String: the constructor, String.fromCharCode and the methods, indexing
// by UTF-16 code unit as Flash Player does, with its answers to missing,
// negative and out-of-range arguments (indices wrap at 32 bits). Work
// grows with the text, so each method counts it against the budget.
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/text_case.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1 {
namespace {

// A string's code units: its bytes when it is ASCII, else decoded once
// (a unit of work per byte).
class Units {
 public:
  Units(Runtime& rt, Value s) : cell_(s.s) {
    rt.CountWork(cell_->text.size() / 8);
    if (!cell_->ascii) {
      rt.CountWork(cell_->text.size());
      if (!rt.heap.Allows(std::uint64_t{cell_->units} * sizeof(char16_t))) throw ScriptStop{StopReason::Memory};
      wide_ = ToUnits(cell_->text);
    }
  }
  bool Ascii() const { return cell_->ascii; }
  std::size_t Size() const { return cell_->units; }
  char16_t At(std::size_t i) const { return Ascii() ? static_cast<unsigned char>(cell_->text[i]) : wide_[i]; }
  // Units [from, from + count), clamped to the string.
  std::string Slice(std::size_t from, std::size_t count) const {
    if (from >= Size()) return {};
    if (Ascii()) return cell_->text.substr(from, count);
    return FromUnits(std::u16string_view(wide_).substr(from, count));
  }
  std::string_view Narrow() const { return cell_->text; }
  std::u16string Wide() const { return Ascii() ? ToUnits(cell_->text) : wide_; }

 private:
  const StringCell* cell_;
  std::u16string wide_;
};

Value ThisString(Runtime& rt, Value self) { return rt.ToStringValue(PrimitiveOf(self)); }

// An integer argument as Flash takes it: undefined (or absent) is
// `fallback`, anything else wraps to 32 bits (NaN is 0).
double IntArg(Runtime& rt, std::span<const Value> args, std::size_t i, double fallback) {
  if (i >= args.size() || args[i].IsUndefined()) return fallback;
  return ToInt32(rt.ToNumber(args[i]));
}

std::size_t Clamp(double v, std::size_t size) {
  if (v <= 0) return 0;
  return v >= static_cast<double>(size) ? size : static_cast<std::size_t>(v);
}

// Where `what` first (or last) occurs in `text` from `from`; -1 for none.
double Search(const Units& text, const Units& what, std::size_t from, bool last) {
  std::size_t at;
  if (text.Ascii() && what.Ascii()) {
    const TextSearch<char> search(what.Narrow());
    at = last ? search.Last(text.Narrow(), from) : search.First(text.Narrow(), from);
  } else {
    const std::u16string a = text.Wide(), b = what.Wide();
    const TextSearch<char16_t> search(b);
    at = last ? search.Last(a, from) : search.First(a, from);
  }
  return at == std::string::npos ? -1 : static_cast<double>(at);
}

Value StringCall(Runtime& rt, Value, std::span<const Value> args) {
  return args.empty() ? rt.Str("") : rt.ToStringValue(args[0]);
}

Value StringConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  return Value::Obj(rt.heap.Make<BoxObject>(proto, ObjectClass::String, StringCall(rt, Value(), args)));
}

Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) { return ThisString(rt, self); }

Value CharAt(Runtime& rt, Value self, std::span<const Value> args) {
  const Units s(rt, ThisString(rt, self));
  const double i = IntArg(rt, args, 0, 0);
  if (i < 0 || i >= static_cast<double>(s.Size())) return rt.Str("");
  return rt.Str(s.Slice(static_cast<std::size_t>(i), 1));
}

Value CharCodeAt(Runtime& rt, Value self, std::span<const Value> args) {
  const Units s(rt, ThisString(rt, self));
  const double i = IntArg(rt, args, 0, 0);
  // SWF 5 read past the end as the string's terminating zero.
  if (i >= static_cast<double>(s.Size()) && rt.version <= 5) return Value::Number(0);
  if (i < 0 || i >= static_cast<double>(s.Size())) return Value::Number(std::nan(""));
  return Value::Number(s.At(static_cast<std::size_t>(i)));
}

Value IndexOf(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value();
  const Units s(rt, ThisString(rt, self));
  const Units what(rt, rt.ToStringValue(args[0]));
  const double from = IntArg(rt, args, 1, 0);
  if (from > static_cast<double>(s.Size())) return Value::Number(-1);
  return Value::Number(Search(s, what, Clamp(from, s.Size()), false));
}

Value LastIndexOf(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value();
  const Units s(rt, ThisString(rt, self));
  const Units what(rt, rt.ToStringValue(args[0]));
  const double from = IntArg(rt, args, 1, static_cast<double>(s.Size()));
  if (from < 0) return Value::Number(-1);
  return Value::Number(Search(s, what, Clamp(from, s.Size()), true));
}

Value Slice(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value();
  const Units s(rt, ThisString(rt, self));
  const double size = static_cast<double>(s.Size());
  double a = IntArg(rt, args, 0, 0), b = IntArg(rt, args, 1, size);
  if (a < 0) a += size;
  if (b < 0) b += size;
  const std::size_t from = Clamp(a, s.Size()), to = Clamp(b, s.Size());
  if (from >= to) return rt.Str("");
  return rt.Str(s.Slice(from, to - from));
}

Value Substr(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value();
  const Units s(rt, ThisString(rt, self));
  const double size = static_cast<double>(s.Size());
  double start = IntArg(rt, args, 0, 0);
  if (start < 0) start = std::max(0.0, size + start);
  const double length = IntArg(rt, args, 1, size);
  if (start >= size || length <= 0) return rt.Str("");
  return rt.Str(s.Slice(static_cast<std::size_t>(start), Clamp(length, s.Size())));
}

Value Substring(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value();
  const Units s(rt, ThisString(rt, self));
  std::size_t a = Clamp(IntArg(rt, args, 0, 0), s.Size());
  std::size_t b = Clamp(IntArg(rt, args, 1, static_cast<double>(s.Size())), s.Size());
  if (a > b) std::swap(a, b);
  return rt.Str(s.Slice(a, b - a));
}

// split: no separator gives the whole string (from SWF 6 whatever the
// limit; SWF 5 split at commas then), an empty one every unit (SWF 5: the
// whole string); a limit of 0 or less gives nothing.
Value Split(Runtime& rt, Value self, std::span<const Value> args) {
  const Value text = ThisString(rt, self);
  const Units s(rt, text);
  const bool noSeparator = Arg(args, 0).IsUndefined();
  const double limit = IntArg(rt, args, 1, 4294967295.0);
  std::vector<Value> parts;
  const auto add = [&](std::string part) {
    if (static_cast<double>(parts.size()) >= limit) return false;
    if (!rt.heap.Allows(part.size() + sizeof(StringCell) + sizeof(Value))) throw ScriptStop{StopReason::Memory};
    parts.push_back(rt.Str(std::move(part)));
    rt.CountWork(8 * kWorkPerCellMade);  // the cell just made
    return true;
  };
  if (noSeparator && rt.version >= 6) {
    parts.push_back(text);
  } else if (limit > 0) {
    const Value separator = noSeparator ? rt.Str(",") : rt.ToStringValue(args[0]);
    const Units sep(rt, separator);
    if (sep.Size() == 0 && rt.version <= 5) {
      add(text.s->text);
    } else if (sep.Size() == 0) {
      rt.CountWork(s.Size());
      for (std::size_t i = 0; i < s.Size(); ++i)
        if (!add(s.Slice(i, 1))) break;
    } else {
      const std::u16string wideText = s.Ascii() && sep.Ascii() ? std::u16string() : s.Wide();
      const std::u16string wideSep = s.Ascii() && sep.Ascii() ? std::u16string() : sep.Wide();
      const TextSearch<char> narrow(sep.Narrow());
      const TextSearch<char16_t> wide(wideSep);
      std::size_t from = 0;
      while (true) {
        const std::size_t at = s.Ascii() && sep.Ascii() ? narrow.First(s.Narrow(), from) : wide.First(wideText, from);
        const std::size_t end = at == std::string::npos ? s.Size() : at;
        if (!add(s.Slice(from, end - from)) || at == std::string::npos) break;
        from = at + sep.Size();
      }
    }
  }
  return Value::Obj(rt.NewArray(parts));
}

Value ChangeCase(Runtime& rt, Value self, char16_t (*map)(char16_t)) {
  const Units s(rt, ThisString(rt, self));
  // Each unit is widened, mapped and written again, as at most three bytes.
  rt.CountWork(std::uint64_t{3} * s.Size());
  if (!rt.heap.Allows(std::uint64_t{3} * s.Size() + 2 * s.Size())) throw ScriptStop{StopReason::Memory};
  std::u16string units = s.Wide();
  for (char16_t& c : units) c = map(c);
  return rt.Str(FromUnits(units));
}

Value ToUpperCase(Runtime& rt, Value self, std::span<const Value>) { return ChangeCase(rt, self, UpperCaseOf); }
Value ToLowerCase(Runtime& rt, Value self, std::span<const Value>) { return ChangeCase(rt, self, LowerCaseOf); }

Value Concat(Runtime& rt, Value self, std::span<const Value> args) {
  std::string out = ThisString(rt, self).s->text;
  for (const Value& v : args) {
    const Value part = rt.ToStringValue(v);
    if (!rt.heap.Allows(out.size() + part.s->text.size())) throw ScriptStop{StopReason::Memory};
    rt.CountWork(part.s->text.size() / 8);
    out += part.s->text;
  }
  return rt.Str(std::move(out));
}

// The units modulo 2^16; a zero ends the string there.
Value FromCharCode(Runtime& rt, Value, std::span<const Value> args) {
  std::string out;
  bool ended = false;
  for (const Value& v : args) {
    const auto unit = static_cast<char16_t>(ToUint32(rt.ToNumber(v)) & 0xFFFF);
    ended = ended || unit == 0;
    if (!ended) AppendUnit(out, unit);
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

// Global functions (parseInt, escape, setInterval, ...) and the classes that
// would reach outside the player: each is here only so that a script that
// calls it goes on, and none of them does anything.
#include <algorithm>
#include <iterator>
#include <cmath>
#include <optional>
#include <limits>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {

namespace {

// parseInt and parseFloat give undefined when called with nothing; a
// radix given as undefined is no radix (NaN).
Value ParseIntFn(Runtime& rt, Value, std::span<const Value> args) {
  if (args.empty()) return Value();
  std::optional<int> r;
  if (args.size() > 1) {
    const double n = rt.ToNumber(args[1]);
    r = std::isfinite(n) && std::fabs(n) < 1000 ? static_cast<int>(n) : 0;
  }
  const Value text = rt.ToStringValue(args[0]);
  rt.CountWork(text.s->text.size());
  return Value::Number(ParseInt(text.s->text, r));
}

Value ParseFloatFn(Runtime& rt, Value, std::span<const Value> args) {
  if (args.empty()) return Value();
  const Value text = rt.ToStringValue(args[0]);
  rt.CountWork(text.s->text.size());
  return Value::Number(ParseFloat(text.s->text));
}

Value IsNaNFn(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Bool(std::isnan(rt.ToNumber(Arg(args, 0))));
}

Value IsFiniteFn(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Bool(std::isfinite(rt.ToNumber(Arg(args, 0))));
}

bool IsAlphanumeric(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

Value Escape(Runtime& rt, Value, std::span<const Value> args) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const Value text = rt.ToStringValue(Arg(args, 0));
  // Each byte read, and written as up to three.
  rt.CountWork(3 * text.s->text.size());
  if (!rt.heap.Allows(3 * text.s->text.size())) throw ScriptStop{StopReason::Memory};
  std::string out;
  out.reserve(text.s->text.size());
  for (unsigned char c : text.s->text) {
    if (IsAlphanumeric(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return rt.Str(std::move(out));
}

Value Unescape(Runtime& rt, Value, std::span<const Value> args) {
  const Value text = rt.ToStringValue(Arg(args, 0));
  const std::string& s = text.s->text;
  rt.CountWork(s.size());
  if (!rt.heap.Allows(s.size())) throw ScriptStop{StopReason::Memory};
  const auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      const char c = static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      if (c == 0) break;  // a string ends at its first zero
      out += c;
      i += 2;
    } else {
      out += s[i];
    }
  }
  return rt.Str(std::move(out));
}

Value GetTimer(Runtime& rt, Value, std::span<const Value>) {
  return Value::Number(rt.host.timerMs ? std::floor(rt.host.timerMs()) : 0);
}

Value TraceFn(Runtime& rt, Value, std::span<const Value> args) {
  const Value v = Arg(args, 0);
  rt.Trace(v.IsUndefined() ? "undefined" : rt.ToString(v));
  return Value();
}

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value AddInterval(Runtime& rt, std::span<const Value> args, bool once) {
  Interval interval;
  std::size_t next = 0;
  const Value first = Arg(args, 0);
  Object* o = first.AsObject();
  if (!o) return Value();
  interval.function = first;
  ++next;
  if (o->cls != ObjectClass::Function) {
    interval.method = rt.ToString(Arg(args, 1));
    ++next;
  }
  // No interval at all is refused; null is none.
  if (Arg(args, next).IsUndefined()) return Value();
  const double ms = rt.ToNumber(Arg(args, next++));
  interval.periodMs = std::isfinite(ms) && ms > 0 ? std::min(ms, 1e12) : 0;
  for (std::size_t i = next; i < args.size() && i < next + 64; ++i) interval.args.push_back(args[i]);
  interval.once = once;
  if (rt.intervals.size() >= 10000) return Value();
  const int id = rt.nextIntervalId++;
  if (rt.host.timerMs) {
    interval.dueMs = rt.host.timerMs() + interval.periodMs;
    rt.intervalQueue.emplace(interval.dueMs, id);
  } else {
    rt.unscheduled.push_back(id);
  }
  rt.intervals.emplace(id, std::move(interval));
  return Value::Number(id);
}

Value SetInterval(Runtime& rt, Value, std::span<const Value> args) { return AddInterval(rt, args, false); }
Value SetTimeout(Runtime& rt, Value, std::span<const Value> args) { return AddInterval(rt, args, true); }

Value ClearInterval(Runtime& rt, Value, std::span<const Value> args) {
  const double n = rt.ToNumber(Arg(args, 0));
  if (!std::isfinite(n) || std::fabs(n) >= 2e9) return Value();
  const auto it = rt.intervals.find(static_cast<int>(n));
  if (it == rt.intervals.end()) return Value();
  rt.intervalQueue.erase({it->second.dueMs, it->first});
  rt.intervals.erase(it);
  return Value();
}

// The names a comma-separated list or an array gives.
std::vector<std::string> NameList(Runtime& rt, Value which) {
  std::vector<std::string> names;
  if (ArrayObject* list = AsArray(which)) {
    const std::vector<Value> elements = list->Values(rt);
    rt.CountWork(elements.size());
    for (const Value& v : elements) names.push_back(rt.ToString(v));
    return names;
  }
  const std::string text = rt.ToString(which);
  rt.CountWork(text.size() / 8);
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = text.find(',', from);
    names.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return names;
}

// ASSetPropFlags(object, names, set, clear): each named own property (all
// of them for null) takes (flags & ~clear) | set.
Value SetPropFlags(Runtime& rt, Value, std::span<const Value> args) {
  Object* o = Arg(args, 0).AsObject();
  if (!o) return Value();
  const auto set = static_cast<std::uint16_t>(ToInt32(rt.ToNumber(Arg(args, 2))));
  const auto clear = static_cast<std::uint16_t>(ToInt32(rt.ToNumber(Arg(args, 3))));
  const auto apply = [&](Property& p) { p.flags = static_cast<std::uint16_t>((p.flags & ~clear) | set); };
  const Value which = Arg(args, 1);
  ArrayObject* array = AsArray(Value::Obj(o));
  if (which.IsNullish()) {
    rt.CountWork(o->props.Count());
    for (Property& p : o->props) apply(p);
    // An array's elements are properties too.
    if (array) {
      std::vector<std::uint32_t> all;
      array->ForEach([&](std::uint32_t i, Value) { all.push_back(i); });
      rt.CountWork(all.size());
      for (std::uint32_t i : all) array->ChangeFlags(i, static_cast<std::uint8_t>(set), static_cast<std::uint8_t>(clear));
    }
    return Value();
  }
  for (const std::string& name : NameList(rt, which)) {
    if (Property* p = o->props.Find(name, rt.caseSensitive)) apply(*p);
    if (std::uint32_t i = 0; array && ArrayIndexOf(name, i))
      array->ChangeFlags(i, static_cast<std::uint8_t>(set), static_cast<std::uint8_t>(clear));
  }
  return Value();
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

}  // namespace

void InstallGlobalFunctions(Runtime& rt) {
  Object* g = rt.global;
  rt.DefineMethod(g, "parseInt", ParseIntFn);
  rt.DefineMethod(g, "parseFloat", ParseFloatFn);
  rt.DefineMethod(g, "isNaN", IsNaNFn);
  rt.DefineMethod(g, "isFinite", IsFiniteFn);
  rt.DefineMethod(g, "escape", Escape);
  rt.DefineMethod(g, "unescape", Unescape);
  rt.DefineMethod(g, "getTimer", GetTimer);
  rt.DefineMethod(g, "trace", TraceFn);
  rt.DefineMethod(g, "setInterval", SetInterval);
  rt.DefineMethod(g, "clearInterval", ClearInterval);
  rt.DefineMethod(g, "setTimeout", SetTimeout);
  rt.DefineMethod(g, "clearTimeout", ClearInterval);
  rt.DefineMethod(g, "ASSetPropFlags", SetPropFlags);
  // A SWF 4 movie has no NaN or Infinity to name: they read as undefined.
  if (rt.version >= 5) {
    rt.DefineValue(g, "NaN", Value::Number(std::nan("")));
    rt.DefineValue(g, "Infinity", Value::Number(std::numeric_limits<double>::infinity()));
  }

  // No way out: what would load, send, store, sound or read the user's
  // input does nothing and gives back undefined or an empty object.
  for (const char* name : {"getURL", "fscommand", "loadMovie", "loadMovieNum", "unloadMovie", "unloadMovieNum",
                           "loadVariables", "loadVariablesNum", "print", "printNum", "printAsBitmap", "updateAfterEvent",
                           "showRedrawRegions"})
    rt.DefineMethod(g, name, Nothing);
  rt.stubObject = rt.NewObject();
}

}  // namespace dc::swf::avm1

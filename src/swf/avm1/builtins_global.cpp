// Global functions (parseInt, escape, setInterval, ...) and the classes that
// would reach outside the player: each is here only so that a script that
// calls it goes on, and none of them does anything.
#include <algorithm>
#include <cmath>
#include <optional>
#include <limits>

#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {

double IntegerArg(Runtime& rt, std::span<const Value> args, std::size_t i, double fallback) {
  if (i >= args.size() || args[i].IsUndefined()) return fallback;
  const double v = rt.ToNumber(args[i]);
  if (std::isnan(v)) return fallback;
  return std::clamp(std::trunc(v), -1e15, 1e15);
}

namespace {

Value ParseIntFn(Runtime& rt, Value, std::span<const Value> args) {
  const Value radix = Arg(args, 1);
  std::optional<int> r;
  if (!radix.IsUndefined()) {
    const double n = rt.ToNumber(radix);
    r = std::isfinite(n) && std::fabs(n) < 1000 ? static_cast<int>(n) : 0;
  }
  return Value::Number(ParseInt(rt.ToString(Arg(args, 0)), r));
}

Value ParseFloatFn(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Number(ParseFloat(rt.ToString(Arg(args, 0))));
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
  std::string out;
  for (unsigned char c : rt.ToString(Arg(args, 0))) {
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
  const std::string s = rt.ToString(Arg(args, 0));
  const auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
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

Value SetPropFlags(Runtime& rt, Value, std::span<const Value> args) {
  Object* o = Arg(args, 0).AsObject();
  if (!o) return Value();
  const std::uint8_t set = static_cast<std::uint8_t>(ToInt32(rt.ToNumber(Arg(args, 2))) & 7);
  const std::uint8_t clear = static_cast<std::uint8_t>(ToInt32(rt.ToNumber(Arg(args, 3))) & 7);
  std::vector<std::string> names;
  const Value which = Arg(args, 1);
  if (ArrayObject* list = which.IsObject() && which.o->cls == ObjectClass::Array ? static_cast<ArrayObject*>(which.o) : nullptr) {
    for (const Value& v : list->elements) names.push_back(rt.ToString(v));
  } else if (!which.IsNullish()) {
    const std::string text = rt.ToString(which);
    std::size_t from = 0;
    while (from <= text.size()) {
      const std::size_t comma = text.find(',', from);
      names.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
  }
  for (Property& p : o->props.Items()) {
    bool chosen = which.IsNullish();
    for (const std::string& n : names) chosen = chosen || NamesEqual(n, p.name, rt.caseSensitive);
    if (chosen) p.flags = static_cast<std::uint8_t>(((p.flags & ~clear) | set) | (p.flags & kAccessor));
  }
  return Value();
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }
Value StubConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }
Value StubCall(Runtime&, Value, std::span<const Value>) { return Value(); }

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
  rt.DefineValue(g, "NaN", Value::Number(std::nan("")));
  rt.DefineValue(g, "Infinity", Value::Number(std::numeric_limits<double>::infinity()));

  // No way out: what would load, send, store, sound or read the user's
  // input does nothing and gives back undefined or an empty object.
  for (const char* name : {"getURL", "fscommand", "loadMovie", "loadMovieNum", "unloadMovie", "unloadMovieNum",
                           "loadVariables", "loadVariablesNum", "print", "printNum", "printAsBitmap", "updateAfterEvent",
                           "showRedrawRegions"})
    rt.DefineMethod(g, name, Nothing);
  rt.stubObject = rt.NewObject();
  for (const char* name : {"LocalConnection", "SharedObject", "Sound",
                           "NetConnection", "NetStream", "Camera", "Microphone", "ContextMenu",
                           "ContextMenuItem", "PrintJob", "FileReference", "FileReferenceList"}) {
    Object* proto = rt.NewObject();
    for (const char* method : {"load", "send", "sendAndLoad", "connect", "close", "flush", "start", "stop",
                               "attachSound", "loadSound", "getLocal", "browse",
                               "upload", "download", "addRequestHeader"})
      rt.DefineMethod(proto, method, False);
    FunctionObject* ctor = DefineClass(rt, name, proto, StubCall, StubConstruct);
    rt.DefineMethod(ctor, "getLocal", Nothing);
  }
  for (const char* name : {"System", "Key", "Mouse", "Stage", "Selection", "Accessibility", "Video", "ExternalInterface"}) {
    Object* o = rt.NewObject();
    for (const char* method : {"addListener", "removeListener", "isDown", "isToggled", "getCode", "getAscii", "show",
                               "hide", "setClipboard", "showSettings", "call", "setFocus", "getFocus"})
      rt.DefineMethod(o, method, Nothing);
    rt.DefineValue(o, "capabilities", Value::Obj(rt.NewObject()));
    rt.DefineValue(o, "security", Value::Obj(rt.NewObject()));
    rt.DefineValue(g, name, Value::Obj(o));
  }
}

}  // namespace dc::swf::avm1

// Date: times in ms since 1970 UTC; local fields through the host's UTC
// offset (the offset now, for every date: the time seam gives no history).
#include <cmath>
#include <cstdio>

#include "swf/avm1/builtins.h"
#include "swf/avm1/date_math.h"

namespace dc::swf::avm1 {
namespace {

enum Field { kYear, kMonth, kDate, kHours, kMinutes, kSeconds, kMilliseconds, kDay, kTime, kShortYear };

DateObject* ThisDate(Value self) {
  Object* o = self.AsObject();
  return o && o->cls == ObjectClass::Date ? static_cast<DateObject*>(o) : nullptr;
}

double OffsetMs(Runtime& rt) { return rt.UtcOffsetMinutes() * 60'000.0; }

std::string DateText(Runtime& rt, double t) {
  if (std::isnan(t)) return "Invalid Date";
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int offset = rt.UtcOffsetMinutes();
  const CivilFields f = FieldsOf(t + offset * 60'000.0);
  const int a = offset < 0 ? -offset : offset;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %lld", kDays[f.weekday], kMonths[f.month - 1],
                f.day, f.hour, f.minute, f.second, offset < 0 ? '-' : '+', a / 60, a % 60,
                static_cast<long long>(f.year));
  return buf;
}

// Year, month (0-based), day, hours, minutes, seconds, ms from arguments,
// with Date's defaults; two-digit years are 1900s.
double TimeFromArgs(Runtime& rt, std::span<const Value> args) {
  double v[7] = {0, 0, 1, 0, 0, 0, 0};
  for (std::size_t i = 0; i < 7 && i < args.size(); ++i) v[i] = rt.ToNumber(args[i]);
  if (v[0] >= 0 && v[0] <= 99) v[0] += 1900;
  return MakeTime(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
}

Value DateConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  double t;
  if (args.empty()) {
    t = rt.NowMs();
  } else if (args.size() == 1) {
    t = rt.ToNumber(args[0]);
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) t = std::nan("");
  } else {
    t = TimeFromArgs(rt, args) - OffsetMs(rt);
  }
  return Value::Obj(rt.heap.Make<DateObject>(proto, t));
}

Value DateCall(Runtime& rt, Value, std::span<const Value>) { return rt.Str(DateText(rt, rt.NowMs())); }

Value DateUtc(Runtime& rt, Value, std::span<const Value> args) { return Value::Number(TimeFromArgs(rt, args)); }

template <Field F, bool Utc>
Value Get(Runtime& rt, Value self, std::span<const Value>) {
  DateObject* d = ThisDate(self);
  if (!d) return Value();
  if (std::isnan(d->time)) return Value::Number(d->time);
  if constexpr (F == kTime) return Value::Number(d->time);
  const CivilFields f = FieldsOf(Utc ? d->time : d->time + OffsetMs(rt));
  switch (F) {
    case kYear: return Value::Number(static_cast<double>(f.year));
    case kShortYear: return Value::Number(static_cast<double>(f.year - 1900));
    case kMonth: return Value::Number(f.month - 1);
    case kDate: return Value::Number(f.day);
    case kDay: return Value::Number(f.weekday);
    case kHours: return Value::Number(f.hour);
    case kMinutes: return Value::Number(f.minute);
    case kSeconds: return Value::Number(f.second);
    case kMilliseconds: return Value::Number(f.millisecond);
    default: return Value();
  }
}

Value TimezoneOffset(Runtime& rt, Value self, std::span<const Value>) {
  if (!ThisDate(self)) return Value();
  return Value::Number(-rt.UtcOffsetMinutes());
}

// setX(value, [following fields]): the fields from F on, at most `count`.
template <Field F, int Count, bool Utc>
Value Set(Runtime& rt, Value self, std::span<const Value> args) {
  DateObject* d = ThisDate(self);
  if (!d) return Value();
  const double offset = Utc ? 0 : OffsetMs(rt);
  const double base = std::isnan(d->time) ? (F == kYear || F == kShortYear ? 0.0 : d->time) : d->time;
  if (std::isnan(base)) return Value::Number(base);
  const CivilFields f = FieldsOf(base + offset);
  double v[7] = {static_cast<double>(f.year), static_cast<double>(f.month - 1), static_cast<double>(f.day),
                 static_cast<double>(f.hour), static_cast<double>(f.minute), static_cast<double>(f.second),
                 static_cast<double>(f.millisecond)};
  const int first = F == kShortYear ? kYear : static_cast<int>(F);
  for (int i = 0; i < Count && static_cast<std::size_t>(i) < args.size(); ++i) v[first + i] = rt.ToNumber(args[i]);
  if (args.empty()) v[first] = std::nan("");
  if (F == kShortYear && v[0] >= 0 && v[0] <= 99) v[0] += 1900;
  const double t = MakeTime(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
  d->time = std::isnan(t) ? t : t - offset;
  return Value::Number(d->time);
}

Value SetTime(Runtime& rt, Value self, std::span<const Value> args) {
  DateObject* d = ThisDate(self);
  if (!d) return Value();
  const double t = rt.ToNumber(Arg(args, 0));
  d->time = std::isfinite(t) && std::fabs(t) <= 8.64e15 ? std::trunc(t) : std::nan("");
  return Value::Number(d->time);
}

Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) {
  DateObject* d = ThisDate(self);
  return d ? rt.Str(DateText(rt, d->time)) : Value();
}

}  // namespace

void InstallDateBuiltins(Runtime& rt) {
  Object* p = rt.dateProto = rt.NewObject();
  struct Method {
    const char* name;
    NativeFunction fn;
  };
  const Method methods[] = {
      {"getFullYear", Get<kYear, false>},         {"getYear", Get<kShortYear, false>},
      {"getMonth", Get<kMonth, false>},           {"getDate", Get<kDate, false>},
      {"getDay", Get<kDay, false>},               {"getHours", Get<kHours, false>},
      {"getMinutes", Get<kMinutes, false>},       {"getSeconds", Get<kSeconds, false>},
      {"getMilliseconds", Get<kMilliseconds, false>},
      {"getUTCFullYear", Get<kYear, true>},       {"getUTCYear", Get<kShortYear, true>},
      {"getUTCMonth", Get<kMonth, true>},         {"getUTCDate", Get<kDate, true>},
      {"getUTCDay", Get<kDay, true>},             {"getUTCHours", Get<kHours, true>},
      {"getUTCMinutes", Get<kMinutes, true>},     {"getUTCSeconds", Get<kSeconds, true>},
      {"getUTCMilliseconds", Get<kMilliseconds, true>},
      {"getTime", Get<kTime, true>},              {"valueOf", Get<kTime, true>},
      {"getTimezoneOffset", TimezoneOffset},
      {"setFullYear", Set<kYear, 3, false>},      {"setYear", Set<kShortYear, 1, false>},
      {"setMonth", Set<kMonth, 2, false>},        {"setDate", Set<kDate, 1, false>},
      {"setHours", Set<kHours, 4, false>},        {"setMinutes", Set<kMinutes, 3, false>},
      {"setSeconds", Set<kSeconds, 2, false>},    {"setMilliseconds", Set<kMilliseconds, 1, false>},
      {"setUTCFullYear", Set<kYear, 3, true>},    {"setUTCMonth", Set<kMonth, 2, true>},
      {"setUTCDate", Set<kDate, 1, true>},        {"setUTCHours", Set<kHours, 4, true>},
      {"setUTCMinutes", Set<kMinutes, 3, true>},  {"setUTCSeconds", Set<kSeconds, 2, true>},
      {"setUTCMilliseconds", Set<kMilliseconds, 1, true>},
      {"setTime", SetTime},                       {"toString", ToStringMethod},
  };
  for (const Method& m : methods) rt.DefineMethod(p, m.name, m.fn);
  FunctionObject* date = DefineClass(rt, "Date", p, DateCall, DateConstruct);
  rt.DefineMethod(date, "UTC", DateUtc);
}

}  // namespace dc::swf::avm1

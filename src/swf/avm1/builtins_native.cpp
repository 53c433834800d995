// Flash's native tables as scripts reach them: ASnative(table, index) gives
// the built-in function at that place, ASSetNative and ASSetNativeAccessor
// put runs of them on an object as methods or as getter and setter pairs,
// and ASnew (2, 0) says whether the running script function was called by
// `new`. The tables hold the functions the player has, by the numbers
// Flash gives them.
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::uint32_t Key(std::uint32_t table, std::uint32_t index) { return (table << 16) | index; }

// Where the built-in functions sit: a global object's method, or a global
// function when `holder` is empty.
struct Entry {
  std::uint16_t table, index;
  const char* holder;
  const char* name;
};
constexpr Entry kEntries[] = {
    {100, 0, "", "escape"},     {100, 1, "", "unescape"},   {100, 2, "", "parseInt"},
    {100, 3, "", "parseFloat"}, {100, 4, "", "trace"},      {200, 0, "Math", "abs"},
    {200, 1, "Math", "min"},    {200, 2, "Math", "max"},    {200, 3, "Math", "sin"},
    {200, 4, "Math", "cos"},    {200, 5, "Math", "atan2"},  {200, 6, "Math", "tan"},
    {200, 7, "Math", "exp"},    {200, 8, "Math", "log"},    {200, 9, "Math", "sqrt"},
    {200, 10, "Math", "round"}, {200, 11, "Math", "random"}, {200, 12, "Math", "floor"},
    {200, 13, "Math", "ceil"},  {200, 14, "Math", "atan"},  {200, 15, "Math", "asin"},
    {200, 16, "Math", "acos"},  {200, 17, "Math", "pow"},
};

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

Value AsNew(Runtime& rt, Value, std::span<const Value>) {
  return Value::Bool(rt.frame && rt.frame->callee && rt.frame->constructing);
}

// A table or index as Flash reads it: a number, NaN as 0.
std::uint32_t Number16(Runtime& rt, Value v, bool& fits) {
  const double n = rt.ToNumber(v);
  const std::int32_t i = std::isnan(n) ? 0 : ToInt32(n);
  fits = i >= 0 && i <= 0xFFFF;
  return fits ? static_cast<std::uint32_t>(i) : 0;
}

// The function at (table, index), or null when the table is not one Flash has.
FunctionObject* NativeAt(Runtime& rt, std::uint32_t table, std::uint32_t index) {
  const auto it = rt.nativeTable.find(Key(table, index));
  if (it != rt.nativeTable.end()) return rt.NewNative(it->second);
  switch (table) {
    case 2:
    case 100:
      return rt.NewNative(Nothing);
    case 200:
      return rt.NewNative(MathNative(index));  // Math's shared entry: NaN past its table
    default:
      return nullptr;
  }
}

Value AsNative(Runtime& rt, Value, std::span<const Value> args) {
  if (args.size() != 2) return Value();
  bool tableFits = false, indexFits = false;
  const std::uint32_t table = Number16(rt, args[0], tableFits);
  const std::uint32_t index = Number16(rt, args[1], indexFits);
  if (!tableFits || !indexFits) return Value();
  return Value::Obj(NativeAt(rt, table, index));
}

// A name of ASSetNative's list may start with the Flash version it needs:
// 6 to 9, or 10; a leading 1 otherwise is dropped and asks for nothing.
std::string_view VersionedName(std::string_view name, std::uint16_t& flags) {
  flags = 0;
  if (name.empty()) return name;
  const char c = name[0];
  if (c == '1') {
    if (name.size() > 1 && name[1] == '0') {
      flags = kFromSwf10;
      return name.substr(2);
    }
    return name.substr(1);
  }
  constexpr std::uint16_t kByVersion[] = {kFromSwf6, kFromSwf7, kFromSwf8, kFromSwf9};
  if (c >= '6' && c <= '9') {
    flags = kByVersion[c - '6'];
    return name.substr(1);
  }
  return name;
}

// ASSetNative(object, table, "names", first) and ASSetNativeAccessor: each
// name takes the next index (an accessor two: getter, then setter); an
// empty name takes its index and makes nothing.
void SetNatives(Runtime& rt, std::span<const Value> args, bool accessors) {
  Object* o = Arg(args, 0).AsObject();
  if (!o || args.size() < 3) return;
  bool fits = false;
  const std::uint32_t table = Number16(rt, args[1], fits);
  if (!fits) return;
  const std::string list = rt.ToString(args[2]);
  const double first = args.size() > 3 ? rt.ToNumber(args[3]) : 0;
  std::int64_t index = std::isfinite(first) ? static_cast<std::int64_t>(first) : 0;
  std::size_t from = 0;
  while (from <= list.size()) {
    rt.CountWork(8);
    const std::size_t comma = list.find(',', from);
    const std::string_view item =
        std::string_view(list).substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    std::uint16_t flags = 0;
    const std::string_view name = VersionedName(item, flags);
    const auto at = [&](std::int64_t i) -> Value {
      if (i < 0 || i > 0xFFFF) return Value();
      return Value::Obj(NativeAt(rt, table, static_cast<std::uint32_t>(i)));
    };
    if (!name.empty()) {
      if (accessors) rt.DefineAccessor(o, name, at(index), at(index + 1), flags);
      else rt.DefineValue(o, name, at(index), flags);
    }
    index += accessors ? 2 : 1;
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
}

Value AsSetNative(Runtime& rt, Value, std::span<const Value> args) {
  SetNatives(rt, args, false);
  return Value();
}

Value AsSetNativeAccessor(Runtime& rt, Value, std::span<const Value> args) {
  SetNatives(rt, args, true);
  return Value();
}

}  // namespace

void InstallNativeTables(Runtime& rt) {
  rt.nativeTable[Key(2, 0)] = AsNew;
  for (const Entry& e : kEntries) {
    Object* holder = rt.global;
    if (*e.holder) holder = rt.GetMember(Value::Obj(rt.global), e.holder).AsObject();
    Property* p = holder ? holder->props.Find(e.name, rt.caseSensitive) : nullptr;
    Object* f = p ? p->value.AsObject() : nullptr;
    if (f && f->cls == ObjectClass::Function && static_cast<FunctionObject*>(f)->native)
      rt.nativeTable[Key(e.table, e.index)] = static_cast<FunctionObject*>(f)->native;
  }
  rt.DefineMethod(rt.global, "ASnative", AsNative);
  rt.DefineMethod(rt.global, "ASSetNative", AsSetNative);
  rt.DefineMethod(rt.global, "ASSetNativeAccessor", AsSetNativeAccessor);
}

}  // namespace dc::swf::avm1

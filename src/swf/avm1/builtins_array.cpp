// Array: the constructor and its methods as Flash Player runs them, moving
// elements the way Flash did (which is what later enumerations show: a
// moved element is deleted and made again), holes kept as holes. Every
// method counts the elements it touches against the budget before it
// touches them.
#include <algorithm>
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/array_sort.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

// An integer argument, wrapped to 32 bits.
std::int32_t IntOf(Runtime& rt, Value v) { return ToInt32(rt.ToNumber(v)); }

// A relative index (negative from the end) clamped to 0..size.
std::uint32_t RelativeIndex(std::int32_t v, std::uint32_t size) {
  if (v < 0) {
    const std::int64_t from = static_cast<std::int64_t>(size) + v;
    return from < 0 ? 0 : static_cast<std::uint32_t>(from);
  }
  return std::min(static_cast<std::uint32_t>(v), size);
}

// Moves element `from` to `to` as Flash does: the value (a hole reads as
// undefined) is taken, `from` deleted, and `to` set.
void Move(Runtime& rt, ArrayObject* a, std::uint32_t from, std::uint32_t to) {
  const Value v = a->At(from);
  a->Delete(from);
  a->Set(rt, to, v);
}

Value ArrayConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  ArrayObject* a = rt.heap.Make<ArrayObject>(proto);
  // One number is a length: nothing is made for it.
  if (args.size() == 1 && args[0].IsNumber()) {
    a->SetLength(rt, ToInt32(args[0].n));
  } else if (!args.empty()) {
    a->Assign(rt, args);
  }
  return Value::Obj(a);
}

Value ArrayCall(Runtime& rt, Value, std::span<const Value> args) { return ArrayConstruct(rt, rt.arrayProto, args); }

Value Push(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = AsArray(self);
  if (!a) return Value();
  for (const Value& v : args) a->Append(rt, v);
  return Value::Number(a->Length());
}

Value Pop(Runtime& rt, Value self, std::span<const Value>) {
  ArrayObject* a = AsArray(self);
  if (!a || a->Count() == 0) return Value();
  const std::uint32_t last = a->Count() - 1;
  const Value v = a->At(last);
  a->Delete(last);
  a->SetLength(rt, static_cast<std::int32_t>(last));
  return v;
}

Value Shift(Runtime& rt, Value self, std::span<const Value>) {
  ArrayObject* a = AsArray(self);
  if (!a || a->Count() == 0) return Value();
  const std::uint32_t n = a->Count();
  rt.CountWork(n);
  const Value first = a->At(0);
  a->Delete(0);
  for (std::uint32_t k = 1; k < n; ++k) Move(rt, a, k, k - 1);
  a->SetLength(rt, static_cast<std::int32_t>(n - 1));
  return first;
}

// unshift moves the elements up from the last, then sets the new ones.
Value Unshift(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = AsArray(self);
  if (!a) return Value();
  const std::uint32_t n = a->Count();
  const std::size_t more = args.size();
  rt.CountWork(static_cast<std::uint64_t>(n) + more);
  if (static_cast<std::uint64_t>(n) + more > 2147483647u) throw ScriptStop{StopReason::Memory};
  for (std::uint32_t k = n; k-- > 0;) Move(rt, a, k, k + static_cast<std::uint32_t>(more));
  for (std::size_t j = 0; j < more; ++j) a->Set(rt, static_cast<std::uint32_t>(j), args[j]);
  return Value::Number(a->Length());
}

// The elements of `self` joined by `separator`; an object that is not an
// array gives as many undefined as its length says (Flash reads elements
// from the array itself, never through a prototype).
Value Join(Runtime& rt, Value self, std::string_view separator) {
  DepthGuard guard(rt);
  ArrayObject* a = AsArray(self);
  std::uint32_t n = 0;
  if (a) {
    n = a->Count();
  } else {
    const std::int32_t length = IntOf(rt, rt.GetMember(self, "length"));
    n = length > 0 ? static_cast<std::uint32_t>(length) : 0;
  }
  rt.CountWork(n);
  std::string out;
  for (std::uint32_t i = 0; i < n; ++i) {
    if (i) {
      if (!rt.heap.Allows(out.size() + separator.size())) throw ScriptStop{StopReason::Memory};
      out += separator;
    }
    const Value v = a ? a->At(i) : Value();
    const Value text = v.IsString() ? v : rt.ToStringValue(v);
    if (!rt.heap.Allows(out.size() + text.s->text.size())) throw ScriptStop{StopReason::Memory};
    out += text.s->text;
  }
  return rt.Str(std::move(out));
}

Value JoinMethod(Runtime& rt, Value self, std::span<const Value> args) {
  const Value sep = Arg(args, 0);
  return Join(rt, self, sep.IsUndefined() ? std::string(",") : rt.ToString(sep));
}

Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) { return Join(rt, self, ","); }

Value Slice(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = AsArray(self);
  if (!a) return Value();
  const std::uint32_t size = a->Count();
  const std::uint32_t begin = args.empty() ? 0 : RelativeIndex(IntOf(rt, args[0]), size);
  const std::uint32_t end = Arg(args, 1).IsUndefined() ? size : RelativeIndex(IntOf(rt, args[1]), size);
  ArrayObject* out = rt.NewArray();
  if (begin >= end) return Value::Obj(out);
  rt.CountWork(end - begin);
  for (std::uint32_t i = begin; i < end; ++i)
    if (a->Has(i)) out->Set(rt, i - begin, a->At(i));
  out->SetLength(rt, static_cast<std::int32_t>(end - begin));
  return Value::Obj(out);
}

// splice(start, deleteCount, items...): an undefined start or count, or a
// negative count, changes nothing and gives undefined.
Value Splice(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = AsArray(self);
  if (!a || args.empty() || args[0].IsUndefined()) return Value();
  const std::uint32_t size = a->Count();
  const std::uint32_t start = RelativeIndex(IntOf(rt, args[0]), size);
  std::uint32_t count = size - start;
  if (args.size() > 1) {
    if (args[1].IsUndefined()) return Value();
    const std::int32_t n = IntOf(rt, args[1]);
    if (n < 0) return Value();
    count = std::min(static_cast<std::uint32_t>(n), count);
  }
  const std::span<const Value> items = args.size() > 2 ? args.subspan(2) : std::span<const Value>{};
  const auto added = static_cast<std::uint32_t>(std::min<std::size_t>(items.size(), 2147483647u));
  if (static_cast<std::uint64_t>(size) - count + added > 2147483647u) throw ScriptStop{StopReason::Memory};
  rt.CountWork(static_cast<std::uint64_t>(size) + added);
  ArrayObject* removed = rt.NewArray();
  for (std::uint32_t k = 0; k < count; ++k)
    if (a->Has(start + k)) removed->Set(rt, k, a->At(start + k));
  removed->SetLength(rt, static_cast<std::int32_t>(count));
  if (added < count) {
    for (std::uint32_t k = start; k < size - count; ++k) Move(rt, a, k + count, k + added);
    for (std::uint32_t k = size; k-- > size - count + added;) a->Delete(k);
  } else if (added > count) {
    for (std::uint32_t k = size - count; k-- > start;) Move(rt, a, k + count, k + added);
  }
  for (std::uint32_t k = 0; k < added; ++k) a->Set(rt, start + k, items[k]);
  a->SetLength(rt, static_cast<std::int32_t>(size - count + added));
  return Value::Obj(removed);
}

// reverse swaps from the ends inwards: both elements of a pair are deleted,
// then the low one set, then the high one.
Value Reverse(Runtime& rt, Value self, std::span<const Value>) {
  ArrayObject* a = AsArray(self);
  if (!a) return self;
  const std::uint32_t n = a->Count();
  rt.CountWork(n);
  for (std::uint32_t i = 0; i < n / 2; ++i) {
    const std::uint32_t j = n - 1 - i;
    const Value low = a->At(i), high = a->At(j);
    a->Delete(i);
    a->Delete(j);
    a->Set(rt, i, high);
    a->Set(rt, j, low);
  }
  return self;
}

Value Concat(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* out = rt.NewArray();
  std::uint32_t next = 0;
  const auto append = [&](Value v) {
    ArrayObject* part = AsArray(v);
    if (!part) {
      if (next == 2147483647u) throw ScriptStop{StopReason::Memory};
      out->Set(rt, next++, v);
      return;
    }
    const std::uint32_t n = part->Count();
    if (static_cast<std::uint64_t>(next) + n > 2147483647u) throw ScriptStop{StopReason::Memory};
    rt.CountWork(n);
    part->ForEach([&](std::uint32_t i, Value e) {
      if (i < n) out->Set(rt, next + i, e);
    });
    next += n;
    out->SetLength(rt, static_cast<std::int32_t>(next));
  };
  if (AsArray(self)) append(self);
  for (const Value& v : args) append(v);
  return Value::Obj(out);
}

Value Sort(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = AsArray(self);
  if (!a) return Value();
  SortKeys keys;
  if (Object* f = Arg(args, 0).AsObject(); f && f->cls == ObjectClass::Function) {
    keys.compare = args[0];
    keys.options = IntOf(rt, Arg(args, 1));
  } else if (!args.empty()) {
    keys.options = IntOf(rt, args[0]);
  }
  return SortArray(rt, a, keys);
}

// sortOn(name or [names], options or [options]).
Value SortOn(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = AsArray(self);
  if (!a || args.empty()) return Value();
  SortKeys keys;
  if (ArrayObject* names = AsArray(args[0])) {
    for (const Value& v : names->Values(rt)) keys.fields.push_back(rt.ToString(v));
  } else {
    keys.fields.push_back(rt.ToString(args[0]));
  }
  if (ArrayObject* options = AsArray(Arg(args, 1))) {
    for (const Value& v : options->Values(rt)) keys.fieldOptions.push_back(IntOf(rt, v));
    if (keys.fieldOptions.size() != keys.fields.size()) keys.fieldOptions.clear();
  } else {
    keys.options = IntOf(rt, Arg(args, 1));
  }
  return SortArray(rt, a, keys);
}

}  // namespace

void InstallArrayBuiltins(Runtime& rt) {
  Object* p = rt.arrayProto = rt.heap.Make<ArrayObject>(rt.objectProto);
  rt.DefineMethod(p, "push", Push);
  rt.DefineMethod(p, "pop", Pop);
  rt.DefineMethod(p, "shift", Shift);
  rt.DefineMethod(p, "unshift", Unshift);
  rt.DefineMethod(p, "join", JoinMethod);
  rt.DefineMethod(p, "toString", ToStringMethod);
  rt.DefineMethod(p, "slice", Slice);
  rt.DefineMethod(p, "splice", Splice);
  rt.DefineMethod(p, "sort", Sort);
  rt.DefineMethod(p, "sortOn", SortOn);
  rt.DefineMethod(p, "reverse", Reverse);
  rt.DefineMethod(p, "concat", Concat);
  FunctionObject* array = rt.arrayCtor = DefineClass(rt, "Array", p, ArrayCall, ArrayConstruct);
  const std::uint8_t constant = kDontEnum | kDontDelete | kReadOnly;
  rt.DefineValue(array, "CASEINSENSITIVE", Value::Number(kCaseInsensitive), constant);
  rt.DefineValue(array, "DESCENDING", Value::Number(kDescending), constant);
  rt.DefineValue(array, "UNIQUESORT", Value::Number(kUniqueSort), constant);
  rt.DefineValue(array, "RETURNINDEXEDARRAY", Value::Number(kReturnIndexedArray), constant);
  rt.DefineValue(array, "NUMERIC", Value::Number(kNumeric), constant);
}

}  // namespace dc::swf::avm1

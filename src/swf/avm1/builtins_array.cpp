// Array: the constructor, its methods and sort's options.
#include <algorithm>
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

enum SortOption : int { kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16 };

ArrayObject* ThisArray(Value self) {
  Object* o = self.AsObject();
  return o && o->cls == ObjectClass::Array ? static_cast<ArrayObject*>(o) : nullptr;
}

// A relative index (negative from the end) clamped to 0..size.
std::size_t RelativeIndex(double v, std::size_t size) {
  if (std::isnan(v)) return 0;
  v = std::trunc(v);
  const double s = static_cast<double>(size);
  if (v < 0) return static_cast<std::size_t>(std::max(0.0, s + v));
  return static_cast<std::size_t>(std::min(v, s));
}

Value ArrayCall(Runtime& rt, Value, std::span<const Value> args);

Value ArrayConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  ArrayObject* a = rt.heap.Make<ArrayObject>(proto);
  if (args.size() == 1 && args[0].IsNumber()) {
    const double n = args[0].n;
    if (n >= 0 && n < 4294967296.0 && n == std::floor(n)) a->Resize(rt, static_cast<std::uint64_t>(n));
    rt.CheckMemory();
  } else if (!args.empty() && a->Resize(rt, args.size())) {
    std::copy(args.begin(), args.end(), a->elements.begin());
  }
  return Value::Obj(a);
}

Value ArrayCall(Runtime& rt, Value, std::span<const Value> args) { return ArrayConstruct(rt, rt.arrayProto, args); }

Value Push(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  if (!a) return Value();
  const std::size_t old = a->elements.size();
  if (a->Resize(rt, old + args.size())) std::copy(args.begin(), args.end(), a->elements.begin() + static_cast<std::ptrdiff_t>(old));
  return Value::Number(static_cast<double>(a->elements.size()));
}

Value Pop(Runtime&, Value self, std::span<const Value>) {
  ArrayObject* a = ThisArray(self);
  if (!a || a->elements.empty()) return Value();
  const Value v = a->elements.back();
  a->elements.pop_back();
  return v;
}

Value Shift(Runtime& rt, Value self, std::span<const Value>) {
  ArrayObject* a = ThisArray(self);
  if (!a || a->elements.empty()) return Value();
  const Value v = a->elements.front();
  rt.CountWork(a->elements.size());
  a->elements.erase(a->elements.begin());
  return v;
}

Value Unshift(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  if (!a) return Value();
  rt.CountWork(a->elements.size());
  if (rt.heap.Allows(args.size() * sizeof(Value))) {
    rt.heap.Charge(args.size() * sizeof(Value));
    a->elements.insert(a->elements.begin(), args.begin(), args.end());
  }
  return Value::Number(static_cast<double>(a->elements.size()));
}

std::string Join(Runtime& rt, ArrayObject* a, std::string_view separator) {
  DepthGuard guard(rt);
  rt.CountWork(a->elements.size());
  std::string out;
  for (std::size_t i = 0; i < a->elements.size(); ++i) {
    if (i) out += separator;
    const Value v = a->elements[i];
    out += v.IsUndefined() ? (rt.version >= 7 ? "undefined" : "") : rt.ToString(v);
    if (!rt.heap.Allows(out.size())) throw ScriptStop{StopReason::Memory};
  }
  return out;
}

Value JoinMethod(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  if (!a) return Value();
  const Value sep = Arg(args, 0);
  return rt.Str(Join(rt, a, sep.IsUndefined() ? std::string(",") : rt.ToString(sep)));
}

Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) {
  ArrayObject* a = ThisArray(self);
  return a ? rt.Str(Join(rt, a, ",")) : rt.Str("[object Object]");
}

Value Slice(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  if (!a) return Value();
  const std::size_t size = a->elements.size();
  const std::size_t begin = RelativeIndex(rt.ToNumber(Arg(args, 0)), size);
  const std::size_t end = Arg(args, 1).IsUndefined() ? size : RelativeIndex(rt.ToNumber(args[1]), size);
  if (begin >= end) return Value::Obj(rt.NewArray());
  rt.CountWork(end - begin);
  return Value::Obj(rt.NewArray(std::span<const Value>(a->elements).subspan(begin, end - begin)));
}

Value Splice(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  if (!a || args.empty()) return Value();
  const std::size_t size = a->elements.size();
  const std::size_t start = RelativeIndex(rt.ToNumber(args[0]), size);
  std::size_t count = size - start;
  if (args.size() > 1) {
    const double n = rt.ToNumber(args[1]);
    count = std::isnan(n) || n < 0 ? 0 : static_cast<std::size_t>(std::min(n, static_cast<double>(count)));
  }
  const std::span<const Value> items = args.size() > 2 ? args.subspan(2) : std::span<const Value>{};
  rt.CountWork(size);
  ArrayObject* removed = rt.NewArray(std::span<const Value>(a->elements).subspan(start, count));
  if (!rt.heap.Allows(items.size() * sizeof(Value))) throw ScriptStop{StopReason::Memory};
  a->elements.erase(a->elements.begin() + static_cast<std::ptrdiff_t>(start),
                    a->elements.begin() + static_cast<std::ptrdiff_t>(start + count));
  a->elements.insert(a->elements.begin() + static_cast<std::ptrdiff_t>(start), items.begin(), items.end());
  return Value::Obj(removed);
}

Value Reverse(Runtime& rt, Value self, std::span<const Value>) {
  if (ArrayObject* a = ThisArray(self)) {
    rt.CountWork(a->elements.size());
    std::reverse(a->elements.begin(), a->elements.end());
  }
  return self;
}

Value Concat(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  std::vector<Value> out = a ? a->elements : std::vector<Value>{};
  rt.CountWork(out.size());
  for (const Value& v : args) {
    if (ArrayObject* other = ThisArray(v)) {
      if (!rt.heap.Allows((out.size() + other->elements.size()) * sizeof(Value))) throw ScriptStop{StopReason::Memory};
      out.insert(out.end(), other->elements.begin(), other->elements.end());
    } else {
      out.push_back(v);
    }
  }
  return Value::Obj(rt.NewArray(out));
}

// Sorts the indices of `values` with a merge sort: a script's compare
// function may be inconsistent, and the sort must still end.
template <class Less>
void MergeSort(std::vector<std::size_t>& idx, Less less) {
  std::vector<std::size_t> tmp(idx.size());
  for (std::size_t width = 1; width < idx.size(); width *= 2) {
    for (std::size_t lo = 0; lo < idx.size(); lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, idx.size()), hi = std::min(lo + 2 * width, idx.size());
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) tmp[k++] = less(idx[j], idx[i]) ? idx[j++] : idx[i++];
      while (i < mid) tmp[k++] = idx[i++];
      while (j < hi) tmp[k++] = idx[j++];
    }
    idx.swap(tmp);
  }
}

Value Sort(Runtime& rt, Value self, std::span<const Value> args) {
  ArrayObject* a = ThisArray(self);
  if (!a) return Value();
  Value compare;
  int options = 0;
  if (Object* f = Arg(args, 0).AsObject(); f && f->cls == ObjectClass::Function) {
    compare = args[0];
    options = static_cast<int>(ToInt32(rt.ToNumber(Arg(args, 1))));
  } else if (!Arg(args, 0).IsUndefined()) {
    options = static_cast<int>(ToInt32(rt.ToNumber(args[0])));
  }
  const std::vector<Value> values = a->elements;
  std::uint64_t log2 = 1;
  while ((std::uint64_t{1} << log2) < values.size()) ++log2;
  rt.CountWork(values.size() * log2);
  std::vector<std::size_t> idx(values.size());
  for (std::size_t i = 0; i < idx.size(); ++i) idx[i] = i;

  // -1, 0 or 1 for values[x] against values[y], before DESCENDING.
  std::vector<std::string> keys;
  if (compare.IsUndefined() && !(options & kNumeric)) {
    keys.reserve(values.size());
    for (const Value& v : values) {
      std::string k = rt.ToString(v);
      if (options & kCaseInsensitive) k = FoldName(k, false);
      keys.push_back(std::move(k));
    }
  }
  const auto order = [&](std::size_t x, std::size_t y) -> int {
    if (!compare.IsUndefined()) {
      const Value pair[2] = {values[x], values[y]};
      const double r = rt.ToNumber(rt.Call(compare, Value(), pair));
      return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    if (options & kNumeric) {
      const double p = rt.ToNumber(values[x]), q = rt.ToNumber(values[y]);
      return p < q ? -1 : p > q ? 1 : 0;
    }
    return keys[x] < keys[y] ? -1 : keys[x] > keys[y] ? 1 : 0;
  };
  bool tie = false;
  MergeSort(idx, [&](std::size_t x, std::size_t y) {
    int c = order(x, y);
    if (c == 0) tie = true;
    if (options & kDescending) c = -c;
    return c < 0;
  });
  if ((options & kUniqueSort) && tie) return Value::Number(0);
  if (options & kReturnIndexedArray) {
    std::vector<Value> out;
    for (std::size_t i : idx) out.push_back(Value::Number(static_cast<double>(i)));
    return Value::Obj(rt.NewArray(out));
  }
  for (std::size_t i = 0; i < idx.size() && i < a->elements.size(); ++i) a->elements[i] = values[idx[i]];
  return self;
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

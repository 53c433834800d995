// Flash's quicksort over an array's values, with its comparisons: a
// script's function, strings (optionally folded to lower case), numbers,
// or sortOn's fields.
#include "swf/avm1/array_sort.h"

#include <cmath>
#include <utility>

#include "swf/avm1/array_object.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"
#include "swf/avm1/text_case.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1 {
namespace {

int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

// Compares two texts with case folded.
int CompareFolded(std::string_view a, std::string_view b) {
  const std::u16string x = ToUnits(a), y = ToUnits(b);
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t p = LowerCaseOf(x[i]), q = LowerCaseOf(y[i]);
    if (p != q) return p < q ? -1 : 1;
  }
  return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
}

class Sorter {
 public:
  Sorter(Runtime& rt, const SortKeys& keys) : rt_(rt), keys_(keys) {}

  // -1, 0 or 1 for x against y, DESCENDING applied.
  int Compare(Value x, Value y) {
    rt_.CountWork(1);
    int c = 0;
    if (!keys_.compare.IsUndefined()) {
      const Value pair[2] = {x, y};
      c = Sign(rt_.ToNumber(rt_.Call(keys_.compare, Value(), pair)));
    } else if (!keys_.fields.empty()) {
      for (std::size_t f = 0; f < keys_.fields.size() && c == 0; ++f) {
        const int options = keys_.fieldOptions.empty() ? keys_.options : keys_.fieldOptions[f];
        c = ByOptions(rt_.GetMember(x, keys_.fields[f]), rt_.GetMember(y, keys_.fields[f]), options);
        if (!keys_.fieldOptions.empty() && (options & kDescending)) c = -c;
      }
      if (!keys_.fieldOptions.empty()) return Noting(c);
    } else {
      c = ByOptions(x, y, keys_.options);
    }
    if (keys_.options & kDescending) c = -c;
    return Noting(c);
  }
  bool SawEqual() const { return sawEqual_; }

 private:
  int Noting(int c) {
    if (c == 0) sawEqual_ = true;
    return c;
  }
  int ByOptions(Value x, Value y, int options) {
    if (options & kNumeric) {
      const double p = rt_.ToNumber(x), q = rt_.ToNumber(y);
      return p < q ? -1 : p > q ? 1 : 0;
    }
    const Value a = rt_.ToStringValue(x), b = rt_.ToStringValue(y);
    rt_.CountWork(std::min(a.s->text.size(), b.s->text.size()) / 8);
    if (options & kCaseInsensitive) return CompareFolded(a.s->text, b.s->text);
    const int c = CompareText(a.s->text, b.s->text);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }

  Runtime& rt_;
  const SortKeys& keys_;
  bool sawEqual_ = false;
};

// Flash's quicksort of `order` (indices into `values`): the first of a
// range is the pivot; from the left, elements the pivot is greater than are
// passed over, from the right those it is not greater than; ranges are
// kept on a stack of their own, never by recursion.
void QuickSort(std::vector<std::size_t>& order, const std::vector<Value>& values, Sorter& sorter) {
  if (order.size() < 2) return;
  std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, order.size() - 1}};
  while (!ranges.empty()) {
    const auto [lo, hi] = ranges.back();
    ranges.pop_back();
    if (lo >= hi) continue;
    const Value pivot = values[order[lo]];
    std::size_t i = lo + 1, j = hi;
    while (true) {
      while (i < j && sorter.Compare(pivot, values[order[i]]) > 0) ++i;
      while (j > lo && sorter.Compare(pivot, values[order[j]]) <= 0) --j;
      if (i >= j) break;
      std::swap(order[i], order[j]);
    }
    std::swap(order[lo], order[j]);
    // The lower range is sorted first.
    ranges.emplace_back(j + 1, hi);
    if (j > lo) ranges.emplace_back(lo, j - 1);
  }
}

}  // namespace

Value SortArray(Runtime& rt, ArrayObject* array, const SortKeys& keys) {
  const std::vector<Value> values = array->Values(rt);
  if (!rt.heap.Allows(values.size() * sizeof(std::size_t))) throw ScriptStop{StopReason::Memory};
  std::vector<std::size_t> order(values.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  Sorter sorter(rt, keys);
  QuickSort(order, values, sorter);
  if ((keys.options & kUniqueSort) && sorter.SawEqual()) return Value::Number(0);
  if (keys.options & kReturnIndexedArray) {
    std::vector<Value> indices;
    indices.reserve(order.size());
    for (std::size_t i : order) indices.push_back(Value::Number(static_cast<double>(i)));
    return Value::Obj(rt.NewArray(indices));
  }
  for (std::size_t i = 0; i < order.size(); ++i) array->Set(rt, static_cast<std::uint32_t>(i), values[order[i]]);
  return Value::Obj(array);
}

}  // namespace dc::swf::avm1

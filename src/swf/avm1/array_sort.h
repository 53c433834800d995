// Array.sort and Array.sortOn: Flash Player's own quicksort (the first
// element of a range is its pivot), so that a script's comparison function
// sees the calls, in the order, that Flash made, and its options.
#pragma once

#include <string>
#include <vector>

#include "swf/avm1/value.h"

namespace dc::swf::avm1 {

class ArrayObject;
class Runtime;

enum SortOption : int { kCaseInsensitive = 1, kDescending = 2, kUniqueSort = 4, kReturnIndexedArray = 8, kNumeric = 16 };

struct SortKeys {
  Value compare;  // a function, or undefined to compare by the options
  int options = 0;
  std::vector<std::string> fields;  // sortOn's names, in order of weight
  std::vector<int> fieldOptions;    // sortOn's options per name, or empty
};

// Sorts `array` in place and gives it back, or gives the indices in sorted
// order (RETURNINDEXEDARRAY), or 0 when UNIQUESORT met two equal elements
// (and nothing moved).
Value SortArray(Runtime& rt, ArrayObject* array, const SortKeys& keys);

}  // namespace dc::swf::avm1

// "Did you mean": the known name closest to a misspelt one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace clockpack {

// The candidate with the fewest edits from `word` (letters compared without
// regard to case), when that is few enough to be a slip: at most a third
// of the word's length, and at least 1. Empty when none is that close.
std::string NearestName(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace clockpack

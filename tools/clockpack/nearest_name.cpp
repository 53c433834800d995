// Edit distance (insertions, deletions, substitutions, and swaps of two
// neighbouring letters, the commonest slip of the fingers).
#include "nearest_name.h"

#include <algorithm>
#include <cctype>

namespace clockpack {
namespace {

std::size_t Distance(std::string_view a, std::string_view b) {
  auto low = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = low(a[i - 1]) == low(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && low(a[i - 1]) == low(b[j - 2]) && low(a[i - 2]) == low(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string NearestName(std::string_view word, const std::vector<std::string>& candidates) {
  // Names longer than any field or file name a manifest holds are no slips.
  if (word.empty() || word.size() > 256) return {};
  const std::size_t allowed = std::max<std::size_t>(1, word.size() / 3);
  std::string best;
  std::size_t bestDistance = allowed + 1;
  for (const std::string& c : candidates) {
    if (c.size() > 256 || c == word) continue;
    const std::size_t dist = Distance(word, c);
    if (dist < bestDistance) {
      best = c;
      bestDistance = dist;
    }
  }
  return best;
}

}  // namespace clockpack

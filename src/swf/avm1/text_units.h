// Strings as scripts see them: sequences of UTF-16 code units, held as
// UTF-8 in which a surrogate without its partner keeps three bytes of its
// own, so that every sequence of units survives the round trip. Bytes that
// do not form UTF-8 are taken one at a time as Latin-1 when a string is made.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <algorithm>

namespace dc::swf::avm1 {

// The form a string cell holds: pairs of surrogates written separately are
// joined, stray bytes become the Latin-1 characters they name. `ascii` and
// `units` (the length in UTF-16 code units) come along.
std::string NormalizeText(std::string&& bytes, bool& ascii, std::uint32_t& units);

// The UTF-16 code units of normalized text, and back.
std::u16string ToUnits(std::string_view text);
std::string FromUnits(std::u16string_view units);
void AppendUnit(std::string& out, char16_t unit);
// A code point; a surrogate is written in its own three bytes.
void AppendChar(std::string& out, char32_t c);

// Units [start, start + count) of normalized text, clamped to it.
std::string UnitSlice(std::string_view text, bool ascii, std::size_t start, std::size_t count);
// The first unit, 0 for an empty text.
char16_t FirstUnit(std::string_view text);

// Text as the outside world takes it: a surrogate without its partner
// becomes U+FFFD.
std::string ToValidUtf8(std::string_view text);

// Compares normalized texts by code point (byte order of UTF-8): <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);

// Finds a pattern in linear time whatever the text (Knuth-Morris-Pratt):
// a script's search must not cost the product of two lengths.
template <class C>
class TextSearch {
 public:
  explicit TextSearch(std::basic_string_view<C> pattern) : pattern_(pattern), border_(pattern.size() + 1, 0) {
    std::size_t k = 0;
    for (std::size_t i = 1; i < pattern_.size(); ++i) {
      while (k > 0 && pattern_[i] != pattern_[k]) k = border_[k];
      if (pattern_[i] == pattern_[k]) ++k;
      border_[i + 1] = k;
    }
  }
  // The first match starting at or after `from`; npos when none.
  std::size_t First(std::basic_string_view<C> text, std::size_t from) const {
    return Scan(text, from, text.size(), false);
  }
  // The last match starting at or before `last`; npos when none.
  std::size_t Last(std::basic_string_view<C> text, std::size_t last) const {
    if (pattern_.size() > text.size()) return std::basic_string_view<C>::npos;
    const std::size_t end = last >= text.size() - pattern_.size() ? text.size() : last + pattern_.size();
    return Scan(text, 0, end, true);
  }

 private:
  std::size_t Scan(std::basic_string_view<C> text, std::size_t from, std::size_t end, bool keepLast) const {
    const std::size_t m = pattern_.size();
    if (from > text.size() || m > text.size()) return std::basic_string_view<C>::npos;
    if (m == 0) return keepLast ? std::min(end, text.size()) : from;
    std::size_t found = std::basic_string_view<C>::npos, k = 0;
    for (std::size_t i = from; i < end; ++i) {
      while (k > 0 && text[i] != pattern_[k]) k = border_[k];
      if (text[i] == pattern_[k]) ++k;
      if (k == m) {
        found = i + 1 - m;
        if (!keepLast) return found;
        k = border_[k];
      }
    }
    return found;
  }
  std::basic_string_view<C> pattern_;
  std::vector<std::size_t> border_;
};

}  // namespace dc::swf::avm1

// The characters an edit text field shows: its UTF-8 text decoded, or its
// HTML reduced to the characters and colours the field draws.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "swf/model/swf_types.h"

namespace dc::swf {

struct StyledChar {
  char32_t code = 0;
  Rgba color;
  bool operator==(const StyledChar&) const = default;
};

// The text as characters, all in `color`. A byte that does not begin a
// well-formed UTF-8 sequence reads as U+FFFD on its own.
std::vector<StyledChar> DecodeFieldText(std::string_view utf8, Rgba color);
// The same characters without their colour.
std::u32string DecodeUtf8(std::string_view utf8);

// The HTML of a field reduced to what it shows: <br> a line break, <p> and
// </p> paragraph breaks (<p> only when text before it is not yet ended),
// the entities &amp; &lt; &gt; &quot; &apos; &nbsp; &#N; &#xH; decoded,
// <font color="#RRGGBB"> colouring what it encloses, every other tag
// dropped. Breaks come out as '\n'. A '<' with no '>' after it, or an '&'
// that starts no entity, is text.
std::vector<StyledChar> ReduceFieldHtml(std::string_view html, Rgba color);

}  // namespace dc::swf

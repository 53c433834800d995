// A field's UTF-8 text as characters.
#pragma once

#include <string>
#include <string_view>

namespace dc::swf {

// A byte that does not begin a well-formed UTF-8 sequence reads as U+FFFD
// on its own.
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace dc::swf

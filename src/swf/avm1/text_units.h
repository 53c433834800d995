// Strings as scripts index them: by character (a UTF-8 sequence, or one
// byte where the bytes are not UTF-8, read as Latin-1), not by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dc::swf::avm1 {

std::u32string DecodeText(std::string_view utf8);
std::string EncodeText(std::u32string_view chars);
void AppendChar(std::string& out, char32_t c);
std::size_t CharCount(std::string_view utf8, bool ascii);
// Characters [start, start + count) clamped to the string.
std::string CharSlice(std::string_view utf8, bool ascii, std::size_t start, std::size_t count);

}  // namespace dc::swf::avm1

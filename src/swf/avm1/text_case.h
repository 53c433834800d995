// Upper and lower case of single UTF-16 code units as Flash Player maps
// them for toUpperCase and toLowerCase: the simple mappings of Unicode 3.1
// as Flash's own table holds them.
#pragma once

namespace dc::swf::avm1 {

char16_t UpperCaseOf(char16_t c);
char16_t LowerCaseOf(char16_t c);

}  // namespace dc::swf::avm1

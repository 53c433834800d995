// The conversions between numbers and strings as ActionScript 1 and 2 make
// them; they depend on the movie's SWF version where Flash's did.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dc::swf::avm1 {

// 15 significant digits, no ".0" on integers; exponent form below 1e-5 and
// from 1e15 ("1e+21", "1.5e-7"); "NaN", "Infinity", "-Infinity".
std::string NumberToString(double n);
// Number.toString(radix) for radix 2..36: integers in that base (the
// fraction dropped), radix 10 as NumberToString.
std::string NumberToStringRadix(double n, int radix);

// A string in number context. SWF 4 and earlier take the leading number and
// 0 for none; later versions want the whole string to be a number (leading
// whitespace allowed, "0x1A" hexadecimal), else NaN.
double StringToNumber(std::string_view s, int swfVersion);

// parseInt: leading whitespace and sign, "0x" (radix absent or 16), a
// leading "0" as octal when the radix is absent, digits until the first
// that is not one; NaN when none, or the radix is outside 2..36.
double ParseInt(std::string_view s, std::optional<int> radix);
// parseFloat: the longest decimal number at the start (after whitespace).
double ParseFloat(std::string_view s);

// ECMA ToInt32 / ToUint32: NaN and infinities to 0, the rest modulo 2^32.
std::int32_t ToInt32(double n);
std::uint32_t ToUint32(double n);

// Whether `s` is an array index ("0", "17"; not "017", "-1", "1.5").
bool ArrayIndexOf(std::string_view s, std::uint32_t& index);

// Names compare case-insensitively before SWF 7 (ASCII letters only).
bool NamesEqual(std::string_view a, std::string_view b, bool caseSensitive);
std::string FoldName(std::string_view s, bool caseSensitive);

}  // namespace dc::swf::avm1

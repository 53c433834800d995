// The conversions between numbers and strings as Flash Player's
// ActionScript 1 and 2 make them, with the quirks scripts can see; they
// depend on the movie's SWF version where Flash's did.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dc::swf::avm1 {

// 15 significant digits, no ".0" on integers; exponent form below 1e-5 and
// from 1e15 ("1e+21", "1.5e-7"); "NaN", "Infinity", "-Infinity"; -0 is "0".
std::string NumberToString(double n);
// Number.toString(radix): radix 10, or one outside 2..36, as
// NumberToString; otherwise the value truncated to a 32-bit integer the way
// the x86 does it (NaN, infinities and what does not fit become -2^31),
// written in that base. -2^31 cannot be negated, so its digits come out as
// the characters below '0' that Flash shows.
std::string NumberToStringRadix(double n, int radix);

// A string in number context. SWF 4 takes the leading decimal number and 0
// for none. SWF 5 wants the whole string (after leading whitespace) to be a
// decimal number, else NaN; from SWF 6 "0x1A" and "0x-1A" are hexadecimal
// and a leading 0 followed by only octal digits ("010") is octal.
double StringToNumber(std::string_view s, int swfVersion);

// parseInt. The prefixes are looked at before any whitespace: "0x" skips
// two characters (hexadecimal when no radix is given), a sign directly
// before "0x" is dropped along with the zero, and with no radix a string
// made of only a sign, a 0 and octal digits is octal. Then whitespace, one
// sign, and the digits of the radix until the first that is not one; NaN
// when there are none, or the radix is outside 2..36.
double ParseInt(std::string_view s, std::optional<int> radix);
// parseFloat: the decimal number at the start (after whitespace), read
// digit by digit as Flash reads it. Dots after the first are skipped, and
// once one was an exponent no longer follows; the exponent wraps at 32 bits.
double ParseFloat(std::string_view s);

// ECMA ToInt32 / ToUint32: NaN and infinities to 0, the rest modulo 2^32.
std::int32_t ToInt32(double n);
std::uint32_t ToUint32(double n);
// The x86's truncation to a 32-bit integer: -2^31 for NaN, infinities and
// values out of range.
std::int32_t TruncateToInt32(double n);

// Whether `s` is an array index ("0", "17"; not "017", "-1", "1.5", nor
// beyond 2^31 - 1).
bool ArrayIndexOf(std::string_view s, std::uint32_t& index);
// Whether `s` names a number an array's length follows: an optional '-'
// and decimal digits, their value taken modulo 2^32 as a signed integer.
bool NumericName(std::string_view s, std::int32_t& value);

// Names compare case-insensitively before SWF 7 (ASCII letters only).
bool NamesEqual(std::string_view a, std::string_view b, bool caseSensitive);
std::string FoldName(std::string_view s, bool caseSensitive);

}  // namespace dc::swf::avm1

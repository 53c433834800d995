// Windows-1252, the Western code page: the one fixed 8-bit character set
// the native build's ANSI texts and the 8-bit texts of old Flash movies are
// read in, the same on every system.
#pragma once

#include <array>
#include <cstdint>

namespace dc {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes. The other
// bytes are the Unicode characters of the same number.
inline constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of one byte; an unassigned byte becomes U+FFFD.
constexpr char32_t Windows1252Char(std::uint8_t b) {
  if (b < 0x80 || b >= 0xA0) return b;
  return kWindows1252High[b - 0x80] ? kWindows1252High[b - 0x80] : 0xFFFD;
}

}  // namespace dc

// The movie's texts as UTF-8: names, labels, field texts, font names.
// From Flash 6 on a movie writes UTF-8; before, 8-bit text in the author's
// code page, read here as Windows-1252 so that every system shows the same.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace dc::swf {

// Valid UTF-8 always: a byte that breaks UTF-8 in a newer movie becomes
// U+FFFD, as does an unassigned Windows-1252 byte in an older one.
std::string TextFromMovie(std::span<const std::uint8_t> raw, std::uint8_t version);

// A glyph's character from an 8-bit code table, as Windows-1252.
std::uint16_t CharFromByte(std::uint8_t code);

}  // namespace dc::swf

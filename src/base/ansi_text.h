// The 8-bit texts of the package and of Alarm.sav are in the system's ANSI
// code page. The Windows build converts with the system's code page; the
// native build (tests, clockpack) uses Windows-1252, the Western code page.
// Every conversion to ANSI says what becomes of a character the code page
// cannot hold.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace dc {

enum class Unmappable {
  Substitute,  // the platform's stand-in ("?", or a close letter on Windows)
  Refuse,      // the whole conversion fails
};

std::string AnsiToUtf8(std::string_view ansi);
// The ANSI bytes of a UTF-8 text. With Unmappable::Substitute there is
// always a result; with Unmappable::Refuse nothing when a character has no
// place in the code page.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8, Unmappable rule);

std::filesystem::path PathFromUtf8(std::string_view utf8);

}  // namespace dc

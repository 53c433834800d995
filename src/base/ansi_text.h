// The 8-bit texts of the package and of Alarm.sav are in the system's ANSI
// code page. The Windows build converts with the system's code page; the
// native build (tests, clockpack) uses Windows-1252, the Western code page.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace dc {

std::string AnsiToUtf8(std::string_view ansi);
// The ANSI bytes of a UTF-8 text, or nothing when a character has no place
// in the code page.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

std::filesystem::path PathFromUtf8(std::string_view utf8);

}  // namespace dc

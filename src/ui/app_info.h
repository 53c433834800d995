// Who the program is: its executable's path and folder, its command-line
// parameters and the application title every box is captioned with.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dc::ui {

std::filesystem::path ExecutablePath();

// The executable's file name without its folder, cut before its first dot,
// every character after the first in lower case ("DeskClock.exe" gives
// "Deskclock").
std::wstring TitleFromExecutableName(std::wstring_view path);

// The application title, taken from the running executable at first use.
const std::wstring& ApplicationTitle();

// The command-line parameters after the program's name, as UTF-8.
std::vector<std::string> CommandLineParameters();

}  // namespace dc::ui

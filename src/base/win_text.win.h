// UTF-16 <-> UTF-8 and ANSI code-page conversions at the Windows boundary.
#pragma once

#include <string>
#include <string_view>

namespace dc {

std::wstring Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::wstring_view s);
// The 8-bit texts of the two files are in the system's ANSI code page.
std::wstring AnsiToWide(std::string_view s);
// The platform's description of a system error code, without trailing
// line breaks and dots.
std::string SystemErrorText(unsigned long code);

}  // namespace dc

// A command line split into its parameters by the platform's rules, so
// that the player need not load the shell's library at start-up for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dc {

// The parameters after the program's name. The name ends at the closing
// quote when it starts with one, else at the first blank. Parameters are
// split at blanks (space, tab) outside quotes; 2n backslashes before a
// quote give n and the quote opens or closes quoting, 2n+1 give n and a
// literal quote; other backslashes stand; "" inside quotes is one quote.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

}  // namespace dc

// Splitting a command line.
#include "base/command_line.h"

namespace dc {
namespace {

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  std::size_t i = 0;
  if (i < line.size() && line[i] == L'"') {
    const std::size_t close = line.find(L'"', 1);
    i = close == std::wstring_view::npos ? line.size() : close + 1;
  }
  while (i < line.size() && !Blank(line[i])) ++i;

  std::vector<std::wstring> params;
  while (true) {
    while (i < line.size() && Blank(line[i])) ++i;
    if (i >= line.size()) return params;
    std::wstring param;
    bool quoted = false;
    while (i < line.size() && (quoted || !Blank(line[i]))) {
      std::size_t slashes = 0;
      while (i < line.size() && line[i] == L'\\') {
        ++slashes;
        ++i;
      }
      if (i < line.size() && line[i] == L'"') {
        param.append(slashes / 2, L'\\');
        if (slashes % 2) {
          param += L'"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
          param += L'"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        param.append(slashes, L'\\');
        if (i < line.size() && (quoted || !Blank(line[i]))) param += line[i++];
      }
    }
    params.push_back(std::move(param));
  }
}

}  // namespace dc

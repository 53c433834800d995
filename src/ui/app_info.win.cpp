// The executable's path, the application title and the parameters.
#include "ui/app_info.h"

#include <windows.h>

#include "base/command_line.h"
#include "base/file_io.h"
#include "base/win_text.win.h"
#include "ui/handles.win.h"

namespace dc::ui {

std::filesystem::path ExecutablePath() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) throw UserError("The program cannot find its own file: " + SystemErrorText(GetLastError()));
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 2);  // a long path: try a larger buffer
  }
}

std::wstring TitleFromExecutableName(std::wstring_view path) {
  std::size_t slash = path.find_last_of(L"\\/");
  std::wstring name(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
  name = name.substr(0, name.find(L'.'));
  if (name.size() > 1) CharLowerBuffW(name.data() + 1, static_cast<DWORD>(name.size() - 1));
  return name;
}

const std::wstring& ApplicationTitle() {
  static const std::wstring title = [] {
    try {
      return TitleFromExecutableName(ExecutablePath().native());
    } catch (const std::exception&) {
      return std::wstring(L"Deskclock");
    }
  }();
  return title;
}

std::vector<std::string> CommandLineParameters() {
  std::vector<std::string> params;
  for (const std::wstring& p : SplitCommandLine(GetCommandLineW())) params.push_back(WideToUtf8(p));
  return params;
}

}  // namespace dc::ui

// The Windows side: GetModuleFileNameW, SearchPathW and NSIS's own install
// folders, CreateProcessW with a command line quoted as the C runtime
// splits it.
#include <windows.h>

#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/win_text.win.h"
#include "host_process.h"
#include "manifest.h"

namespace clockpack {
namespace {

std::string LastErrorText() { return dc::SystemErrorText(GetLastError()); }

// One argument as CommandLineToArgvW and the C runtime read it back.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

std::filesystem::path OwnExecutablePath() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) throw ToolError("cannot find clockpack's own folder: " + LastErrorText());
    if (n < buf.size()) return std::filesystem::path(buf.substr(0, n));
    if (buf.size() >= 32768) throw ToolError("cannot find clockpack's own folder: its path is too long");
    buf.resize(buf.size() * 2);
  }
}

std::optional<std::filesystem::path> FindProgram(const std::string& name) {
  const std::wstring file = dc::PathFromUtf8(name + ".exe").wstring();
  wchar_t found[MAX_PATH];
  if (SearchPathW(nullptr, file.c_str(), nullptr, MAX_PATH, found, nullptr) != 0) return std::filesystem::path(found);
  // NSIS's installer does not put itself on the PATH.
  for (const wchar_t* root : {L"ProgramFiles(x86)", L"ProgramFiles"}) {
    wchar_t folder[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(root, folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) continue;
    const std::filesystem::path candidate = std::filesystem::path(folder) / L"NSIS" / file;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& workingDir) {
  std::wstring line = Quoted(program.wstring());
  for (const std::string& a : args) line += L" " + Quoted(dc::PathFromUtf8(a).wstring());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDir.c_str(), &si, &pi))
    throw ToolError("cannot start \"" + dc::PathToUtf8(program) + "\": " + LastErrorText());
  CloseHandle(pi.hThread);
  DWORD code = 1;
  const bool waited = WaitForSingleObject(pi.hProcess, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code);
  const std::string why = waited ? "" : LastErrorText();
  CloseHandle(pi.hProcess);
  if (!waited) throw ToolError("cannot wait for \"" + dc::PathToUtf8(program) + "\": " + why);
  return static_cast<int>(code);
}

}  // namespace clockpack

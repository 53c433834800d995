// The player's entry: one clock per folder; find and read the clock
// package; then run the clock window until it closes.
#include <windows.h>
#include <shlobj.h>

#include "app/clock_window.win.h"
#include "app/message_loop.win.h"
#include "app/package_startup.h"
#include "app/single_instance.win.h"
#include "base/file_io.h"
#include "base/unique_handle.h"
#include "ui/app_info.h"
#include "ui/dpi.win.h"
#include "ui/error_handler.h"
#include "ui/message_box.h"

namespace {

void FreeTaskMemory(PWSTR p) { CoTaskMemFree(p); }

// A known folder of the user's, or an empty path when the system has none.
std::filesystem::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR raw = nullptr;
  const HRESULT hr = SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &raw);
  const dc::Unique<PWSTR, FreeTaskMemory> path(raw);  // freed also when the copy below throws
  if (FAILED(hr) || !path) return {};
  return std::filesystem::path(path.get());
}

// Code is loaded from the system folder only. The clock is often unzipped
// into a Downloads folder beside files it did not put there; a DLL loaded
// by name would be looked for there first. The call is bound at run time:
// a Windows 7 without its loader update lacks it, and keeps the safe order.
void LoadCodeOnlyFromTheSystem() {
  using SetDefaultFn = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = kernel ? reinterpret_cast<SetDefaultFn>(reinterpret_cast<void*>(
                                       GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                 : nullptr;
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");  // nor from the current folder
}

int RunPlayer() {
  using dc::PackageStart;
  const std::filesystem::path exe = dc::ui::ExecutablePath();
  dc::SingleInstance instance;
  if (!instance.Claim(exe.parent_path())) return 0;  // the running clock shows itself

  dc::StartupEnvironment environment{dc::FolderIsWritable, {}, {}, [] { return KnownFolder(FOLDERID_RoamingAppData); },
                                     [] { return KnownFolder(FOLDERID_LocalAppData); }};
  PackageStart start = dc::StartPackage(exe, dc::IsSilentStart(dc::ui::CommandLineParameters()), environment);
  switch (start.outcome) {
    case PackageStart::Outcome::Missing:
      dc::ui::ShowInformation(nullptr, start.message);
      return 0;
    case PackageStart::Outcome::Damaged:
      dc::ui::ShowError(nullptr, start.message);
      return dc::kDamagedExitCode;
    case PackageStart::Outcome::Ready:
      break;
  }
  if (!start.notice.empty()) dc::ui::ShowInformation(nullptr, start.notice);
  for (const std::string& warning : start.warnings) dc::ui::ReportError(warning);

  dc::ClockWindow clock(std::move(start), exe, dc::SystemSeams());
  clock.Show();
  dc::RunMessageLoop(clock);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  LoadCodeOnlyFromTheSystem();
  dc::ui::BecomeDpiAware();  // when the manifest was not read; after the DLL search is safe
  try {
    return RunPlayer();
  } catch (const std::exception& e) {
    dc::ui::ShowError(nullptr, e.what());
    return 1;
  } catch (...) {
    dc::ui::ShowError(nullptr, "An unexpected error stopped the clock.");
    return 1;
  }
}

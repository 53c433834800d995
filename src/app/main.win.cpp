// The player's entry: find and read the clock package, then run the clock
// window until it closes.
#include <windows.h>

#include "app/clock_window.win.h"
#include "base/file_io.h"
#include "package/package_startup.h"
#include "ui/app_info.h"
#include "ui/message_box.h"

namespace {

int RunPlayer(HINSTANCE instance) {
  using dc::PackageStart;
  const std::filesystem::path exe = dc::ui::ExecutablePath();
  PackageStart start = dc::StartPackage(exe, dc::IsSilentStart(dc::ui::CommandLineParameters()));
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
  for (const std::string& warning : start.warnings) dc::ui::ShowError(nullptr, warning);

  std::filesystem::path store = exe.parent_path() / L"Alarm.sav";
  dc::ClockWindow window(instance, std::move(start), store);
  window.Show();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return RunPlayer(instance);
  } catch (const std::exception& e) {
    dc::ui::ShowError(nullptr, e.what());
    return 1;
  }
}

// The player's entry: one clock per folder; find and read the clock
// package; then run the clock window until it closes.
#include <windows.h>

#include "app/clock_window.win.h"
#include "app/single_instance.win.h"
#include "base/file_io.h"
#include "package/package_startup.h"
#include "ui/app_info.h"
#include "ui/error_handler.h"
#include "ui/message_box.h"

namespace {

int RunPlayer() {
  using dc::PackageStart;
  const std::filesystem::path exe = dc::ui::ExecutablePath();
  dc::SingleInstance instance;
  if (!instance.Claim(exe.parent_path())) return 0;  // the running clock shows itself

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
  for (const std::string& warning : start.warnings) dc::ui::ReportError(warning);

  dc::TForm1 form(std::move(start), exe, dc::SystemSeams());
  form.Show();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form.FilterMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return RunPlayer();
  } catch (const std::exception& e) {
    dc::ui::ShowError(nullptr, e.what());
    return 1;
  }
}

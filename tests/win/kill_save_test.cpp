// A saver terminated at random moments, 200 times (TerminateProcess):
// Alarm.sav is always the old file or the new one, whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>

#include "kill_save_support.h"
#include "kill_tally.h"
#include "test_support.h"

TEST(KillDuringSave, AlarmSavIsAlwaysTheOldOrTheNewFileWhenTheSaverIsTerminated) {
  dctest::TempDir dir;
  const std::filesystem::path path = dir / "Alarm.sav";
  dc::AlarmStore oldStore = dctest::StoreOfTitles("old");
  const dctest::Bytes oldBytes = oldStore.ToBytes(), newBytes = dctest::StoreOfTitles("new").ToBytes();
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::filesystem::path saver = std::filesystem::path(self).parent_path() / L"save_loop.exe";
  ASSERT_TRUE(std::filesystem::exists(saver));
  std::mt19937 random(20261208);
  dctest::KillTally tally(oldBytes, newBytes);
  for (int run = 0; run < 200; ++run) {
    oldStore.SaveToFile(path);
    std::wstring cmd = L"\"" + saver.native() + L"\" \"" + path.native() + L"\"";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    // Wine now and then refuses a start right after a termination; the
    // saver's start is not what is tested, so it is tried again.
    bool started = false;
    DWORD error = 0;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
      started = CreateProcessW(saver.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
      if (!started) {
        error = GetLastError();
        Sleep(200);
      }
    }
    ASSERT_TRUE(started) << "run " << run << ": the saver cannot be started, error " << error;
    Sleep(20 + random() % 60);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    tally.Count(dctest::ReadBytes(path));
  }
  tally.Check();
}

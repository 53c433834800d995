// A saver killed at random moments, 200 times (SIGKILL): Alarm.sav is
// always the old file or the new one, whole, never anything else.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "kill_save_support.h"
#include "kill_tally.h"
#include "test_support.h"

TEST(KillDuringSave, AlarmSavIsAlwaysTheOldOrTheNewFile) {
  dctest::TempDir dir;
  const std::filesystem::path path = dir / "Alarm.sav";
  dc::AlarmStore oldStore = dctest::StoreOfTitles("old"), newStore = dctest::StoreOfTitles("new");
  const dctest::Bytes oldBytes = oldStore.ToBytes(), newBytes = newStore.ToBytes();
  std::mt19937 random(20261208);
  dctest::KillTally tally(oldBytes, newBytes);
  for (int run = 0; run < 200; ++run) {
    oldStore.SaveToFile(path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        newStore.SaveToFile(path);
        oldStore.SaveToFile(path);
      }
    }
    usleep(random() % 20000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    tally.Count(dctest::ReadBytes(path));
  }
  tally.Check();
}

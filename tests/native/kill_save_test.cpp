// A saver killed at random moments, 200 times (SIGKILL): Alarm.sav is
// always the old file or the new one, whole, never anything else.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "kill_save_support.h"
#include "test_support.h"

TEST(KillDuringSave, AlarmSavIsAlwaysTheOldOrTheNewFile) {
  dctest::TempDir dir;
  const std::filesystem::path path = dir / "Alarm.sav";
  dc::AlarmStore oldStore = dctest::StoreOfTitles("old"), newStore = dctest::StoreOfTitles("new");
  const dctest::Bytes oldBytes = oldStore.ToBytes(), newBytes = newStore.ToBytes();
  std::mt19937 random(20261208);
  int seenOld = 0, seenNew = 0, seenOther = 0;
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
    const dctest::Bytes now = dctest::ReadBytes(path);
    seenOld += now == oldBytes;
    seenNew += now == newBytes;
    seenOther += now != oldBytes && now != newBytes;
  }
  std::printf("kill during save: %d runs, old %d, new %d, other %d\n", 200, seenOld, seenNew, seenOther);
  EXPECT_EQ(seenOther, 0);
  EXPECT_GT(seenNew, 0) << "the saver got to replace the file before some kills";
}

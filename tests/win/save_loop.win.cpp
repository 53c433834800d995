// Saves Alarm.sav at the path given, the new store and the old one in turn,
// until it is terminated: the saver the kill-during-save test kills.
#include <cstdio>

#include "kill_save_support.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  dc::AlarmStore oldStore = dctest::StoreOfTitles("old"), newStore = dctest::StoreOfTitles("new");
  for (;;) {
    newStore.SaveToFile(argv[1]);
    oldStore.SaveToFile(argv[1]);
  }
}

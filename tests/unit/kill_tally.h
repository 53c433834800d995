// The verdict over a saver killed again and again: after each kill the file
// is the old store or the new one, whole.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "test_support.h"

namespace dctest {

// What the file held after each kill, and the verdict over all runs.
class KillTally {
 public:
  KillTally(Bytes oldBytes, Bytes newBytes) : old_(std::move(oldBytes)), new_(std::move(newBytes)) {}

  void Count(const Bytes& now) {
    ++runs_;
    seenOld_ += now == old_;
    seenNew_ += now == new_;
    seenOther_ += now != old_ && now != new_;
  }

  void Check() const {
    std::printf("kill during save: %d runs, old %d, new %d, other %d\n", runs_, seenOld_, seenNew_, seenOther_);
    EXPECT_EQ(seenOther_, 0);
    EXPECT_GT(seenNew_, 0) << "the saver got to replace the file before some kills";
  }

 private:
  Bytes old_, new_;
  int runs_ = 0, seenOld_ = 0, seenNew_ = 0, seenOther_ = 0;
};

}  // namespace dctest

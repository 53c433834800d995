// Date-time values against known days and times.
#include <gtest/gtest.h>

#include "base/date_time.h"

using dc::CivilDateTime;

namespace {

struct Known {
  double value;
  CivilDateTime t;
};

const Known kKnown[] = {
    {0.0, {1899, 12, 30, 0, 0, 0, 0}},
    {1.0, {1899, 12, 31, 0, 0, 0, 0}},
    {2.0, {1900, 1, 1, 0, 0, 0, 0}},
    {0.5, {1899, 12, 30, 12, 0, 0, 0}},
    {-1.0, {1899, 12, 29, 0, 0, 0, 0}},
    {-1.25, {1899, 12, 29, 6, 0, 0, 0}},
    {-2.75, {1899, 12, 28, 18, 0, 0, 0}},
    {36526.0, {2000, 1, 1, 0, 0, 0, 0}},
    {36585.0, {2000, 2, 29, 0, 0, 0, 0}},
    {45000.0, {2023, 3, 15, 0, 0, 0, 0}},
    {46364.3125, {2026, 12, 8, 7, 30, 0, 0}},
    {-693593.0, {1, 1, 1, 0, 0, 0, 0}},
    {2958465.0, {9999, 12, 31, 0, 0, 0, 0}},
    {2958465.0 + 86399999.0 / 86400000.0, {9999, 12, 31, 23, 59, 59, 999}},
    {1.0 / 86400000.0, {1899, 12, 30, 0, 0, 0, 1}},
};

}  // namespace

TEST(DateTime, KnownValuesDecode) {
  for (const Known& k : kKnown) {
    auto t = dc::DecodeDateTime(k.value);
    ASSERT_TRUE(t) << k.value;
    EXPECT_EQ(*t, k.t) << "value " << k.value << ": got " << t->Year << "-" << t->Month << "-" << t->Day << " "
                       << t->Hour << ":" << t->Minute << ":" << t->Second << "." << t->Millisecond;
  }
}

TEST(DateTime, KnownValuesEncode) {
  for (const Known& k : kKnown) {
    auto v = dc::EncodeDateTime(k.t);
    ASSERT_TRUE(v);
    EXPECT_NEAR(*v, k.value, 1e-9) << k.t.Year << "-" << k.t.Month << "-" << k.t.Day;
  }
}

TEST(DateTime, EveryMillisecondOfADayAndEveryDayOfFourCenturiesRoundTrip) {
  for (int ms = 0; ms < 86'400'000; ms += 997) {
    CivilDateTime t{2026, 12, 8, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
    auto back = dc::DecodeDateTime(*dc::EncodeDateTime(t));
    ASSERT_TRUE(back);
    ASSERT_EQ(*back, t) << ms;
  }
  for (int day = -80000; day < 80000; ++day) {
    auto t = dc::DecodeDateTime(day);
    ASSERT_TRUE(t);
    ASSERT_EQ(*dc::EncodeDateTime(*t), day);
  }
}

TEST(DateTime, RoundsToTheNearestMillisecondAcrossMidnight) {
  auto t = dc::DecodeDateTime(1.0 - 1e-12);
  ASSERT_TRUE(t);
  EXPECT_EQ(*t, (CivilDateTime{1899, 12, 31, 0, 0, 0, 0}));
}

TEST(DateTime, InvalidFieldsAndValuesAreRefused) {
  EXPECT_FALSE(dc::EncodeDateTime({2023, 2, 29}));
  EXPECT_TRUE(dc::EncodeDateTime({2024, 2, 29}));
  EXPECT_FALSE(dc::EncodeDateTime({1900, 2, 29}));
  EXPECT_FALSE(dc::EncodeDateTime({2000, 13, 1}));
  EXPECT_FALSE(dc::EncodeDateTime({0, 1, 1}));
  EXPECT_FALSE(dc::EncodeDateTime({2000, 1, 1, 24}));
  EXPECT_FALSE(dc::DecodeDateTime(2958466.0));
  EXPECT_FALSE(dc::DecodeDateTime(-693594.0));
  EXPECT_FALSE(dc::DecodeDateTime(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(dc::DecodeDateTime(1e300));
}

TEST(DateTime, DayOfWeek) {
  EXPECT_EQ(dc::DayOfWeek({2026, 12, 8}), 2);  // Tuesday
  EXPECT_EQ(dc::DayOfWeek({1899, 12, 30}), 6);  // Saturday
  EXPECT_EQ(dc::DayOfWeek({2000, 1, 2}), 0);   // Sunday
  EXPECT_EQ(dc::DayOfWeek({1, 1, 1}), 1);      // Monday
}

// How a conformance test's output is judged: trace lines byte for byte or,
// where the test allows, numbers within its approximations; pictures per
// channel within a tolerance, with a number of outliers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace conformance {

struct Approximations {
  double epsilon = 0;         // absolute
  double maxRelative = 0;     // relative to the larger magnitude
  bool bareNumbers = false;   // a line that is one number
  std::vector<std::string> numberPatterns;  // regexes whose groups are numbers
};

// Empty when `actual` passes; else what differs first, for the report.
std::string CompareTrace(const std::string& expected, const std::string& actual,
                         const std::optional<Approximations>& approx);

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
};

// Empty when the pictures match: at most `maxOutliers` channel values differ
// by more than `tolerance`.
std::string ComparePicture(const Picture& expected, const Picture& actual, int tolerance, std::uint64_t maxOutliers);

}  // namespace conformance

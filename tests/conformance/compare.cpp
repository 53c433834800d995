#include "compare.h"

#include <cmath>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace conformance {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::optional<double> Number(const std::string& s) {
  if (s.empty()) return std::nullopt;
  if (s == "NaN") return std::nan("");
  if (s == "Infinity") return INFINITY;
  if (s == "-Infinity") return -INFINITY;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return std::nullopt;
  return v;
}

bool Close(double a, double b, const Approximations& ap) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  if (a == b) return true;
  const double diff = std::abs(a - b);
  return diff <= ap.epsilon || diff <= ap.maxRelative * std::max(std::abs(a), std::abs(b));
}

bool LinesMatch(const std::string& e, const std::string& a, const Approximations& ap) {
  if (ap.bareNumbers) {
    const auto x = Number(e), y = Number(a);
    if (x && y) return Close(*x, *y, ap);
  }
  for (const std::string& pattern : ap.numberPatterns) {
    const std::regex re(pattern);
    std::smatch me, ma;
    std::string re1 = e, ra = a;
    std::vector<double> ne, na;
    // Each match's groups become numbers; the text around them must agree.
    const auto strip = [&re](std::string s, std::vector<double>& numbers) {
      std::string rest;
      std::smatch m;
      while (std::regex_search(s, m, re)) {
        rest += m.prefix().str();
        std::string whole = m.str(0);
        for (std::size_t g = m.size(); g-- > 1;) {
          if (!m[g].matched) continue;
          const auto n = Number(m.str(g));
          numbers.push_back(n ? *n : std::nan(""));
          const std::size_t at = static_cast<std::size_t>(m.position(g) - m.position(0));
          whole.replace(at, static_cast<std::size_t>(m.length(g)), "#");
        }
        rest += whole;
        s = m.suffix().str();
        if (m.length(0) == 0) break;
      }
      return rest + s;
    };
    if (strip(re1, ne) != strip(ra, na) || ne.size() != na.size()) continue;
    bool ok = true;
    for (std::size_t i = 0; i < ne.size() && ok; ++i) ok = Close(ne[i], na[i], ap);
    if (ok && !ne.empty()) return true;
  }
  return false;
}

std::string Show(const std::string& s) { return s.size() > 120 ? s.substr(0, 117) + "..." : s; }

}  // namespace

std::string CompareTrace(const std::string& expected, const std::string& actual,
                         const std::optional<Approximations>& approx) {
  if (expected == actual) return "";
  const std::vector<std::string> e = Lines(expected), a = Lines(actual);
  for (std::size_t i = 0; i < std::max(e.size(), a.size()); ++i) {
    if (i >= e.size()) return "line " + std::to_string(i + 1) + ": extra \"" + Show(a[i]) + "\"";
    if (i >= a.size()) return "line " + std::to_string(i + 1) + ": missing \"" + Show(e[i]) + "\"";
    if (e[i] == a[i] || (approx && LinesMatch(e[i], a[i], *approx))) continue;
    return "line " + std::to_string(i + 1) + ": expected \"" + Show(e[i]) + "\", got \"" + Show(a[i]) + "\"";
  }
  // Only the last line's end differs.
  return approx ? "" : "the output's last line ends differently";
}

std::string ComparePicture(const Picture& expected, const Picture& actual, int tolerance, std::uint64_t maxOutliers) {
  if (expected.width != actual.width || expected.height != actual.height) {
    std::ostringstream s;
    s << "picture size " << actual.width << "x" << actual.height << ", expected " << expected.width << "x"
      << expected.height;
    return s.str();
  }
  std::uint64_t outliers = 0;
  for (std::size_t i = 0; i < expected.rgba.size() && i < actual.rgba.size(); ++i)
    if (std::abs(int{expected.rgba[i]} - int{actual.rgba[i]}) > tolerance) ++outliers;
  if (outliers <= maxOutliers) return "";
  std::ostringstream s;
  s << outliers << " channel values differ by more than " << tolerance << " (" << maxOutliers << " allowed)";
  return s.str();
}

}  // namespace conformance

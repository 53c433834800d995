// Number and string conversions of ActionScript 1 and 2, as Flash Player
// makes them.
#include "swf/avm1/conversions.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace dc::swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOctal(char c) { return c >= '0' && c <= '7'; }
bool IsHexPrefix(std::string_view s) { return s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'); }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

std::string_view SkipSpace(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  return s.substr(i);
}

// Digits of `radix` from the start of `s`; `count` says how many were used.
double ParseDigits(std::string_view s, int radix, std::size_t& count) {
  double v = 0;
  count = 0;
  for (char c : s) {
    const int d = DigitValue(c);
    if (d >= radix) break;
    v = v * radix + d;
    ++count;
  }
  return v;
}

// Whether `s` is an optional sign, a 0 and octal digits only.
bool OctalLooking(std::string_view s) {
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
  if (s.size() < 2 || s[0] != '0') return false;
  for (char c : s)
    if (!IsOctal(c)) return false;
  return true;
}

// The decimal number at the start of `s`, read as Flash reads it: the whole
// part digit by digit, each fraction digit divided by its power of ten and
// added, the exponent (wrapping at 32 bits) applied last. `used` is the
// length read, 0 when there is no number. With `lenientDots`, dots after
// the first are skipped (and then no exponent follows), as parseFloat does.
double ReadDecimal(std::string_view s, bool lenientDots, std::size_t& used) {
  std::size_t i = 0;
  used = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  double whole = 0, fraction = 0;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) {
    whole = whole * 10 + (s[i++] - '0');
    ++digits;
  }
  bool extraDot = false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    double place = 1;
    while (i < s.size()) {
      if (IsDigit(s[i])) {
        place *= 10;
        if (s[i] != '0') fraction += (s[i] - '0') / place;
        ++digits;
        ++i;
      } else if (lenientDots && s[i] == '.') {
        extraDot = true;
        ++i;
      } else {
        break;
      }
    }
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  std::int32_t exponent = 0;
  if (!extraDot && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) negativeExponent = s[j++] == '-';
    if (j < s.size() && IsDigit(s[j])) {
      std::uint32_t e = 0;
      while (j < s.size() && IsDigit(s[j])) e = e * 10u + static_cast<std::uint32_t>(s[j++] - '0');
      exponent = static_cast<std::int32_t>(negativeExponent ? 0u - e : e);
      end = j;
    }
  }
  used = end;
  double v = whole + fraction;
  if (exponent != 0 && v != 0) v *= std::pow(10.0, static_cast<double>(exponent));
  return negative ? -v : v;
}

// 10^n by squaring, as Flash computes the scale of a number's digits.
double PowerOfTen(int n) {
  double r = 1, b = 10;
  for (; n > 0; n >>= 1, b *= b)
    if (n & 1) r *= b;
  return r;
}

// Writes the 15 significant digits of |n| (not zero, finite) into `digits`
// without trailing zeros and returns the decimal exponent. Flash scales the
// number by a power of ten made by squaring and rounds: its last digit can
// differ from a correctly rounded one (Number.MAX_VALUE shows as
// 1.79769313486231e+308).
int SignificantDigits(double n, std::string& digits) {
  const double x = std::fabs(n);
  int exponent = static_cast<int>(std::floor(std::log10(x)));
  const auto scaled = [&](int e) {
    const int k = e - 14;
    if (k >= 0) return x / PowerOfTen(k);
    if (-k <= 300) return x * PowerOfTen(-k);
    return x * PowerOfTen(300) * PowerOfTen(-k - 300);
  };
  double m = std::floor(scaled(exponent) + 0.5);
  if (m >= 1e15) m = std::floor(scaled(++exponent) + 0.5);
  if (m < 1e14) m = std::floor(scaled(--exponent) + 0.5);
  if (m >= 1e15) {  // 9.99...95 rounded up to the next power of ten
    m = 1e14;
    ++exponent;
  }
  char buf[24];
  std::snprintf(buf, sizeof buf, "%.0f", m);
  digits = buf;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return exponent;
}

}  // namespace

std::string NumberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  std::string digits;
  const int exponent = SignificantDigits(n, digits);
  std::string out = n < 0 ? "-" : "";
  if (exponent < -5 || exponent >= 15) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "e-" : "e+";
    out += std::to_string(exponent < 0 ? -exponent : exponent);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits + std::string(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
  }
  return out;
}

std::string NumberToStringRadix(double n, int radix) {
  if (radix == 10 || radix < 2 || radix > 36) return NumberToString(n);
  std::int32_t v = TruncateToInt32(n);
  const bool negative = v < 0;
  // Negating -2^31 leaves it negative, and its remainders stay negative.
  if (negative) v = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v));
  char digits[40];
  std::size_t count = 0;
  do {
    const int d = v % radix;
    digits[count++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    v /= radix;
  } while (v != 0 && count < sizeof digits);
  std::string out = negative ? "-" : "";
  while (count > 0) out += digits[--count];
  return out;
}

double StringToNumber(std::string_view s, int swfVersion) {
  s = SkipSpace(s);
  std::size_t used = 0;
  if (swfVersion <= 4) {
    const double v = ReadDecimal(s, false, used);
    return used == 0 ? 0.0 : v;
  }
  if (s.empty()) return kNaN;
  if (swfVersion >= 6) {
    if (IsHexPrefix(s)) {
      std::string_view body = s.substr(2);
      bool negative = false;
      if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
      }
      std::size_t count = 0;
      const double v = ParseDigits(body, 16, count);
      if (count == 0 || count != body.size()) return kNaN;
      return negative ? -v : v;
    }
    if (OctalLooking(s)) {
      const bool negative = s[0] == '-';
      std::size_t count = 0;
      const double v = ParseDigits(s.substr(s[0] == '0' ? 0 : 1), 8, count);
      return negative ? -v : v;
    }
  }
  const double v = ReadDecimal(s, false, used);
  if (used == 0 || used != s.size()) return kNaN;
  return v;
}

double ParseInt(std::string_view s, std::optional<int> radix) {
  if (radix && (*radix < 2 || *radix > 36)) return kNaN;
  int base = radix.value_or(10);
  if (IsHexPrefix(s)) {
    s.remove_prefix(2);
    if (!radix) base = 16;
  } else if (s.size() >= 3 && (s[0] == '+' || s[0] == '-') && IsHexPrefix(s.substr(1))) {
    // Flash drops the sign and the zero and reads on from the 'x'.
    std::size_t count = 0;
    const double v = ParseDigits(s.substr(2), base, count);
    return count == 0 ? kNaN : v;
  } else if (!radix && OctalLooking(s)) {
    base = 8;
  }
  s = SkipSpace(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  std::size_t count = 0;
  const double v = ParseDigits(s, base, count);
  if (count == 0) return kNaN;
  return negative ? -v : v;
}

double ParseFloat(std::string_view s) {
  std::size_t used = 0;
  const double v = ReadDecimal(SkipSpace(s), true, used);
  return used == 0 ? kNaN : v;
}

std::uint32_t ToUint32(double n) {
  if (!std::isfinite(n)) return 0;
  double m = std::fmod(std::trunc(n), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<std::uint32_t>(m);
}

std::int32_t ToInt32(double n) { return static_cast<std::int32_t>(ToUint32(n)); }

std::int32_t TruncateToInt32(double n) {
  if (!(n > -2147483649.0 && n < 2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(n);
}

bool ArrayIndexOf(std::string_view s, std::uint32_t& index) {
  if (s.empty() || s.size() > 10 || (s.size() > 1 && s[0] == '0')) return false;
  std::uint64_t v = 0;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (v > 2147483647ull) return false;
  index = static_cast<std::uint32_t>(v);
  return true;
}

bool NumericName(std::string_view s, std::int32_t& value) {
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) s.remove_prefix(1);
  if (s.empty()) return false;
  std::uint32_t v = 0;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    v = v * 10u + static_cast<std::uint32_t>(c - '0');
  }
  value = static_cast<std::int32_t>(negative ? 0u - v : v);
  return true;
}

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace

bool NamesEqual(std::string_view a, std::string_view b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  if (caseSensitive) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string FoldName(std::string_view s, bool caseSensitive) {
  std::string out(s);
  if (!caseSensitive)
    for (char& c : out) c = Lower(c);
  return out;
}

}  // namespace dc::swf::avm1

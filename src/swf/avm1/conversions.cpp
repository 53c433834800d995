// Number and string conversions of ActionScript 1 and 2.
#include "swf/avm1/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace dc::swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// The length of the decimal number at the start of `s` (sign, digits,
// fraction, exponent), 0 when there is none.
std::size_t DecimalPrefix(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      i = j;
    }
  }
  return i;
}

double ParseDecimal(std::string_view s) {
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: infinity or zero, with the sign.
    const bool negative = !s.empty() && s[0] == '-';
    std::size_t i = negative ? 1 : 0;
    while (i < s.size() && (s[i] == '0' || s[i] == '.')) ++i;
    const bool tiny = s.find_first_of("eE") != std::string_view::npos &&
                      s.find('-', s.find_first_of("eE")) != std::string_view::npos;
    const double mag = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -mag : mag;
  }
  return v;
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

}  // namespace

std::string NumberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", n);
  // buf: [-]d.dddddddddddddde[+-]xx
  std::string_view text(buf);
  std::string sign;
  if (text[0] == '-') {
    sign = "-";
    text.remove_prefix(1);
  }
  const std::size_t e = text.find('e');
  std::string digits;
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.') digits += text[i];
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = sign;
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
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  double v = std::trunc(std::fabs(n));
  std::string digits;
  do {
    const int d = static_cast<int>(std::fmod(v, radix));
    digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
    v = std::floor(v / radix);
  } while (v >= 1 && digits.size() < 1100);
  return (n < 0 && digits != "0" ? "-" : "") + digits;
}

double StringToNumber(std::string_view s, int swfVersion) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  s.remove_prefix(i);
  if (swfVersion <= 4) {
    const std::size_t n = DecimalPrefix(s);
    return n == 0 ? 0.0 : ParseDecimal(s.substr(0, n));
  }
  if (s.empty()) return kNaN;
  bool negative = false;
  std::string_view body = s;
  if (body[0] == '+' || body[0] == '-') {
    negative = body[0] == '-';
    body.remove_prefix(1);
  }
  if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
    std::size_t count = 0;
    const double v = ParseDigits(body.substr(2), 16, count);
    if (count == 0 || count != body.size() - 2) return kNaN;
    return negative ? -v : v;
  }
  const std::size_t n = DecimalPrefix(s);
  if (n == 0 || n != s.size()) return kNaN;
  return ParseDecimal(s);
}

double ParseInt(std::string_view s, std::optional<int> radix) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  s.remove_prefix(i);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = radix.value_or(10);
  const bool hexPrefix = s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  if (!radix) {
    if (hexPrefix) {
      base = 16;
      s.remove_prefix(2);
    } else if (s.size() >= 2 && s[0] == '0' && IsDigit(s[1])) {
      base = 8;
    }
  } else if (base == 16 && hexPrefix) {
    s.remove_prefix(2);
  }
  if (base < 2 || base > 36) return kNaN;
  std::size_t count = 0;
  const double v = ParseDigits(s, base, count);
  if (count == 0) return kNaN;
  return negative ? -v : v;
}

double ParseFloat(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  s.remove_prefix(i);
  const std::size_t n = DecimalPrefix(s);
  return n == 0 ? kNaN : ParseDecimal(s.substr(0, n));
}

std::uint32_t ToUint32(double n) {
  if (!std::isfinite(n)) return 0;
  double m = std::fmod(std::trunc(n), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<std::uint32_t>(m);
}

std::int32_t ToInt32(double n) { return static_cast<std::int32_t>(ToUint32(n)); }

bool ArrayIndexOf(std::string_view s, std::uint32_t& index) {
  if (s.empty() || s.size() > 10 || (s.size() > 1 && s[0] == '0')) return false;
  std::uint64_t v = 0;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (v >= 4294967295ull) return false;
  index = static_cast<std::uint32_t>(v);
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

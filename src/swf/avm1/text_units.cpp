// UTF-8 with unpaired surrogates kept, to UTF-16 code units and back.
#include "swf/avm1/text_units.h"

#include <cstring>

#include "base/utf8.h"
#include "swf/avm1/value.h"

namespace dc::swf::avm1 {
namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point at `i` of `s` and its length in bytes. A surrogate's own
// three-byte form is read as that surrogate; what is not UTF-8 is one
// Latin-1 byte.
char32_t DecodeAt(std::string_view s, std::size_t i, std::size_t& len) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  len = 1;
  if (c < 0x80) return c;
  int n = 0;
  if (c >= 0xC2 && c < 0xE0) n = 1;
  else if (c >= 0xE0 && c < 0xF0) n = 2;
  else if (c >= 0xF0 && c < 0xF5) n = 3;
  if (n == 0 || i + static_cast<std::size_t>(n) >= s.size()) return c;
  char32_t v = c & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    if ((b(i + static_cast<std::size_t>(k)) & 0xC0) != 0x80) return c;
    v = (v << 6) | (b(i + static_cast<std::size_t>(k)) & 0x3F);
  }
  if ((n == 2 && v < 0x800) || (n == 3 && (v < 0x10000 || v > 0x10FFFF))) return c;
  len = static_cast<std::size_t>(n) + 1;
  return v;
}

void AppendSurrogate(std::string& out, char32_t c) {
  out += static_cast<char>(0xE0 | (c >> 12));
  out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (c & 0x3F));
}

// Walks the code points of normalized text (surrogates stand alone).
template <class F>
void ForEachCodePoint(std::string_view s, F&& f) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t len = 1;
    const char32_t c = DecodeAt(s, i, len);
    f(c);
    i += len;
  }
}

}  // namespace

std::string NormalizeText(std::string&& bytes, bool& ascii, std::uint32_t& units) {
  std::size_t i = 0;
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  if (i == bytes.size()) {
    ascii = true;
    units = static_cast<std::uint32_t>(bytes.size());
    return std::move(bytes);
  }
  ascii = false;
  // Valid UTF-8 stays as it is; only a split pair or a stray byte needs a
  // new copy.
  std::uint64_t count = i;
  bool rewrite = false;
  char32_t previous = 0;
  for (std::size_t k = i; k < bytes.size();) {
    std::size_t len = 1;
    const char32_t c = DecodeAt(bytes, k, len);
    if ((len == 1 && c >= 0x80) || (IsLowSurrogate(c) && IsHighSurrogate(previous))) rewrite = true;
    count += c >= 0x10000 ? 2 : 1;
    previous = c;
    k += len;
  }
  if (rewrite) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    out.append(bytes, 0, i);
    count = i;
    char32_t pending = 0;  // a high surrogate not yet written
    const auto flush = [&] {
      if (pending) AppendSurrogate(out, pending), ++count;
      pending = 0;
    };
    for (std::size_t k = i; k < bytes.size();) {
      std::size_t len = 1;
      const char32_t c = DecodeAt(bytes, k, len);
      k += len;
      if (IsLowSurrogate(c) && pending) {
        AppendUtf8(out, 0x10000 + ((pending - 0xD800) << 10) + (c - 0xDC00));
        count += 2;
        pending = 0;
        continue;
      }
      flush();
      if (IsHighSurrogate(c)) {
        pending = c;
      } else if (IsLowSurrogate(c)) {
        AppendSurrogate(out, c);
        ++count;
      } else {
        AppendUtf8(out, c);
        count += c >= 0x10000 ? 2 : 1;
      }
    }
    flush();
    bytes = std::move(out);
  }
  units = count > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(count);
  return std::move(bytes);
}

std::u16string ToUnits(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) {
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  });
  return out;
}

void AppendChar(std::string& out, char32_t c) {
  if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
    AppendSurrogate(out, c);
  } else {
    AppendUtf8(out, c);
  }
}

void AppendUnit(std::string& out, char16_t unit) {
  // A low surrogate right after a lone high one completes it.
  if (IsLowSurrogate(unit) && out.size() >= 3) {
    const auto* p = reinterpret_cast<const unsigned char*>(out.data() + out.size() - 3);
    if (p[0] == 0xED && (p[1] & 0xF0) == 0xA0) {
      const char32_t high = 0xD000 | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      out.resize(out.size() - 3);
      AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
      return;
    }
  }
  AppendChar(out, unit);
}

std::string FromUnits(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (char16_t u : units) AppendUnit(out, u);
  return out;
}

std::string UnitSlice(std::string_view text, bool ascii, std::size_t start, std::size_t count) {
  if (ascii) {
    if (start >= text.size()) return {};
    return std::string(text.substr(start, count));
  }
  const std::u16string units = ToUnits(text);
  if (start >= units.size()) return {};
  return FromUnits(std::u16string_view(units).substr(start, count));
}

char16_t FirstUnit(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t len = 1;
  const char32_t c = DecodeAt(text, 0, len);
  return c >= 0x10000 ? static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)) : static_cast<char16_t>(c);
}

std::string ToValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) { AppendUtf8(out, IsHighSurrogate(c) || IsLowSurrogate(c) ? 0xFFFD : c); });
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

StringCell::Parts StringCell::Normalized(std::string s) {
  Parts p;
  p.text = NormalizeText(std::move(s), p.ascii, p.units);
  return p;
}

}  // namespace dc::swf::avm1

// Decoding a field's text and reducing its HTML.
#include "swf/text/field_text.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <optional>
#include <utility>

namespace dc::swf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at `pos` and the bytes it takes; a malformed sequence
// (cut short, overlong, a surrogate, past U+10FFFF) takes one byte.
std::pair<char32_t, std::size_t> DecodeOne(std::string_view s, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0, least = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return {kReplacement, 1};
  }
  if (s.size() - pos < length) return {kReplacement, 1};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(s[pos + i]);
    if ((next & 0xC0) != 0x80) return {kReplacement, 1};
    code = (code << 6) | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {kReplacement, 1};
  return {code, length};
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const int lower = std::tolower(static_cast<unsigned char>(c));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The entity at the start of `s` ("&...;"): its character and length, or
// a length of 0 when it is none we know.
std::pair<char32_t, std::size_t> DecodeEntity(std::string_view s) {
  const std::size_t end = s.find(';');
  if (end == std::string_view::npos || end > 10) return {0, 0};
  const std::string_view name = s.substr(1, end - 1);
  static constexpr std::pair<std::string_view, char32_t> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
  for (const auto& [entity, code] : kNamed) {
    if (name == entity) return {code, end + 1};
  }
  if (name.size() < 2 || name[0] != '#') return {0, 0};
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return {0, 0};
  std::uint32_t code = 0;
  for (char c : digits) {
    const int d = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) return {0, 0};
    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);  // at most 8 digits: no overflow
  }
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = kReplacement;
  return {code, end + 1};
}

// The colour of a font tag's color="#RRGGBB" attribute, if it has one.
std::optional<Rgba> FontColor(std::string_view tag) {
  for (std::size_t at = 0; (at = tag.find('=', at)) != std::string_view::npos; ++at) {
    std::size_t nameEnd = at;
    while (nameEnd > 0 && tag[nameEnd - 1] == ' ') --nameEnd;
    if (nameEnd < 5 || !EqualsIgnoringCase(tag.substr(nameEnd - 5, 5), "color")) continue;
    std::size_t v = at + 1;
    while (v < tag.size() && (tag[v] == ' ' || tag[v] == '"' || tag[v] == '\'')) ++v;
    if (v + 7 > tag.size() || tag[v] != '#') return std::nullopt;
    std::array<int, 6> d{};
    for (std::size_t i = 0; i < 6; ++i) {
      d[i] = HexDigit(tag[v + 1 + i]);
      if (d[i] < 0) return std::nullopt;
    }
    return Rgba{static_cast<std::uint8_t>(d[0] * 16 + d[1]), static_cast<std::uint8_t>(d[2] * 16 + d[3]),
                static_cast<std::uint8_t>(d[4] * 16 + d[5]), 255};
  }
  return std::nullopt;
}

}  // namespace

std::vector<StyledChar> DecodeFieldText(std::string_view utf8, Rgba color) {
  std::vector<StyledChar> out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto [code, length] = DecodeOne(utf8, pos);
    out.push_back({code, color});
    pos += length;
  }
  return out;
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto [code, length] = DecodeOne(utf8, pos);
    out.push_back(code);
    pos += length;
  }
  return out;
}

std::vector<StyledChar> ReduceFieldHtml(std::string_view html, Rgba color) {
  std::vector<StyledChar> out;
  out.reserve(html.size());
  std::vector<Rgba> colors{color};  // the enclosing font tags' colours
  const auto lineBreak = [&] { out.push_back({'\n', colors.back()}); };
  for (std::size_t pos = 0; pos < html.size();) {
    const char c = html[pos];
    if (c == '<') {
      const std::size_t close = html.find('>', pos);
      if (close != std::string_view::npos) {
        const std::string_view tag = html.substr(pos + 1, close - pos - 1);
        const bool closing = !tag.empty() && tag[0] == '/';
        std::size_t nameEnd = closing ? 1 : 0;
        while (nameEnd < tag.size() && std::isalnum(static_cast<unsigned char>(tag[nameEnd]))) ++nameEnd;
        const std::string_view name = tag.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0));
        if (EqualsIgnoringCase(name, "br")) {
          lineBreak();
        } else if (EqualsIgnoringCase(name, "p")) {
          if (closing || (!out.empty() && out.back().code != '\n')) lineBreak();
        } else if (EqualsIgnoringCase(name, "font")) {
          if (closing) {
            if (colors.size() > 1) colors.pop_back();
          } else {
            colors.push_back(FontColor(tag).value_or(colors.back()));
          }
        }
        pos = close + 1;
        continue;
      }
    } else if (c == '&') {
      const auto [code, length] = DecodeEntity(html.substr(pos));
      if (length != 0) {
        out.push_back({code, colors.back()});
        pos += length;
        continue;
      }
    }
    const auto [code, length] = DecodeOne(html, pos);
    out.push_back({code, colors.back()});
    pos += length;
  }
  return out;
}

}  // namespace dc::swf

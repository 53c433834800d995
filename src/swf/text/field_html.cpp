// Reading and writing a field's HTML.
#include "swf/text/field_html.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "base/utf8.h"
#include "swf/limits.h"
#include "swf/text/field_text.h"

namespace dc::swf {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

struct Attribute {
  std::string_view name, value;
};

struct Tag {
  std::string_view name;
  bool closing = false;
  std::vector<Attribute> attributes;
  std::optional<std::string_view> Get(std::string_view n) const {
    for (const Attribute& a : attributes)
      if (SameName(a.name, n)) return a.value;
    return std::nullopt;
  }
};

// The inside of <...>.
Tag ParseTag(std::string_view s) {
  Tag tag;
  std::size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  if (i < s.size() && s[i] == '/') tag.closing = true, ++i;
  std::size_t start = i;
  while (i < s.size() && !IsSpace(s[i]) && s[i] != '/') ++i;
  tag.name = s.substr(start, i - start);
  while (i < s.size()) {
    while (i < s.size() && (IsSpace(s[i]) || s[i] == '/')) ++i;
    start = i;
    while (i < s.size() && !IsSpace(s[i]) && s[i] != '=') ++i;
    const std::string_view name = s.substr(start, i - start);
    while (i < s.size() && IsSpace(s[i])) ++i;
    std::string_view value;
    if (i < s.size() && s[i] == '=') {
      ++i;
      while (i < s.size() && IsSpace(s[i])) ++i;
      if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
        const char quote = s[i++];
        start = i;
        while (i < s.size() && s[i] != quote) ++i;
        value = s.substr(start, i - start);
        if (i < s.size()) ++i;
      } else {
        start = i;
        while (i < s.size() && !IsSpace(s[i])) ++i;
        value = s.substr(start, i - start);
      }
    }
    if (!name.empty()) tag.attributes.push_back({name, value});
  }
  return tag;
}

std::optional<double> Number(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// A <font> size: its sign and the whole number its digits start with
// (the rest is left out).
std::optional<long> WholeSize(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  const bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  long v = 0;
  std::size_t digits = 0;
  for (; digits < s.size() && s[digits] >= '0' && s[digits] <= '9'; ++digits)
    v = std::min(v * 10 + (s[digits] - '0'), 100000L);
  if (digits == 0) return std::nullopt;
  return negative ? -v : v;
}

std::optional<std::uint32_t> Colour(std::string_view s) {
  if (s.empty() || s.front() != '#') return std::nullopt;
  std::uint32_t v = 0;
  std::size_t digits = 0;
  s.remove_prefix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    v = (v << 4) | static_cast<std::uint32_t>(d);
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return v & 0xFFFFFF;
}

std::optional<TextAlign> Align(std::string_view s) {
  if (SameName(s, "left")) return TextAlign::Left;
  if (SameName(s, "right")) return TextAlign::Right;
  if (SameName(s, "center")) return TextAlign::Center;
  if (SameName(s, "justify")) return TextAlign::Justify;
  return std::nullopt;
}

// An entity at `s` (after '&'); the characters it read, 0 for none.
std::size_t Entity(std::string_view s, char32_t& out) {
  const std::size_t semi = s.find(';');
  if (semi == std::string_view::npos || semi > 10) return 0;
  const std::string_view name = s.substr(0, semi);
  struct Named {
    std::string_view name;
    char32_t code;
  };
  static constexpr Named kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
                                     {"nbsp", 0xA0}};
  for (const Named& n : kNamed)
    if (name == n.name) {
      out = n.code;
      return semi + 1;
    }
  if (name.size() >= 2 && name[0] == '#') {
    unsigned long v = 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, hex ? 16 : 10);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || v > 0x10FFFF) return 0;
    out = static_cast<char32_t>(v);
    return semi + 1;
  }
  return 0;
}

using text_limits::kMaxHtmlFontLevels;
using text_limits::kMaxHtmlOpenTags;

class Reader {
 public:
  Reader(const TextFormat& base, const HtmlReading& how) : how_(how), base_(base), format_(base) {}

  void Run(std::string_view html) {
    std::size_t i = 0;
    bool segmentStart = true;  // at the first character after a tag (or of the text)
    while (i < html.size()) {
      const char c = html[i];
      if (segmentStart && how_.beforeSwf8) {
        // Text between tags that is only white space is no text at all.
        segmentStart = false;
        std::size_t j = i;
        while (j < html.size() && IsSpace(html[j])) ++j;
        if (j > i && (j == html.size() || html[j] == '<')) {
          i = j;
          continue;
        }
      }
      if (c == '<') {
        const std::size_t close = html.find('>', i + 1);
        if (close != std::string_view::npos) {
          OnTag(ParseTag(html.substr(i + 1, close - i - 1)));
          i = close + 1;
          segmentStart = true;
          // White space is condensed within the text between two tags,
          // not across them.
          lastSpace_ = false;
          continue;
        }
      }
      if (c == '&') {
        char32_t code = 0;
        if (const std::size_t n = Entity(html.substr(i + 1), code)) {
          Char(code, false);
          i += n + 1;
          continue;
        }
      }
      // One UTF-8 character.
      std::size_t len = 1;
      const auto lead = static_cast<unsigned char>(c);
      if (lead >= 0xF0) len = 4;
      else if (lead >= 0xE0) len = 3;
      else if (lead >= 0xC0) len = 2;
      len = std::min(len, html.size() - i);
      const std::u32string decoded = DecodeUtf8(html.substr(i, len));
      for (char32_t d : decoded) Char(d, true);
      i += len;
    }
  }

  FieldDocument Take() { return std::move(doc_); }

 private:
  void Char(char32_t c, bool raw) {
    if (raw && (c == '\n' || c == '\r')) {
      if (how_.condenseWhite) c = ' ';
      else {
        Break();
        return;
      }
    }
    if (how_.condenseWhite && raw && (c == ' ' || c == '\t')) {
      if (lastSpace_) return;
      c = ' ';
      lastSpace_ = true;
    } else {
      lastSpace_ = false;
    }
    const char32_t one[1] = {c};
    doc_.Append(std::u32string_view(one, 1), format_);
  }

  void Break() { Break(format_); }

  void Break(const TextFormat& format) {
    const char32_t r[1] = {U'\r'};
    doc_.Append(std::u32string_view(r, 1), format);
    paragraphStart_ = doc_.Length();
    lastSpace_ = false;
  }

  // The break a </p> makes: in the format of the paragraph's last
  // character (when it has none, the text's own characters in the
  // paragraph's format), its font's fields those of the last <font> that
  // held no text.
  void ParagraphBreak() {
    TextFormat f = format_;
    if (doc_.Length() > paragraphStart_) f = *doc_.FormatAt(doc_.Length() - 1);
    else CharacterFields(base_, f);
    if (emptyFont_) {
      f.font = emptyFont_->font, f.size = emptyFont_->size, f.color = emptyFont_->color;
      f.letterSpacing = emptyFont_->letterSpacing, f.kerning = emptyFont_->kerning;
    }
    Break(f);
  }

  static void CharacterFields(const TextFormat& from, TextFormat& to) {
    to.font = from.font, to.size = from.size, to.color = from.color, to.letterSpacing = from.letterSpacing;
    to.kerning = from.kerning, to.bold = from.bold, to.italic = from.italic, to.underline = from.underline;
    to.url = from.url, to.target = from.target;
  }

  bool IsOpen(std::string_view name) const {
    return std::any_of(open_.begin(), open_.end(), [name](const Open& o) { return SameName(o.name, name); });
  }

  void OnTag(const Tag& tag) {
    const std::string_view n = tag.name;
    if (tag.closing) {
      const bool paragraph = SameName(n, "p") || SameName(n, "li");
      // A paragraph's closing tag closes the innermost of its kind, the
      // tags inside it staying open; any other closes only the innermost
      // open tag, and is left out when that is another.
      std::size_t k = open_.size();
      while (k > 0 && paragraph && !SameName(open_[k - 1].name, n)) --k;
      if (k == 0 || !SameName(open_[k - 1].name, n)) return;
      --k;
      if (how_.multiline && SameName(n, "p")) ParagraphBreak();
      if (how_.multiline && SameName(n, "li")) Break();
      if (k + 1 < open_.size()) {
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(k));
        return;
      }
      if (SameName(n, "font") && open_.back().length == doc_.Length()) emptyFont_ = format_;
      format_ = open_.back().before;
      open_.pop_back();
      return;
    }
    if (SameName(n, "br")) {
      // A field of one line ignores the tag (its text's own line ends
      // still break).
      if (how_.multiline) Break();
      return;
    }
    TextFormat next = format_;
    const bool styled = how_.styles && Style(tag, next);
    if (SameName(n, "b")) next.bold = true;
    else if (SameName(n, "i")) next.italic = true;
    else if (SameName(n, "u")) next.underline = true;
    else if (SameName(n, "font")) {
      if (const auto face = tag.Get("face")) next.font = std::string(*face);
      if (const auto size = tag.Get("size")) {
        if (const auto v = WholeSize(*size)) {
          const bool relative = !size->empty() && (size->front() == '+' || size->front() == '-');
          next.size = std::clamp(relative ? next.size + static_cast<double>(*v) : static_cast<double>(*v), 1.0, 127.0);
        }
      }
      if (const auto color = tag.Get("color"))
        if (const auto v = Colour(*color)) next.color = *v;
      if (const auto ls = tag.Get("letterspacing"))
        if (const auto v = Number(*ls)) next.letterSpacing = *v;
      if (const auto k = tag.Get("kerning"); k && !how_.beforeSwf8)
        if (const auto v = Number(*k)) next.kerning = *v != 0;
    } else if (SameName(n, "a")) {
      next.url = std::string(tag.Get("href").value_or(""));
      next.target = std::string(tag.Get("target").value_or(""));
    } else if (SameName(n, "p")) {
      // A paragraph inside a paragraph is the one paragraph: its tags
      // are left out, the first </p> closing the outer one.
      if (IsOpen("p")) return;
      if (const auto a = tag.Get("align"))
        if (const auto v = Align(*a)) next.align = *v;
    } else if (SameName(n, "li")) {
      // An item starts a paragraph of its own.
      if (how_.multiline && doc_.Length() > paragraphStart_) Break();
      next.bullet = true;
    } else if (SameName(n, "textformat")) {
      const auto px = [&](std::string_view attr, double& field) {
        if (const auto a = tag.Get(attr))
          if (const auto v = Number(*a)) field = *v;
      };
      px("leftmargin", next.leftMargin), px("rightmargin", next.rightMargin), px("indent", next.indent);
      px("blockindent", next.blockIndent), px("leading", next.leading);
      if (const auto stops = tag.Get("tabstops")) {
        next.tabStops.clear();
        std::string_view rest = *stops;
        while (!rest.empty() && next.tabStops.size() < 64) {
          const std::size_t comma = rest.find(',');
          if (const auto v = Number(rest.substr(0, comma))) next.tabStops.push_back(*v);
          if (comma == std::string_view::npos) break;
          rest.remove_prefix(comma + 1);
        }
      }
    } else if (!SameName(n, "span") && !styled) {
      return;  // unknown: its text stays, the tag goes
    }
    // Tags nested deeper than this are left out (their text is kept), so
    // that the open tags cost no more than a bounded stack.
    if (open_.size() >= kMaxHtmlOpenTags) return;
    open_.push_back({n, format_, doc_.Length()});
    format_ = std::move(next);
  }

  // Puts the sheet's styles for `tag` over `next`; whether any applied.
  bool Style(const Tag& tag, TextFormat& next) const {
    const std::string_view n = tag.name;
    bool styled = false;
    // A tag of its own making takes its style as <p>, <li> and <a> do.
    static constexpr std::string_view kPlain[] = {"b", "i", "u", "font", "textformat", "span", "img"};
    if (std::none_of(std::begin(kPlain), std::end(kPlain), [&](std::string_view k) { return SameName(n, k); }))
      if (const auto style = how_.styles(n)) next = style->Over(std::move(next)), styled = true;
    if (const auto name = tag.Get("class"))
      if (const auto style = how_.styles("." + std::string(*name))) next = style->Over(std::move(next)), styled = true;
    return styled;
  }

  struct Open {
    std::string_view name;
    TextFormat before;
    std::size_t length;  // the text's when the tag opened
  };
  HtmlReading how_;
  TextFormat base_;
  TextFormat format_;
  std::vector<Open> open_;
  FieldDocument doc_;
  bool lastSpace_ = false;
  std::size_t paragraphStart_ = 0;       // where the paragraph being read starts
  std::optional<TextFormat> emptyFont_;  // inside the last <font> that held no text
};

// ---- Writing ----

std::string Num(double v) {
  if (!std::isfinite(v)) return "0";
  if (v == std::floor(v) && std::abs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

std::string Hex(std::uint32_t c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", c & 0xFFFFFF);
  return buf;
}

void Escape(std::string& out, std::u32string_view text) {
  for (char32_t c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: AppendUtf8(out, c);
    }
  }
}

const char* AlignName(TextAlign a) {
  switch (a) {
    case TextAlign::Left: return "LEFT";
    case TextAlign::Right: return "RIGHT";
    case TextAlign::Center: return "CENTER";
    case TextAlign::Justify: return "JUSTIFY";
  }
  return "LEFT";
}

bool SameFont(const TextFormat& a, const TextFormat& b) {
  return a.font == b.font && a.size == b.size && a.color == b.color && a.letterSpacing == b.letterSpacing &&
         a.kerning == b.kerning;
}

bool SameCharacters(const TextFormat& a, const TextFormat& b) {
  return SameFont(a, b) && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.url == b.url &&
         a.target == b.target;
}

// The FONT attributes of `to` that differ from `from` (all when `from` is null).
std::string FontTag(const TextFormat* from, const TextFormat& to) {
  std::string out = "<FONT";
  if (!from || from->font != to.font) out += " FACE=\"" + to.font + "\"";
  if (!from || from->size != to.size) out += " SIZE=\"" + Num(to.size) + "\"";
  if (!from || from->color != to.color) out += " COLOR=\"" + Hex(to.color) + "\"";
  if (!from || from->letterSpacing != to.letterSpacing) out += " LETTERSPACING=\"" + Num(to.letterSpacing) + "\"";
  if (!from || from->kerning != to.kerning) out += std::string(" KERNING=\"") + (to.kerning ? "1" : "0") + "\"";
  return out + ">";
}

// The paragraph [begin, end), its runs from the one at `runIndex`, which
// starts at `runStart`.
void WriteParagraph(std::string& out, const FieldDocument& doc, std::size_t begin, std::size_t end,
                    std::size_t runIndex, std::size_t runStart, const TextFormat& first) {
  std::string block;
  // Measures are written as whole pixels, what is left dropped.
  const auto measure = [&block](const char* name, double px) {
    if (const double whole = std::trunc(px); whole != 0) block += std::string(" ") + name + "=\"" + Num(whole) + "\"";
  };
  measure("LEFTMARGIN", first.leftMargin);
  measure("RIGHTMARGIN", first.rightMargin);
  measure("INDENT", first.indent);
  measure("BLOCKINDENT", first.blockIndent);
  measure("LEADING", first.leading);
  if (!first.tabStops.empty()) {
    block += " TABSTOPS=\"";
    for (std::size_t i = 0; i < first.tabStops.size(); ++i) block += (i ? "," : "") + Num(first.tabStops[i]);
    block += "\"";
  }
  if (!block.empty()) out += "<TEXTFORMAT" + block + ">";
  out += first.bullet ? std::string("<LI>") : std::string("<P ALIGN=\"") + AlignName(first.align) + "\">";
  out += FontTag(nullptr, first);
  // The paragraph's pieces: runs that differ only in paragraph fields
  // are one piece.
  struct Piece {
    const TextFormat* format;
    std::size_t from, to;
  };
  std::vector<Piece> pieces;
  std::size_t pos = runStart;
  for (std::size_t r = runIndex; r < doc.Runs().size() && pos < end; ++r) {
    const FieldDocument::Run& run = doc.Runs()[r];
    const std::size_t runEnd = pos + run.length;
    const std::size_t from = std::max(pos, begin), to = std::min(runEnd, end);
    pos = runEnd;
    if (from >= to) continue;
    if (!pieces.empty() && SameCharacters(*pieces.back().format, run.format)) pieces.back().to = to;
    else pieces.push_back({&run.format, from, to});
  }
  std::vector<TextFormat> stack{first};
  const std::u32string& text = doc.Text();
  for (const Piece& p : pieces) {
    const std::size_t from = p.from, to = p.to;
    const TextFormat& f = *p.format;
    if (!SameFont(stack.back(), f)) {
      std::size_t level = stack.size();
      for (std::size_t k = stack.size(); k-- > 0;)
        if (SameFont(stack[k], f)) {
          level = k;
          break;
        }
      if (level == stack.size() && stack.size() >= kMaxHtmlFontLevels) {
        for (std::size_t k = stack.size(); k > 1; --k) out += "</FONT>";
        stack.resize(1);
        if (!SameFont(stack.back(), f)) {
          out += FontTag(&stack.back(), f);
          stack.push_back(f);
        }
      } else if (level < stack.size()) {
        for (std::size_t k = stack.size(); k > level + 1; --k) out += "</FONT>";
        stack.resize(level + 1);
      } else {
        out += FontTag(&stack.back(), f);
        stack.push_back(f);
      }
    }
    std::u32string_view piece(text.data() + from, to - from);
    if (!piece.empty() && piece.back() == U'\r') piece.remove_suffix(1);
    if (!f.url.empty()) out += "<A HREF=\"" + f.url + "\" TARGET=\"" + f.target + "\">";
    if (f.bold) out += "<B>";
    if (f.italic) out += "<I>";
    if (f.underline) out += "<U>";
    Escape(out, piece);
    if (f.underline) out += "</U>";
    if (f.italic) out += "</I>";
    if (f.bold) out += "</B>";
    if (!f.url.empty()) out += "</A>";
  }
  for (std::size_t k = 0; k < stack.size(); ++k) out += "</FONT>";
  out += first.bullet ? "</LI>" : "</P>";
  if (!block.empty()) out += "</TEXTFORMAT>";
}

}  // namespace

FieldDocument ReadFieldHtml(std::string_view html, const TextFormat& base, const HtmlReading& how) {
  Reader reader(base, how);
  reader.Run(html);
  return reader.Take();
}

std::string WriteFieldHtml(const FieldDocument& doc, const TextFormat& empty) {
  std::string out;
  const std::u32string& text = doc.Text();
  if (text.empty()) {
    WriteParagraph(out, doc, 0, 0, 0, 0, empty);
    return out;
  }
  std::size_t begin = 0, run = 0, runStart = 0;
  const auto& runs = doc.Runs();
  while (begin < text.size()) {
    std::size_t end = text.find(U'\r', begin);
    end = end == std::u32string::npos ? text.size() : end + 1;
    while (runStart + runs[run].length <= begin && run + 1 < runs.size()) runStart += runs[run++].length;
    WriteParagraph(out, doc, begin, end, run, runStart, runs[run].format);
    begin = end;
  }
  return out;
}

}  // namespace dc::swf

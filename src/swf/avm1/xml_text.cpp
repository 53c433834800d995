// Reading XML text into parts and escaping texts for writing, as the XML
// objects of scripts do it: a lenient, non-validating reader that stops at
// the first fault with its status.
#include "swf/avm1/xml_text.h"

#include <algorithm>

#include "swf/avm1/text_units.h"

namespace dc::swf::avm1 {
namespace {

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool AllWhite(std::string_view s) { return std::all_of(s.begin(), s.end(), IsWhite); }

// A name runs to whitespace or the markup that ends it.
bool EndsName(char c) { return IsWhite(c) || c == '>' || c == '/' || c == '=' || c == '<'; }

bool StartsWith(std::string_view s, std::size_t at, std::string_view prefix) {
  return s.substr(at, prefix.size()) == prefix;
}

// The end of a DOCTYPE: the first '>' outside its internal subset [...].
std::size_t DocTypeEnd(std::string_view s, std::size_t from) {
  int depth = 0;
  for (std::size_t i = from; i < s.size(); ++i) {
    if (s[i] == '[') ++depth;
    else if (s[i] == ']' && depth > 0) --depth;
    else if (s[i] == '>' && depth == 0) return i;
  }
  return std::string_view::npos;
}

// The code point of a character reference's digits; 0 when they are not one.
char32_t CharacterReference(std::string_view digits) {
  int base = 10;
  if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.size() > 8) return 0;
  std::uint32_t cp = 0;
  for (char c : digits) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return 0;
    cp = cp * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
  }
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return static_cast<char32_t>(cp);
}

class Reader {
 public:
  Reader(std::string_view text, bool ignoreWhite, XmlSink& sink) : s_(text), ignoreWhite_(ignoreWhite), sink_(sink) {}

  XmlStatus Run() {
    while (i_ < s_.size()) {
      if (s_[i_] != '<') {
        const std::size_t lt = std::min(s_.find('<', i_), s_.size());
        EmitText(DecodeXmlEntities(s_.substr(i_, lt - i_)));
        i_ = lt;
        continue;
      }
      const XmlStatus st = Markup();
      if (st != XmlStatus::Ok) return st;
    }
    return open_.empty() ? XmlStatus::Ok : XmlStatus::StartWithoutEnd;
  }

 private:
  void EmitText(std::string text) {
    if (text.empty() || (ignoreWhite_ && AllWhite(text))) return;
    sink_.Text(std::move(text));
  }

  // Skips to `end` after `from`; false when it is not there.
  bool SkipPast(std::string_view end, std::size_t from) {
    const std::size_t at = s_.find(end, from);
    if (at == std::string_view::npos) return false;
    i_ = at + end.size();
    return true;
  }

  XmlStatus Markup() {
    const std::size_t start = i_;
    if (StartsWith(s_, i_, "<!--"))
      return SkipPast("-->", i_ + 4) ? XmlStatus::Ok : XmlStatus::CommentUnterminated;
    if (StartsWith(s_, i_, "<![CDATA[")) {
      const std::size_t end = s_.find("]]>", i_ + 9);
      if (end == std::string_view::npos) return XmlStatus::CdataUnterminated;
      EmitText(std::string(s_.substr(i_ + 9, end - i_ - 9)));
      i_ = end + 3;
      return XmlStatus::Ok;
    }
    if (StartsWith(s_, i_, "<!DOCTYPE")) {
      const std::size_t end = DocTypeEnd(s_, i_ + 9);
      if (end == std::string_view::npos) return XmlStatus::DocTypeUnterminated;
      i_ = end + 1;
      sink_.DocType(s_.substr(start, i_ - start));
      return XmlStatus::Ok;
    }
    if (StartsWith(s_, i_, "<?")) {
      if (!SkipPast("?>", i_ + 2)) return XmlStatus::DeclarationUnterminated;
      sink_.Declaration(s_.substr(start, i_ - start));
      return XmlStatus::Ok;
    }
    if (StartsWith(s_, i_, "<!"))  // another declaration: read past, kept nowhere
      return SkipPast(">", i_ + 2) ? XmlStatus::Ok : XmlStatus::ElementMalformed;
    if (StartsWith(s_, i_, "</")) return EndTag();
    return StartTag();
  }

  std::string_view Name() {
    const std::size_t from = i_;
    while (i_ < s_.size() && !EndsName(s_[i_])) ++i_;
    return s_.substr(from, i_ - from);
  }

  void SkipWhite() {
    while (i_ < s_.size() && IsWhite(s_[i_])) ++i_;
  }

  XmlStatus EndTag() {
    i_ += 2;
    const std::string_view name = Name();
    SkipWhite();
    if (i_ >= s_.size() || s_[i_] != '>') return XmlStatus::ElementMalformed;
    ++i_;
    if (open_.empty() || open_.back() != name) return XmlStatus::EndWithoutStart;
    open_.pop_back();
    sink_.CloseElement();
    return XmlStatus::Ok;
  }

  XmlStatus StartTag() {
    ++i_;
    const std::string_view name = Name();
    if (name.empty()) return XmlStatus::ElementMalformed;
    attributes_.clear();
    for (;;) {
      SkipWhite();
      if (i_ >= s_.size()) return XmlStatus::ElementMalformed;
      if (s_[i_] == '>') {
        ++i_;
        sink_.OpenElement(name, attributes_, false);
        open_.emplace_back(name);
        return XmlStatus::Ok;
      }
      if (StartsWith(s_, i_, "/>")) {
        i_ += 2;
        sink_.OpenElement(name, attributes_, true);
        return XmlStatus::Ok;
      }
      const std::string_view attribute = Name();
      if (attribute.empty()) return XmlStatus::ElementMalformed;
      SkipWhite();
      if (i_ >= s_.size() || s_[i_] != '=') return XmlStatus::ElementMalformed;
      ++i_;
      SkipWhite();
      if (i_ >= s_.size() || (s_[i_] != '"' && s_[i_] != '\'')) return XmlStatus::ElementMalformed;
      const char quote = s_[i_++];
      const std::size_t end = s_.find(quote, i_);
      if (end == std::string_view::npos) return XmlStatus::AttributeUnterminated;
      attributes_.push_back({std::string(attribute), DecodeXmlEntities(s_.substr(i_, end - i_))});
      i_ = end + 1;
    }
  }

  std::string_view s_;
  bool ignoreWhite_;
  XmlSink& sink_;
  std::size_t i_ = 0;
  std::vector<std::string> open_;
  std::vector<XmlAttribute> attributes_;
};

}  // namespace

XmlStatus ParseXmlText(std::string_view text, bool ignoreWhite, XmlSink& sink) {
  return Reader(text, ignoreWhite, sink).Run();
}

std::string DecodeXmlEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(i, amp - i));
    i = amp;
    const std::size_t semi = text.find(';', amp + 1);
    // Entities are short: a ';' far away belongs to something else.
    const std::string_view body =
        semi == std::string_view::npos || semi - amp > 12 ? std::string_view() : text.substr(amp + 1, semi - amp - 1);
    static constexpr struct {
      std::string_view name;
      char c;
    } kNamed[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    bool decoded = false;
    for (const auto& e : kNamed) {
      if (body == e.name) {
        out += e.c;
        decoded = true;
        break;
      }
    }
    if (!decoded && body.size() > 1 && body[0] == '#') {
      if (const char32_t cp = CharacterReference(body.substr(1))) {
        AppendChar(out, cp);
        decoded = true;
      }
    }
    if (decoded) {
      i = semi + 1;
    } else {
      out += '&';
      ++i;
    }
  }
  out.append(text.substr(i));
  return out;
}

void AppendXmlEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
}

}  // namespace dc::swf::avm1

// A text field's state: properties, formats by range and HTML, kept in
// step with what the renderer draws.
#include "swf/display/edit_field.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/display/display_object.h"
#include "swf/model/movie.h"
#include "swf/text/field_html.h"

namespace dc::swf {
namespace {

using avm1::FieldProperty;
using avm1::FieldValue;

PartialTextFormat ToPartial(const avm1::FieldFormat& f) {
  PartialTextFormat p;
  p.font = f.font, p.size = f.size, p.color = f.color, p.bold = f.bold, p.italic = f.italic;
  p.underline = f.underline, p.url = f.url, p.target = f.target, p.letterSpacing = f.letterSpacing;
  p.kerning = f.kerning, p.align = f.align, p.leftMargin = f.leftMargin, p.rightMargin = f.rightMargin;
  p.indent = f.indent, p.blockIndent = f.blockIndent, p.leading = f.leading, p.bullet = f.bullet;
  p.tabStops = f.tabStops;
  return p;
}

avm1::FieldFormat FromPartial(const PartialTextFormat& p) {
  avm1::FieldFormat f;
  f.font = p.font, f.size = p.size, f.color = p.color, f.bold = p.bold, f.italic = p.italic;
  f.underline = p.underline, f.url = p.url, f.target = p.target, f.letterSpacing = p.letterSpacing;
  f.kerning = p.kerning, f.align = p.align, f.leftMargin = p.leftMargin, f.rightMargin = p.rightMargin;
  f.indent = p.indent, f.blockIndent = p.blockIndent, f.leading = p.leading, f.bullet = p.bullet;
  f.tabStops = p.tabStops;
  return f;
}

// Line ends as Flash keeps them: "\r\n" and "\n" become '\r'.
std::u32string FieldChars(const std::string& utf8) {
  const std::u32string decoded = DecodeUtf8(utf8);
  std::u32string out;
  out.reserve(decoded.size());
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    const char32_t c = decoded[i];
    if (c == U'\r' && i + 1 < decoded.size() && decoded[i + 1] == U'\n') continue;
    out.push_back(c == U'\n' ? U'\r' : c);
  }
  return out;
}

bool AsBool(const FieldValue& v) {
  if (const bool* b = std::get_if<bool>(&v)) return *b;
  if (const double* d = std::get_if<double>(&v)) return *d != 0 && !std::isnan(*d);
  return false;
}
double AsNumber(const FieldValue& v, double fallback = 0) {
  const double* d = std::get_if<double>(&v);
  return d && std::isfinite(*d) ? *d : fallback;
}
std::optional<std::string> AsString(const FieldValue& v) {
  if (const std::string* s = std::get_if<std::string>(&v)) return *s;
  return std::nullopt;
}
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

EditField::EditField(DisplayObject& owner, const EditText& def, const Movie* movie) : owner_(owner) {
  if (!def.fontClass.empty()) newFormat_.font = def.fontClass;
  if (def.fontId && movie)
    if (const Character* c = movie->Find(*def.fontId))
      if (const auto* font = std::get_if<Font>(c)) {
        newFormat_.font = font->name;
        newFormat_.bold = font->bold;
        newFormat_.italic = font->italic;
      }
  newFormat_.size = def.height / kTwipsPerPixel;
  newFormat_.color = (std::uint32_t{def.color.r} << 16) | (std::uint32_t{def.color.g} << 8) | def.color.b;
  newFormat_.align = def.align;
  newFormat_.leftMargin = def.leftMargin / kTwipsPerPixel;
  newFormat_.rightMargin = def.rightMargin / kTwipsPerPixel;
  newFormat_.indent = def.indent / kTwipsPerPixel;
  newFormat_.leading = def.leading / kTwipsPerPixel;
  html_ = def.html, multiline_ = def.multiline, wordWrap_ = def.wordWrap, border_ = def.border;
  background_ = def.border, password_ = def.password, selectable_ = !def.noSelect, input_ = !def.readOnly;
  embedFonts_ = def.useOutlines, maxChars_ = def.maxLength, variable_ = def.variableName;
  if (def.autoSize) autoSize_ = "left";
  if (html_) {
    // The definition's text is read before the field takes its other
    // settings: a closing paragraph at its end adds no break.
    // Its styles are its tags' alone, whatever the font's own.
    TextFormat plain = newFormat_;
    plain.bold = plain.italic = false;
    doc_ = ReadFieldHtml(def.initialText, plain, HtmlReading{false, false});
  } else doc_.Set(FieldChars(def.initialText), newFormat_);
  Changed();
}

void EditField::SetPlainText(const std::string& utf8) {
  // New text takes the format of the text it replaces, as typing does.
  const TextFormat* first = doc_.FormatAt(0);
  doc_.Set(FieldChars(utf8), first ? *first : newFormat_);
  Changed();
}

void EditField::SetHtml(const std::string& html) {
  doc_ = ReadFieldHtml(html, newFormat_, HtmlReading{multiline_, condenseWhite_});
}

void EditField::Changed() {
  // What the renderer draws: the characters, in the first run's format.
  std::string shown;
  for (char32_t c : doc_.Text()) {
    const char32_t one[1] = {c == U'\r' ? U'\n' : c};
    shown += EncodeUtf8(std::u32string_view(one, 1));
  }
  owner_.text = std::move(shown);
  if (owner_.character && std::holds_alternative<EditText>(*owner_.character)) {
    if (!owner_.ownCharacter) {
      owner_.ownCharacter = std::make_unique<Character>(*owner_.character);
      owner_.character = owner_.ownCharacter.get();
    }
    EditText& def = std::get<EditText>(*owner_.ownCharacter);
    const TextFormat& f = doc_.FormatAt(0) ? *doc_.FormatAt(0) : newFormat_;
    def.html = false;
    def.color = Rgba{static_cast<std::uint8_t>(f.color >> 16), static_cast<std::uint8_t>(f.color >> 8),
                     static_cast<std::uint8_t>(f.color), 255};
    def.height = std::clamp(f.size, 0.0, 1000.0) * kTwipsPerPixel;
    def.align = f.align;
    def.multiline = multiline_, def.wordWrap = wordWrap_, def.border = border_ || background_;
    def.password = password_, def.autoSize = autoSize_ != "none";
    def.useOutlines = embedFonts_;
  }
  owner_.FieldChanged();
}

FieldValue EditField::GetProperty(FieldProperty p) const {
  switch (p) {
    case FieldProperty::Text: return doc_.Utf8();
    case FieldProperty::HtmlText: return html_ ? WriteFieldHtml(doc_, newFormat_) : doc_.Utf8();
    case FieldProperty::Html: return html_;
    case FieldProperty::Length: return static_cast<double>(doc_.Length());
    case FieldProperty::TextWidth:
    case FieldProperty::TextHeight: return 0.0;
    case FieldProperty::AutoSize: return autoSize_;
    case FieldProperty::WordWrap: return wordWrap_;
    case FieldProperty::Multiline: return multiline_;
    case FieldProperty::Border: return border_;
    case FieldProperty::BorderColor: return static_cast<double>(borderColor_);
    case FieldProperty::Background: return background_;
    case FieldProperty::BackgroundColor: return static_cast<double>(backgroundColor_);
    case FieldProperty::TextColor: {
      const TextFormat* f = doc_.FormatAt(0);
      return static_cast<double>((f ? *f : newFormat_).color);
    }
    case FieldProperty::MaxChars: return maxChars_ > 0 ? FieldValue(maxChars_) : FieldValue(nullptr);
    case FieldProperty::Restrict: return restrict_ ? FieldValue(*restrict_) : FieldValue(nullptr);
    case FieldProperty::Scroll: return scroll_;
    case FieldProperty::MaxScroll:
    case FieldProperty::BottomScroll: return 1.0;
    case FieldProperty::HScroll: return hscroll_;
    case FieldProperty::MaxHScroll: return 0.0;
    case FieldProperty::Type: return std::string(input_ ? "input" : "dynamic");
    case FieldProperty::Selectable: return selectable_;
    case FieldProperty::Password: return password_;
    case FieldProperty::CondenseWhite: return condenseWhite_;
    case FieldProperty::EmbedFonts: return embedFonts_;
    case FieldProperty::AntiAliasType: return antiAliasType_;
    case FieldProperty::GridFitType: return gridFitType_;
    case FieldProperty::Sharpness: return sharpness_;
    case FieldProperty::Thickness: return thickness_;
    case FieldProperty::Variable: return variable_.empty() ? FieldValue(nullptr) : FieldValue(variable_);
    case FieldProperty::TabIndex: return tabIndex_ ? FieldValue(*tabIndex_) : FieldValue();
    case FieldProperty::MouseWheelEnabled: return mouseWheelEnabled_;
    case FieldProperty::TabEnabled: return tabEnabled_ ? FieldValue(*tabEnabled_) : FieldValue();
  }
  return {};
}

void EditField::SetProperty(FieldProperty p, const FieldValue& v) {
  const std::string s = AsString(v).value_or("");
  switch (p) {
    case FieldProperty::Text: SetPlainText(s); return;
    case FieldProperty::HtmlText:
      if (html_) SetHtml(s);
      else doc_.Set(FieldChars(s), newFormat_);
      break;
    case FieldProperty::Html: html_ = AsBool(v); break;
    case FieldProperty::AutoSize:
      if (const bool* b = std::get_if<bool>(&v)) autoSize_ = *b ? "left" : "none";
      else {
        const std::string name = Lower(s);
        autoSize_ = name == "left" || name == "right" || name == "center" ? name : "none";
      }
      break;
    case FieldProperty::WordWrap: wordWrap_ = AsBool(v); break;
    case FieldProperty::Multiline: multiline_ = AsBool(v); break;
    case FieldProperty::Border: border_ = AsBool(v); break;
    case FieldProperty::BorderColor: borderColor_ = static_cast<std::uint32_t>(AsNumber(v)) & 0xFFFFFF; break;
    case FieldProperty::Background: background_ = AsBool(v); break;
    case FieldProperty::BackgroundColor:
      backgroundColor_ = static_cast<std::uint32_t>(AsNumber(v)) & 0xFFFFFF;
      break;
    case FieldProperty::TextColor: {
      PartialTextFormat f;
      f.color = static_cast<std::uint32_t>(AsNumber(v)) & 0xFFFFFF;
      doc_.Apply(0, doc_.Length(), f);
      newFormat_ = f.Over(newFormat_);
      break;
    }
    case FieldProperty::MaxChars: maxChars_ = std::max(0.0, std::trunc(AsNumber(v))); break;
    case FieldProperty::Restrict:
      if (AsString(v) && !s.empty()) restrict_ = s;
      else restrict_.reset();
      break;
    case FieldProperty::Scroll: scroll_ = 1; break;
    case FieldProperty::HScroll: hscroll_ = 0; break;
    case FieldProperty::Type: {
      const std::string name = Lower(s);
      if (name == "input") input_ = true;
      else if (name == "dynamic") input_ = false;
      break;
    }
    case FieldProperty::Selectable: selectable_ = AsBool(v); break;
    case FieldProperty::Password: password_ = AsBool(v); break;
    case FieldProperty::CondenseWhite: condenseWhite_ = AsBool(v); break;
    case FieldProperty::EmbedFonts: embedFonts_ = AsBool(v); break;
    case FieldProperty::AntiAliasType: {
      const std::string name = Lower(s);
      if (name == "normal" || name == "advanced") antiAliasType_ = name;
      break;
    }
    case FieldProperty::GridFitType: {
      const std::string name = Lower(s);
      if (name == "none" || name == "pixel" || name == "subpixel") gridFitType_ = name;
      break;
    }
    case FieldProperty::Sharpness: sharpness_ = std::clamp(AsNumber(v), -400.0, 400.0); break;
    case FieldProperty::Thickness: thickness_ = std::clamp(AsNumber(v), -200.0, 200.0); break;
    case FieldProperty::Variable:
      variable_ = AsString(v).value_or("");
      break;
    case FieldProperty::TabIndex:
      if (std::holds_alternative<double>(v)) tabIndex_ = AsNumber(v);
      else tabIndex_.reset();
      break;
    case FieldProperty::MouseWheelEnabled: mouseWheelEnabled_ = AsBool(v); break;
    case FieldProperty::TabEnabled:
      if (std::holds_alternative<std::monostate>(v)) tabEnabled_.reset();
      else tabEnabled_ = AsBool(v);
      break;
    case FieldProperty::Length:
    case FieldProperty::TextWidth:
    case FieldProperty::TextHeight:
    case FieldProperty::MaxScroll:
    case FieldProperty::MaxHScroll:
    case FieldProperty::BottomScroll: return;  // read-only
  }
  Changed();
}

avm1::FieldFormat EditField::GetFormat(std::size_t begin, std::size_t end) const {
  return FromPartial(doc_.FormatOf(begin, end));
}

void EditField::SetFormat(std::size_t begin, std::size_t end, const avm1::FieldFormat& format) {
  doc_.Apply(begin, end, ToPartial(format));
  Changed();
}

avm1::FieldFormat EditField::GetNewFormat() const { return FromPartial(PartialTextFormat::Of(newFormat_)); }

void EditField::SetNewFormat(const avm1::FieldFormat& format) { newFormat_ = ToPartial(format).Over(newFormat_); }

void EditField::ReplaceText(std::size_t begin, std::size_t end, const std::string& text) {
  const TextFormat* at = doc_.FormatAt(begin);
  doc_.Replace(begin, end, FieldChars(text), at ? *at : newFormat_);
  Changed();
}

}  // namespace dc::swf

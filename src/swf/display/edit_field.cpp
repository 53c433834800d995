// A text field's state: properties, formats by range and HTML, kept in
// step with what the renderer draws.
#include "swf/display/edit_field.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/display/display_object.h"
#include "swf/model/movie.h"
#include "swf/text/field_glyphs.h"
#include "swf/text/field_html.h"
#include "swf/text/field_text.h"

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
  // A paragraph's measures read as whole pixels, what is left dropped.
  for (std::optional<double>* m : {&f.leftMargin, &f.rightMargin, &f.indent, &f.blockIndent, &f.leading})
    if (*m) **m = std::trunc(**m);
  return f;
}

// Line ends as Flash keeps them: "\r\n" and "\n" become '\r'.
std::u32string FieldChars(const std::string& utf8) {
  std::u32string chars = DecodeUtf8(utf8);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    if (c == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') continue;
    chars[kept++] = c == U'\n' ? U'\r' : c;
  }
  chars.resize(kept);
  return chars;
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
// A number as a 32-bit integer: truncated, then its low 32 bits.
std::int32_t WrapInt32(double v) {
  if (!std::isfinite(v)) return 0;
  const double wrapped = std::fmod(std::trunc(v), 4294967296.0);
  const auto bits = static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped < 0 ? wrapped + 4294967296.0 : wrapped));
  return static_cast<std::int32_t>(bits);
}

// Whether `html` ends, but for white space, in </p> or </li>.
bool EndsInClosingParagraph(std::string_view html) {
  while (!html.empty() && std::isspace(static_cast<unsigned char>(html.back()))) html.remove_suffix(1);
  const auto endsWith = [&html](std::string_view tag) {
    if (html.size() < tag.size()) return false;
    const std::string_view tail = html.substr(html.size() - tag.size());
    for (std::size_t i = 0; i < tag.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(tail[i])) != tag[i]) return false;
    return true;
  };
  return endsWith("</p>") || endsWith("</li>");
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

EditField::EditField(DisplayObject& owner, const EditText& def, const Movie* movie, const FontLibrary& fonts)
    : owner_(owner), fonts_(fonts) {
  if (!owner_.ownCharacter || !std::holds_alternative<EditText>(*owner_.ownCharacter)) {
    owner_.ownCharacter = std::make_unique<Character>(def);
    owner_.character = owner_.ownCharacter.get();
  }
  def_ = &std::get<EditText>(*owner_.ownCharacter);
  version_ = movie ? movie->version : 10;  // no movie: as a recent one
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
  // The definition's measures are laid out in its twips; scripts and the
  // HTML read them as whole pixels (FromPartial, WriteFieldHtml).
  newFormat_.leftMargin = def.leftMargin / kTwipsPerPixel;
  newFormat_.rightMargin = def.rightMargin / kTwipsPerPixel;
  newFormat_.indent = def.indent / kTwipsPerPixel;
  newFormat_.leading = def.leading / kTwipsPerPixel;
  html_ = def.html, multiline_ = def.multiline, wordWrap_ = def.wordWrap, border_ = def.border;
  background_ = def.background, password_ = def.password, selectable_ = !def.noSelect, input_ = !def.readOnly;
  embedFonts_ = def.useOutlines, maxChars_ = def.maxLength, variable_ = def.variableName;
  if (def.autoSize) autoSize_ = "left";
  antiAliasType_ = def.advancedAntiAlias ? "advanced" : "normal";
  gridFitType_ = def.gridFit == 0 ? "none" : def.gridFit == 2 ? "subpixel" : "pixel";
  thickness_ = def.thickness, sharpness_ = def.sharpness;
  const auto rgb = [](Rgba c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; };
  borderColor_ = rgb(def.borderColor), backgroundColor_ = rgb(def.backgroundColor);
  // Lines are drawn where they are laid out here; the box is sized here.
  def_->autoSize = false;
  if (html_) {
    // An HTML field's paragraphs are aligned by its markup alone before
    // SWF 8, and by its markup alone when it has none.
    if (version_ < 8 || def.initialText.empty()) newFormat_.align = TextAlign::Left;
    // Paragraphs break as the field's own HTML would (every field's before
    // SWF 7), but before SWF 9 the closing paragraph at the text's end adds
    // no break.
    // Its styles are its tags' alone, whatever the font's own.
    TextFormat plain = newFormat_;
    plain.bold = plain.italic = false;
    doc_ = ReadFieldHtml(def.initialText, plain, HtmlReading{def.multiline || version_ < 7, false, version_ < 8});
    if (version_ < 9 && EndsInClosingParagraph(def.initialText) && doc_.Length() > 0 &&
        doc_.Text().back() == U'\r')
      doc_.Replace(doc_.Length() - 1, doc_.Length(), U"", newFormat_);
  } else doc_.Set(FieldChars(def.initialText), newFormat_);
  Changed();
}

void EditField::SetPlainText(const std::string& utf8) {
  // New text takes the format of the text it replaces, as typing does.
  const TextFormat* first = doc_.FormatAt(0);
  doc_.Set(FieldChars(utf8), first ? *first : newFormat_);
  Changed();
}

std::string EditField::BoundText() const {
  const FieldValue v = GetProperty(html_ ? FieldProperty::HtmlText : FieldProperty::Text);
  const std::string* s = std::get_if<std::string>(&v);
  return s ? *s : std::string();
}

void EditField::SetBoundText(const std::string& utf8) {
  SetProperty(html_ ? FieldProperty::HtmlText : FieldProperty::Text, utf8);
}

void EditField::SetHtml(const std::string& html, const avm1::StyleLookup* styles) {
  if (version_ < 8) newFormat_.align = TextAlign::Left;
  HtmlReading how{multiline_ || version_ < 7, condenseWhite_, version_ < 8};
  if (styles)
    how.styles = [styles](std::string_view selector) -> std::optional<PartialTextFormat> {
      const std::optional<avm1::FieldFormat> f = (*styles)(selector);
      return f ? std::optional<PartialTextFormat>(ToPartial(*f)) : std::nullopt;
    };
  doc_ = ReadFieldHtml(html, newFormat_, how);
}

void EditField::SetStyleSheet(const avm1::StyleLookup* styles) {
  styled_ = styles != nullptr;
  if (!styled_) styledSource_.reset();
  if (!styled_ || !styledSource_) return;
  // A copy: a script the sheet runs while the text is read may set
  // another.
  const std::string source = *styledSource_;
  work_ += source.size();
  SetHtml(source, styles);
  Changed();
}

void EditField::SetStyledHtml(const std::string& html, const avm1::StyleLookup& styles) {
  work_ += html.size();
  styledSource_ = html;
  SetHtml(html, &styles);
  Changed();
}

std::size_t EditField::HeldBytes() const {
  std::size_t bytes = owner_.text.size() + doc_.Length() * sizeof(char32_t) +
                      doc_.Runs().size() * sizeof(FieldDocument::Run);
  if (layout_)
    bytes += layout_->advances.size() * sizeof(std::int32_t) + layout_->lines.size() * sizeof(LaidLine);
  return bytes;
}

void EditField::Changed() {
  layout_.reset();
  // The characters, for a bound variable and the renderer's cache, made
  // again from every character and charged so; the definition keeps the
  // first run's format.
  owner_.text = EncodeUtf8(doc_.Text());
  std::replace(owner_.text.begin(), owner_.text.end(), '\r', '\n');
  work_ += doc_.Length();
  const TextFormat& f = doc_.FormatAt(0) ? *doc_.FormatAt(0) : newFormat_;
  def_->html = false;
  def_->color = Rgba{static_cast<std::uint8_t>(f.color >> 16), static_cast<std::uint8_t>(f.color >> 8),
                     static_cast<std::uint8_t>(f.color), 255};
  def_->height = std::clamp(f.size, 0.0, 1000.0) * kTwipsPerPixel;
  def_->align = f.align;
  def_->multiline = multiline_, def_->wordWrap = wordWrap_, def_->border = border_;
  def_->background = background_;
  def_->borderColor = {static_cast<std::uint8_t>(borderColor_ >> 16), static_cast<std::uint8_t>(borderColor_ >> 8),
                       static_cast<std::uint8_t>(borderColor_), 255};
  def_->backgroundColor = {static_cast<std::uint8_t>(backgroundColor_ >> 16),
                           static_cast<std::uint8_t>(backgroundColor_ >> 8), static_cast<std::uint8_t>(backgroundColor_), 255};
  def_->password = password_;
  def_->readOnly = !input_;  // what a duplicate of a script-made field keeps
  def_->useOutlines = embedFonts_;
  // The font the first run names, when the movie embeds it; else the one
  // the field had.
  if (const std::optional<std::uint16_t> id = fonts_.IdOf(fonts_.Find(f.font, f.bold, f.italic))) def_->fontId = id;
  FitToText();
  owner_.FieldChanged();
}

FieldFrame EditField::Frame() const {
  FieldFrame frame;
  frame.width = def_->bounds.xMax - def_->bounds.xMin;
  frame.wordWrap = wordWrap_;
  frame.password = password_;
  frame.embedFonts = embedFonts_;
  frame.trailingSpacesAlways = version_ < 8;
  return frame;
}

const FieldLayout& EditField::Layout() const {
  if (!layout_) {
    layout_ = LayOutField(doc_, newFormat_, Frame(), fonts_);
    work_ += doc_.Length() + doc_.Runs().size();
  }
  return *layout_;
}

EditTextLayout EditField::Drawn(std::size_t maxGlyphs) const {
  FieldBox box{def_->bounds, std::nullopt, std::nullopt};
  if (background_) box.background = def_->backgroundColor;
  if (border_) box.border = def_->borderColor;
  if (layout_ || doc_.Length() <= maxGlyphs) return PlaceFieldGlyphs(doc_, Layout(), Frame(), box, fonts_, maxGlyphs);
  // Far more text than can be shown, and no script has measured it: only
  // the characters that can show are laid out to be drawn. Lines break in
  // order, so theirs are the whole text's first lines.
  FieldDocument shown;
  std::size_t at = 0;
  for (const FieldDocument::Run& run : doc_.Runs()) {
    if (at >= maxGlyphs) break;
    const std::size_t take = std::min(run.length, maxGlyphs - at);
    shown.Append(std::u32string_view(doc_.Text()).substr(at, take), run.format);
    at += run.length;
  }
  return PlaceFieldGlyphs(shown, LayOutField(shown, newFormat_, Frame(), fonts_), Frame(), box, fonts_, maxGlyphs);
}

void EditField::FitToText() {
  if (autoSize_ == "none") return;
  const FieldLayout& layout = Layout();
  TwipRect& b = def_->bounds;
  const std::int32_t height = layout.textHeight + 2 * kFieldGutter;
  b.yMax = b.yMin + height;
  if (wordWrap_) return;
  std::int32_t width = 0;
  for (const LaidLine& line : layout.lines) width = std::max(width, line.inset + line.width);
  width += 2 * kFieldGutter;
  const std::int32_t old = b.xMax - b.xMin;
  if (width == old) return;
  if (autoSize_ == "right") b.xMin = b.xMax - width;
  else if (autoSize_ == "center") b.xMin += (old - width) / 2;
  b.xMax = b.xMin + width;
  AlignLines(*layout_, width);
}

void EditField::SetSize(std::optional<double> widthPx, std::optional<double> heightPx) {
  // A size is whole twips, what is left of a twip dropped.
  const auto twips = [](double px) {
    return static_cast<std::int32_t>(std::trunc(std::clamp(px * kTwipsPerPixel, -1e9, 1e9)));
  };
  TwipRect& b = def_->bounds;
  if (widthPx && std::isfinite(*widthPx)) b.xMax = b.xMin + twips(*widthPx);
  if (heightPx && std::isfinite(*heightPx)) b.yMax = b.yMin + twips(*heightPx);
  Changed();
}

int EditField::MaxScroll() const {
  // As many lines from the end as fit from the top.
  const int lines = static_cast<int>(Layout().lines.size());
  return std::max(1, lines - LastShown(0));
}

// The index of the last line wholly shown when line `first` is at the top
// (at least `first`).
int EditField::LastShown(std::size_t first) const {
  const FieldLayout& layout = Layout();
  const std::int32_t view = def_->bounds.yMax - def_->bounds.yMin - 2 * kFieldGutter;
  const std::int32_t top = layout.lines[first].top;
  std::size_t last = first;
  while (last + 1 < layout.lines.size()) {
    const LaidLine& next = layout.lines[last + 1];
    if (next.top - top + next.ascent + next.descent > view) break;
    ++last;
  }
  return static_cast<int>(last);
}

int EditField::BottomScroll() const {
  return LastShown(static_cast<std::size_t>(std::clamp(scroll_, 1, MaxScroll()) - 1)) + 1;
}

std::string EditField::LinkAt(Point p) const {
  const FieldLayout& layout = Layout();
  const std::size_t first = static_cast<std::size_t>(std::clamp(scroll_, 1, MaxScroll()) - 1);
  const double y = p.y - def_->bounds.yMin - kFieldGutter + layout.lines[first].top;
  const double x = p.x - def_->bounds.xMin - kFieldGutter + hscroll_ * 20.0;
  const std::u32string& text = doc_.Text();
  for (std::size_t i = first; i < layout.lines.size(); ++i) {
    const LaidLine& line = layout.lines[i];
    if (y < line.top || y >= line.top + line.Height()) continue;
    double at = line.x;
    for (std::size_t c = line.begin; c < line.end && c < layout.advances.size(); ++c) {
      const double advance = layout.advances[c] + (text[c] == U' ' ? line.spread : 0);
      if (x >= at && x < at + advance) {
        const TextFormat* format = doc_.FormatAt(c);
        return format ? format->url : std::string();
      }
      at += advance;
    }
    return {};
  }
  return {};
}

std::int32_t EditField::MaxHScroll() const {
  const FieldLayout& layout = Layout();
  const std::int32_t view = def_->bounds.xMax - def_->bounds.xMin - 2 * kFieldGutter;
  std::int32_t right = 0;
  for (const LaidLine& line : layout.lines) right = std::max(right, line.x + line.width);
  return std::max(0, right - view) / 20;
}

FieldValue EditField::GetProperty(FieldProperty p) const {
  switch (p) {
    case FieldProperty::Text: return doc_.Utf8();
    case FieldProperty::HtmlText:
      if (styled_) return styledSource_ ? *styledSource_ : WriteFieldHtml(doc_, newFormat_);
      if (!html_) return doc_.Utf8();
      // An empty field writes no markup at all.
      if (doc_.Length() == 0) return std::string();
      return WriteFieldHtml(doc_, newFormat_);
    case FieldProperty::Html: return html_;
    case FieldProperty::Length: return static_cast<double>(doc_.Length());
    case FieldProperty::TextWidth: return std::floor(Layout().textWidth / kTwipsPerPixel);
    case FieldProperty::TextHeight: return std::floor(Layout().textHeight / kTwipsPerPixel);
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
    case FieldProperty::Scroll: return static_cast<double>(std::clamp(scroll_, 1, MaxScroll()));
    case FieldProperty::MaxScroll: return static_cast<double>(MaxScroll());
    case FieldProperty::BottomScroll: return static_cast<double>(BottomScroll());
    case FieldProperty::HScroll: return static_cast<double>(std::clamp(hscroll_, 0, MaxHScroll()));
    case FieldProperty::MaxHScroll: return static_cast<double>(MaxHScroll());
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
  // A new text is read character by character.
  if (p == FieldProperty::Text || p == FieldProperty::HtmlText) work_ += s.size();
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
    case FieldProperty::Scroll: {
      // The player keeps the first line shown counting from 0: the number,
      // as a 32-bit integer, less one (wrapping at the bottom of the range).
      const std::uint32_t bits = static_cast<std::uint32_t>(WrapInt32(AsNumber(v))) - 1u;
      const int line = std::clamp(static_cast<std::int32_t>(bits), 0, MaxScroll() - 1);
      scroll_ = line + 1;
      return;
    }
    case FieldProperty::HScroll:
      hscroll_ = std::clamp(WrapInt32(AsNumber(v)), 0, MaxHScroll());
      return;
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
    // Scripts read back any number they set, NaN and infinities too.
    case FieldProperty::Sharpness:
      if (const double* d = std::get_if<double>(&v)) sharpness_ = *d;
      break;
    case FieldProperty::Thickness:
      if (const double* d = std::get_if<double>(&v)) thickness_ = *d;
      break;
    case FieldProperty::Variable:
      // A field bound to another variable starts again from its
      // definition's text, which goes to the new variable if that has none.
      if (!variable_.empty() && AsString(v).value_or("") != variable_) SetBoundText(def_->initialText);
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
  work_ += doc_.Length();
  Changed();
}

avm1::TextExtent MeasureTextExtent(const avm1::FieldFormat& format, const std::string& text,
                                   std::optional<double> widthPx, const FontLibrary& fonts) {
  const TextFormat whole = ToPartial(format).Over(TextFormat{});
  FieldDocument doc;
  doc.Set(FieldChars(text), whole);
  FieldFrame frame;
  if (widthPx && std::isfinite(*widthPx) && *widthPx > 0) {
    frame.wordWrap = true;
    frame.width = static_cast<std::int32_t>(std::min(*widthPx, 1e7) * kTwipsPerPixel);
  }
  const FieldLayout layout = LayOutField(doc, whole, frame, fonts);
  avm1::TextExtent out;
  out.width = std::floor(layout.textWidth / kTwipsPerPixel);
  out.height = std::floor(layout.textHeight / kTwipsPerPixel);
  const LaidLine& first = layout.lines.front();
  out.ascent = std::round(first.ascent / kTwipsPerPixel);
  out.descent = std::round(first.descent / kTwipsPerPixel);
  out.textFieldWidth = frame.wordWrap ? *widthPx : out.width + 2 * kFieldGutter / kTwipsPerPixel;
  out.textFieldHeight = out.height + 2 * kFieldGutter / kTwipsPerPixel;
  return out;
}

}  // namespace dc::swf

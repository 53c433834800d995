// A text field's state as scripts see and change it: its formatted text,
// the format new text takes, its box, and every property of TextField. Its
// lines are laid out when something measures them and kept until the text,
// a format or the box changes. It keeps the object's drawn text and its
// field definition in step with itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "swf/avm1/text_field_host.h"
#include "swf/model/text.h"
#include "swf/text/field_document.h"
#include "swf/text/field_layout.h"
#include "swf/text/text_layout.h"

namespace dc::swf {

class DisplayObject;
struct Movie;

class EditField final : public avm1::TextFieldHost {
 public:
  // From the field's definition (its font named from the movie), its
  // fonts found in `fonts`.
  EditField(DisplayObject& owner, const EditText& def, const Movie* movie, const FontLibrary& fonts);

  avm1::FieldValue GetProperty(avm1::FieldProperty p) const override;
  void SetProperty(avm1::FieldProperty p, const avm1::FieldValue& v) override;
  avm1::FieldFormat GetFormat(std::size_t begin, std::size_t end) const override;
  void SetFormat(std::size_t begin, std::size_t end, const avm1::FieldFormat& format) override;
  avm1::FieldFormat GetNewFormat() const override;
  void SetNewFormat(const avm1::FieldFormat& format) override;
  void ReplaceText(std::size_t begin, std::size_t end, const std::string& text) override;
  void SetStyleSheet(const avm1::StyleLookup* styles) override;
  void SetStyledHtml(const std::string& html, const avm1::StyleLookup& styles) override;
  std::size_t TextLength() const override { return doc_.Length(); }
  std::size_t HeldBytes() const override;
  std::size_t TakeWork() override { return std::exchange(work_, 0); }

  std::string PlainText() const { return doc_.Utf8(); }
  void SetPlainText(const std::string& utf8);
  // What a bound variable holds: the field's HTML when it is an HTML field.
  std::string BoundText() const;
  void SetBoundText(const std::string& utf8);
  std::string VariableName() const { return variable_; }

  // The box, in the field's own twips; a script's _width and _height set
  // its size, the field's scale staying as it is.
  const TwipRect& Bounds() const { return def_->bounds; }
  void SetSize(std::optional<double> widthPx, std::optional<double> heightPx);
  // The lines as they are laid out now.
  const FieldLayout& Layout() const;
  // What the field shows: its glyphs placed by Layout(), run by run, and
  // its box.
  EditTextLayout Drawn(std::size_t maxGlyphs) const;
  // The link (an <a href>) of the character shown at `p`, in the field's
  // own twips, scrolled as the field is; empty when there is none.
  std::string LinkAt(Point p) const;

 private:
  void SetHtml(const std::string& html, const avm1::StyleLookup* styles = nullptr);
  // The text, a format or the box changed: the lines are laid out again
  // when next needed, a field that sizes itself fits its text, and the
  // owner redraws.
  void Changed();
  void FitToText();
  FieldFrame Frame() const;
  int MaxScroll() const;
  int LastShown(std::size_t first) const;
  int BottomScroll() const;
  std::int32_t MaxHScroll() const;

  DisplayObject& owner_;
  EditText* def_ = nullptr;  // the owner's own copy of its definition
  const FontLibrary& fonts_;
  mutable std::optional<FieldLayout> layout_;
  mutable std::size_t work_ = 0;
  FieldDocument doc_;
  TextFormat newFormat_;
  bool html_ = false, multiline_ = false, wordWrap_ = false, border_ = false, background_ = false;
  bool selectable_ = true, password_ = false, condenseWhite_ = false, embedFonts_ = false, input_ = false;
  bool mouseWheelEnabled_ = true;
  std::uint32_t borderColor_ = 0, backgroundColor_ = 0xFFFFFF;
  double maxChars_ = 0;
  std::optional<std::string> restrict_;
  std::string autoSize_ = "none";
  std::string antiAliasType_ = "normal", gridFitType_ = "pixel";
  double sharpness_ = 0, thickness_ = 0;
  std::optional<double> tabIndex_;
  std::optional<bool> tabEnabled_;
  std::uint8_t version_ = 0;  // the movie's SWF version
  int scroll_ = 1;
  std::int32_t hscroll_ = 0;  // pixels
  std::string variable_;
  // While the field has a style sheet: the text last set, as it was given.
  bool styled_ = false;
  std::optional<std::string> styledSource_;
};

// `text` laid out in device fonts in `format` over a new field's defaults,
// in one line or wrapped at `widthPx`: its size, its first line's ascent
// and descent, and the field that holds it (the gutters added).
avm1::TextExtent MeasureTextExtent(const avm1::FieldFormat& format, const std::string& text,
                                   std::optional<double> widthPx, const FontLibrary& fonts);

}  // namespace dc::swf

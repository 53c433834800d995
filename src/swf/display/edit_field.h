// A text field's state as scripts see and change it: its formatted text,
// the format new text takes, and every property of TextField. It keeps the
// object's drawn text and its field definition in step with itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "swf/avm1/text_field_host.h"
#include "swf/model/text.h"
#include "swf/text/field_document.h"

namespace dc::swf {

class DisplayObject;
struct Movie;

class EditField final : public avm1::TextFieldHost {
 public:
  // From the field's definition (its font named from the movie).
  EditField(DisplayObject& owner, const EditText& def, const Movie* movie);

  avm1::FieldValue GetProperty(avm1::FieldProperty p) const override;
  void SetProperty(avm1::FieldProperty p, const avm1::FieldValue& v) override;
  avm1::FieldFormat GetFormat(std::size_t begin, std::size_t end) const override;
  void SetFormat(std::size_t begin, std::size_t end, const avm1::FieldFormat& format) override;
  avm1::FieldFormat GetNewFormat() const override;
  void SetNewFormat(const avm1::FieldFormat& format) override;
  void ReplaceText(std::size_t begin, std::size_t end, const std::string& text) override;
  std::size_t TextLength() const override { return doc_.Length(); }

  std::string PlainText() const { return doc_.Utf8(); }
  void SetPlainText(const std::string& utf8);
  std::string VariableName() const { return variable_; }

 private:
  void SetHtml(const std::string& html);
  void Changed();  // the owner redraws the text as it now is

  DisplayObject& owner_;
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
  double scroll_ = 1, hscroll_ = 0;
  std::string variable_;
};

}  // namespace dc::swf

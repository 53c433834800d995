// What a text field offers scripts beyond a clip's properties: its text
// properties by name, read and set as plain values, its formats by range,
// and its text replaced by range. The display side implements it; the
// engine converts script values to what each property takes and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "swf/model/swf_types.h"

namespace dc::swf::avm1 {

enum class FieldProperty {
  Text, HtmlText, Html, Length, TextWidth, TextHeight, AutoSize, WordWrap, Multiline, Border, BorderColor,
  Background, BackgroundColor, TextColor, MaxChars, Restrict, Scroll, MaxScroll, HScroll, MaxHScroll, BottomScroll,
  Type, Selectable, Password, CondenseWhite, EmbedFonts, AntiAliasType, GridFitType, Sharpness, Thickness, Variable,
  TabIndex, MouseWheelEnabled, TabEnabled,
};

// undefined, null, a boolean, a number or a string (UTF-8).
using FieldValue = std::variant<std::monostate, std::nullptr_t, bool, double, std::string>;

// A TextFormat's fields; unset is null to scripts (not given, or not the
// same over the range read).
struct FieldFormat {
  std::optional<std::string> font;
  std::optional<double> size;
  std::optional<std::uint32_t> color;
  std::optional<bool> bold, italic, underline;
  std::optional<std::string> url, target;
  std::optional<TextAlign> align;
  std::optional<double> leftMargin, rightMargin, indent, leading, blockIndent;
  std::optional<std::vector<double>> tabStops;
  std::optional<bool> bullet, kerning;
  std::optional<double> letterSpacing;
  // How a style sheet's style lays its element out: "block", "inline" or
  // "none" (unset: a block).
  std::optional<std::string> display;
};

// A field's style sheet as its HTML reads it: the format a selector ("p",
// ".name") gives, if the sheet has one (names compared in any case).
using StyleLookup = std::function<std::optional<FieldFormat>(std::string_view selector)>;

// The size of a text set in a format (TextFormat.getTextExtent), pixels.
struct TextExtent {
  double width = 0, height = 0, ascent = 0, descent = 0, textFieldWidth = 0, textFieldHeight = 0;
};

class TextFieldHost {
 public:
  virtual ~TextFieldHost() = default;
  // The value as the property reads (a number for numeric ones, null where
  // Flash gives null).
  virtual FieldValue GetProperty(FieldProperty p) const = 0;
  // `v` already converted to the property's kind (boolean, number or string;
  // null and undefined passed as they are).
  virtual void SetProperty(FieldProperty p, const FieldValue& v) = 0;
  // Characters count from 0; ranges are [begin, end).
  virtual FieldFormat GetFormat(std::size_t begin, std::size_t end) const = 0;
  virtual void SetFormat(std::size_t begin, std::size_t end, const FieldFormat& format) = 0;
  virtual FieldFormat GetNewFormat() const = 0;
  virtual void SetNewFormat(const FieldFormat& format) = 0;
  virtual void ReplaceText(std::size_t begin, std::size_t end, const std::string& text) = 0;
  // A style sheet given (null: taken away). While it has one, the field
  // reads every text set as HTML in its styles and gives that text back as
  // its htmlText; a new sheet reads the text again, taking it away keeps
  // the formats and forgets the text.
  virtual void SetStyleSheet(const StyleLookup* styles) = 0;
  virtual void SetStyledHtml(const std::string& html, const StyleLookup& styles) = 0;
  virtual std::size_t TextLength() const = 0;
  // Bytes the field holds for its text: the text, its characters and their
  // formats, its lines once measured (what the scripts' memory counts).
  virtual std::size_t HeldBytes() const = 0;
  // The characters laid out or otherwise worked through since the last
  // call, for the engine to count against the frame's budget.
  virtual std::size_t TakeWork() = 0;
};

}  // namespace dc::swf::avm1

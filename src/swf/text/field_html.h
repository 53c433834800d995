// A text field's HTML, both ways: the subset of HTML Flash reads into
// formatted characters, and the markup Flash writes back for them
// (<TEXTFORMAT>, <P ALIGN> or <LI>, <FONT> with every attribute once per
// paragraph and what changes inside it, <A>, <B>, <I>, <U>).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "swf/text/field_document.h"

namespace dc::swf {

struct HtmlReading {
  bool multiline = false;      // a closing </p> or </li> and <br> end a paragraph (else only line ends do)
  bool condenseWhite = false;  // runs of white space read as one space; breaks only from tags
  // Movies before SWF 8 read text between tags that is only white space as
  // no text at all, and know no kerning attribute.
  bool beforeSwf8 = false;
  // A style sheet's formats by selector: a <p>, <li> or <a> takes its
  // tag's, then any tag its class's (".name"); the tag's own attributes
  // go over both.
  std::function<std::optional<PartialTextFormat>(std::string_view selector)> styles;
};

// Reads `html` with `base` as the format outside every tag. Tags Flash does
// not know are left out, their text kept; a '<' with no '>' after it is
// text. Nesting is bounded by the input's length; the work is linear in it.
FieldDocument ReadFieldHtml(std::string_view html, const TextFormat& base, const HtmlReading& how);

// The markup of `doc`; an empty document writes one empty paragraph in
// `empty`.
std::string WriteFieldHtml(const FieldDocument& doc, const TextFormat& empty);

}  // namespace dc::swf

// XML text as scripts' XML objects read and write it: the text read into a
// flat run of parts (an element opening, one closing, a text, the
// declarations), and texts escaped for writing back. Nesting is a stack of
// open names, never recursion, so the text cannot choose the C++ stack's
// depth.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dc::swf::avm1 {

// What reading ended with: the values of XML.status. Reading stops at the
// first fault; the parts before it were delivered.
enum class XmlStatus : int {
  Ok = 0,
  CdataUnterminated = -2,
  DeclarationUnterminated = -3,
  DocTypeUnterminated = -4,
  CommentUnterminated = -5,
  ElementMalformed = -6,
  OutOfMemory = -7,
  AttributeUnterminated = -8,
  StartWithoutEnd = -9,
  EndWithoutStart = -10,
};

struct XmlAttribute {
  std::string name;
  std::string value;  // entities decoded
};

// Receives the parts in document order.
class XmlSink {
 public:
  virtual ~XmlSink() = default;
  // `empty`: written <name/>, so no CloseElement follows.
  virtual void OpenElement(std::string_view name, const std::vector<XmlAttribute>& attributes, bool empty) = 0;
  virtual void CloseElement() = 0;
  // Character data with its entities decoded, or a CDATA section's raw
  // contents. Comments split texts and are dropped.
  virtual void Text(std::string text) = 0;
  // "<?...?>" and "<!DOCTYPE ...>", each whole.
  virtual void Declaration(std::string_view text) = 0;
  virtual void DocType(std::string_view text) = 0;
};

// Reads `text`; with `ignoreWhite`, texts of whitespace alone are dropped.
XmlStatus ParseXmlText(std::string_view text, bool ignoreWhite, XmlSink& sink);

// The five predefined entities and character references (&#65; &#x41;)
// decoded; anything else after '&' stays as written.
std::string DecodeXmlEntities(std::string_view text);
// & < > " ' written as entities.
void AppendXmlEscaped(std::string& out, std::string_view text);

}  // namespace dc::swf::avm1

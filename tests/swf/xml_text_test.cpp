// The XML text reader on its own: the parts it delivers, where it stops and
// with which status, entities, and a nesting far deeper than any stack.
#include <gtest/gtest.h>

#include <string>

#include "swf/avm1/xml_text.h"

namespace dc::swf::avm1 {
namespace {

// The parts as one line: <name a=v> (or <name/>), </>, "text", ?decl, !doctype.
class Recorder final : public XmlSink {
 public:
  void OpenElement(std::string_view name, const std::vector<XmlAttribute>& attributes, bool empty) override {
    log += "<" + std::string(name);
    for (const XmlAttribute& a : attributes) log += " " + a.name + "=" + a.value;
    log += empty ? "/>" : ">";
  }
  void CloseElement() override { log += "</>"; }
  void Text(std::string text) override { log += "\"" + text + "\""; }
  void Declaration(std::string_view text) override { log += "?" + std::string(text); }
  void DocType(std::string_view text) override { log += "!" + std::string(text); }
  std::string log;
};

struct Case {
  const char* text;
  bool ignoreWhite;
  XmlStatus status;
  const char* parts;
};

TEST(XmlText, PartsAndStatus) {
  const Case cases[] = {
      {"<a x=\"1\" y='&lt;2'>t&amp;u</a>", false, XmlStatus::Ok, "<a x=1 y=<2>\"t&u\"</>"},
      {"<a  x = \"1\" /><b/>", false, XmlStatus::Ok, "<a x=1/><b/>"},
      {"<r> <i> s </i>\n</r>", true, XmlStatus::Ok, "<r><i>\" s \"</></>"},
      {"<r> <i/>\n</r>", false, XmlStatus::Ok, "<r>\" \"<i/>\"\n\"</>"},
      {"a<!-- c -->b<![CDATA[<&amp;>]]>", false, XmlStatus::Ok, "\"a\"\"b\"\"<&amp;>\""},
      {"<?xml version='1.0'?><!DOCTYPE d [<!ENTITY e '>'>]><d/>", false, XmlStatus::Ok,
       "?<?xml version='1.0'?>!<!DOCTYPE d [<!ENTITY e '>'>]><d/>"},
      {"<a><b>", false, XmlStatus::StartWithoutEnd, "<a><b>"},
      {"<a></b>", false, XmlStatus::EndWithoutStart, "<a>"},
      {"</a>", false, XmlStatus::EndWithoutStart, ""},
      {"x<!-- open", false, XmlStatus::CommentUnterminated, "\"x\""},
      {"<![CDATA[open", false, XmlStatus::CdataUnterminated, ""},
      {"<?xml open", false, XmlStatus::DeclarationUnterminated, ""},
      {"<!DOCTYPE open", false, XmlStatus::DocTypeUnterminated, ""},
      {"<a x=1>", false, XmlStatus::ElementMalformed, ""},
      {"<a x>", false, XmlStatus::ElementMalformed, ""},
      {"a < b", false, XmlStatus::ElementMalformed, "\"a \""},
      {"<a x=\"1>", false, XmlStatus::AttributeUnterminated, ""},
      {"<a", false, XmlStatus::ElementMalformed, ""},
  };
  for (const Case& c : cases) {
    Recorder r;
    EXPECT_EQ(ParseXmlText(c.text, c.ignoreWhite, r), c.status) << c.text;
    EXPECT_EQ(r.log, c.parts) << c.text;
  }
}

TEST(XmlText, Entities) {
  EXPECT_EQ(DecodeXmlEntities("&lt;&gt;&amp;&quot;&apos;"), "<>&\"'");
  EXPECT_EQ(DecodeXmlEntities("&#65;&#x42;&#X43;&#233;"), "ABC\xC3\xA9");
  // What is no entity stays as written.
  EXPECT_EQ(DecodeXmlEntities("&nbsp; & &amp &#xD800; &#;"), "&nbsp; & &amp &#xD800; &#;");
  std::string out;
  AppendXmlEscaped(out, "<a href=\"x\">'&'</a>");
  EXPECT_EQ(out, "&lt;a href=&quot;x&quot;&gt;&apos;&amp;&apos;&lt;/a&gt;");
}

TEST(XmlText, DeepNestingIsNoRecursion) {
  constexpr int kDepth = 100'000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<a>";
  for (int i = 0; i < kDepth; ++i) text += "</a>";
  struct Depth final : XmlSink {
    void OpenElement(std::string_view, const std::vector<XmlAttribute>&, bool) override { deepest = std::max(deepest, ++depth); }
    void CloseElement() override { --depth; }
    void Text(std::string) override {}
    void Declaration(std::string_view) override {}
    void DocType(std::string_view) override {}
    int depth = 0, deepest = 0;
  } sink;
  EXPECT_EQ(ParseXmlText(text, false, sink), XmlStatus::Ok);
  EXPECT_EQ(sink.deepest, kDepth);
  EXPECT_EQ(sink.depth, 0);
}

}  // namespace
}  // namespace dc::swf::avm1

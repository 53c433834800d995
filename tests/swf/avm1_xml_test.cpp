// XML and LoadVars in the engine: the text written back, the tree's edits
// and the childNodes array that follows them, namespaces, a nesting no
// stack could follow, and the memory a parse may take.
#include <gtest/gtest.h>

#include "testkit/avm1_harness.h"

namespace dc::swf::avm1::test {
namespace {

Asm& Member(Asm& a, const std::string& object, std::initializer_list<const char*> path) {
  a.Get(object);
  for (const char* name : path) a.Push({name}).Op(op::GetMember);
  return a;
}

TEST(Avm1Xml, TextWrittenBack) {
  Harness h(7);
  Asm a;
  // Attributes come out newest first, as for-in lists them; text is
  // escaped again, a CDATA section becomes text, comments go.
  a.New("XML", {"<?xml version=\"1.0\"?><a z=\"1\" y=\"&amp;\"><b>t&lt;</b><!-- c --><![CDATA[<c>]]></a>"})
      .Store("x");
  a.Get("x").TraceTop();
  Member(a, "x", {"status"}).TraceTop();
  // A fault stops the parse; what came before it stays.
  a.New("XML", {"<a><b x='1'>t"}).Store("bad");
  a.Get("bad").TraceTop();
  Member(a, "bad", {"status"}).TraceTop();
  EXPECT_EQ(h.Run(a), "<?xml version=\"1.0\"?><a y=\"&amp;\" z=\"1\"><b>t&lt;</b>&lt;c&gt;</a>|0|"
                      "<a><b x=\"1\">t</b></a>|-9");
}

TEST(Avm1Xml, EditsAndTheChildNodesArray) {
  Harness h(7);
  Asm a;
  a.New("XML", {"<r><a/><b/><c/></r>"}).Store("x");
  Member(a, "x", {"firstChild"}).Store("r");
  Member(a, "r", {"childNodes"}).Store("kids");
  // A child already there stays; one from elsewhere goes before `before`.
  a.New("XML", {"<z/>"}).Store("y");
  for (const char* moved : {"r", "y"}) {
    Member(a, "r", {"firstChild"});
    Member(a, moved, {"lastChild"});
    a.Push({2}).Get("r").Push({"insertBefore"}).Op(op::CallMethod).Op(op::Pop);
    a.Get("kids").TraceTop();
  }
  Member(a, "r", {"firstChild", "nextSibling"}).Push({0}).Op(op::StackSwap).Push({"removeNode"}).Op(op::CallMethod);
  a.Op(op::Pop).Get("kids").TraceTop();
  // A node moves between parents; no node goes inside itself.
  Member(a, "r", {"lastChild"}).Push({1}).Get("x").Push({"appendChild"}).Op(op::CallMethod).Op(op::Pop);
  a.Get("x").Push({1}).Get("r").Push({"appendChild"}).Op(op::CallMethod).Op(op::Pop);
  a.Get("x").TraceTop();
  Member(a, "x", {"lastChild", "previousSibling"}).Get("r").Op(op::StrictEquals).TraceTop();
  a.CallOn("r", "hasChildNodes").TraceTop();
  a.CallOn("x", "cloneNode", {true}).TraceTop();
  EXPECT_EQ(h.Run(a), "<a />,<b />,<c />|<z />,<a />,<b />,<c />|<z />,<b />,<c />|<r><z /><b /></r><c />|true|true|"
                      "<r><z /><b /></r><c />");
}

TEST(Avm1Xml, NamespacesAndIdMapFromFlash8) {
  const char* text = "<r xmlns='urn:d' xmlns:p='urn:p'><p:i id='i1'/><j/></r>";
  Harness h(8);
  Asm a;
  a.New("XML", {text}).Store("x");
  Member(a, "x", {"firstChild", "firstChild"}).Store("i");
  for (const char* name : {"prefix", "localName", "namespaceURI"}) Member(a, "i", {name}).TraceTop();
  Member(a, "x", {"firstChild", "lastChild", "namespaceURI"}).TraceTop();
  a.CallOn("i", "getNamespaceForPrefix", {"p"}).TraceTop();
  a.CallOn("i", "getNamespaceForPrefix", {"q"}).TraceTop();
  a.CallOn("i", "getPrefixForNamespace", {"urn:d"}).TraceTop();
  Member(a, "x", {"prefix"}).TraceTop();
  Member(a, "x", {"idMap", "i1"}).Get("i").Op(op::StrictEquals).TraceTop();
  EXPECT_EQ(h.Run(a), "p|i|urn:p|urn:d|urn:p|null||null|true");

  Harness seven(7);
  Asm b;
  b.New("XML", {text}).Store("x");
  Member(b, "x", {"firstChild", "prefix"}).TraceTop();
  Member(b, "x", {"idMap"}).TraceTop();
  EXPECT_EQ(seven.Run(b), "undefined|undefined");
}

// "<a>" doubled `times` times into s.
Asm Nested(int times) {
  Asm a;
  a.Set("s", "<a>").Set("i", 0).Label("more");
  a.Push({"s"}).Get("s").Get("s").Op(op::Add2).Op(op::SetVariable);
  a.Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable);
  a.Get("i").Push({times}).Op(op::Less2).If("more");
  return a;
}

TEST(Avm1Xml, DeepNestingParsedCopiedAndWritten) {
  Harness h(7);
  Asm a = Nested(16);  // 65536 levels, every one left open
  a.New("XML", {}).Store("x");
  a.Get("s").Push({1}).Get("x").Push({"parseXML"}).Op(op::CallMethod).Op(op::Pop);
  Member(a, "x", {"status"}).TraceTop();
  a.CallOn("x", "cloneNode", {true}).Store("c");
  a.CallOn("c", "toString").Push({"length"}).Op(op::GetMember).TraceTop();
  EXPECT_EQ(h.Run(a), "-9|" + std::to_string(65535 * 7 + 5));
  EXPECT_TRUE(h.warnings.empty());
}

TEST(Avm1Xml, ParseStopsAtTheMemoryLimit) {
  ScriptLimits limits;
  limits.maxMemoryBytes = 2 << 20;
  Harness h(7, limits);
  Asm a = Nested(16);
  a.New("XML", {}).Store("x");
  a.Get("s").Push({1}).Get("x").Push({"parseXML"}).Op(op::CallMethod).Op(op::Pop);
  a.Push({"not reached"}).TraceTop();
  EXPECT_EQ(h.Run(a), "");
  ASSERT_EQ(h.warnings.size(), 1u);
  EXPECT_NE(h.warnings[0].find("maxMemoryBytes"), std::string::npos) << h.warnings[0];
}

TEST(Avm1Xml, LoadVarsInMemory) {
  Harness h(7);
  Asm a;
  a.New("LoadVars").Store("v").CallOn("v", "decode", {"a=1&b=x+y%21&c"}).Op(op::Pop);
  Member(a, "v", {"b"}).TraceTop();
  Member(a, "v", {"c"}).TraceTop();
  a.CallOn("v", "toString").TraceTop();
  a.CallOn("v", "load").TraceTop();
  a.CallOn("v", "load", {"vars.txt"}).TraceTop();
  Member(a, "v", {"loaded"}).TraceTop();
  EXPECT_EQ(h.Run(a), "x y!||c=&b=x%20y%21&a=1|false|true|false");
}

}  // namespace
}  // namespace dc::swf::avm1::test

// XML, the document: its text parsed into nodes (the constructor's, and
// parseXML's) with the declarations, status and idMap beside them, the
// nodes it makes, and onData, which would take a loaded text; the loading
// members themselves reach nothing. XMLSocket is here too, a socket that
// never connects.
#include <string>
#include <vector>

#include "swf/avm1/builtins_loading.h"
#include "swf/avm1/builtins_xml.h"
#include "swf/avm1/xml_text.h"

namespace dc::swf::avm1 {
namespace {

// Flash 8 added idMap.
constexpr int kIdMapVersion = 8;

// Builds the parsed parts into the document as they come; every node is
// charged to the heap and the frame's budget, so a long text stops like a
// long loop does.
class TreeBuilder final : public XmlSink {
 public:
  TreeBuilder(Runtime& rt, XmlNodeObject* document)
      : rt_(rt), document_(document), proto_(XmlNodePrototype(rt)),
        idMap_(rt.version >= kIdMapVersion ? rt.GetMember(Value::Obj(document), "idMap").AsObject() : nullptr) {}

  void OpenElement(std::string_view name, const std::vector<XmlAttribute>& attributes, bool empty) override {
    XmlNodeObject* n = Make(kXmlElement);
    n->name = rt_.Literal(name);  // a document repeats its few names
    if (!attributes.empty()) {
      n->attributes = rt_.NewObject();
      for (const XmlAttribute& a : attributes) {
        rt_.SetMember(Value::Obj(n->attributes), a.name, rt_.Str(a.value));
        if (idMap_ && a.name == "id") rt_.SetMember(Value::Obj(idMap_), a.value, Value::Obj(n));
      }
      rt_.CountWork(attributes.size() * 8);
    }
    Add(n);
    if (!empty) open_.push_back(n);
  }
  void CloseElement() override {
    if (!open_.empty()) open_.pop_back();
  }
  void Text(std::string text) override {
    XmlNodeObject* n = Make(kXmlText);
    n->value = rt_.Str(std::move(text));
    Add(n);
  }
  void Declaration(std::string_view text) override { rt_.DefineValue(document_, "xmlDecl", rt_.Str(text)); }
  void DocType(std::string_view text) override { rt_.DefineValue(document_, "docTypeDecl", rt_.Str(text)); }

 private:
  // A node is an object made and linked in: some hundreds of nanoseconds.
  XmlNodeObject* Make(int type) {
    rt_.CountWork(32);
    rt_.CheckMemory();
    return rt_.heap.Make<XmlNodeObject>(proto_, type, false);
  }
  void Add(XmlNodeObject* n) {
    XmlNodeObject* parent = open_.empty() ? document_ : open_.back();
    if (!parent->Append(rt_, n)) rt_.CheckMemory();
  }

  Runtime& rt_;
  XmlNodeObject* document_;
  Object* proto_;
  Object* idMap_;  // elements by their id attribute
  std::vector<XmlNodeObject*> open_;
};

// The document's children give way to those of `text`; status says how
// the reading ended.
void ParseInto(Runtime& rt, XmlNodeObject* document, const std::string& text) {
  document->RemoveChildren(rt);
  const bool ignoreWhite = rt.ToBoolean(rt.GetMember(Value::Obj(document), "ignoreWhite"));
  rt.CountWork(text.size());  // read character by character
  TreeBuilder builder(rt, document);
  const XmlStatus status = ParseXmlText(text, ignoreWhite, builder);
  rt.DefineValue(document, "status", Value::Number(static_cast<int>(status)));
}

Value XmlConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  XmlNodeObject* document = rt.heap.Make<XmlNodeObject>(proto, kXmlElement, true);
  rt.DefineValue(document, "status", Value::Number(0));
  if (rt.version >= kIdMapVersion) rt.DefineValue(document, "idMap", Value::Obj(rt.NewObject()));
  if (!Arg(args, 0).IsUndefined()) ParseInto(rt, document, rt.ToString(args[0]));
  return Value::Obj(document);
}

Value XmlCall(Runtime&, Value, std::span<const Value>) { return Value(); }

Value ParseXml(Runtime& rt, Value self, std::span<const Value> args) {
  XmlNodeObject* document = AsXmlNode(self);
  if (document) ParseInto(rt, document, rt.ToString(Arg(args, 0)));
  return Value();
}

Value NewNode(Runtime& rt, int type, Value text) {
  XmlNodeObject* n = rt.heap.Make<XmlNodeObject>(XmlNodePrototype(rt), type, false);
  (type == kXmlElement ? n->name : n->value) = rt.ToStringValue(text);
  return Value::Obj(n);
}

Value CreateElement(Runtime& rt, Value, std::span<const Value> args) { return NewNode(rt, kXmlElement, Arg(args, 0)); }
Value CreateTextNode(Runtime& rt, Value, std::span<const Value> args) { return NewNode(rt, kXmlText, Arg(args, 0)); }

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

// What arrived: the text parsed and onLoad told, or onLoad(false) for none.
Value XmlOnData(Runtime& rt, Value self, std::span<const Value> args) {
  const Value src = Arg(args, 0);
  if (src.IsUndefined()) {
    const Value failed[1] = {Value::Bool(false)};
    rt.CallMethod(self, "onLoad", failed);
    return Value();
  }
  const Value text[1] = {src};
  rt.CallMethod(self, "parseXML", text);
  rt.SetMember(self, "loaded", Value::Bool(true));
  const Value done[1] = {Value::Bool(true)};
  rt.CallMethod(self, "onLoad", done);
  return Value();
}

Value SocketConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }
Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }

// A socket's message: the XML made of it goes to onXML.
Value SocketOnData(Runtime& rt, Value self, std::span<const Value> args) {
  const Value text[1] = {Arg(args, 0)};
  const Value xml = rt.Construct(rt.GetMember(Value::Obj(rt.global), "XML"), text);
  const Value arg[1] = {xml};
  rt.CallMethod(self, "onXML", arg);
  return Value();
}

}  // namespace

void InstallXmlBuiltins(Runtime& rt) {
  Object* nodeProto = InstallXmlNodeClass(rt);
  Object* p = rt.NewObject(nodeProto);
  rt.DefineMethod(p, "createElement", CreateElement);
  rt.DefineMethod(p, "createTextNode", CreateTextNode);
  rt.DefineMethod(p, "parseXML", ParseXml);
  rt.DefineMethod(p, "onData", XmlOnData);
  DefineLoadingMembers(rt, p);
  rt.DefineValue(p, "ignoreWhite", Value::Bool(false));
  DefineClass(rt, "XML", p, XmlCall, XmlConstruct);

  Object* socket = rt.NewObject();
  rt.DefineMethod(socket, "connect", False);
  rt.DefineMethod(socket, "send", Nothing);
  rt.DefineMethod(socket, "close", Nothing);
  rt.DefineMethod(socket, "onData", SocketOnData);
  DefineClass(rt, "XMLSocket", socket, Nothing, SocketConstruct);
}

}  // namespace dc::swf::avm1

// XMLNode: the node's properties as hidden getters and setters on the
// prototype, the tree's methods (appendChild, insertBefore, removeNode,
// cloneNode) and toString. Copies and writing walk the tree with a stack of
// their own, however deep a script nested it.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins_xml.h"
#include "swf/avm1/xml_text.h"

namespace dc::swf::avm1 {
namespace {

// Flash 8 added the namespace members; older movies do not see them.
constexpr int kNamespaceVersion = 8;

Value NodeValueOf(XmlNodeObject* n) { return n ? Value::Obj(n) : Value::Null(); }

// The prefix and local parts of a name, split at its first colon.
std::pair<std::string_view, std::string_view> NameParts(std::string_view name) {
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos) return {std::string_view(), name};
  return {name.substr(0, colon), name.substr(colon + 1)};
}

std::string_view ElementName(XmlNodeObject* n) { return n->name.IsString() ? std::string_view(n->name.s->text) : ""; }

// The URI an xmlns attribute gives `prefix` ("" for the default) on `n` or
// the nearest of its ancestors; null when none does.
Value NamespaceFor(Runtime& rt, XmlNodeObject* n, std::string_view prefix) {
  const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
  std::uint64_t steps = 0;
  for (; n; n = n->parent, ++steps) {
    if (n->attributes && n->attributes->props.Find(attribute, rt.caseSensitive)) {
      rt.CountWork(steps);
      return rt.ToStringValue(rt.GetMember(Value::Obj(n->attributes), attribute));
    }
  }
  rt.CountWork(steps);
  return Value::Null();
}

// The getters read a node; on an object that is no node they give undefined.
template <Value (*Read)(Runtime&, XmlNodeObject*)>
Value Getter(Runtime& rt, Value self, std::span<const Value>) {
  XmlNodeObject* n = AsXmlNode(self);
  return n ? Read(rt, n) : Value();
}

Value TypeOf(Runtime&, XmlNodeObject* n) { return Value::Number(n->type); }
Value NameOf(Runtime&, XmlNodeObject* n) { return n->name; }
Value ValueOf(Runtime&, XmlNodeObject* n) { return n->value; }
Value ParentOf(Runtime&, XmlNodeObject* n) { return NodeValueOf(n->parent); }
Value FirstChildOf(Runtime&, XmlNodeObject* n) { return NodeValueOf(n->children.empty() ? nullptr : n->children.front()); }
Value LastChildOf(Runtime&, XmlNodeObject* n) { return NodeValueOf(n->children.empty() ? nullptr : n->children.back()); }
Value NextSiblingOf(Runtime&, XmlNodeObject* n) { return NodeValueOf(n->NextSibling()); }
Value PreviousSiblingOf(Runtime&, XmlNodeObject* n) { return NodeValueOf(n->PreviousSibling()); }
Value ChildNodesOf(Runtime& rt, XmlNodeObject* n) { return Value::Obj(n->ChildArray(rt)); }

Value AttributesOf(Runtime& rt, XmlNodeObject* n) {
  if (!n->attributes) n->attributes = rt.NewObject();
  return Value::Obj(n->attributes);
}

Value LocalNameOf(Runtime& rt, XmlNodeObject* n) {
  return n->name.IsString() ? rt.Str(NameParts(n->name.s->text).second) : Value::Null();
}

Value PrefixOf(Runtime& rt, XmlNodeObject* n) {
  return n->name.IsString() ? rt.Str(NameParts(n->name.s->text).first) : Value::Null();
}

// The URI of the node's prefix; an unprefixed name outside any default
// namespace has "".
Value NamespaceUriOf(Runtime& rt, XmlNodeObject* n) {
  if (!n->name.IsString()) return Value::Null();
  const std::string_view prefix = NameParts(n->name.s->text).first;
  const Value uri = NamespaceFor(rt, n, prefix);
  return uri.IsNull() && prefix.empty() ? rt.Str("") : uri;
}

// A name or value: undefined leaves it, null clears it, the rest is text.
void SetText(Runtime& rt, Value& field, Value v) {
  if (v.IsUndefined()) return;
  field = v.IsNull() ? Value::Null() : rt.ToStringValue(v);
}

Value SetNodeName(Runtime& rt, Value self, std::span<const Value> args) {
  if (XmlNodeObject* n = AsXmlNode(self)) SetText(rt, n->name, Arg(args, 0));
  return Value();
}

Value SetNodeValue(Runtime& rt, Value self, std::span<const Value> args) {
  if (XmlNodeObject* n = AsXmlNode(self)) SetText(rt, n->value, Arg(args, 0));
  return Value();
}

Value SetAttributes(Runtime&, Value self, std::span<const Value> args) {
  XmlNodeObject* n = AsXmlNode(self);
  if (n && Arg(args, 0).IsObject()) n->attributes = args[0].o;
  return Value();
}

Value XmlNodeConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  const double type = rt.ToNumber(Arg(args, 0));
  XmlNodeObject* n = rt.heap.Make<XmlNodeObject>(proto, type == kXmlElement ? kXmlElement : kXmlText, false);
  SetText(rt, type == kXmlElement ? n->name : n->value, Arg(args, 1));
  return Value::Obj(n);
}

Value XmlNodeCall(Runtime&, Value, std::span<const Value>) { return Value(); }

// A node already among this node's children stays where it is, and no node
// goes inside itself.
bool MayAdopt(Runtime& rt, XmlNodeObject* parent, XmlNodeObject* child) {
  return parent && child && child->parent != parent && !parent->IsWithin(rt, child);
}

Value AppendChild(Runtime& rt, Value self, std::span<const Value> args) {
  XmlNodeObject* n = AsXmlNode(self);
  XmlNodeObject* child = AsXmlNode(Arg(args, 0));
  if (MayAdopt(rt, n, child)) n->Append(rt, child);
  return Value();
}

Value InsertBefore(Runtime& rt, Value self, std::span<const Value> args) {
  XmlNodeObject* n = AsXmlNode(self);
  XmlNodeObject* child = AsXmlNode(Arg(args, 0));
  XmlNodeObject* before = AsXmlNode(Arg(args, 1));
  if (before && before != child && before->parent == n && MayAdopt(rt, n, child)) n->InsertBefore(rt, child, before);
  return Value();
}

Value RemoveNode(Runtime& rt, Value self, std::span<const Value>) {
  if (XmlNodeObject* n = AsXmlNode(self)) n->Detach(rt);
  return Value();
}

Value HasChildNodes(Runtime&, Value self, std::span<const Value>) {
  XmlNodeObject* n = AsXmlNode(self);
  return n ? Value::Bool(!n->children.empty()) : Value();
}

// One node without its children: type, name, value and a copy of the
// attributes; expandos stay behind.
XmlNodeObject* CopyNode(Runtime& rt, XmlNodeObject* from) {
  rt.CountWork(8);
  XmlNodeObject* to = rt.heap.Make<XmlNodeObject>(from->proto, from->type, from->document);
  to->name = from->name;
  to->value = from->value;
  if (from->attributes) {
    to->attributes = rt.NewObject();
    for (const Property& p : from->attributes->props.Items()) {
      rt.heap.Charge(sizeof(Property) + p.name.size());
      Property& copy = to->attributes->props.Add(p.name, p.value, rt.caseSensitive);
      copy.accessor = p.accessor;
      copy.getter = p.getter;
      copy.setter = p.setter;
      copy.flags = p.flags;
    }
  }
  rt.CheckMemory();
  return to;
}

Value CloneNode(Runtime& rt, Value self, std::span<const Value> args) {
  XmlNodeObject* n = AsXmlNode(self);
  if (!n) return Value();
  XmlNodeObject* root = CopyNode(rt, n);
  if (!rt.ToBoolean(Arg(args, 0))) return Value::Obj(root);
  std::vector<std::pair<XmlNodeObject*, XmlNodeObject*>> pending{{n, root}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    for (XmlNodeObject* child : from->children) {
      XmlNodeObject* copy = CopyNode(rt, child);
      if (!to->Append(rt, copy)) rt.CheckMemory();
      if (!child->children.empty()) pending.emplace_back(child, copy);
    }
  }
  return Value::Obj(root);
}

Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) {
  XmlNodeObject* n = AsXmlNode(self);
  return n ? rt.Str(XmlToString(rt, n)) : Value();
}

Value GetNamespaceForPrefix(Runtime& rt, Value self, std::span<const Value> args) {
  XmlNodeObject* n = AsXmlNode(self);
  if (!n) return Value();
  return NamespaceFor(rt, n, rt.ToString(Arg(args, 0)));
}

// The prefix an xmlns attribute on the node or an ancestor binds `uri` to:
// "" for a default namespace, null when none does.
Value GetPrefixForNamespace(Runtime& rt, Value self, std::span<const Value> args) {
  XmlNodeObject* n = AsXmlNode(self);
  if (!n) return Value();
  const std::string uri = rt.ToString(Arg(args, 0));
  for (; n; n = n->parent) {
    if (!n->attributes) continue;
    std::vector<std::string> names;
    for (const Property& p : n->attributes->props.Items()) names.push_back(p.name);
    rt.CountWork(names.size() + 8);
    for (const std::string& name : names) {
      const bool bare = name == "xmlns";
      if (!bare && name.rfind("xmlns:", 0) != 0) continue;
      if (rt.ToString(rt.GetMember(Value::Obj(n->attributes), name)) == uri) return rt.Str(bare ? "" : name.substr(6));
    }
  }
  return Value::Null();
}

void AppendAttributes(Runtime& rt, std::string& out, Object* attributes) {
  if (!attributes) return;
  // Newest first, as for-in lists them; the names are taken first because
  // a value's toString may change the object.
  std::vector<std::string> names;
  for (const Property& p : attributes->props)
    if (!(p.flags & kDontEnum)) names.push_back(p.name);
  std::reverse(names.begin(), names.end());
  rt.CountWork(names.size());
  for (const std::string& name : names) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendXmlEscaped(out, rt.ToString(rt.GetMember(Value::Obj(attributes), name)));
    out += '"';
  }
}

// What comes before a node's children; true when its children and an end
// tag follow.
bool AppendOpening(Runtime& rt, std::string& out, XmlNodeObject* n) {
  rt.CountWork(8);
  if (n->type != kXmlElement) {
    if (n->value.IsString()) AppendXmlEscaped(out, n->value.s->text);
    return false;
  }
  if (!n->name.IsString()) return !n->children.empty();
  out += '<';
  out += ElementName(n);
  AppendAttributes(rt, out, n->attributes);
  if (n->children.empty()) {
    out += " />";
    return false;
  }
  out += '>';
  return true;
}

void AppendClosing(std::string& out, XmlNodeObject* n) {
  if (!n->name.IsString()) return;
  out += "</";
  out += ElementName(n);
  out += '>';
}

}  // namespace

std::string XmlToString(Runtime& rt, XmlNodeObject* root) {
  DepthGuard guard(rt);
  std::string out;
  if (root->document) {
    for (const char* declaration : {"xmlDecl", "docTypeDecl"}) {
      const Value v = rt.GetMember(Value::Obj(root), declaration);
      if (!v.IsUndefined()) out += rt.ToString(v);
    }
  }
  // Each open node with the index of its next child; a script called for an
  // attribute's text may change the tree, so indices are checked each step.
  std::vector<std::pair<XmlNodeObject*, std::size_t>> open;
  if (AppendOpening(rt, out, root)) open.emplace_back(root, 0);
  while (!open.empty()) {
    if (!rt.heap.Allows(out.size())) throw ScriptStop{StopReason::Memory};
    auto& [node, next] = open.back();
    if (next >= node->children.size()) {
      AppendClosing(out, node);
      open.pop_back();
      continue;
    }
    XmlNodeObject* child = node->children[next++];
    if (AppendOpening(rt, out, child)) open.emplace_back(child, 0);
  }
  return out;
}

Object* XmlNodePrototype(Runtime& rt) {
  Object* proto = rt.xmlNodeClass ? rt.GetMember(Value::Obj(rt.xmlNodeClass), "prototype").AsObject() : nullptr;
  return proto ? proto : rt.objectProto;
}

Object* InstallXmlNodeClass(Runtime& rt) {
  Object* p = rt.NewObject();
  struct Accessor {
    const char* name;
    NativeFunction get, set;
    int version;
  };
  const Accessor accessors[] = {
      {"nodeType", Getter<TypeOf>, nullptr, 0},
      {"nodeName", Getter<NameOf>, SetNodeName, 0},
      {"nodeValue", Getter<ValueOf>, SetNodeValue, 0},
      {"attributes", Getter<AttributesOf>, SetAttributes, 0},
      {"childNodes", Getter<ChildNodesOf>, nullptr, 0},
      {"parentNode", Getter<ParentOf>, nullptr, 0},
      {"firstChild", Getter<FirstChildOf>, nullptr, 0},
      {"lastChild", Getter<LastChildOf>, nullptr, 0},
      {"previousSibling", Getter<PreviousSiblingOf>, nullptr, 0},
      {"nextSibling", Getter<NextSiblingOf>, nullptr, 0},
      {"localName", Getter<LocalNameOf>, nullptr, kNamespaceVersion},
      {"prefix", Getter<PrefixOf>, nullptr, kNamespaceVersion},
      {"namespaceURI", Getter<NamespaceUriOf>, nullptr, kNamespaceVersion},
  };
  for (const Accessor& a : accessors) {
    if (rt.version < a.version) continue;
    rt.DefineAccessor(p, a.name, Value::Obj(rt.NewNative(a.get)), a.set ? Value::Obj(rt.NewNative(a.set)) : Value(),
                      kDontEnum | kDontDelete);
  }
  rt.DefineMethod(p, "appendChild", AppendChild);
  rt.DefineMethod(p, "insertBefore", InsertBefore);
  rt.DefineMethod(p, "removeNode", RemoveNode);
  rt.DefineMethod(p, "cloneNode", CloneNode);
  rt.DefineMethod(p, "hasChildNodes", HasChildNodes);
  rt.DefineMethod(p, "toString", ToStringMethod);
  if (rt.version >= kNamespaceVersion) {
    rt.DefineMethod(p, "getNamespaceForPrefix", GetNamespaceForPrefix);
    rt.DefineMethod(p, "getPrefixForNamespace", GetPrefixForNamespace);
  }
  rt.xmlNodeClass = DefineClass(rt, "XMLNode", p, XmlNodeCall, XmlNodeConstruct);
  return p;
}

}  // namespace dc::swf::avm1

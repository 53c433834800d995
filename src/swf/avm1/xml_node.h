// An XML node as scripts hold it (an XMLNode, or the XML document that is
// one): its type, name and value, its attributes object, and its place among
// its parent's children. The tree's changes keep each node's index in its
// parent, and the childNodes array a script may hold, up to date.
#pragma once

#include <cstddef>
#include <vector>

#include "swf/avm1/object.h"

namespace dc::swf::avm1 {

class Runtime;

inline constexpr int kXmlElement = 1;
inline constexpr int kXmlText = 3;

class XmlNodeObject final : public Object {
 public:
  XmlNodeObject(Object* prototype, int nodeType, bool isDocument)
      : Object(prototype), type(nodeType), document(isDocument), name(Value::Null()), value(Value::Null()) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override {
    return sizeof(XmlNodeObject) + OwnBytes() + children.capacity() * sizeof(XmlNodeObject*);
  }

  XmlNodeObject* NextSibling() const;
  XmlNodeObject* PreviousSibling() const;
  // Whether this node is `other` or lies inside it; the walk up counts
  // against the frame's budget.
  bool IsWithin(Runtime& rt, const XmlNodeObject* other) const;

  // The last child from now on; `child` leaves its old parent. False, and
  // nothing changed, when its place does not fit in memory.
  bool Append(Runtime& rt, XmlNodeObject* child);
  // `child` before `before`, one of this node's children.
  bool InsertBefore(Runtime& rt, XmlNodeObject* child, XmlNodeObject* before);
  // Out of its parent's children.
  void Detach(Runtime& rt);
  void RemoveChildren(Runtime& rt);
  // The childNodes array, made at first use and the same array after.
  ArrayObject* ChildArray(Runtime& rt);

  const int type;
  bool document;      // made by the XML constructor: toString writes its declarations
  Value name, value;  // strings or null
  Object* attributes = nullptr;  // made at first use
  XmlNodeObject* parent = nullptr;
  std::size_t index = 0;  // in parent->children
  std::vector<XmlNodeObject*> children;

 private:
  bool Reserve(Runtime& rt, std::size_t n);
  void Renumber(std::size_t from);
  // The childNodes array follows the children: an append adds to an array
  // still as long as the children were; any other change writes it anew.
  void SyncChildArray(Runtime& rt, bool appended);
  ArrayObject* childArray_ = nullptr;
};

// The node `v` is, or null.
XmlNodeObject* AsXmlNode(Value v);

}  // namespace dc::swf::avm1

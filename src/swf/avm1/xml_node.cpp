// The XML tree's structure: siblings by index, moves between parents, and
// the childNodes array kept in step, every growth charged to the heap.
#include "swf/avm1/xml_node.h"

#include <algorithm>

#include "swf/avm1/array_object.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

XmlNodeObject* AsXmlNode(Value v) { return dynamic_cast<XmlNodeObject*>(v.AsObject()); }

void XmlNodeObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(name);
  heap.Mark(value);
  heap.Mark(attributes);
  heap.Mark(parent);
  heap.Mark(childArray_);
  for (XmlNodeObject* c : children) heap.Mark(c);
}

XmlNodeObject* XmlNodeObject::NextSibling() const {
  return parent && index + 1 < parent->children.size() ? parent->children[index + 1] : nullptr;
}

XmlNodeObject* XmlNodeObject::PreviousSibling() const {
  return parent && index > 0 ? parent->children[index - 1] : nullptr;
}

bool XmlNodeObject::IsWithin(Runtime& rt, const XmlNodeObject* other) const {
  std::uint64_t steps = 0;
  bool within = false;
  for (const XmlNodeObject* n = this; n && !within; n = n->parent, ++steps) within = n == other;
  rt.CountWork(steps);
  return within;
}

bool XmlNodeObject::Reserve(Runtime& rt, std::size_t n) {
  if (n <= children.capacity()) return true;
  const std::size_t capacity = std::max(n, children.capacity() * 2);
  const std::uint64_t more = (capacity - children.capacity()) * sizeof(XmlNodeObject*);
  if (!rt.heap.Allows(more)) return false;
  rt.heap.Charge(more);
  children.reserve(capacity);
  return true;
}

void XmlNodeObject::Renumber(std::size_t from) {
  for (std::size_t i = from; i < children.size(); ++i) children[i]->index = i;
}

bool XmlNodeObject::Append(Runtime& rt, XmlNodeObject* child) {
  if (!Reserve(rt, children.size() + 1)) return false;
  child->Detach(rt);
  child->parent = this;
  child->index = children.size();
  children.push_back(child);
  SyncChildArray(rt, true);
  return true;
}

bool XmlNodeObject::InsertBefore(Runtime& rt, XmlNodeObject* child, XmlNodeObject* before) {
  if (before->parent != this || !Reserve(rt, children.size() + 1)) return false;
  child->Detach(rt);
  const std::size_t at = before->index;
  rt.CountWork(children.size() - at);
  children.insert(children.begin() + static_cast<std::ptrdiff_t>(at), child);
  child->parent = this;
  Renumber(at);
  SyncChildArray(rt, false);
  return true;
}

void XmlNodeObject::Detach(Runtime& rt) {
  XmlNodeObject* p = parent;
  if (!p) return;
  rt.CountWork(p->children.size() - index);
  p->children.erase(p->children.begin() + static_cast<std::ptrdiff_t>(index));
  p->Renumber(index);
  parent = nullptr;
  index = 0;
  p->SyncChildArray(rt, false);
}

void XmlNodeObject::RemoveChildren(Runtime& rt) {
  rt.CountWork(children.size());
  for (XmlNodeObject* c : children) {
    c->parent = nullptr;
    c->index = 0;
  }
  children.clear();
  SyncChildArray(rt, false);
}

ArrayObject* XmlNodeObject::ChildArray(Runtime& rt) {
  if (!childArray_) {
    childArray_ = rt.NewArray();
    SyncChildArray(rt, false);
  }
  return childArray_;
}

void XmlNodeObject::SyncChildArray(Runtime& rt, bool appended) {
  if (!childArray_) return;
  if (appended && childArray_->Count() + 1 == children.size()) {
    childArray_->Append(rt, Value::Obj(children.back()));
    return;
  }
  std::vector<Value> values;
  values.reserve(children.size());
  for (Object* child : children) values.push_back(Value::Obj(child));
  childArray_->Assign(rt, values);
}

}  // namespace dc::swf::avm1

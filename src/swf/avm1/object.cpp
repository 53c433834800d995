// Property maps, the heap's collection, and what each kind of object marks.
#include <algorithm>

#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

// Past this many properties an object keeps a hash index by name.
constexpr std::size_t kIndexFrom = 12;

}  // namespace

Property* PropertyMap::Find(std::string_view name, bool caseSensitive) {
  if (index_) {
    const auto it = index_->find(FoldName(name, caseSensitive));
    return it == index_->end() ? nullptr : &items_[it->second];
  }
  for (Property& p : items_)
    if (NamesEqual(p.name, name, caseSensitive)) return &p;
  return nullptr;
}

Property& PropertyMap::Add(std::string_view name, Value value, bool caseSensitive) {
  items_.push_back(Property{std::string(name), value, Value(), 0});
  if (index_) {
    index_->emplace(FoldName(name, caseSensitive), static_cast<std::uint32_t>(items_.size() - 1));
  } else if (items_.size() > kIndexFrom) {
    Reindex(caseSensitive);
  }
  return items_.back();
}

bool PropertyMap::Remove(std::string_view name, bool caseSensitive) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (NamesEqual(items_[i].name, name, caseSensitive)) {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
      if (index_) Reindex(caseSensitive);
      return true;
    }
  }
  return false;
}

void PropertyMap::Reindex(bool caseSensitive) {
  if (items_.size() <= kIndexFrom) {
    index_.reset();
    return;
  }
  index_ = std::make_unique<std::unordered_map<std::string, std::uint32_t>>();
  for (std::size_t i = 0; i < items_.size(); ++i)
    index_->emplace(FoldName(items_[i].name, caseSensitive), static_cast<std::uint32_t>(i));
}

std::size_t PropertyMap::Bytes() const {
  std::size_t n = items_.capacity() * sizeof(Property);
  for (const Property& p : items_) n += p.name.size();
  if (index_) n += index_->size() * (sizeof(std::string) + 16);
  return n;
}

Heap::~Heap() {
  for (GcCell* c = cells_; c;) {
    GcCell* next = c->nextCell_;
    delete c;
    c = next;
  }
}

void Heap::Mark(const Value& v) {
  if (v.type == ValueType::String) Mark(v.s);
  else if (v.type == ValueType::Object) Mark(v.o);
}

void Heap::Collect(const std::function<void(Heap&)>& markRoots) {
  markRoots(*this);
  // Marking is iterative: a long chain of objects must not deepen the stack.
  while (!gray_.empty()) {
    GcCell* c = gray_.back();
    gray_.pop_back();
    c->Trace(*this);
  }
  std::uint64_t bytes = 0, count = 0;
  GcCell** link = &cells_;
  while (GcCell* c = *link) {
    if (c->marked_) {
      c->marked_ = false;
      bytes += c->Footprint();
      ++count;
      link = &c->nextCell_;
    } else {
      *link = c->nextCell_;
      delete c;
    }
  }
  bytes_ = bytes;
  count_ = count;
  exceeded_ = bytes_ > limit_;
}

void Object::Trace(Heap& heap) {
  heap.Mark(proto);
  for (const Property& p : props.Items()) {
    heap.Mark(p.value);
    heap.Mark(p.setter);
  }
}

void FunctionObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(scope);
  heap.Mark(pool);
  heap.Mark(base);
  for (Object* o : interfaces) heap.Mark(o);
}

std::size_t FunctionObject::Footprint() const {
  std::size_t n = sizeof(FunctionObject) + props.Bytes() + name.size() + interfaces.capacity() * sizeof(Object*);
  for (const std::string& p : params) n += sizeof(std::string) + p.size();
  return n;
}

bool BoxObject::GetSpecial(Runtime& rt, std::string_view name, Value& out) {
  if (primitive.type == ValueType::String && NamesEqual(name, "length", rt.caseSensitive)) {
    out = rt.GetMember(primitive, "length");
    return true;
  }
  return false;
}

void BoxObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(primitive);
}

void ClipObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(timelineScope);
}

void SuperObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(self);
  heap.Mark(home);
}

void Scope::Trace(Heap& heap) {
  heap.Mark(parent);
  heap.Mark(object);
}

void ConstantPool::Trace(Heap& heap) {
  for (const Value& v : entries) heap.Mark(v);
}

}  // namespace dc::swf::avm1

// An Array as Flash Player keeps one: its elements are properties named
// "0", "1", ... that can be missing (holes), carry flags (ASSetPropFlags)
// and enumerate with the array's other properties in the order they were
// made; its length is a 32-bit signed integer of its own that grows when
// an element is set past it (wrapping at 2^31) and deletes the elements
// past it when it shrinks. Elements live in a dense run from 0 while most
// of it is filled and in a hash table beyond, so a huge length or a far
// index costs nothing until elements are set.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/object.h"

namespace dc::swf::avm1 {

class ArrayObject final : public Object {
 public:
  explicit ArrayObject(Object* prototype) : Object(prototype, ObjectClass::Array) {}

  // Elements and "length" as properties: read, written, deleted, listed.
  bool GetSpecial(Runtime&, std::string_view name, Value& out) override;
  bool SetSpecial(Runtime& rt, std::string_view name, Value v) override;
  bool DeleteSpecial(Runtime&, std::string_view name, bool& deleted) override;
  // A named property (not an element, not the length) set: a numeric name
  // moves the length, a new one takes its place in the order.
  void NoteNamed(Runtime& rt, std::string_view name);
  // Own enumerable elements and named properties, oldest first (a for-in
  // reads them the other way round).
  void SpecialNames(Runtime& rt, std::vector<std::string>& names) override;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override;

  std::int32_t Length() const { return length_; }
  // The length as a count of indices: 0 when negative.
  std::uint32_t Count() const { return length_ > 0 ? static_cast<std::uint32_t>(length_) : 0; }
  // Sets the length; a shorter one deletes the elements past it.
  void SetLength(Runtime& rt, std::int32_t n);

  bool Has(std::uint32_t i) const { return Find(i) != nullptr; }
  // Element i, undefined for a hole.
  Value At(std::uint32_t i) const {
    const Element* e = Find(i);
    return e ? e->value : Value();
  }
  // Sets element i as a script does: an element there keeps its place in
  // the order (a read-only one its value too), a new one comes last; the
  // length grows to i + 1. Index 2^31 - 1 and up are not elements.
  void Set(Runtime& rt, std::uint32_t i, Value v);
  // Deletes element i; false when it may not be deleted.
  bool Delete(std::uint32_t i);
  // ASSetPropFlags on element i.
  void ChangeFlags(std::uint32_t i, std::uint8_t set, std::uint8_t clear);
  // Elements 0 .. Count()-1 in order (holes undefined), counted as work.
  std::vector<Value> Values(Runtime& rt) const;
  // Replaces every element with `values` and the length with their count.
  void Assign(Runtime& rt, std::span<const Value> values);
  void Append(Runtime& rt, Value v) { Set(rt, Count(), v); }
  // Present elements by index order, each once: f(index, value).
  template <class F>
  void ForEach(F&& f) const {
    for (std::size_t i = 0; i < dense_.size(); ++i)
      if (dense_[i].present) f(static_cast<std::uint32_t>(i), dense_[i].value);
    if (sparse_.empty()) return;
    std::vector<std::uint32_t> keys;
    keys.reserve(sparse_.size());
    for (const auto& [i, e] : sparse_) keys.push_back(i);
    std::sort(keys.begin(), keys.end());
    for (std::uint32_t i : keys) f(i, sparse_.at(i).value);
  }
  std::size_t ElementCount() const { return count_; }

 private:
  struct Element {
    Value value;
    std::uint64_t order = 0;  // when it was made, for enumeration
    std::uint8_t flags = 0;
    bool present = false;
  };
  const Element* Find(std::uint32_t i) const;
  Element* Find(std::uint32_t i) { return const_cast<Element*>(static_cast<const ArrayObject*>(this)->Find(i)); }
  // The slot for a new element i, charged to the heap.
  Element& Slot(Runtime& rt, std::uint32_t i);
  void Remove(std::uint32_t i);
  // A length set by a numeric name or an element index.
  void GrowTo(Runtime& rt, std::int32_t index);

  std::int32_t length_ = 0;
  std::uint32_t count_ = 0;
  std::uint64_t clock_ = 0;
  std::vector<Element> dense_;
  std::unordered_map<std::uint32_t, Element> sparse_;
  // When each named property was made, for the order of enumeration.
  std::unordered_map<std::string, std::uint64_t> namedOrder_;
};

// `v` as an Array, or null.
inline ArrayObject* AsArray(Value v) {
  Object* o = v.AsObject();
  return o && o->cls == ObjectClass::Array ? static_cast<ArrayObject*>(o) : nullptr;
}

}  // namespace dc::swf::avm1

// An Array's elements, its length and the order its properties enumerate
// in.
#include "swf/avm1/array_object.h"

#include <algorithm>
#include <charconv>

#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

// The dense run may hold this many holes beyond twice its elements.
constexpr std::size_t kDenseSlack = 64;
constexpr std::size_t kSparseEntryBytes = 64;  // an element in the hash table

}  // namespace

const ArrayObject::Element* ArrayObject::Find(std::uint32_t i) const {
  if (i < dense_.size()) return dense_[i].present ? &dense_[i] : nullptr;
  if (sparse_.empty()) return nullptr;
  const auto it = sparse_.find(i);
  return it == sparse_.end() ? nullptr : &it->second;
}

ArrayObject::Element& ArrayObject::Slot(Runtime& rt, std::uint32_t i) {
  if (i < dense_.size()) return dense_[i];
  // The dense run grows while it stays at least half full; beyond, the
  // element goes to the hash table.
  if (i < 2 * static_cast<std::size_t>(count_) + kDenseSlack) {
    const std::size_t size = std::max<std::size_t>(i + 1, dense_.size() + dense_.size() / 2);
    const std::size_t grown = (size - dense_.size()) * sizeof(Element);
    if (!rt.heap.Allows(grown)) throw ScriptStop{StopReason::Memory};
    rt.heap.Charge(grown);
    const std::size_t old = dense_.size();
    dense_.resize(size);
    for (auto it = sparse_.begin(); it != sparse_.end();) {
      if (it->first >= old && it->first < size) {
        dense_[it->first] = it->second;
        it = sparse_.erase(it);
      } else {
        ++it;
      }
    }
    return dense_[i];
  }
  if (!rt.heap.Allows(kSparseEntryBytes)) throw ScriptStop{StopReason::Memory};
  rt.heap.Charge(kSparseEntryBytes);
  return sparse_[i];
}

void ArrayObject::Remove(std::uint32_t i) {
  if (i < dense_.size()) {
    dense_[i] = Element{};
  } else {
    sparse_.erase(i);
  }
  --count_;
}

void ArrayObject::GrowTo(Runtime& rt, std::int32_t index) {
  if (index >= length_) SetLength(rt, static_cast<std::int32_t>(static_cast<std::uint32_t>(index) + 1u));
}

void ArrayObject::SetLength(Runtime& rt, std::int32_t n) {
  if (n < length_ && count_ > 0) {
    const std::uint32_t from = n > 0 ? static_cast<std::uint32_t>(n) : 0;
    rt.CountWork(dense_.size() > from ? dense_.size() - from : 0);
    rt.CountWork(sparse_.size());
    for (std::size_t i = from; i < dense_.size(); ++i)
      if (dense_[i].present && !(dense_[i].flags & kDontDelete)) Remove(static_cast<std::uint32_t>(i));
    for (auto it = sparse_.begin(); it != sparse_.end();) {
      if (it->first >= from && !(it->second.flags & kDontDelete)) {
        it = sparse_.erase(it);
        --count_;
      } else {
        ++it;
      }
    }
  }
  length_ = n;
}

void ArrayObject::Set(Runtime& rt, std::uint32_t i, Value v) {
  if (i > 2147483647u) return;
  GrowTo(rt, static_cast<std::int32_t>(i));
  if (Element* e = Find(i)) {
    if (!(e->flags & kReadOnly)) e->value = v;
    return;
  }
  Element& e = Slot(rt, i);
  e = Element{v, ++clock_, 0, true};
  ++count_;
}

bool ArrayObject::Delete(std::uint32_t i) {
  const Element* e = Find(i);
  if (!e) return true;
  if (e->flags & kDontDelete) return false;
  Remove(i);
  return true;
}

void ArrayObject::ChangeFlags(std::uint32_t i, std::uint8_t set, std::uint8_t clear) {
  if (Element* e = Find(i)) e->flags = static_cast<std::uint8_t>((e->flags & ~clear) | set);
}

std::vector<Value> ArrayObject::Values(Runtime& rt) const {
  const std::uint32_t n = Count();
  rt.CountWork(n);
  if (!rt.heap.Allows(static_cast<std::uint64_t>(n) * sizeof(Value))) throw ScriptStop{StopReason::Memory};
  std::vector<Value> out(n);
  ForEach([&](std::uint32_t i, Value v) {
    if (i < n) out[i] = v;
  });
  return out;
}

void ArrayObject::Assign(Runtime& rt, std::span<const Value> values) {
  rt.CountWork(values.size() + count_);
  dense_.clear();
  sparse_.clear();
  count_ = 0;
  length_ = 0;
  const std::size_t bytes = values.size() * sizeof(Element);
  if (!rt.heap.Allows(bytes)) throw ScriptStop{StopReason::Memory};
  rt.heap.Charge(bytes);
  dense_.reserve(values.size());
  for (const Value& v : values) dense_.push_back(Element{v, ++clock_, 0, true});
  count_ = static_cast<std::uint32_t>(dense_.size());
  length_ = static_cast<std::int32_t>(std::min<std::size_t>(values.size(), 2147483647));
}

bool ArrayObject::GetSpecial(Runtime& rt, std::string_view name, Value& out) {
  std::uint32_t i = 0;
  if (ArrayIndexOf(name, i)) {
    const Element* e = Find(i);
    if (!e) return false;
    out = e->value;
    return true;
  }
  if (NamesEqual(name, "length", rt.caseSensitive)) {
    out = Value::Number(length_);
    return true;
  }
  return false;
}

bool ArrayObject::SetSpecial(Runtime& rt, std::string_view name, Value v) {
  std::uint32_t i = 0;
  if (ArrayIndexOf(name, i)) {
    Set(rt, i, v);
    return true;
  }
  if (NamesEqual(name, "length", rt.caseSensitive)) {
    SetLength(rt, ToInt32(rt.ToNumber(v)));
    return true;
  }
  NoteNamed(rt, name);
  return false;
}

void ArrayObject::NoteNamed(Runtime& rt, std::string_view name) {
  // Names that read as numbers ("-5", "4294967296") move the length by
  // their value modulo 2^32 but stay named properties.
  std::int32_t numeric = 0;
  if (NumericName(name, numeric)) GrowTo(rt, numeric);
  if (!props.Find(name, rt.caseSensitive)) {
    const std::string key = FoldName(name, rt.caseSensitive);
    if (namedOrder_.find(key) == namedOrder_.end()) rt.heap.Charge(key.size() + sizeof(std::uint64_t) + 32);
    namedOrder_[key] = ++clock_;
  }
}

bool ArrayObject::DeleteSpecial(Runtime&, std::string_view name, bool& deleted) {
  std::uint32_t i = 0;
  if (!ArrayIndexOf(name, i)) return false;
  deleted = Find(i) && Delete(i);
  return true;
}

void ArrayObject::SpecialNames(Runtime& rt, std::vector<std::string>& names) {
  struct Named {
    std::uint64_t order;
    std::uint32_t index;
    const std::string* name;  // null for an element
  };
  std::vector<Named> all;
  rt.CountWork(dense_.size() + sparse_.size() + props.Count());
  all.reserve(count_);
  for (std::size_t i = 0; i < dense_.size(); ++i)
    if (dense_[i].present && !(dense_[i].flags & kDontEnum))
      all.push_back({dense_[i].order, static_cast<std::uint32_t>(i), nullptr});
  for (const auto& [i, e] : sparse_)
    if (!(e.flags & kDontEnum)) all.push_back({e.order, i, nullptr});
  if (!namedOrder_.empty()) {
    for (const Property& p : props.Items()) {
      if (p.flags & kDontEnum) continue;
      const auto it = namedOrder_.find(FoldName(p.name, rt.caseSensitive));
      if (it != namedOrder_.end()) all.push_back({it->second, 0, &p.name});
    }
  }
  std::sort(all.begin(), all.end(), [](const Named& a, const Named& b) { return a.order < b.order; });
  for (const Named& n : all) {
    if (n.name) {
      names.push_back(*n.name);
    } else {
      char digits[16];
      const auto r = std::to_chars(digits, digits + sizeof digits, n.index);
      names.emplace_back(digits, r.ptr);
    }
  }
}

void ArrayObject::Trace(Heap& heap) {
  Object::Trace(heap);
  for (const Element& e : dense_) heap.Mark(e.value);
  for (const auto& [i, e] : sparse_) heap.Mark(e.value);
}

std::size_t ArrayObject::Footprint() const {
  std::size_t n = sizeof(ArrayObject) + props.Bytes() + dense_.capacity() * sizeof(Element) +
                  sparse_.size() * kSparseEntryBytes;
  for (const auto& [name, order] : namedOrder_) n += name.size() + 40;
  return n;
}

}  // namespace dc::swf::avm1

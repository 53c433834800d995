// An object's named properties: each with its flags, a plain value or a
// getter and setter, in the order they were made. A look-up is constant
// time whatever the count (a short list is searched, a longer one hashed),
// and a deletion leaves a gap that is closed once gaps are half the list,
// so that neither a long object nor a loop of deletions costs more than
// its length.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "swf/avm1/value.h"

namespace dc::swf::avm1 {

// ASSetPropFlags' bits. Beside the three ECMA attributes, a bit may hide a
// property from movies older than a Flash version; the other bits are kept
// as set and mean nothing.
enum PropertyFlag : std::uint16_t {
  kDontEnum = 1,
  kDontDelete = 2,
  kReadOnly = 4,
  kFromSwf6 = 0x80,
  kFromSwf7 = 0x100,
  kFromSwf7Too = 0x400,
  kFromSwf8 = 0x1000,
  kFromSwf9 = 0x2000,
  kFromSwf10 = 0x4000,
};

// The bits that hide a property from a movie of `swfVersion`.
constexpr std::uint16_t HiddenFlagsFor(int swfVersion) {
  std::uint16_t hidden = 0;
  if (swfVersion < 6) hidden |= kFromSwf6;
  if (swfVersion < 7) hidden |= kFromSwf7 | kFromSwf7Too;
  if (swfVersion < 8) hidden |= kFromSwf8;
  if (swfVersion < 9) hidden |= kFromSwf9;
  if (swfVersion < 10) hidden |= kFromSwf10;
  return hidden;
}

struct Property {
  std::string name;
  // A plain property's value. An accessor keeps one too: a set leaves its
  // value here after the setter ran, and a get made while the accessor is
  // too deep in its own calls reads it instead of calling the getter.
  Value value;
  Value getter, setter;   // an accessor's functions (a setter may be absent)
  std::uint32_t id = 0;   // which property of this name, across deletions
  std::uint16_t flags = 0;
  std::uint8_t busy = 0;  // its getter, setter and watcher calls under way
  bool accessor = false;
  bool removed = false;  // a gap a deletion left
};

class PropertyMap {
 public:
  PropertyMap();
  ~PropertyMap();
  PropertyMap(const PropertyMap&) = delete;
  PropertyMap& operator=(const PropertyMap&) = delete;

  Property* Find(std::string_view name, bool caseSensitive);
  // A new property at the end of the order; the name must not be there.
  Property& Add(std::string_view name, Value value, bool caseSensitive);
  bool Remove(std::string_view name, bool caseSensitive);
  // The property `id` names, when it is still there under `name`.
  Property* FindById(std::string_view name, std::uint32_t id, bool caseSensitive);
  std::size_t Count() const { return items_.size() - removed_; }
  bool Empty() const { return Count() == 0; }
  std::size_t Bytes() const;

  // The live properties in the order they were made.
  class Iterator {
   public:
    Iterator(std::vector<Property>* items, std::size_t i) : items_(items), i_(i) { Skip(); }
    Property& operator*() const { return (*items_)[i_]; }
    Property* operator->() const { return &(*items_)[i_]; }
    Iterator& operator++() {
      ++i_;
      Skip();
      return *this;
    }
    bool operator==(const Iterator& o) const { return i_ == o.i_; }

   private:
    void Skip() {
      while (i_ < items_->size() && (*items_)[i_].removed) ++i_;
    }
    std::vector<Property>* items_;
    std::size_t i_;
  };
  Iterator begin() { return Iterator(&items_, 0); }
  Iterator end() { return Iterator(&items_, items_.size()); }
  PropertyMap& Items() { return *this; }

 private:
  struct Hash {
    using is_transparent = void;
    const PropertyMap* map;
    std::size_t operator()(std::uint32_t i) const;
    std::size_t operator()(std::string_view name) const;
  };
  struct Equal {
    using is_transparent = void;
    const PropertyMap* map;
    bool operator()(std::uint32_t a, std::uint32_t b) const { return a == b; }
    bool operator()(std::string_view name, std::uint32_t i) const;
    bool operator()(std::uint32_t i, std::string_view name) const { return (*this)(name, i); }
  };
  using Index = std::unordered_set<std::uint32_t, Hash, Equal>;

  std::size_t Slot(std::string_view name, bool caseSensitive);
  void Compact();
  void Reindex();

  std::vector<Property> items_;
  // Beside each entry, its name's hash folded to lower case (whatever the
  // case rule, names that compare equal share it): a short list is
  // searched here, and an entry is only read when its hash matches.
  std::vector<std::uint32_t> hashes_;
  std::unique_ptr<Index> index_;
  std::size_t removed_ = 0;
  std::uint32_t nextId_ = 1;
  bool caseSensitive_ = true;
};

}  // namespace dc::swf::avm1

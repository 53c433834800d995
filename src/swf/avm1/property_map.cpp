// The property map: a short list searched by its names' hashes, a longer
// one hashed; names compare by the movie's case rule but hash folded, so
// both rules find the same entries. Gaps from deletions close in batches.
#include "swf/avm1/property_map.h"

#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

// Up to this many entries (gaps included) a list is searched, not hashed.
constexpr std::size_t kIndexFrom = 12;

char Fold(char c, bool caseSensitive) {
  return !caseSensitive && c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// FNV-1a over the name as it compares.
std::size_t HashName(std::string_view name, bool caseSensitive) {
  std::uint64_t h = 1469598103934665603ull;
  for (char c : name) {
    h ^= static_cast<unsigned char>(Fold(c, caseSensitive));
    h *= 1099511628211ull;
  }
  return static_cast<std::size_t>(h);
}

std::uint32_t FoldedHash(std::string_view name) { return static_cast<std::uint32_t>(HashName(name, false)); }

}  // namespace

PropertyMap::PropertyMap() = default;
PropertyMap::~PropertyMap() = default;

std::size_t PropertyMap::Hash::operator()(std::uint32_t i) const { return map->hashes_[i]; }
std::size_t PropertyMap::Hash::operator()(std::string_view name) const { return FoldedHash(name); }
bool PropertyMap::Equal::operator()(std::string_view name, std::uint32_t i) const {
  return NamesEqual(name, map->items_[i].name, map->caseSensitive_);
}

std::size_t PropertyMap::Slot(std::string_view name, bool caseSensitive) {
  caseSensitive_ = caseSensitive;
  if (index_) {
    const auto it = index_->find(name);
    return it == index_->end() ? items_.size() : *it;
  }
  const std::uint32_t h = FoldedHash(name);
  for (std::size_t i = 0; i < hashes_.size(); ++i)
    if (hashes_[i] == h && !items_[i].removed && NamesEqual(items_[i].name, name, caseSensitive)) return i;
  return items_.size();
}

Property* PropertyMap::Find(std::string_view name, bool caseSensitive) {
  const std::size_t i = Slot(name, caseSensitive);
  return i < items_.size() ? &items_[i] : nullptr;
}

Property* PropertyMap::FindById(std::string_view name, std::uint32_t id, bool caseSensitive) {
  Property* p = Find(name, caseSensitive);
  return p && p->id == id ? p : nullptr;
}

Property& PropertyMap::Add(std::string_view name, Value value, bool caseSensitive) {
  caseSensitive_ = caseSensitive;
  Property p;
  p.name = std::string(name);
  p.value = value;
  p.id = nextId_++;
  items_.push_back(std::move(p));
  hashes_.push_back(FoldedHash(name));
  if (index_) {
    index_->insert(static_cast<std::uint32_t>(items_.size() - 1));
  } else if (items_.size() > kIndexFrom) {
    Reindex();
  }
  return items_.back();
}

bool PropertyMap::Remove(std::string_view name, bool caseSensitive) {
  const std::size_t i = Slot(name, caseSensitive);
  if (i >= items_.size()) return false;
  if (index_) index_->erase(static_cast<std::uint32_t>(i));
  Property& p = items_[i];
  p.removed = true;
  p.name.clear();
  p.name.shrink_to_fit();
  p.value = p.getter = p.setter = Value();
  ++removed_;
  if (i + 1 == items_.size()) {
    // The newest goes at once: a loop that adds and deletes one name
    // leaves nothing behind.
    while (!items_.empty() && items_.back().removed) {
      items_.pop_back();
      hashes_.pop_back();
      --removed_;
    }
  }
  if (removed_ > 4 && removed_ * 2 > items_.size()) Compact();
  return true;
}

void PropertyMap::Compact() {
  std::size_t out = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].removed) continue;
    if (out != i) {
      items_[out] = std::move(items_[i]);
      hashes_[out] = hashes_[i];
    }
    ++out;
  }
  items_.resize(out);
  hashes_.resize(out);
  removed_ = 0;
  if (items_.capacity() > 2 * items_.size() + kIndexFrom) {
    items_.shrink_to_fit();
    hashes_.shrink_to_fit();
  }
  Reindex();
}

void PropertyMap::Reindex() {
  if (items_.size() <= kIndexFrom) {
    index_.reset();
    return;
  }
  index_ = std::make_unique<Index>(items_.size() * 2, Hash{this}, Equal{this});
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (!items_[i].removed) index_->insert(static_cast<std::uint32_t>(i));
}

std::size_t PropertyMap::Bytes() const {
  std::size_t n = items_.capacity() * sizeof(Property) + hashes_.capacity() * sizeof(std::uint32_t);
  for (const Property& p : items_) n += p.name.capacity() > 15 ? p.name.capacity() : 0;
  if (index_) n += index_->size() * 24 + index_->bucket_count() * sizeof(void*);
  return n;
}

}  // namespace dc::swf::avm1

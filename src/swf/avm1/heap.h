// The collected heap of a script engine: every string, object, scope and
// constant pool, the bytes they hold against the memory limit, and a
// mark-and-sweep collection that frees cycles. Collection runs between
// frames only, when no script is on the stack.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "swf/avm1/value.h"

namespace dc::swf::avm1 {

class Heap {
 public:
  explicit Heap(std::uint64_t limitBytes) : limit_(limitBytes) {}
  ~Heap();
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  template <class T, class... Args>
  T* Make(Args&&... args) {
    T* cell = new T(std::forward<Args>(args)...);
    cell->nextCell_ = cells_;
    cells_ = cell;
    ++count_;
    Charge(cell->Footprint());
    return cell;
  }

  // Counts bytes a cell grew by; past the limit, Exceeded() says so.
  void Charge(std::uint64_t bytes) {
    bytes_ += bytes;
    if (bytes_ > limit_) exceeded_ = true;
  }
  // Whether `bytes` more fit; when not, Exceeded() says so from now on.
  bool Allows(std::uint64_t bytes) {
    if (bytes > limit_ || bytes_ + bytes > limit_) {
      exceeded_ = true;
      return false;
    }
    return true;
  }
  bool Exceeded() const { return exceeded_; }
  void ClearExceeded() { exceeded_ = bytes_ > limit_; }

  void Mark(GcCell* cell) {
    if (cell && !cell->marked_) {
      cell->marked_ = true;
      gray_.push_back(cell);
    }
  }
  void Mark(const Value& v);

  // `markRoots` marks the roots; everything they do not reach is freed.
  void Collect(const std::function<void(Heap&)>& markRoots);

  std::uint64_t BytesInUse() const { return bytes_; }
  std::uint64_t CellCount() const { return count_; }

 private:
  GcCell* cells_ = nullptr;
  std::vector<GcCell*> gray_;
  std::uint64_t bytes_ = 0, limit_, count_ = 0;
  bool exceeded_ = false;
};

}  // namespace dc::swf::avm1

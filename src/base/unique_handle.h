// One small move-only owner for the platform's handles, usable by every
// layer (the file layer as much as the windows). The owners of the kinds a
// long run could leak keep a count of what they hold alive, by kind, so
// that a test can see that a month of ticks and popups holds no more than
// the first day.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

namespace dc {

enum class HandleKind : std::size_t {
  None,     // not counted (interface pointers, argument vectors)
  Gdi,      // bitmaps, brushes, fonts, memory device contexts
  Region,
  Menu,
  Icon,
  Timer,
  Window,
  Kernel,   // files, mutexes, registry keys
  Count_,
};

// The live handles of each kind that our owners hold now.
inline std::array<long, static_cast<std::size_t>(HandleKind::Count_)>& LiveHandleCounts() {
  static std::array<long, static_cast<std::size_t>(HandleKind::Count_)> counts{};
  return counts;
}
inline long LiveHandles(HandleKind kind) { return LiveHandleCounts()[static_cast<std::size_t>(kind)]; }
inline void CountHandle(HandleKind kind, long change) {
  if (kind != HandleKind::None) LiveHandleCounts()[static_cast<std::size_t>(kind)] += change;
}

template <class T, auto Release, HandleKind Kind = HandleKind::None, T Null = T{}>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T h) : h_(h) { Track(+1); }
  ~Unique() { reset(); }
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Null)) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Null);
    }
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  T get() const { return h_; }
  T operator->() const { return h_; }  // for owned interface pointers
  explicit operator bool() const { return h_ != Null; }
  // Where a function that makes a handle puts it; the old one is released.
  // Only for uncounted kinds: what the function puts there is not seen.
  T* put()
    requires(Kind == HandleKind::None)
  {
    reset();
    return &h_;
  }
  // Gives up ownership, for a handle the system now owns (a region after a
  // successful SetWindowRgn).
  T release() {
    Track(-1);
    return std::exchange(h_, Null);
  }
  void reset(T h = Null) {
    if (h_ != Null) {
      Track(-1);
      Release(h_);
    }
    h_ = h;
    Track(+1);
  }

 private:
  void Track(long change) const {
    if (h_ != Null) CountHandle(Kind, change);
  }
  T h_ = Null;
};

}  // namespace dc

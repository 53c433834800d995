// Replaces the global operator new to count allocations.
#include "alloc_counter.h"

#include <cstdlib>
#include <new>

void* operator new(std::size_t n) {
  ++dcbench::allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

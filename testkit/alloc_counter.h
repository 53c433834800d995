// Counts heap allocations made through operator new in this program.
#pragma once

#include <atomic>
#include <cstddef>

namespace dcbench {
inline std::atomic<std::size_t> allocations{0};
}

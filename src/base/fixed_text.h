// Fixed-width 8-bit text fields as the two files hold them: the text runs to
// the first zero byte, or fills the whole field with no zero byte.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace dc {

// The bytes of a field up to its first zero byte, or all of them.
template <std::size_t N>
std::string ReadFixedText(const char (&field)[N]) {
  const void* zero = std::memchr(field, 0, N);
  std::size_t len = zero ? static_cast<const char*>(zero) - field : N;
  return std::string(field, len);
}

// Writes a text into a field, zero-filling the rest; a text of the field's
// width or longer fills it with no zero byte (longer texts are cut, bytewise:
// callers holding double-byte texts cut them at whole characters first).
template <std::size_t N>
void WriteFixedText(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

}  // namespace dc

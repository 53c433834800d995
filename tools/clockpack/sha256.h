// SHA-256 (FIPS 180-4) for the release's SHA256SUMS. Written here because
// the Windows tool links statically and Debian packages no crypto library
// for mingw-w64.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace clockpack {

std::array<std::uint8_t, 32> Sha256(std::span<const std::uint8_t> bytes);
// The digest as 64 lowercase hex digits, as sha256sum prints it.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace clockpack

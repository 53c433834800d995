// System colours (a colour value whose top byte is set names one, its low
// byte the index) resolved with the platform's current colours.
#pragma once

#include <cstdint>

namespace dc {

std::uint32_t ResolveSystemColour(std::uint32_t colour);

}  // namespace dc

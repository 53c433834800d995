// Script values in AMF0, the form Flash gives them between movies
// (LocalConnection) and in a shared object: a copy made this way loses
// what AMF0 cannot carry (functions become plain objects, clips undefined,
// prototypes the plain Object's), as Flash's copies do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

// The values in AMF0; nothing when they pass `maxBytes`.
std::optional<std::vector<std::uint8_t>> EncodeAmf0(Runtime& rt, std::span<const Value> values, std::size_t maxBytes);
// The values back, in order; damaged data ends the list where it fails.
std::vector<Value> DecodeAmf0(Runtime& rt, std::span<const std::uint8_t> bytes);
// The bytes `value` takes in AMF0, or nothing past `maxBytes`.
std::optional<std::size_t> Amf0Size(Runtime& rt, Value value, std::size_t maxBytes);

}  // namespace dc::swf::avm1

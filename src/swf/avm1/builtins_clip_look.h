// A clip's Flash 8 look and the movie's quality as scripts read and set
// them by name.
#pragma once

#include <string_view>

#include "swf/avm1/clip.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

// True when `name` is one of these properties: `out` is its value, or the
// value was set.
bool GetClipLook(Runtime& rt, Clip& clip, std::string_view name, Value& out);
bool SetClipLook(Runtime& rt, Clip& clip, std::string_view name, Value v);

}  // namespace dc::swf::avm1

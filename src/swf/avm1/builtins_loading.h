// The members that XML and LoadVars share for loading and sending, which
// reach nothing from a clock: load, send and sendAndLoad only say whether
// they were given somewhere to go, and no answer ever comes.
#pragma once

#include "swf/avm1/builtins.h"

namespace dc::swf::avm1 {

// load, send, sendAndLoad, addRequestHeader, getBytesLoaded, getBytesTotal,
// an empty onLoad and contentType, on `proto`.
void DefineLoadingMembers(Runtime& rt, Object* proto);

}  // namespace dc::swf::avm1

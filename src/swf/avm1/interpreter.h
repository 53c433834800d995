// The action interpreter: runs the action records of a block or a script
// function's body.
#pragma once

#include <span>

#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

// A frame script or clip event block on `clip`'s timeline.
// `shareStack`: the block finds what earlier blocks left on the stack and
// leaves its own.
void RunTopLevelBlock(Runtime& rt, ClipObject* clip, const ActionBytes& code, bool shareStack = false);
// A function defined by DefineFunction or DefineFunction2. `home` decides
// its `super` (null: the prototype above `this`'s); `constructing` is true
// under `new`.
Value CallScriptFunction(Runtime& rt, FunctionObject* fn, Value self, std::span<const Value> args, Object* home,
                         bool constructing);

}  // namespace dc::swf::avm1

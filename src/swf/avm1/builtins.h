// Helpers the built-in object files share.
#pragma once

#include <string_view>

#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

// A global constructor `name` with its prototype.
FunctionObject* DefineClass(Runtime& rt, std::string_view name, Object* proto, NativeFunction call,
                            NativeConstructor construct);
// The primitive inside a Boolean, Number or String object, else `self`.
Value PrimitiveOf(Value self);
// The Math function at `index` of Flash's native table 200 (ASnative(200,
// index)); past the table, one that converts its arguments and gives NaN.
NativeFunction MathNative(double index);

}  // namespace dc::swf::avm1

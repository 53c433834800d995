// Helpers the built-in object files share.
#pragma once

#include <cstddef>
#include <string_view>

#include "swf/avm1/runtime.h"
#include "swf/avm1/text_field_host.h"

namespace dc::swf::avm1 {

// A global constructor `name` with its prototype.
FunctionObject* DefineClass(Runtime& rt, std::string_view name, Object* proto, NativeFunction call,
                            NativeConstructor construct);
// The primitive inside a Boolean, Number or String object, else `self`.
Value PrimitiveOf(Value self);
// The Math function at `index` of Flash's native table 200 (ASnative(200,
// index)); past the table, one that converts its arguments and gives NaN.
NativeFunction MathNative(double index);
// `tabIndex` on a clip's or a button's prototype, listed by for-in when
// `listed`.
void DefineTabIndex(Runtime& rt, Object* proto, bool listed);
// The characters a field has selected, [begin, end), within its text as
// it is now; none at its start until a script selects or gives it focus.
struct FieldSelection {
  std::size_t begin = 0, end = 0;
};
FieldSelection FieldSelectionOf(Runtime& rt, Clip& field);
void SetFieldSelection(Runtime& rt, Clip& field, FieldSelection selection);
// TextField.StyleSheet on the TextField constructor.
void InstallStyleSheet(Runtime& rt, Object* textField);
// What a field with `sheet` reads a selector as: the TextFormat the sheet
// keeps for it, its name compared in any case.
StyleLookup StyleSheetLookup(Runtime& rt, Value sheet);

}  // namespace dc::swf::avm1

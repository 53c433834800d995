// Texts: the glyph runs of DefineText and DefineText2, and the definition
// of an edit text field.
#pragma once

#include "swf/format/bit_reader.h"
#include "swf/format/read_context.h"
#include "swf/model/text.h"

namespace dc::swf {

// DefineText, or DefineText2 (colours with alpha) with `withAlpha`, after
// the id.
StaticText ReadDefineText(BitReader& r, bool withAlpha, ReadContext& context);
// DefineEditText after the id.
EditText ReadDefineEditText(BitReader& r, ReadContext& context);

}  // namespace dc::swf

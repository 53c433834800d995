// Buttons: the records, actions and conditions of DefineButton and
// DefineButton2.
#pragma once

#include "swf/format/bit_reader.h"
#include "swf/model/movie.h"
#include "swf/format/read_context.h"

namespace dc::swf {

// DefineButton, or DefineButton2 with `button2`, after the id.
Button ReadDefineButton(BitReader& r, bool button2, ReadContext& context);

}  // namespace dc::swf

// Fonts: DefineFont with the DefineFontInfo that names it and gives its
// characters, and DefineFont2 and DefineFont3 that hold it all.
#pragma once

#include "swf/format/bit_reader.h"
#include "swf/format/read_context.h"
#include "swf/model/text.h"

namespace dc::swf {

// DefineFont after the id: glyph outlines only.
Font ReadDefineFont(BitReader& r, ReadContext& context);
// DefineFontInfo, or DefineFontInfo2 with `info2`, after the id: the name,
// style and characters of `font`. `font` is left as it was when the tag is
// damaged.
void ReadFontInfo(BitReader& r, bool info2, Font& font, ReadContext& context);
// DefineFont2, or DefineFont3 with `font3`, after the id.
Font ReadDefineFont2(BitReader& r, bool font3, ReadContext& context);

}  // namespace dc::swf

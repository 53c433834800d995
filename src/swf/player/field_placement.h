// How a text field stands on the face, and what it shows there. A field in a device font is drawn
// as the system draws text: upright, its place and size following its
// matrix, a turn or a slant not.
#pragma once

#include <cmath>

#include "swf/display/display_object.h"
#include "swf/model/text.h"
#include "swf/text/text_layout.h"

namespace dc::swf {

inline bool DrawnUpright(const EditText& field, const FontLookup& fonts) {
  if (!field.useOutlines || !field.fontId || !fonts) return true;
  const Font* font = fonts(*field.fontId);
  return font == nullptr || !font->hasOutlines;
}

inline Matrix Upright(const Matrix& m) {
  return {std::copysign(std::hypot(m.a, m.b), m.a), 0, 0, std::copysign(std::hypot(m.c, m.d), m.d), m.tx, m.ty};
}

// What an edit text shows: its runs where they are measured. Every field
// placed has its EditField (DisplayTree::Make, CreateTextField).
inline EditTextLayout LayOutShownField(const DisplayObject& object, std::size_t maxGlyphs) {
  const EditField* field = object.MadeField();
  return field ? field->Drawn(maxGlyphs) : EditTextLayout{};
}

}  // namespace dc::swf

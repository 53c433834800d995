// How a text field stands on the face. A field in a device font is drawn
// as the system draws text: upright, its place and size following its
// matrix, a turn or a slant not.
#pragma once

#include <cmath>

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

}  // namespace dc::swf

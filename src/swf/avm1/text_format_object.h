// A TextFormat's own state: its fields, each unset (null to scripts) or a
// value already coerced as Flash coerces it when set.
#pragma once

#include "swf/avm1/object.h"
#include "swf/avm1/text_field_host.h"

namespace dc::swf::avm1 {

class TextFormatObject final : public Object {
 public:
  explicit TextFormatObject(Object* prototype) : Object(prototype) {}
  std::size_t Footprint() const override { return sizeof(TextFormatObject) + OwnBytes(); }
  FieldFormat format;
};

inline TextFormatObject* AsTextFormat(Value v) {
  Object* o = v.AsObject();
  return o ? dynamic_cast<TextFormatObject*>(o) : nullptr;
}

// A new TextFormat holding `format`.
Value MakeTextFormat(Runtime& rt, const FieldFormat& format);

}  // namespace dc::swf::avm1

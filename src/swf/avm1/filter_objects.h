// The flash.filters objects as the engine holds them: each keeps the plain
// filter description (swf/model/filters.h) its properties read and write,
// so a clip's `filters` and BitmapData.applyFilter take the description
// and hand back new objects made from one.
#pragma once

#include <optional>

#include "swf/avm1/runtime.h"
#include "swf/model/filters.h"

namespace dc::swf::avm1 {

class FilterObject final : public Object {
 public:
  FilterObject(Object* prototype, Filter f) : Object(prototype), filter(std::move(f)) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override;
  Filter filter;
  Value mapBitmap;  // a displacement map's BitmapData, as the script gave it
};

// The description of the filter object `v` is, none when it is none.
std::optional<Filter> FilterOf(Value v);
// A new filter object of the description's class.
Value NewFilterObject(Runtime& rt, const Filter& filter);

}  // namespace dc::swf::avm1

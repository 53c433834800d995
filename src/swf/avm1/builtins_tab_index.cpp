// The tab index of clips and buttons: a signed 32-bit number or nothing.
#include <cstdint>
#include <span>
#include <string_view>

#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

// Kept on the object under a name no script can write.
constexpr std::string_view kHeldTabIndex("\0tabIndex", 9);

Value GetTabIndex(Runtime& rt, Value self, std::span<const Value>) {
  Value held;
  if (Object* o = self.AsObject(); !o || !rt.TryGet(o, kHeldTabIndex, held)) return Value();
  return held;
}

// Undefined takes the index away; any other value is cut to 32 bits as
// the processor does, so what is not a number or not in range reads back
// as -2147483648.
Value SetTabIndex(Runtime& rt, Value self, std::span<const Value> args) {
  Object* o = self.AsObject();
  if (!o) return Value();
  const Value v = args.empty() ? Value() : args[0];
  const Value held = v.IsUndefined() ? Value() : Value::Number(TruncateToInt32(rt.ToNumber(v)));
  rt.DefineValue(o, kHeldTabIndex, held);
  return Value();
}

}  // namespace

void DefineTabIndex(Runtime& rt, Object* proto, bool listed) {
  DefineAccessor(rt, proto, "tabIndex", GetTabIndex, SetTabIndex,
                 static_cast<std::uint8_t>(listed ? kDontDelete : kDontEnum | kDontDelete));
}

}  // namespace dc::swf::avm1

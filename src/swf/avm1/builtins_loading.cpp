// The loading members XML and LoadVars share: from a clock they reach
// nothing, so load, send and sendAndLoad only say whether they were given
// somewhere to go, and no answer ever comes.
#include "swf/avm1/builtins_loading.h"

namespace dc::swf::avm1 {
namespace {

// A request needs a URL; with one, Flash starts it and says so.
bool GivenSomewhere(std::span<const Value> args) { return !Arg(args, 0).IsNullish(); }

// load(url): `loaded` turns false until an answer that never comes.
Value Load(Runtime& rt, Value self, std::span<const Value> args) {
  if (!GivenSomewhere(args)) return Value::Bool(false);
  rt.SetMember(self, "loaded", Value::Bool(false));
  return Value::Bool(true);
}

Value Send(Runtime&, Value, std::span<const Value> args) { return Value::Bool(GivenSomewhere(args)); }

// sendAndLoad(url, target): the target waits as load's would.
Value SendAndLoad(Runtime& rt, Value, std::span<const Value> args) {
  if (!GivenSomewhere(args)) return Value::Bool(false);
  if (Arg(args, 1).IsObject()) rt.SetMember(args[1], "loaded", Value::Bool(false));
  return Value::Bool(true);
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

}  // namespace

void DefineLoadingMembers(Runtime& rt, Object* proto) {
  rt.DefineMethod(proto, "load", Load);
  rt.DefineMethod(proto, "send", Send);
  rt.DefineMethod(proto, "sendAndLoad", SendAndLoad);
  rt.DefineMethod(proto, "addRequestHeader", Nothing);
  rt.DefineMethod(proto, "getBytesLoaded", Nothing);
  rt.DefineMethod(proto, "getBytesTotal", Nothing);
  rt.DefineMethod(proto, "onLoad", Nothing);
  rt.DefineValue(proto, "contentType", rt.Str("application/x-www-form-urlencoded"));
}

}  // namespace dc::swf::avm1

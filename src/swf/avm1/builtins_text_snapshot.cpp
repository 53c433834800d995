// TextSnapshot: the class a movie reaches static text through. The player
// makes no snapshot of a clip's text, so an instance is a plain object and
// its methods find nothing; the class and its prototype are as Flash makes
// them, the methods enumerable and, before SWF 6, read as absent.
#include "swf/avm1/builtins.h"

namespace dc::swf::avm1 {
namespace {

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
Value Instance(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

}  // namespace

void InstallTextSnapshotBuiltins(Runtime& rt) {
  Object* proto = rt.NewObject();
  // In Flash's order: for-in lists them newest first.
  for (const char* name : {"getCount", "setSelected", "getSelected", "getText", "getSelectedText",
                           "hitTestTextNearPos", "findText", "setSelectColor", "getTextRunInfo"})
    rt.DefineValue(proto, name, Value::Obj(rt.NewNative(Nothing)), kFromSwf6);
  DefineClass(rt, "TextSnapshot", proto, Nothing, Instance);
}

}  // namespace dc::swf::avm1

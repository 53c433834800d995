// Mouse and Key as scripts see them: listener lists (the events come from
// the player's input), the pointer's shown or hidden state, and a keyboard
// a face never has: no key but the mouse's buttons is down or toggled, the
// last key is none.
#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

struct PointerState : HostFamilyState {
  bool shown = true;
};

// show and hide give 1 when the pointer was shown before, 0 when hidden.
Value ShowPointer(Runtime& rt, bool show) {
  PointerState& state = rt.hostState->Family<PointerState>();
  const bool was = state.shown;
  state.shown = show;
  return Value::Number(was ? 1 : 0);
}
Value Show(Runtime& rt, Value, std::span<const Value>) { return ShowPointer(rt, true); }
Value Hide(Runtime& rt, Value, std::span<const Value>) { return ShowPointer(rt, false); }

Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }

// Key.isDown: only the mouse's buttons are keys a face has.
Value IsDown(Runtime& rt, Value, std::span<const Value> args) {
  if (args.empty() || !rt.host.mouseButtonDown) return Value::Bool(false);
  const double code = rt.ToNumber(args[0]);
  if (!(code == 1 || code == 2 || code == 4)) return Value::Bool(false);
  return Value::Bool(rt.host.mouseButtonDown(static_cast<int>(code)));
}
Value Zero(Runtime&, Value, std::span<const Value>) { return Value::Number(0); }
Value True(Runtime&, Value, std::span<const Value>) { return Value::Bool(true); }

struct KeyCode {
  const char* name;
  int code;
};
constexpr KeyCode kKeyCodes[] = {
    {"ALT", 18},    {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
    {"END", 35},    {"ENTER", 13},    {"ESCAPE", 27},   {"HOME", 36},    {"INSERT", 45},    {"LEFT", 37},
    {"PGDN", 34},   {"PGUP", 33},     {"RIGHT", 39},    {"SHIFT", 16},   {"SPACE", 32},     {"TAB", 9},
    {"UP", 38},
};

}  // namespace

void InstallInputBuiltins(Runtime& rt) {
  Object* mouse = rt.mouse = rt.NewObject();
  MakeBroadcaster(rt, mouse);
  rt.DefineMethod(mouse, "show", Show);
  rt.DefineMethod(mouse, "hide", Hide);
  rt.DefineValue(rt.global, "Mouse", Value::Obj(mouse));

  Object* key = rt.NewObject();
  MakeBroadcaster(rt, key);
  for (const KeyCode& k : kKeyCodes)
    rt.DefineValue(key, k.name, Value::Number(k.code), kDontEnum | kDontDelete | kReadOnly);
  rt.DefineMethod(key, "isDown", IsDown);
  rt.DefineMethod(key, "isToggled", False);
  rt.DefineMethod(key, "getCode", Zero);
  rt.DefineMethod(key, "getAscii", Zero);
  rt.DefineMethod(key, "isAccessible", True);
  rt.DefineValue(rt.global, "Key", Value::Obj(key));
}

}  // namespace dc::swf::avm1

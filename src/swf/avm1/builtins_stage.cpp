// Stage: the movie's size as scripts see it, its scale mode, alignment and
// menu setting, and onResize for its listeners. The face is always drawn
// scaled to its window; what scripts set here is kept and read back, and
// a scale mode that changes the size they see tells the listeners.
#include <cctype>
#include <cmath>

#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

enum class ScaleMode { ShowAll, ExactFit, NoBorder, NoScale };
constexpr const char* kScaleNames[] = {"showAll", "exactFit", "noBorder", "noScale"};

enum AlignBit : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };

struct StageState : HostFamilyState {
  void Mark(Heap& heap) const override { heap.Mark(stage); }
  Object* stage = nullptr;
  ScaleMode scaleMode = ScaleMode::ShowAll;
  unsigned align = 0;
  bool showMenu = true;
};

StageState& StateOf(Runtime& rt) { return rt.hostState->Family<StageState>(); }

// What scripts see: the movie's own size unless it is not scaled, then
// the window's.
double Side(Runtime& rt, bool width) {
  const double stage = width ? rt.host.stageWidth : rt.host.stageHeight;
  const double window = width ? rt.host.viewportWidth : rt.host.viewportHeight;
  if (StateOf(rt).scaleMode == ScaleMode::NoScale && window > 0) return std::round(window);
  return std::round(stage);
}

Value GetWidth(Runtime& rt, Value, std::span<const Value>) { return Value::Number(Side(rt, true)); }
Value GetHeight(Runtime& rt, Value, std::span<const Value>) { return Value::Number(Side(rt, false)); }

Value GetScaleMode(Runtime& rt, Value, std::span<const Value>) {
  return rt.Str(kScaleNames[static_cast<int>(StateOf(rt).scaleMode)]);
}

// Any other name is showAll.
Value SetScaleMode(Runtime& rt, Value, std::span<const Value> args) {
  const std::string name = rt.ToString(Arg(args, 0));
  ScaleMode mode = ScaleMode::ShowAll;
  for (int i = 0; i < 4; ++i)
    if (NamesEqual(name, kScaleNames[i], false)) mode = static_cast<ScaleMode>(i);
  StageState& state = StateOf(rt);
  const double oldWidth = Side(rt, true), oldHeight = Side(rt, false);
  state.scaleMode = mode;
  if (Side(rt, true) != oldWidth || Side(rt, false) != oldHeight) Broadcast(rt, Value::Obj(state.stage), "onResize");
  return Value();
}

Value GetAlign(Runtime& rt, Value, std::span<const Value>) {
  const unsigned a = StateOf(rt).align;
  std::string out;
  if (a & kLeft) out += 'L';
  if (a & kTop) out += 'T';
  if (a & kRight) out += 'R';
  if (a & kBottom) out += 'B';
  return rt.Str(std::move(out));
}

// Each of the letters L, T, R and B anywhere in the text, in either case.
Value SetAlign(Runtime& rt, Value, std::span<const Value> args) {
  unsigned a = 0;
  for (char c : rt.ToString(Arg(args, 0))) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'L': a |= kLeft; break;
      case 'T': a |= kTop; break;
      case 'R': a |= kRight; break;
      case 'B': a |= kBottom; break;
      default: break;
    }
  }
  StateOf(rt).align = a;
  return Value();
}

Value GetShowMenu(Runtime& rt, Value, std::span<const Value>) { return Value::Bool(StateOf(rt).showMenu); }
Value SetShowMenu(Runtime& rt, Value, std::span<const Value> args) {
  StateOf(rt).showMenu = rt.ToBoolean(Arg(args, 0));
  return Value();
}

}  // namespace

void InstallStageBuiltins(Runtime& rt) {
  Object* stage = rt.NewObject();
  StateOf(rt).stage = stage;
  MakeBroadcaster(rt, stage);
  DefineAccessor(rt, stage, "width", GetWidth, nullptr);
  DefineAccessor(rt, stage, "height", GetHeight, nullptr);
  DefineAccessor(rt, stage, "scaleMode", GetScaleMode, SetScaleMode);
  DefineAccessor(rt, stage, "align", GetAlign, SetAlign);
  DefineAccessor(rt, stage, "showMenu", GetShowMenu, SetShowMenu);
  rt.DefineValue(rt.global, "Stage", Value::Obj(stage));
}

}  // namespace dc::swf::avm1

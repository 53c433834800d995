// Selection as scripts see it: the focus a script gives (a face has no
// keyboard, so only scripts move it), the events that tell the objects
// losing and taking it and Selection's listeners, and the characters each
// field has selected.
#include <algorithm>
#include <span>
#include <string_view>
#include <unordered_map>

#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

struct FocusState : HostFamilyState {
  Clip* focus = nullptr;
  // Each field's selection, once a script has set or used it.
  std::unordered_map<const Clip*, FieldSelection> selections;
  void ForgetClip(const Clip* clip) override {
    if (focus == clip) focus = nullptr;
    selections.erase(clip);
  }
};

// A field takes the focus when it can be typed in or selected; a button
// always; a clip when its focusEnabled is true or it acts as a button.
bool TakesFocus(Runtime& rt, Clip& clip) {
  switch (clip.Kind()) {
    case ClipKind::TextField: {
      const TextFieldHost* field = clip.TextField();
      if (!field) return false;
      const FieldValue type = field->GetProperty(FieldProperty::Type);
      const FieldValue selectable = field->GetProperty(FieldProperty::Selectable);
      const auto* typed = std::get_if<std::string>(&type);
      const auto* canSelect = std::get_if<bool>(&selectable);
      return (typed && *typed == "input") || (canSelect && *canSelect);
    }
    case ClipKind::Button: return true;
    case ClipKind::MovieClip: {
      const Value self = rt.ClipValue(&clip);
      if (rt.ToBoolean(rt.GetMember(self, "focusEnabled"))) return true;
      for (std::string_view name :
           {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver", "onDragOut"})
        if (rt.FindProperty(self.AsObject(), name)) return true;
      return false;
    }
    default: return false;
  }
}

Clip* Focused(Runtime& rt) {
  Clip*& focus = rt.hostState->Family<FocusState>().focus;
  if (focus && focus->Removed()) focus = nullptr;
  return focus;
}

Value GetFocus(Runtime& rt, Value, std::span<const Value>) {
  Clip* focus = Focused(rt);
  return focus ? rt.Str(rt.DotPath(focus)) : Value::Null();
}

// setFocus(object or target path, or null): true when the object takes the
// focus. A change calls the old holder's onKillFocus(new), the new one's
// onSetFocus(old) and Selection's listeners' onSetFocus(old, new).
Value SetFocus(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) return Value::Bool(false);
  Clip* target = nullptr;
  if (args[0].type == ValueType::String) {
    if (Clip* root = rt.root) target = Runtime::ClipOf(rt.ResolveTarget(rt.ObjectFor(*root), rt.ToString(args[0])));
    if (!target) return Value::Bool(false);
  } else if (!args[0].IsNull() && !args[0].IsUndefined()) {
    target = Runtime::ClipOf(args[0]);
    if (!target) return Value::Bool(false);
  }
  if (target && (target->Removed() || !TakesFocus(rt, *target))) return Value::Bool(false);
  // A field given the focus has all its text selected, each time.
  if (target && target->TextField()) SetFieldSelection(rt, *target, {0, target->TextField()->TextLength()});
  Clip* old = Focused(rt);
  // A button or clip shows the focus as the pointer over it, each time it
  // is given it: told at the frame's end, as the pointer's events are.
  const auto shown = [&](Clip* c, const char* event) {
    if (c && c->Kind() != ClipKind::TextField)
      QueueHostEvent(rt, HostEvent{DeliverCall, rt.ClipValue(c), event, {}, {}});
  };
  shown(old, "onRollOut");
  shown(target, "onRollOver");
  if (old != target) {
    rt.hostState->Family<FocusState>().focus = target;
    const Value was = old ? rt.ClipValue(old) : Value::Null();
    const Value now = target ? rt.ClipValue(target) : Value::Null();
    if (old) CallIfFunction(rt, was, "onKillFocus", std::span<const Value>(&now, 1));
    if (target) CallIfFunction(rt, now, "onSetFocus", std::span<const Value>(&was, 1));
    const Value both[] = {was, now};
    Broadcast(rt, self, "onSetFocus", both);
  }
  return Value::Bool(target != nullptr);
}

// The focused field's selection, or -1 for each index when no field has
// the focus.
Value SelectionIndex(Runtime& rt, bool end) {
  Clip* focus = Focused(rt);
  if (!focus || !focus->TextField()) return Value::Number(-1);
  const FieldSelection sel = FieldSelectionOf(rt, *focus);
  return Value::Number(static_cast<double>(end ? sel.end : sel.begin));
}
Value GetBeginIndex(Runtime& rt, Value, std::span<const Value>) { return SelectionIndex(rt, false); }
Value GetEndIndex(Runtime& rt, Value, std::span<const Value>) { return SelectionIndex(rt, true); }

// setSelection(begin, end) on the focused field.
Value SetSelection(Runtime& rt, Value, std::span<const Value> args) {
  Clip* focus = Focused(rt);
  if (!focus || !focus->TextField() || args.size() < 2) return Value();
  const auto index = [&](Value v) {
    const double n = rt.ToNumber(v);
    return n > 0 ? static_cast<std::size_t>(std::min(n, 1e15)) : std::size_t{0};
  };
  std::size_t begin = index(args[0]), end = index(args[1]);
  if (begin > end) std::swap(begin, end);
  SetFieldSelection(rt, *focus, {begin, end});
  return Value();
}

}  // namespace

FieldSelection FieldSelectionOf(Runtime& rt, Clip& field) {
  const auto& selections = rt.hostState->Family<FocusState>().selections;
  const auto it = selections.find(&field);
  if (it == selections.end() || !field.TextField()) return {};
  const std::size_t length = field.TextField()->TextLength();
  return {std::min(it->second.begin, length), std::min(it->second.end, length)};
}

void SetFieldSelection(Runtime& rt, Clip& field, FieldSelection selection) {
  rt.hostState->Family<FocusState>().selections[&field] = selection;
}

void InstallSelectionBuiltins(Runtime& rt) {
  Object* selection = rt.NewObject();
  MakeBroadcaster(rt, selection);
  rt.DefineMethod(selection, "getFocus", GetFocus);
  rt.DefineMethod(selection, "setFocus", SetFocus);
  rt.DefineMethod(selection, "getBeginIndex", GetBeginIndex);
  rt.DefineMethod(selection, "getEndIndex", GetEndIndex);
  rt.DefineMethod(selection, "getCaretIndex", GetEndIndex);
  rt.DefineMethod(selection, "setSelection", SetSelection);
  rt.DefineValue(rt.global, "Selection", Value::Obj(selection));
}

}  // namespace dc::swf::avm1

// The interpreter's timeline control (frames, tellTarget, Call) and clip
// actions (the SWF 4 properties, duplicates, removal, drags).
#include <cmath>

#include "swf/avm1/conversions.h"
#include "swf/avm1/interpreter.h"
#include "swf/avm1/interpreter_machine.h"

namespace dc::swf::avm1::interp {
namespace {

// The SWF 4 property table of GetProperty and SetProperty.
constexpr std::string_view kPropertyNames[] = {
    "_x",         "_y",        "_xscale",       "_yscale",      "_currentframe", "_totalframes",
    "_alpha",     "_visible",  "_width",        "_height",      "_rotation",     "_target",
    "_framesloaded", "_name",  "_droptarget",   "_url",         "_highquality",  "_focusrect",
    "_soundbuftime", "_quality", "_xmouse",     "_ymouse"};

}  // namespace

void Machine::TimelineAction(ActionCode op, Reader& r) {
  switch (op) {
    case ActionCode::NextFrame:
      if (Clip* c = TargetClip()) c->GotoFrame(c->CurrentFrame() + 1, false);
      break;
    case ActionCode::PreviousFrame:
      if (Clip* c = TargetClip(); c && c->CurrentFrame() > 1) c->GotoFrame(c->CurrentFrame() - 1, false);
      break;
    case ActionCode::Play:
      if (Clip* c = TargetClip()) c->Play();
      break;
    case ActionCode::Stop:
      if (Clip* c = TargetClip()) c->Stop();
      break;
    case ActionCode::ToggleQuality:
    case ActionCode::StopSounds:
    case ActionCode::GetURL:        // no way out
    case ActionCode::WaitForFrame:  // every frame is loaded
      break;
    case ActionCode::GotoFrame:
      if (Clip* c = TargetClip()) c->GotoFrame(r.U16() + 1, false);
      break;
    case ActionCode::GoToLabel:
      if (Clip* c = TargetClip())
        if (const auto f = c->FrameOfLabel(r.Str())) c->GotoFrame(*f, false);
      break;
    case ActionCode::GotoFrame2:
      DoGotoFrame2(r);
      break;
    case ActionCode::WaitForFrame2:  // every frame is loaded
      rt.ToStringValue(Pop());
      break;
    case ActionCode::GetURL2: {  // no way out; the target, then the URL
      const Value target = Pop();
      const Value url = Pop();
      rt.ToStringValue(target);
      rt.ToStringValue(url);
      break;
    }
    case ActionCode::SetTarget:
      DoSetTarget(rt.Str(r.Str()));
      break;
    case ActionCode::SetTarget2:
      DoSetTarget(Pop());
      break;
    case ActionCode::Call:
      DoCallFrame();
      break;
    default:
      NotRun(op);
      break;
  }
}

FrameRef Machine::FindFrame(Clip* clip, Value frame) {
  FrameRef out;
  out.clip = clip;
  // An object names its frame by its toString.
  if (frame.IsObject() && frame.o->cls != ObjectClass::Clip) frame = rt.ToStringValue(frame);
  if (!frame.IsString()) {
    out.number = rt.ToNumber(frame);
    return out;
  }
  std::string_view text = frame.s->text;
  if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    out.clip = rt.ClipOf(Target(text.substr(0, colon)));
    text = text.substr(colon + 1);
    if (!out.clip) return out;
  }
  out.number = StringToNumber(text, rt.version);
  if (std::isnan(out.number)) out.label = out.clip->FrameOfLabel(text);
  return out;
}

void Machine::Goto(Clip* clip, Value frame, int bias, bool play) {
  if (!clip) return;
  const FrameRef f = FindFrame(clip, frame);
  if (!f.clip) return;
  if (f.label) {
    f.clip->GotoFrame(*f.label, play);  // a label takes no bias
    return;
  }
  if (!std::isfinite(f.number)) return;
  const double n = std::floor(f.number) + bias;
  if (n < 1 || n > 1e9) return;
  f.clip->GotoFrame(static_cast<int>(n), play);
}

void Machine::DoGotoFrame2(Reader& r) {
  const std::uint8_t flags = r.U8();
  const int bias = (flags & 2) ? r.U16() : 0;
  Goto(TargetClip(), Pop(), bias, flags & 1);
}

void Machine::DoCallFrame() {
  const Value frame = Pop();
  Clip* clip = TargetClip();
  if (!clip) return;
  const FrameRef f = FindFrame(clip, frame);
  if (!f.clip) return;
  int number = f.label.value_or(0);
  if (f.number >= 1 && f.number <= 1e9) number = static_cast<int>(f.number);
  if (number < 1) return;
  ClipObject* owner = rt.ObjectFor(*f.clip);
  // A frame that calls itself recurses like a function that does.
  for (const ActionBytes& block : f.clip->FrameActions(number)) {
    DepthGuard depth(rt);
    if (block) RunTopLevelBlock(rt, owner, block);
  }
}

void Machine::DoSetTarget(Value target) {
  a.targetLost = false;
  a.target = a.base;
  a.scope = a.baseScope;
  if (!target.IsObject() || target.o->cls != ObjectClass::Clip) target = rt.ToStringValue(target);
  if (target.IsString() && target.s->text.empty()) return;
  Value found = target.IsString() ? rt.ResolveTarget(a.base, target.s->text) : target;
  Clip* c = rt.ClipOf(found);
  if (!c) {
    a.targetLost = true;
    return;
  }
  a.target = rt.ObjectFor(*c);
  // On a timeline, names inside tellTarget resolve on the target's own
  // timeline, not the one the code belongs to; inside a function the
  // function's locals stay in front of it.
  if (a.baseScope && a.baseScope->object == a.base && a.target->timelineScope) {
    a.scope = a.target->timelineScope;
  } else {
    a.scope = rt.heap.Make<Scope>(a.baseScope, a.target);
  }
}

Value Machine::TargetOf(Value v) {
  if (v.IsObject() && v.o->cls == ObjectClass::Clip) return v;
  // Anything else names its clip by its path: an object by its toString.
  return Target(rt.ToStringValue(v).s->text);
}

void Machine::ClipAction(ActionCode op) {
  switch (op) {
    case ActionCode::GetProperty: {  // target, index
      const double index = PopNumber();
      const Value clip = TargetOf(Pop());
      if (index >= 0 && index < std::size(kPropertyNames) && clip.IsObject()) {
        Push(rt.GetMember(clip, kPropertyNames[static_cast<std::size_t>(index)]));
      } else {
        Push(Value());
      }
      break;
    }
    case ActionCode::SetProperty: {  // target, index, value
      Value v = Pop();
      const double index = PopNumber();
      const Value clip = TargetOf(Pop());
      if (!(index >= 0 && index < std::size(kPropertyNames))) break;
      const auto i = static_cast<std::size_t>(index);
      // The value is converted for its property first, even when the
      // property cannot be set; _target, _droptarget and _url take nothing.
      if (i == 13 || i == 19) {
        v = rt.ToStringValue(v);
      } else if (i != 11 && i != 14 && i != 15) {
        v = Value::Number(rt.ToNumber(v));
      }
      if (clip.IsObject()) rt.SetMember(clip, kPropertyNames[i], v);
      break;
    }
    case ActionCode::CloneSprite: {  // source, target name, depth (as the file counts)
      const double depth = PopNumber();
      const std::string name = PopString();
      Clip* c = rt.ClipOf(TargetOf(Pop()));
      if (c && std::isfinite(depth) && std::fabs(depth) < 2e9) c->Duplicate(name, static_cast<int>(depth) - 16384);
      break;
    }
    case ActionCode::RemoveSprite: {
      if (Clip* c = rt.ClipOf(TargetOf(Pop()))) c->Remove();
      break;
    }
    case ActionCode::StartDrag: {  // nothing to drag on a clock face
      TargetOf(Pop());
      rt.ToNumber(Pop());  // lock to the centre
      if (rt.ToNumber(Pop()) == 1)  // constrained: bottom, right, top, left
        for (int i = 0; i < 4; ++i) rt.ToNumber(Pop());
      break;
    }
    case ActionCode::EndDrag:
      break;
    default:
      NotRun(op);
      break;
  }
}

}  // namespace dc::swf::avm1::interp

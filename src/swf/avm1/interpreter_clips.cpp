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
    case ActionCode::ToggleQuality:  // anti-aliased or not
      if (Clip* c = TargetClip()) c->SetQuality(c->GetQuality() == Quality::Low ? Quality::High : Quality::Low);
      break;
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
    case ActionCode::WaitForFrame2:
      Pop();
      break;
    case ActionCode::GetURL2:  // no way out
      Pop();
      Pop();
      break;
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

void Machine::ClipAction(ActionCode op) {
  switch (op) {
    case ActionCode::GetProperty: {  // target, index
      const double index = PopNumber();
      const Value target = Pop();
      const Value clip = target.IsString() ? Target(target.s->text) : target;
      if (index >= 0 && index < std::size(kPropertyNames) && clip.IsObject()) {
        Push(rt.GetMember(clip, kPropertyNames[static_cast<std::size_t>(index)]));
      } else {
        Push(Value());
      }
      break;
    }
    case ActionCode::SetProperty: {  // target, index, value
      const Value v = Pop();
      const double index = PopNumber();
      const Value target = Pop();
      const Value clip = target.IsString() ? Target(target.s->text) : target;
      if (index >= 0 && index < std::size(kPropertyNames) && clip.IsObject())
        rt.SetMember(clip, kPropertyNames[static_cast<std::size_t>(index)], v);
      break;
    }
    case ActionCode::CloneSprite: {  // source, target name, depth (as the file counts)
      const double depth = PopNumber();
      const std::string name = PopString();
      const Value source = Pop();
      Clip* c = rt.ClipOf(source.IsString() ? Target(source.s->text) : source);
      if (c && std::isfinite(depth) && std::fabs(depth) < 2e9) c->Duplicate(name, static_cast<int>(depth) - 16384);
      break;
    }
    case ActionCode::RemoveSprite: {
      const Value target = Pop();
      if (Clip* c = rt.ClipOf(target.IsString() ? Target(target.s->text) : target)) c->Remove();
      break;
    }
    case ActionCode::StartDrag: {  // nothing to drag on a clock face
      Pop();
      Pop();
      if (rt.ToBoolean(Pop()))
        for (int i = 0; i < 4; ++i) Pop();
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

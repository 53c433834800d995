// The interpreter's timeline control (frames, tellTarget, Call) and clip
// actions (the SWF 4 properties, duplicates, removal, drags).
#include <algorithm>
#include <cmath>

#include "swf/avm1/clip_frames.h"
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

// A property index as GetProperty and SetProperty read it: a number cut
// toward zero; a string wholly a number, from SWF 6 also in hexadecimal
// ("0x13") or octal ("013").
std::optional<std::size_t> PropertyIndex(Runtime& rt, Value v) {
  double n = 0;
  if (v.IsString()) {
    std::string_view text = v.s->text;
    rt.CountWork(text.size());  // read character by character
    const bool radix = rt.version >= 6 && text.size() > 1 && text[0] == '0';
    if (radix && (text[1] == 'x' || text[1] == 'X')) {
      n = ParseInt(text, 16);
      if (text.size() == 2 || text.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string_view::npos) return {};
    } else if (radix && text.find_first_not_of("01234567") == std::string_view::npos) {
      n = ParseInt(text, 8);
    } else {
      if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return {};
      n = StringToNumber(text, rt.version);
    }
  } else {
    n = rt.ToNumber(v);
  }
  n = std::trunc(n);
  if (!(n >= 0 && n < static_cast<double>(std::size(kPropertyNames)))) return {};
  return static_cast<std::size_t>(n);
}

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
    case ActionCode::WaitForFrame: {
      const std::uint16_t frame = r.U16();
      WaitFor(frame, r.U8());
      break;
    }
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
    case ActionCode::WaitForFrame2: {
      const std::uint8_t skip = r.U8();
      // Read as GotoFrame2 reads it, a number wrapped to 32 bits; a label,
      // or anything that names no frame, counts as loaded.
      const FrameRef f = FindFrame(rt, TargetClip(), Pop(), false);
      if (f.number) WaitFor(static_cast<std::int32_t>(*f.number - 1u), skip);
      break;
    }
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

void Machine::WaitFor(std::int64_t frameBefore, std::uint8_t skip) {
  // The whole movie is there from the start, so every frame a movie can
  // have is loaded; one past Flash's 16000 frames never is.
  constexpr std::int64_t kLastLoadable = 16000;
  if (frameBefore > kLastLoadable) skipRecords_ = skip;
}

void Machine::DoGotoFrame2(Reader& r) {
  const std::uint8_t flags = r.U8();
  const std::uint16_t bias = (flags & 2) ? r.U16() : 0;
  GotoFrameAction(rt, TargetClip(), Pop(), bias, flags & 1);
}

void Machine::DoCallFrame() {
  const Value frame = Pop();
  const FrameRef f = FindFrame(rt, TargetClip(), frame, false);
  // A frame out of range is none: no clamping here.
  if (!f.clip || !f.number || *f.number < 1 || *f.number > static_cast<std::uint32_t>(f.clip->TotalFrames())) return;
  ClipObject* owner = rt.ObjectFor(*f.clip);
  // A frame that calls itself recurses like a function that does.
  for (const ActionBytes& block : f.clip->FrameActions(static_cast<int>(*f.number))) {
    DepthGuard depth(rt);
    if (block) RunTopLevelBlock(rt, owner, block);
  }
}

void Machine::DoSetTarget(Value target) {
  a.targetLost = false;
  a.target = a.base;
  a.scope = a.baseScope;
  // A clip is found again by its path (the first of several of its name);
  // anything else is read as a path.
  std::string path;
  if (target.IsObject() && target.o->cls == ObjectClass::Clip) {
    if (Clip* c = rt.LiveClip(target)) path = rt.DotPath(c);
  } else {
    path = rt.ToString(target);
  }
  if (path.empty()) return;
  // The clip the path reaches, even one taken away (from code of a clip
  // taken away, "_root" is its own topmost clip).
  const Value found = rt.ResolveTarget(a.base, path);
  Clip* c = found.IsObject() && found.o->cls == ObjectClass::Clip ? static_cast<ClipObject*>(found.o)->clip : nullptr;
  if (!c) {
    // A target that names nothing leaves names and frames to the root.
    a.targetLost = true;
    c = rt.root;
    if (!c) return;
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

Value Machine::PropertyTarget(Value target) {
  if (target.IsObject() && target.o->cls == ObjectClass::Clip) return target;
  // Anything else names its clip by its path: an object by its toString.
  // "" is the current target, which a tellTarget that named nothing does
  // not have.
  const Value path = rt.ToStringValue(target);
  if (a.targetLost && path.s->text.empty()) return Value();
  return Target(path.s->text);
}
void Machine::ClipAction(ActionCode op) {
  switch (op) {
    case ActionCode::GetProperty: {  // target, index
      const std::optional<std::size_t> index = PropertyIndex(rt, Pop());
      const Value clip = PropertyTarget(Pop());
      Value v;
      if (index && clip.IsObject()) {
        // The clip's own property, not a child of the same name.
        Object* o = clip.o;
        if (o->cls != ObjectClass::Clip || !static_cast<ClipObject*>(o)->GetClipProperty(rt, kPropertyNames[*index], v))
          v = rt.GetMember(clip, kPropertyNames[*index]);
      }
      Push(v);
      break;
    }
    case ActionCode::SetProperty: {  // target, index, value
      Value v = Pop();
      const std::optional<std::size_t> index = PropertyIndex(rt, Pop());
      const Value clip = PropertyTarget(Pop());
      if (!index) break;
      const std::size_t i = *index;
      // The value is converted for its property first, even when the
      // property cannot be set; _target, _droptarget and _url take nothing.
      // undefined and null stay themselves (the property keeps its value),
      // and _focusrect converts for itself.
      if (i == 13 || i == 19) {
        // SWF 7 writes a number that is not one as 0 here.
        if (rt.version >= 7 && v.IsNumber() && std::isnan(v.n)) v = Value::Number(0);
        v = rt.ToStringValue(v);
      } else if (i != 11 && i != 14 && i != 15 && i != 17 && !v.IsUndefined() && !v.IsNull()) {
        v = Value::Number(rt.ToNumber(v));
      }
      if (clip.IsObject()) rt.SetMember(clip, kPropertyNames[i], v);
      break;
    }
    case ActionCode::CloneSprite: {  // source, target name, depth (as the file counts)
      const double depth = PopNumber();
      const std::string name = PopString();
      Clip* c = rt.ClipOf(TargetOf(Pop()));
      if (c && std::isfinite(depth) && std::fabs(depth) < 2e9)
        if (Clip* made = c->Duplicate(name, static_cast<int>(depth) - 16384)) rt.ConstructClip(*made);
      break;
    }
    case ActionCode::RemoveSprite: {
      if (Clip* c = rt.ClipOf(TargetOf(Pop()))) c->Remove();
      break;
    }
    case ActionCode::StartDrag: {
      Clip* c = rt.ClipOf(TargetOf(Pop()));
      const double lock = rt.ToNumber(Pop());
      const bool lockCentre = lock != 0 && !std::isnan(lock);
      std::optional<TwipRect> bounds;
      if (rt.ToNumber(Pop()) == 1) {  // constrained: bottom, right, top, left
        double v[4];
        for (double& e : v) {
          const double n = rt.ToNumber(Pop()) * kTwipsPerPixel;
          e = std::isfinite(n) ? std::clamp(n, -1e9, 1e9) : 0;
        }
        const auto t = [](double e) { return static_cast<std::int32_t>(e); };
        bounds = TwipRect{t(std::min(v[3], v[1])), t(std::max(v[3], v[1])), t(std::min(v[2], v[0])),
                          t(std::max(v[2], v[0]))};
      }
      if (c && rt.host.startDrag) rt.host.startDrag(*c, lockCentre, bounds);
      break;
    }
    case ActionCode::EndDrag:
      if (rt.host.stopDrag) rt.host.stopDrag();
      break;
    default:
      NotRun(op);
      break;
  }
}

}  // namespace dc::swf::avm1::interp

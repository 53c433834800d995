// The action interpreter's record loop and dispatch, and its two entries.
// Every record is read against the bytes of its range: a length, a jump or
// a nested block that runs out of range stops the block (MalformedBlock),
// never the engine. Each action goes to its family (action_codes.h names
// the family of every code); interpreter_machine.h lists the families'
// files.
#include "swf/avm1/interpreter.h"

#include <algorithm>
#include <cstdio>

#include "swf/avm1/array_object.h"
#include "swf/avm1/interpreter_machine.h"

namespace dc::swf::avm1 {
namespace interp {

Completion Machine::Run(std::size_t begin, std::size_t end, std::size_t& jumpOut) {
  std::size_t pc = begin;
  while (pc < end) {
    if (a.halted) return Completion::Normal;
    rt.CountAction();
    if (rt.stack.size() > rt.limits.maxStack) throw ScriptStop{StopReason::Stack};
    const std::uint8_t op = a.code[pc];
    if (op == static_cast<std::uint8_t>(ActionCode::End)) return Completion::Normal;
    std::size_t data = pc + 1, len = 0;
    if (HasPayload(op)) {
      if (end - pc < 3) throw MalformedBlock{};
      len = a.code[pc + 1] | (a.code[pc + 2] << 8);
      data = pc + 3;
      if (len > end - data) throw MalformedBlock{};
    }
    Cursor at{begin, end, data + len, jumpOut};
    Reader r(a.code + data, len);
    const auto code = static_cast<ActionCode>(op);
    Step step;
    // The actions most scripts spend their time in go straight to their
    // handlers; the rest through their family.
    switch (code) {
      case ActionCode::Push:
        DoPush(r);
        pc = at.next;
        continue;
      case ActionCode::Pop:
        Pop();
        pc = at.next;
        continue;
      case ActionCode::Jump:
      case ActionCode::If: {
        const auto offset = static_cast<std::int16_t>(r.U16());
        if (code == ActionCode::If && !rt.ToBoolean(Pop())) {
          pc = at.next;
          continue;
        }
        const std::int64_t target = static_cast<std::int64_t>(at.next) + offset;
        if (target < 0) throw MalformedBlock{};
        step = Land(at, static_cast<std::size_t>(target));
        break;
      }
      case ActionCode::GetVariable:
        DoGetVariable();
        break;
      case ActionCode::SetVariable:
        DoSetVariable();
        break;
      case ActionCode::GetMember:
        DoGetMember();
        break;
      case ActionCode::SetMember:
        DoSetMember();
        break;
      case ActionCode::Add2:
      case ActionCode::Less2:
      case ActionCode::Equals2:
      case ActionCode::StrictEquals:
      case ActionCode::Greater:
        DoCompare(code);
        break;
      case ActionCode::CallFunction:
        DoCallFunction();
        break;
      case ActionCode::CallMethod:
        DoCallMethod();
        break;
      case ActionCode::Return:
        a.returnValue = Pop();
        return Completion::Return;
      default:
        switch (FamilyOf(op)) {
          case ActionFamily::Timeline:
            TimelineAction(code, r);
            break;
          case ActionFamily::Clip:
            ClipAction(code);
            break;
          case ActionFamily::Stack:
            StackAction(code, r);
            break;
          case ActionFamily::Variable:
            VariableAction(code, r);
            break;
          case ActionFamily::Function:
            step = FunctionAction(code, r, at);
            break;
          case ActionFamily::Branch:
            step = BranchAction(code, r, at);
            break;
          case ActionFamily::Nested:
            step = NestedAction(code, r, at);
            break;
          case ActionFamily::End:  // read above
            break;
          case ActionFamily::Unknown:
            Unknown(op);
            break;
        }
        break;
    }
    // A throw a native deferred surfaces once its action is done.
    if (rt.pendingThrow) [[unlikely]] rt.ThrowPending();
    if (step) return *step;
    pc = at.next;
    // A frame not loaded skips the records after its wait, each by its
    // length; a skip past the range ends it.
    for (; skipRecords_ > 0 && pc < end; --skipRecords_) {
      std::size_t next = pc + 1;
      if (HasPayload(a.code[pc])) next = end - pc < 3 ? end : pc + 3 + (a.code[pc + 1] | (a.code[pc + 2] << 8));
      pc = std::min(next, end);
    }
    skipRecords_ = 0;
  }
  return Completion::Normal;
}

void Machine::NotRun(ActionCode op) {
  const std::string_view name = ActionName(op);
  char text[128];
  std::snprintf(text, sizeof text,
                "a script used the action %.*s (0x%02X), which this player does not run; it was skipped",
                static_cast<int>(name.size()), name.data(), static_cast<unsigned>(op));
  rt.WarnOnce(kWarnSkippedAction, text);
}

void Machine::Unknown(std::uint8_t op) {
  char text[96];
  std::snprintf(text, sizeof text, "a script used an action this player does not know (0x%02X); it was skipped",
                static_cast<unsigned>(op));
  rt.WarnOnce(kWarnUnknownAction, text);
}

}  // namespace interp

using interp::Activation;
using interp::Completion;
using interp::Machine;
using interp::RestoreOnExit;

void RunTopLevelBlock(Runtime& rt, ClipObject* clip, const ActionBytes& code, bool shareStack) {
  if (!code || code->empty()) return;
  Activation a;
  a.code = code->data();
  a.size = code->size();
  a.keep = code;
  a.self = Value::Obj(clip);
  a.base = a.target = clip;
  a.startedGone = Machine::Gone(clip);
  a.scope = a.baseScope = clip->timelineScope;
  a.registers.resize(4);
  a.stackBase = shareStack ? 0 : rt.stack.size();
  a.swf4 = rt.version < 5;
  CallFrame frame{nullptr, false, &a.registers, rt.frame};
  rt.frame = &frame;
  Machine m(rt, a);
  std::size_t jumpOut = 0;
  RestoreOnExit restore([&] {
    if (!shareStack) rt.stack.resize(std::min(a.stackBase, rt.stack.size()));
    rt.frame = frame.previous;
  });
  m.Run(0, a.size, jumpOut);
}

namespace {

// DefineFunction2's preloads, into registers from 1 in this order; a clip
// with no parent leaves no register for _parent.
void Preload(Runtime& rt, Activation& a, FunctionObject* fn) {
  std::size_t next = 1;
  const auto preload = [&](Value v) {
    if (next < a.registers.size()) a.registers[next] = v;
    ++next;
  };
  const std::uint16_t f = fn->flags2;
  ActivationObject* locals = a.locals;
  if (f & kPreloadThis) preload(locals->self);
  if (f & kPreloadArguments) preload(locals->Arguments(rt));
  if (f & kPreloadSuper) preload(locals->Super(rt));
  if (f & kPreloadRoot) preload(rt.ClipValue(rt.root));
  if (f & kPreloadParent) {
    const Value parent = a.base && a.base->clip ? rt.ClipValue(a.base->clip->Parent()) : Value();
    if (!parent.IsUndefined()) preload(parent);
  }
  if (f & kPreloadGlobal) preload(Value::Obj(rt.global));
}

}  // namespace

Value CallScriptFunction(Runtime& rt, FunctionObject* fn, Value self, std::span<const Value> args, Object* home,
                         bool constructing) {
  if (!fn->code) return Value();
  DepthGuard depth(rt);
  Activation a;
  a.code = fn->code->data();
  a.size = fn->code->size();
  a.keep = fn->code;
  a.self = self;
  // The timeline the function was defined on, found again by its path once
  // taken away; with nothing there, `this` when it is a clip, else the root.
  a.base = fn->base ? rt.Live(fn->base) : nullptr;
  if (!a.base) {
    if (Clip* c = rt.LiveClip(self)) a.base = rt.ObjectFor(*c);
    else if (rt.root) a.base = rt.ObjectFor(*rt.root);
  }
  a.target = a.base;
  ActivationObject* locals = rt.heap.Make<ActivationObject>();
  locals->self = self;
  locals->callee = fn;
  locals->caller = rt.frame ? rt.frame->callee : nullptr;
  locals->home = home;
  const std::uint16_t f = fn->function2 ? fn->flags2 : 0;
  // DefineFunction2 leaves out as variables what it suppresses or keeps in
  // a register.
  locals->hasThis = !(f & (kPreloadThis | kSuppressThis));
  locals->hasArguments = !(f & (kPreloadArguments | kSuppressArguments));
  locals->hasSuper = !(f & (kPreloadSuper | kSuppressSuper));
  if (locals->hasArguments || (f & kPreloadArguments)) locals->args = args;
  a.locals = locals;
  a.scope = a.baseScope = rt.heap.Make<Scope>(fn->scope ? fn->scope : rt.globalScope, locals);
  a.pool = fn->pool;
  a.stackBase = rt.stack.size();
  std::vector<Value>* blockRegisters = rt.frame ? rt.frame->registers : nullptr;
  if (fn->function2) {
    a.registers.resize(std::max<std::size_t>(fn->registerCount, 1));
    a.outerRegisters = blockRegisters;
    Preload(rt, a, fn);
    for (std::size_t i = 0; i < fn->params.size(); ++i) {
      const Value v = Arg(args, i);
      const std::uint8_t reg = fn->paramRegisters[i];
      if (reg != 0) {
        if (reg < a.registers.size()) a.registers[reg] = v;
      } else {
        rt.SetMember(Value::Obj(locals), fn->params[i], v);
      }
    }
  } else {
    a.registers.resize(4);
    for (std::size_t i = 0; i < fn->params.size(); ++i) rt.SetMember(Value::Obj(locals), fn->params[i], Arg(args, i));
  }
  CallFrame frame{fn, constructing, fn->function2 ? blockRegisters : &a.registers, rt.frame};
  rt.frame = &frame;
  Machine m(rt, a);
  std::size_t jumpOut = 0;
  RestoreOnExit restore([&] {
    locals->EndCall(rt);
    rt.stack.resize(a.stackBase);
    rt.frame = frame.previous;
  });
  return m.Run(fn->begin, fn->end, jumpOut) == Completion::Return ? a.returnValue : Value();
}

}  // namespace dc::swf::avm1

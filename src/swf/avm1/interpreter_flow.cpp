// The interpreter's branches and nested ranges. `with`, `try` and function
// bodies run as nested ranges of the same bytes; a jump that leaves a
// nested range is handed to the range around it.
#include "swf/avm1/interpreter_machine.h"

namespace dc::swf::avm1::interp {

// Lands a jump: inside the range it goes on, at its end it finishes,
// elsewhere the range around decides.
Step Machine::BranchAction(ActionCode op, Reader& r, Cursor& at) {
  switch (op) {
    case ActionCode::Jump:
    case ActionCode::If:
      return DoBranch(op, r, at);
    default:
      NotRun(op);
      return std::nullopt;
  }
}

Step Machine::DoBranch(ActionCode op, Reader& r, Cursor& at) {
  const auto offset = static_cast<std::int16_t>(r.U16());
  if (op == ActionCode::If && !rt.ToBoolean(Pop())) return std::nullopt;
  const std::int64_t target = static_cast<std::int64_t>(at.next) + offset;
  if (target < 0) throw MalformedBlock{};
  return Land(at, static_cast<std::size_t>(target));
}

Step Machine::NestedAction(ActionCode op, Reader& r, Cursor& at) {
  std::size_t after = 0, target = 0;
  Completion c;
  switch (op) {
    case ActionCode::With: {
      const std::size_t size = r.U16();
      if (size > at.end - at.next) throw MalformedBlock{};
      c = DoWith(at.next, at.next + size, target);
      after = at.next + size;
      break;
    }
    case ActionCode::Try:
      c = DoTry(r, at.next, at.end, after, target);
      break;
    default:
      NotRun(op);
      return std::nullopt;
  }
  if (c == Completion::Return) return c;
  if (c == Completion::JumpOut) return Land(at, target);
  at.next = after;
  return std::nullopt;
}

Completion Machine::DoWith(std::size_t bodyBegin, std::size_t bodyEnd, std::size_t& jumpOut) {
  // A primitive is boxed; with nothing to look in the body is skipped.
  Object* o = rt.ToObject(Pop());
  if (!o) return Completion::Normal;
  NestGuard guard(rt);
  RestoreOnExit restoreScope([this, saved = a.scope] { a.scope = saved; });
  a.scope = rt.heap.Make<Scope>(a.scope, o);
  return Run(bodyBegin, bodyEnd, jumpOut);
}

Completion Machine::DoTry(Reader& r, std::size_t next, std::size_t end, std::size_t& after, std::size_t& jumpOut) {
  const std::uint8_t flags = r.U8();
  const std::size_t trySize = r.U16(), catchSize = r.U16(), finallySize = r.U16();
  const bool inRegister = flags & 4;
  std::string_view catchName;
  std::uint8_t catchRegister = 0;
  if (inRegister) catchRegister = r.U8();
  else catchName = r.Str();
  const std::size_t catchBegin = next + trySize, finallyBegin = catchBegin + catchSize;
  after = finallyBegin + finallySize;
  if (after > end) throw MalformedBlock{};
  NestGuard guard(rt);
  Completion c = Completion::Normal;
  std::optional<Value> pending;
  try {
    c = Run(next, catchBegin, jumpOut);
  } catch (const ScriptThrow& thrown) {
    if (flags & 1) {
      if (inRegister) {
        WriteRegister(catchRegister, thrown.value);
      } else if (a.locals) {
        rt.SetMember(Value::Obj(a.locals), catchName, thrown.value);
      } else {
        SetVariable(catchName, thrown.value);
      }
      try {
        c = Run(catchBegin, finallyBegin, jumpOut);
      } catch (const ScriptThrow& again) {
        pending = again.value;
      }
    } else {
      pending = thrown.value;
    }
  }
  if (flags & 2) {
    std::size_t finallyJump = 0;
    const Completion f = Run(finallyBegin, after, finallyJump);
    if (f != Completion::Normal) {
      c = f;
      jumpOut = finallyJump;
      pending.reset();
    }
  }
  if (pending) throw ScriptThrow{*pending};
  return c;
}

}  // namespace dc::swf::avm1::interp

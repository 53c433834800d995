// The interpreter's machine, shared by its files and private to them: one
// activation (a block or a function body), the record reader, and
// `Machine`, whose record loop (interpreter.cpp) hands each action to its
// family's file:
//   interpreter_clips.cpp      timeline control and clip actions
//   interpreter_stack.cpp      the stack, arithmetic, strings, conversions
//   interpreter_variables.cpp  variables, members, the constant pool
//   interpreter_functions.cpp  functions, calls, objects and classes
//   interpreter_flow.cpp       branches and the nested ranges (with, try)
#pragma once

#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/avm1/action_codes.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1::interp {

// The keys of the interpreter's once-only warnings (Runtime::Stop's take
// 0 to 3, 6 and 7).
constexpr int kWarnUnknownAction = 4;
constexpr int kWarnSkippedAction = 5;

enum class Completion { Normal, Return, JumpOut };

struct Activation {
  const std::uint8_t* code = nullptr;
  std::size_t size = 0;
  ActionBytes keep;
  Value self;
  Scope* scope = nullptr;
  Scope* baseScope = nullptr;
  ActivationObject* locals = nullptr;  // a function's variables; null at the top level
  std::vector<Value> registers;
  // Where a register past a DefineFunction2's own count is: the four of the
  // block (or plain function) that called it.
  std::vector<Value>* outerRegisters = nullptr;
  ConstantPool* pool = nullptr;
  ClipObject* base = nullptr;    // the timeline the code belongs to
  ClipObject* target = nullptr;  // tellTarget's clip, else base
  bool targetLost = false;       // tellTarget named nothing
  // The clip the code belongs to was taken away: the code stops after its
  // next call. An unload event's block runs on a clip already gone, and
  // runs to its end.
  bool halted = false;
  bool startedGone = false;
  std::size_t stackBase = 0;
  Value returnValue;
  bool swf4 = false;  // a SWF 4 movie's own code, not a function's
};

// Reads the fields of one action record.
class Reader {
 public:
  Reader(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  std::uint8_t U8() {
    Need(1);
    return p_[i_++];
  }
  std::uint16_t U16() {
    Need(2);
    const std::uint16_t v = static_cast<std::uint16_t>(p_[i_] | (p_[i_ + 1] << 8));
    i_ += 2;
    return v;
  }
  std::uint32_t U32() {
    Need(4);
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | p_[i_ + static_cast<std::size_t>(k)];
    i_ += 4;
    return v;
  }
  std::string_view Str() {
    const void* nul = i_ < n_ ? std::memchr(p_ + i_, 0, n_ - i_) : nullptr;
    if (!nul) throw MalformedBlock{};
    const std::size_t len = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - (p_ + i_));
    std::string_view s(reinterpret_cast<const char*>(p_ + i_), len);
    i_ += len + 1;
    return s;
  }
  bool AtEnd() const { return i_ >= n_; }

 private:
  void Need(std::size_t k) const {
    if (n_ - i_ < k || i_ > n_) throw MalformedBlock{};
  }
  const std::uint8_t* p_;
  std::size_t n_, i_ = 0;
};

struct NestGuard {
  explicit NestGuard(Runtime& r) : rt(r) {
    if (++rt.nesting > rt.limits.maxNesting) {
      --rt.nesting;
      throw ScriptStop{StopReason::Nesting};
    }
  }
  ~NestGuard() { --rt.nesting; }
  Runtime& rt;
};

// Puts interpreter state back when it goes out of scope, by return or by
// throw: `restore` must not throw.
template <class F>
class RestoreOnExit {
 public:
  explicit RestoreOnExit(F restore) : restore_(std::move(restore)) {}
  RestoreOnExit(const RestoreOnExit&) = delete;
  RestoreOnExit& operator=(const RestoreOnExit&) = delete;
  ~RestoreOnExit() { restore_(); }

 private:
  F restore_;
};

// The range a Run walks, and where it goes on after the record at hand: the
// next record, or a jump's target inside the range.
struct Cursor {
  std::size_t begin, end;
  std::size_t next;
  std::size_t& jumpOut;  // where a jump that leaves the range goes
};
// What an action of a family that can end the range leaves to the record
// loop: nothing (go on at the cursor's next) or how the range finished.
using Step = std::optional<Completion>;

class Machine {
 public:
  Machine(Runtime& r, Activation& act) : rt(r), a(act) {}
  Completion Run(std::size_t begin, std::size_t end, std::size_t& jumpOut);
  // Whether the clip code belongs to is off its list.
  static bool Gone(const ClipObject* o) { return o && (o->clip ? o->clip->Removed() : o->removed); }

 private:
  // The stack: a script that pops more than it pushed reads undefined.
  Value Pop() {
    if (rt.stack.size() <= a.stackBase) return Value();
    const Value v = rt.stack.back();
    rt.stack.pop_back();
    return v;
  }
  void Push(Value v) { rt.stack.push_back(v); }
  // A boolean result: 1 or 0 in a SWF 4 movie's own code.
  Value Bool(bool b) const { return a.swf4 ? Value::Number(b ? 1 : 0) : Value::Bool(b); }
  void PushBool(bool b) { Push(Bool(b)); }
  Value ReadRegister(std::uint8_t reg) const {
    if (reg < a.registers.size()) return a.registers[reg];
    if (a.outerRegisters && reg < a.outerRegisters->size()) return (*a.outerRegisters)[reg];
    return Value();
  }
  void WriteRegister(std::uint8_t reg, Value v) {
    if (reg < a.registers.size()) a.registers[reg] = v;
    else if (a.outerRegisters && reg < a.outerRegisters->size()) (*a.outerRegisters)[reg] = v;
  }
  double PopNumber() { return rt.ToNumber(Pop()); }
  std::string PopString() { return rt.ToString(Pop()); }
  std::size_t PopCount() {
    const double n = PopNumber();
    const std::size_t available = rt.stack.size() - a.stackBase;
    if (!(n > 0)) return 0;
    return n >= static_cast<double>(available) ? available : static_cast<std::size_t>(n);
  }
  std::vector<Value> PopArgs() {
    const std::size_t n = PopCount();
    std::vector<Value> args(n);
    for (std::size_t i = 0; i < n; ++i) args[i] = Pop();
    return args;
  }

  // The timeline names and frames act on: tellTarget's clip (the root when
  // it named nothing), else the code's own.
  ClipObject* Timeline() const {
    if (a.target) return a.target;
    if (a.base) return a.base;
    return rt.root ? rt.ObjectFor(*rt.root) : nullptr;
  }
  Clip* TargetClip() const {
    ClipObject* t = Timeline();
    return t ? t->clip : nullptr;
  }
  Value Target(std::string_view path) { return rt.ResolveTarget(Timeline(), path); }
  // A clip action's target: a clip, or a path (what is not a string gives
  // its own by toString).
  Value TargetOf(Value v);
  // After a call: a function whose clip was taken away goes no further.
  void HaltIfHomeGone() {
    FunctionObject* callee = a.locals ? a.locals->callee : nullptr;
    if (!a.startedGone && Gone(callee ? callee->base : a.base)) a.halted = true;
  }

  // The families of the dispatch, one per ActionFamily. Those that can end
  // the range or move the record loop take the cursor.
  void TimelineAction(ActionCode op, Reader& r);
  void ClipAction(ActionCode op);
  void StackAction(ActionCode op, Reader& r);
  void VariableAction(ActionCode op, Reader& r);
  Step FunctionAction(ActionCode op, Reader& r, Cursor& at);
  Step BranchAction(ActionCode op, Reader& r, Cursor& at);
  Step NestedAction(ActionCode op, Reader& r, Cursor& at);
  // An action of the table that its family does not run, and a code the
  // table does not have: skipped by their length, warned about once.
  void NotRun(ActionCode op);
  void Unknown(std::uint8_t op);

  // interpreter_flow.cpp
  Step DoBranch(ActionCode op, Reader& r, Cursor& at);
  // Where a jump lands: inside the range the loop goes on there, else the
  // range ends (at its end normally).
  static Step Land(Cursor& at, std::size_t target) {
    if (target >= at.begin && target < at.end) {
      at.next = target;
      return std::nullopt;
    }
    at.jumpOut = target;
    return target == at.end ? Completion::Normal : Completion::JumpOut;
  }
  Completion DoWith(std::size_t bodyBegin, std::size_t bodyEnd, std::size_t& jumpOut);
  Completion DoTry(Reader& r, std::size_t next, std::size_t end, std::size_t& after, std::size_t& jumpOut);

  // interpreter_clips.cpp
  void DoGotoFrame2(Reader& r);
  // WaitForFrame and WaitForFrame2: whether the frame (0-based, the
  // action's own wrapping) could be loaded; the records to skip if not.
  void WaitFor(std::int64_t frameBefore, std::uint8_t skip);
  std::uint8_t skipRecords_ = 0;
  void DoCallFrame();
  void DoSetTarget(Value target);
  // The clip GetProperty and SetProperty act on: a path, or a clip given.
  Value PropertyTarget(Value target);

  // interpreter_stack.cpp
  void DoPush(Reader& r);
  void DoNumeric(ActionCode op);
  void DoCompare(ActionCode op);
  void DoStringAction(ActionCode op);
  void PushComparison(Value result);
  Value Joined(Value x, Value y);  // two string values end to end

  // interpreter_variables.cpp
  void DoGetVariable();
  void DoSetVariable();
  void DoGetMember();
  void DoSetMember();
  bool SpecialName(std::string_view name, Value& out);
  // A scope's object as names are looked up on it (a timeline taken away
  // is stood in for).
  Object* InScope(Object* o);
  Value GetVariable(std::string_view name);
  // The object a variable path's holder part names.
  Value PathHolder(std::string_view path);
  // "a.b.c": the first scope in which the whole path is there.
  bool GetPath(std::string_view path, Value& out);
  void SetVariable(std::string_view name, Value v);
  void DefineLocal(std::string_view name, Value v);
  void DoConstantPool(Reader& r);
  void DoEnumerate(Value target);
  void DoInitObject();
  void DoInitArray();

  // interpreter_functions.cpp
  std::size_t DoDefineFunction(Reader& r, std::size_t next, std::size_t end, bool version2);
  void DoCallFunction();
  void DoCallMethod();
  void DoNew(bool method);

  Runtime& rt;
  Activation& a;
};

}  // namespace dc::swf::avm1::interp

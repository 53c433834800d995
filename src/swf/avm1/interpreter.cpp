// The action interpreter. Every record is read against the bytes of its
// range: a length, a jump or a nested block that runs out of range stops
// the block (MalformedBlock), never the engine. `with`, `try` and function
// bodies run as nested ranges; a jump that leaves a nested range is handed
// to the range around it.
#include "swf/avm1/interpreter.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "swf/avm1/conversions.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1 {
namespace {

// Operand stack entries a script may hold at once.
constexpr std::size_t kMaxStack = 1u << 20;
// Nested with and try ranges, on top of the call depth.
constexpr int kMaxNesting = 256;

// The SWF 4 property table of GetProperty and SetProperty.
constexpr std::string_view kPropertyNames[] = {
    "_x",         "_y",        "_xscale",       "_yscale",      "_currentframe", "_totalframes",
    "_alpha",     "_visible",  "_width",        "_height",      "_rotation",     "_target",
    "_framesloaded", "_name",  "_droptarget",   "_url",         "_highquality",  "_focusrect",
    "_soundbuftime", "_quality", "_xmouse",     "_ymouse"};

// DefineFunction2's flags, as the two bytes read little-endian.
enum : std::uint16_t {
  kPreloadThis = 0x0001,
  kSuppressThis = 0x0002,
  kPreloadArguments = 0x0004,
  kSuppressArguments = 0x0008,
  kPreloadSuper = 0x0010,
  kSuppressSuper = 0x0020,
  kPreloadRoot = 0x0040,
  kPreloadParent = 0x0080,
  kPreloadGlobal = 0x0100,
};

enum class Completion { Normal, Return, JumpOut };

struct Activation {
  const std::uint8_t* code = nullptr;
  std::size_t size = 0;
  ActionBytes keep;
  Value self;
  Scope* scope = nullptr;
  Scope* baseScope = nullptr;
  Object* locals = nullptr;  // a function's variables; null at the top level
  std::vector<Value> registers;
  ConstantPool* pool = nullptr;
  ClipObject* base = nullptr;    // the timeline the code belongs to
  ClipObject* target = nullptr;  // tellTarget's clip, else base
  bool targetLost = false;       // tellTarget named nothing
  FunctionObject* callee = nullptr;
  Object* home = nullptr;
  std::span<const Value> args;
  Value arguments;
  std::size_t stackBase = 0;
  Value returnValue;
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
    if (++rt.nesting > kMaxNesting) {
      --rt.nesting;
      throw ScriptStop{StopReason::Stack};
    }
  }
  ~NestGuard() { --rt.nesting; }
  Runtime& rt;
};

class Machine {
 public:
  Machine(Runtime& r, Activation& act) : rt(r), a(act) {}
  Completion Run(std::size_t begin, std::size_t end, std::size_t& jumpOut);

 private:
  // The stack: a script that pops more than it pushed reads undefined.
  Value Pop() {
    if (rt.stack.size() <= a.stackBase) return Value();
    const Value v = rt.stack.back();
    rt.stack.pop_back();
    return v;
  }
  void Push(Value v) { rt.stack.push_back(v); }
  void PushBool(bool b) { Push(rt.version >= 5 ? Value::Bool(b) : Value::Number(b ? 1 : 0)); }
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

  ClipObject* Timeline() const {
    if (a.targetLost) return nullptr;
    if (a.target) return a.target;
    if (a.base) return a.base;
    return rt.root ? rt.ObjectFor(*rt.root) : nullptr;
  }
  Clip* TargetClip() const {
    ClipObject* t = Timeline();
    return t ? t->clip : nullptr;
  }
  Value Target(std::string_view path) { return rt.ResolveTarget(Timeline(), path); }

  bool SpecialName(std::string_view name, Value& out);
  Value GetVariable(std::string_view name);
  void SetVariable(std::string_view name, Value v);
  void DefineLocal(std::string_view name, Value v);
  Value Arguments();
  Value Super();

  void DoPush(Reader r);
  void DoConstantPool(Reader r);
  std::size_t DoDefineFunction(Reader r, std::size_t next, std::size_t end, bool version2);
  void DoGotoFrame2(Reader r);
  void Goto(Clip* clip, Value frame, int bias, bool play);
  void DoCallFrame();
  void DoSetTarget(Value target);
  void DoCallFunction();
  void DoCallMethod();
  void DoNew(bool method);
  void DoEnumerate(Value target);
  void DoBinary(std::uint8_t op);
  void DoStringAction(std::uint8_t op);
  void DoClipAction(std::uint8_t op);
  Completion DoWith(std::size_t bodyBegin, std::size_t bodyEnd, std::size_t& jumpOut);
  Completion DoTry(Reader r, std::size_t next, std::size_t end, std::size_t& after, std::size_t& jumpOut);

  Runtime& rt;
  Activation& a;
};

bool Machine::SpecialName(std::string_view name, Value& out) {
  if (name.empty()) return false;
  const bool cs = rt.caseSensitive;
  switch (name[0]) {
    case 't':
    case 'T':
      if (NamesEqual(name, "this", cs)) {
        out = a.self;
        return true;
      }
      return false;
    case 'a':
    case 'A':
      if (a.callee && NamesEqual(name, "arguments", cs)) {
        out = Arguments();
        return true;
      }
      return false;
    case 's':
    case 'S':
      if (a.callee && NamesEqual(name, "super", cs)) {
        out = Super();
        return true;
      }
      return false;
    case '_':
      if (NamesEqual(name, "_global", cs)) {
        out = Value::Obj(rt.global);
        return true;
      }
      if (NamesEqual(name, "_root", false)) {
        out = rt.ClipValue(rt.root);
        return true;
      }
      if (NamesEqual(name, "_parent", false)) {
        Clip* c = TargetClip();
        out = c ? rt.ClipValue(c->Parent()) : Value();
        return true;
      }
      if (Clip* level = rt.Level(name)) {
        out = rt.ClipValue(level);
        return true;
      }
      return false;
    default:
      return false;
  }
}

Value Machine::Arguments() {
  if (a.arguments.IsUndefined()) {
    ArrayObject* args = rt.NewArray(a.args);
    rt.DefineValue(args, "callee", Value::Obj(a.callee));
    a.arguments = Value::Obj(args);
  }
  return a.arguments;
}

Value Machine::Super() {
  Object* home = a.home;
  if (!home) {
    // A method called plainly: its class is the prototype of `this`.
    Object* self = a.self.AsObject();
    home = self ? self->proto : nullptr;
  }
  return Value::Obj(rt.heap.Make<SuperObject>(nullptr, a.self, home));
}

Value Machine::GetVariable(std::string_view name) {
  if (name.find_first_of(":/.") != std::string_view::npos) {
    if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos) {
      const Value holder = Target(name.substr(0, colon));
      return holder.IsObject() ? rt.GetMember(holder, name.substr(colon + 1)) : Value();
    }
    if (name.find('/') != std::string_view::npos) return Target(name);
    // a.b.c: the first name through the scope chain, the rest as members.
    std::size_t i = name.find('.');
    Value v = GetVariable(name.substr(0, i));
    while (i != std::string_view::npos && !v.IsNullish()) {
      const std::size_t j = name.find('.', i + 1);
      v = rt.GetMember(v, name.substr(i + 1, j == std::string_view::npos ? std::string_view::npos : j - i - 1));
      i = j;
    }
    return i == std::string_view::npos ? v : Value();
  }
  Value out;
  if (SpecialName(name, out)) return out;
  for (Scope* s = a.scope; s; s = s->parent)
    if (rt.TryGet(s->object, name, out)) return out;
  return Value();
}

void Machine::SetVariable(std::string_view name, Value v) {
  if (name.find_first_of(":.") != std::string_view::npos) {
    Value holder;
    std::string_view member;
    if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos) {
      holder = Target(name.substr(0, colon));
      member = name.substr(colon + 1);
    } else {
      const std::size_t dot = name.rfind('.');
      holder = GetVariable(name.substr(0, dot));
      member = name.substr(dot + 1);
    }
    rt.SetMember(holder, member, v);
    return;
  }
  // Where the name is already, short of _global; else on the timeline.
  for (Scope* s = a.scope; s; s = s->parent) {
    if (s->object == rt.global) break;
    if (rt.HasMember(s->object, name)) {
      rt.SetMember(Value::Obj(s->object), name, v);
      return;
    }
  }
  if (ClipObject* t = Timeline()) rt.SetMember(Value::Obj(t), name, v);
}

void Machine::DefineLocal(std::string_view name, Value v) {
  if (a.locals) {
    rt.SetMember(Value::Obj(a.locals), name, v);
  } else if (ClipObject* t = Timeline()) {
    rt.SetMember(Value::Obj(t), name, v);
  }
}

void Machine::DoPush(Reader r) {
  while (!r.AtEnd()) {
    const std::uint8_t type = r.U8();
    switch (type) {
      case 0:
        Push(rt.Literal(r.Str()));
        break;
      case 1: {
        const std::uint32_t bits = r.U32();
        float f;
        std::memcpy(&f, &bits, 4);
        Push(Value::Number(f));
        break;
      }
      case 2:
        Push(Value::Null());
        break;
      case 3:
        Push(Value());
        break;
      case 4: {
        const std::uint8_t reg = r.U8();
        Push(reg < a.registers.size() ? a.registers[reg] : Value());
        break;
      }
      case 5:
        Push(Value::Bool(r.U8() != 0));
        break;
      case 6: {
        // The high 32 bits first, each half little-endian.
        const std::uint64_t hi = r.U32(), lo = r.U32();
        const std::uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        Push(Value::Number(d));
        break;
      }
      case 7:
        Push(Value::Number(static_cast<std::int32_t>(r.U32())));
        break;
      case 8:
      case 9: {
        const std::size_t i = type == 8 ? r.U8() : r.U16();
        Push(a.pool && i < a.pool->entries.size() ? a.pool->entries[i] : Value());
        break;
      }
      default:
        throw MalformedBlock{};
    }
  }
}

void Machine::DoConstantPool(Reader r) {
  const std::uint16_t count = r.U16();
  ConstantPool* pool = rt.heap.Make<ConstantPool>();
  pool->entries.reserve(count);
  rt.heap.Charge(count * sizeof(Value));
  for (std::uint16_t i = 0; i < count; ++i) pool->entries.push_back(rt.Str(r.Str()));
  a.pool = pool;
}

std::size_t Machine::DoDefineFunction(Reader r, std::size_t next, std::size_t end, bool version2) {
  FunctionObject* f = rt.heap.Make<FunctionObject>(rt.functionProto, ObjectClass::Function);
  f->name = std::string(r.Str());
  const std::uint16_t count = r.U16();
  f->function2 = version2;
  if (version2) {
    f->registerCount = r.U8();
    f->flags2 = r.U16();
  }
  for (std::uint16_t i = 0; i < count; ++i) {
    f->paramRegisters.push_back(version2 ? r.U8() : 0);
    f->params.emplace_back(r.Str());
  }
  const std::uint16_t codeSize = r.U16();
  if (codeSize > end - next) throw MalformedBlock{};
  f->code = a.keep;
  f->begin = static_cast<std::uint32_t>(next);
  f->end = static_cast<std::uint32_t>(next + codeSize);
  f->scope = a.scope;
  f->pool = a.pool;
  f->base = a.target ? a.target : a.base;
  Object* proto = rt.NewObject();
  rt.DefineValue(proto, "constructor", Value::Obj(f));
  rt.DefineValue(f, "prototype", Value::Obj(proto));
  if (f->name.empty()) {
    Push(Value::Obj(f));
  } else {
    DefineLocal(f->name, Value::Obj(f));
  }
  return next + codeSize;
}

void Machine::Goto(Clip* clip, Value frame, int bias, bool play) {
  if (!clip) return;
  if (frame.IsString()) {
    std::string_view text = frame.s->text;
    if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
      clip = rt.ClipOf(Target(text.substr(0, colon)));
      text = text.substr(colon + 1);
      if (!clip) return;
    }
    const double n = StringToNumber(text, rt.version);
    if (std::isnan(n)) {
      if (const auto f = clip->FrameOfLabel(text)) clip->GotoFrame(*f, play);
      return;
    }
    frame = Value::Number(n);
  }
  const double n = rt.ToNumber(frame);
  if (!std::isfinite(n)) return;
  const double f = std::floor(n) + bias;
  if (f < 1 || f > 1e9) return;
  clip->GotoFrame(static_cast<int>(f), play);
}

void Machine::DoGotoFrame2(Reader r) {
  const std::uint8_t flags = r.U8();
  const int bias = (flags & 2) ? r.U16() : 0;
  Goto(TargetClip(), Pop(), bias, flags & 1);
}

void Machine::DoCallFrame() {
  const Value frame = Pop();
  Clip* clip = TargetClip();
  if (!clip) return;
  int number = 0;
  std::string_view text;
  std::string buffer;
  if (frame.IsString()) {
    text = frame.s->text;
    if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
      clip = rt.ClipOf(Target(text.substr(0, colon)));
      text = text.substr(colon + 1);
      if (!clip) return;
    }
    const double n = StringToNumber(text, rt.version);
    if (std::isnan(n)) {
      number = clip->FrameOfLabel(text).value_or(0);
    } else if (n >= 1 && n <= 1e9) {
      number = static_cast<int>(n);
    }
  } else {
    const double n = rt.ToNumber(frame);
    if (n >= 1 && n <= 1e9) number = static_cast<int>(n);
  }
  if (number < 1) return;
  ClipObject* owner = rt.ObjectFor(*clip);
  // A frame that calls itself recurses like a function that does.
  for (const ActionBytes& block : clip->FrameActions(number)) {
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

void Machine::DoCallFunction() {
  const Value nameValue = Pop();
  std::vector<Value> args = PopArgs();
  std::string buffer;
  const std::string_view name = rt.KeyOf(nameValue, buffer);
  const Value fn = name.empty() ? Value() : GetVariable(name);
  ClipObject* t = Timeline();
  Push(rt.Call(fn, t ? Value::Obj(t) : Value(), args));
}

void Machine::DoCallMethod() {
  const Value nameValue = Pop();
  const Value target = Pop();
  std::vector<Value> args = PopArgs();
  if (nameValue.IsUndefined() || (nameValue.IsString() && nameValue.s->text.empty())) {
    Push(rt.Call(target, Value(), args));
    return;
  }
  std::string buffer;
  Push(rt.CallMethod(target, rt.KeyOf(nameValue, buffer), args));
}

void Machine::DoNew(bool method) {
  const Value nameValue = Pop();
  Value ctor;
  std::string buffer;
  if (method) {
    const Value target = Pop();
    const std::string_view name = rt.KeyOf(nameValue, buffer);
    ctor = nameValue.IsUndefined() || name.empty() ? target : rt.GetMember(target, name);
  } else {
    ctor = GetVariable(rt.KeyOf(nameValue, buffer));
  }
  std::vector<Value> args = PopArgs();
  Push(rt.Construct(ctor, args));
}

void Machine::DoEnumerate(Value target) {
  Push(Value::Null());
  Object* o = target.AsObject();
  if (!o) return;
  for (std::string& name : rt.EnumerableNames(o)) {
    if (rt.stack.size() > kMaxStack) throw ScriptStop{StopReason::Stack};
    Push(rt.Str(std::move(name)));
  }
}

// Equals2's abstract equality.
bool LooseEquals(Runtime& rt, Value x, Value y, int depth = 0) {
  if (x.type == y.type) {
    switch (x.type) {
      case ValueType::Undefined:
      case ValueType::Null:
        return true;
      case ValueType::Boolean:
        return x.b == y.b;
      case ValueType::Number:
        return x.n == y.n;
      case ValueType::String:
        return x.s == y.s || x.s->text == y.s->text;
      case ValueType::Object:
        return x.o == y.o;
    }
  }
  if (x.IsNullish() && y.IsNullish()) return true;
  if (x.IsNullish() || y.IsNullish()) return false;
  if (depth > 4) return false;
  if (x.type == ValueType::Boolean) return LooseEquals(rt, Value::Number(x.b ? 1 : 0), y, depth + 1);
  if (y.type == ValueType::Boolean) return LooseEquals(rt, x, Value::Number(y.b ? 1 : 0), depth + 1);
  if (x.IsNumber() && y.IsString()) return x.n == rt.ToNumber(y);
  if (x.IsString() && y.IsNumber()) return rt.ToNumber(x) == y.n;
  if (x.IsObject()) return LooseEquals(rt, rt.ToPrimitive(x), y, depth + 1);
  if (y.IsObject()) return LooseEquals(rt, x, rt.ToPrimitive(y), depth + 1);
  return false;
}

bool StrictEquals(Value x, Value y) {
  if (x.type != y.type) return false;
  switch (x.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return true;
    case ValueType::Boolean:
      return x.b == y.b;
    case ValueType::Number:
      return x.n == y.n;
    case ValueType::String:
      return x.s->text == y.s->text;
    case ValueType::Object:
      return x.o == y.o;
  }
  return false;
}

// x < y as Less2 and Greater make it: true, false or undefined (NaN).
Value LessThan(Runtime& rt, Value x, Value y) {
  const Value px = rt.ToPrimitive(x), py = rt.ToPrimitive(y);
  if (px.IsString() && py.IsString()) return Value::Bool(px.s->text < py.s->text);
  const double a = rt.ToNumber(px), b = rt.ToNumber(py);
  if (std::isnan(a) || std::isnan(b)) return Value();
  return Value::Bool(a < b);
}

void Machine::DoBinary(std::uint8_t op) {
  const Value y = Pop();
  const Value x = Pop();
  switch (op) {
    case 0x0A:  // Add (numeric)
      Push(Value::Number(rt.ToNumber(x) + rt.ToNumber(y)));
      break;
    case 0x0B:
      Push(Value::Number(rt.ToNumber(x) - rt.ToNumber(y)));
      break;
    case 0x0C:
      Push(Value::Number(rt.ToNumber(x) * rt.ToNumber(y)));
      break;
    case 0x0D: {
      const double d = rt.ToNumber(y);
      if (d == 0 && rt.version < 5) {
        Push(rt.Str("#ERROR#"));
      } else {
        Push(Value::Number(rt.ToNumber(x) / d));
      }
      break;
    }
    case 0x0E:  // Equals (numeric)
      PushBool(rt.ToNumber(x) == rt.ToNumber(y));
      break;
    case 0x0F:  // Less (numeric)
      PushBool(rt.ToNumber(x) < rt.ToNumber(y));
      break;
    case 0x10:
      PushBool(rt.ToBoolean(x) && rt.ToBoolean(y));
      break;
    case 0x11:
      PushBool(rt.ToBoolean(x) || rt.ToBoolean(y));
      break;
    case 0x3F:  // Modulo: the dividend's sign
      Push(Value::Number(std::fmod(rt.ToNumber(x), rt.ToNumber(y))));
      break;
    case 0x47: {  // Add2
      const Value px = rt.ToPrimitive(x), py = rt.ToPrimitive(y);
      if (px.IsString() || py.IsString()) {
        std::string left = rt.ToString(px);
        const std::string right = rt.ToString(py);
        if (!rt.heap.Allows(left.size() + right.size())) throw ScriptStop{StopReason::Memory};
        left += right;
        Push(rt.Str(std::move(left)));
      } else {
        Push(Value::Number(rt.ToNumber(px) + rt.ToNumber(py)));
      }
      break;
    }
    case 0x48:  // Less2
      Push(LessThan(rt, x, y));
      break;
    case 0x67:  // Greater
      Push(LessThan(rt, y, x));
      break;
    case 0x49:
      Push(Value::Bool(LooseEquals(rt, x, y)));
      break;
    case 0x66:
      Push(Value::Bool(StrictEquals(x, y)));
      break;
    case 0x60:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) & ToInt32(rt.ToNumber(y))));
      break;
    case 0x61:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) | ToInt32(rt.ToNumber(y))));
      break;
    case 0x62:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) ^ ToInt32(rt.ToNumber(y))));
      break;
    case 0x63:
      Push(Value::Number(static_cast<std::int32_t>(ToUint32(rt.ToNumber(x)) << (ToUint32(rt.ToNumber(y)) & 31))));
      break;
    case 0x64:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) >> (ToUint32(rt.ToNumber(y)) & 31)));
      break;
    case 0x65:
      Push(Value::Number(ToUint32(rt.ToNumber(x)) >> (ToUint32(rt.ToNumber(y)) & 31)));
      break;
    case 0x13:  // StringEquals
      PushBool(rt.ToString(x) == rt.ToString(y));
      break;
    case 0x29:  // StringLess
      PushBool(rt.ToString(x) < rt.ToString(y));
      break;
    case 0x68:  // StringGreater
      PushBool(rt.ToString(x) > rt.ToString(y));
      break;
    case 0x21: {  // StringAdd
      std::string left = rt.ToString(x);
      const std::string right = rt.ToString(y);
      if (!rt.heap.Allows(left.size() + right.size())) throw ScriptStop{StopReason::Memory};
      left += right;
      Push(rt.Str(std::move(left)));
      break;
    }
    default:
      break;
  }
}

void Machine::DoStringAction(std::uint8_t op) {
  switch (op) {
    case 0x14:    // StringLength
    case 0x31: {  // MBStringLength
      const Value s = rt.ToStringValue(Pop());
      Push(Value::Number(static_cast<double>(CharCount(s.s->text, s.s->ascii))));
      break;
    }
    case 0x15:    // StringExtract: string, index (from 1), count
    case 0x35: {  // MBStringExtract
      const double count = PopNumber();
      const double index = PopNumber();
      const Value s = rt.ToStringValue(Pop());
      const double start = std::isnan(index) || index < 1 ? 0 : std::floor(index) - 1;
      const std::size_t n = std::isnan(count) || count < 0 ? std::string::npos
                            : count > 1e9                 ? std::string::npos
                                                          : static_cast<std::size_t>(count);
      Push(rt.Str(start > 1e9 ? std::string() : CharSlice(s.s->text, s.s->ascii, static_cast<std::size_t>(start), n)));
      break;
    }
    case 0x32:    // CharToAscii
    case 0x36: {  // MBCharToAscii
      const Value s = rt.ToStringValue(Pop());
      const std::u32string chars = DecodeText(CharSlice(s.s->text, s.s->ascii, 0, 1));
      Push(Value::Number(chars.empty() ? 0 : static_cast<double>(chars[0])));
      break;
    }
    case 0x33:    // AsciiToChar
    case 0x37: {  // MBAsciiToChar
      const std::uint32_t code = ToUint32(PopNumber()) & 0x1FFFFF;
      std::string out;
      if (code != 0 && code <= 0x10FFFF) AppendChar(out, static_cast<char32_t>(code));
      Push(rt.Str(std::move(out)));
      break;
    }
    default:
      break;
  }
}

void Machine::DoClipAction(std::uint8_t op) {
  switch (op) {
    case 0x22: {  // GetProperty: target, index
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
    case 0x23: {  // SetProperty: target, index, value
      const Value v = Pop();
      const double index = PopNumber();
      const Value target = Pop();
      const Value clip = target.IsString() ? Target(target.s->text) : target;
      if (index >= 0 && index < std::size(kPropertyNames) && clip.IsObject())
        rt.SetMember(clip, kPropertyNames[static_cast<std::size_t>(index)], v);
      break;
    }
    case 0x24: {  // CloneSprite: source, target name, depth (as the file counts)
      const double depth = PopNumber();
      const std::string name = PopString();
      const Value source = Pop();
      Clip* c = rt.ClipOf(source.IsString() ? Target(source.s->text) : source);
      if (c && std::isfinite(depth) && std::fabs(depth) < 2e9) c->Duplicate(name, static_cast<int>(depth) - 16384);
      break;
    }
    case 0x25: {  // RemoveSprite
      const Value target = Pop();
      if (Clip* c = rt.ClipOf(target.IsString() ? Target(target.s->text) : target)) c->Remove();
      break;
    }
    case 0x27: {  // StartDrag: nothing to drag on a clock face
      Pop();
      Pop();
      if (rt.ToBoolean(Pop()))
        for (int i = 0; i < 4; ++i) Pop();
      break;
    }
    default:
      break;
  }
}

Completion Machine::DoWith(std::size_t bodyBegin, std::size_t bodyEnd, std::size_t& jumpOut) {
  const Value target = Pop();
  NestGuard guard(rt);
  Scope* saved = a.scope;
  if (Object* o = target.AsObject()) a.scope = rt.heap.Make<Scope>(a.scope, o);
  Completion c;
  try {
    c = Run(bodyBegin, bodyEnd, jumpOut);
  } catch (...) {
    a.scope = saved;
    throw;
  }
  a.scope = saved;
  return c;
}

Completion Machine::DoTry(Reader r, std::size_t next, std::size_t end, std::size_t& after, std::size_t& jumpOut) {
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
        if (catchRegister < a.registers.size()) a.registers[catchRegister] = thrown.value;
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

Completion Machine::Run(std::size_t begin, std::size_t end, std::size_t& jumpOut) {
  std::size_t pc = begin;
  // Lands a jump: inside this range it goes on, at its end it finishes,
  // elsewhere the range around decides.
  const auto land = [&](std::size_t target, Completion& c) {
    if (target >= begin && target < end) {
      pc = target;
      return false;
    }
    c = target == end ? Completion::Normal : Completion::JumpOut;
    jumpOut = target;
    return true;
  };
  while (pc < end) {
    rt.CountAction();
    if (rt.stack.size() > kMaxStack) throw ScriptStop{StopReason::Stack};
    const std::uint8_t op = a.code[pc];
    if (op == 0) return Completion::Normal;
    std::size_t data = pc + 1, len = 0;
    if (op >= 0x80) {
      if (end - pc < 3) throw MalformedBlock{};
      len = a.code[pc + 1] | (a.code[pc + 2] << 8);
      data = pc + 3;
      if (len > end - data) throw MalformedBlock{};
    }
    std::size_t next = data + len;
    Reader r(a.code + data, len);
    switch (op) {
      // Timeline control.
      case 0x04:
        if (Clip* c = TargetClip()) c->GotoFrame(c->CurrentFrame() + 1, false);
        break;
      case 0x05:
        if (Clip* c = TargetClip(); c && c->CurrentFrame() > 1) c->GotoFrame(c->CurrentFrame() - 1, false);
        break;
      case 0x06:
        if (Clip* c = TargetClip()) c->Play();
        break;
      case 0x07:
        if (Clip* c = TargetClip()) c->Stop();
        break;
      case 0x08:  // ToggleQuality
      case 0x09:  // StopSounds
      case 0x28:  // EndDrag
      case 0x83:  // GetURL: no way out
      case 0x8A:  // WaitForFrame: every frame is loaded
        break;
      case 0x81:
        if (Clip* c = TargetClip()) c->GotoFrame(r.U16() + 1, false);
        break;
      case 0x8C:
        if (Clip* c = TargetClip())
          if (const auto f = c->FrameOfLabel(r.Str())) c->GotoFrame(*f, false);
        break;
      case 0x9F:
        DoGotoFrame2(r);
        break;
      case 0x8D:  // WaitForFrame2
        Pop();
        break;
      case 0x9A:  // GetURL2: no way out
        Pop();
        Pop();
        break;
      case 0x8B:
        DoSetTarget(rt.Str(r.Str()));
        break;
      case 0x20:
        DoSetTarget(Pop());
        break;
      case 0x9E:
        DoCallFrame();
        break;

      // Stack and arithmetic.
      case 0x96:
        DoPush(r);
        break;
      case 0x17:
        Pop();
        break;
      case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x10: case 0x11:
      case 0x13: case 0x21: case 0x29: case 0x3F: case 0x47: case 0x48: case 0x49: case 0x60:
      case 0x61: case 0x62: case 0x63: case 0x64: case 0x65: case 0x66: case 0x67: case 0x68:
        DoBinary(op);
        break;
      case 0x12:
        PushBool(!rt.ToBoolean(Pop()));
        break;
      case 0x14: case 0x15: case 0x31: case 0x32: case 0x33: case 0x35: case 0x36: case 0x37:
        DoStringAction(op);
        break;
      case 0x18:
        Push(Value::Number(ToInt32(PopNumber())));
        break;
      case 0x4A:
        Push(Value::Number(PopNumber()));
        break;
      case 0x4B:
        Push(rt.ToStringValue(Pop()));
        break;
      case 0x50:
        Push(Value::Number(PopNumber() + 1));
        break;
      case 0x51:
        Push(Value::Number(PopNumber() - 1));
        break;
      case 0x4C: {
        const Value v = Pop();
        Push(v);
        Push(v);
        break;
      }
      case 0x4D: {
        const Value y = Pop(), x = Pop();
        Push(y);
        Push(x);
        break;
      }
      case 0x87: {
        const std::uint8_t reg = r.U8();
        const Value v = rt.stack.size() > a.stackBase ? rt.stack.back() : Value();
        if (reg < a.registers.size()) a.registers[reg] = v;
        break;
      }
      case 0x30: {  // RandomNumber
        const std::int32_t max = ToInt32(PopNumber());
        Push(Value::Number(max <= 0 ? 0 : static_cast<double>(rt.random() % static_cast<std::uint32_t>(max))));
        break;
      }
      case 0x34:
        Push(Value::Number(rt.host.timerMs ? std::floor(rt.host.timerMs()) : 0));
        break;
      case 0x26: {  // Trace
        const Value v = Pop();
        rt.Trace(v.IsUndefined() ? "undefined" : rt.ToString(v));
        break;
      }
      case 0x44:
        Push(rt.Str(rt.TypeOf(Pop())));
        break;
      case 0x45: {
        const Value v = Pop();
        Clip* c = rt.ClipOf(v);
        Push(c ? rt.Str(rt.DotPath(c)) : Value());
        break;
      }

      // Branches.
      case 0x99:
      case 0x9D: {
        const auto offset = static_cast<std::int16_t>(r.U16());
        if (op == 0x9D && !rt.ToBoolean(Pop())) break;
        const std::int64_t target = static_cast<std::int64_t>(next) + offset;
        if (target < 0) throw MalformedBlock{};
        Completion c;
        if (land(static_cast<std::size_t>(target), c)) return c;
        continue;
      }

      // Variables and members.
      case 0x88:
        DoConstantPool(r);
        break;
      case 0x1C: {
        const Value name = Pop();
        std::string buffer;
        Push(GetVariable(rt.KeyOf(name, buffer)));
        break;
      }
      case 0x1D: {
        const Value v = Pop();
        const Value name = Pop();
        std::string buffer;
        SetVariable(rt.KeyOf(name, buffer), v);
        break;
      }
      case 0x3C: {
        const Value v = Pop();
        const Value name = Pop();
        std::string buffer;
        DefineLocal(rt.KeyOf(name, buffer), v);
        break;
      }
      case 0x41: {
        const Value name = Pop();
        std::string buffer;
        const std::string_view n = rt.KeyOf(name, buffer);
        Object* where = a.locals ? a.locals : Timeline();
        if (where && !rt.HasOwn(where, n)) rt.SetMember(Value::Obj(where), n, Value());
        break;
      }
      case 0x4E: {
        const Value name = Pop();
        const Value target = Pop();
        if (name.IsNumber() && target.IsObject() && target.o->cls == ObjectClass::Array && name.n >= 0 &&
            name.n == std::floor(name.n)) {
          const auto& elements = static_cast<ArrayObject*>(target.o)->elements;
          if (name.n < static_cast<double>(elements.size())) {
            Push(elements[static_cast<std::size_t>(name.n)]);
            break;
          }
        }
        std::string buffer;
        Push(rt.GetMember(target, rt.KeyOf(name, buffer)));
        break;
      }
      case 0x4F: {
        const Value v = Pop();
        const Value name = Pop();
        const Value target = Pop();
        std::string buffer;
        rt.SetMember(target, rt.KeyOf(name, buffer), v);
        break;
      }
      case 0x3A: {
        const Value name = Pop();
        const Value target = Pop();
        std::string buffer;
        Push(Value::Bool(rt.DeleteMember(target, rt.KeyOf(name, buffer))));
        break;
      }
      case 0x3B: {
        const Value name = Pop();
        std::string buffer;
        const std::string_view n = rt.KeyOf(name, buffer);
        bool deleted = false;
        for (Scope* s = a.scope; s; s = s->parent) {
          if (rt.HasOwn(s->object, n)) {
            deleted = rt.DeleteMember(Value::Obj(s->object), n);
            break;
          }
        }
        Push(Value::Bool(deleted));
        break;
      }
      case 0x42: {  // InitArray
        std::vector<Value> elements = PopArgs();
        Push(Value::Obj(rt.NewArray(elements)));
        break;
      }
      case 0x43: {  // InitObject
        const double n = PopNumber();
        Object* o = rt.NewObject();
        std::size_t count = n > 0 ? static_cast<std::size_t>(std::min(n, 1e9)) : 0;
        count = std::min(count, (rt.stack.size() - a.stackBase) / 2);
        std::string buffer;
        for (std::size_t i = 0; i < count; ++i) {
          const Value v = Pop();
          const Value name = Pop();
          rt.SetMember(Value::Obj(o), rt.KeyOf(name, buffer), v);
        }
        Push(Value::Obj(o));
        break;
      }
      case 0x46: {
        const Value name = Pop();
        std::string buffer;
        DoEnumerate(GetVariable(rt.KeyOf(name, buffer)));
        break;
      }
      case 0x55:
        DoEnumerate(Pop());
        break;

      // Functions and objects.
      case 0x9B:
      case 0x8E:
        next = DoDefineFunction(r, next, end, op == 0x8E);
        break;
      case 0x3D:
        DoCallFunction();
        break;
      case 0x52:
        DoCallMethod();
        break;
      case 0x40:
        DoNew(false);
        break;
      case 0x53:
        DoNew(true);
        break;
      case 0x3E:
        a.returnValue = Pop();
        return Completion::Return;
      case 0x54: {  // InstanceOf
        const Value ctor = Pop();
        const Value v = Pop();
        Push(Value::Bool(rt.InstanceOf(v, ctor.AsObject())));
        break;
      }
      case 0x2B: {  // CastOp
        const Value v = Pop();
        const Value ctor = Pop();
        Push(rt.InstanceOf(v, ctor.AsObject()) ? v : Value::Null());
        break;
      }
      case 0x2C: {  // ImplementsOp
        const Value ctor = Pop();
        std::vector<Value> interfaces = PopArgs();
        if (Object* c = ctor.AsObject(); c && c->cls == ObjectClass::Function) {
          auto& list = static_cast<FunctionObject*>(c)->interfaces;
          list.clear();
          for (const Value& i : interfaces)
            if (Object* o = i.AsObject()) list.push_back(o);
        }
        break;
      }
      case 0x69: {  // Extends
        const Value superclass = Pop();
        const Value subclass = Pop();
        if (subclass.IsObject() && superclass.IsObject()) {
          Object* proto = rt.NewObject(rt.GetMember(superclass, "prototype").AsObject());
          rt.DefineValue(proto, "__constructor__", superclass);
          rt.SetMember(subclass, "prototype", Value::Obj(proto));
        }
        break;
      }
      case 0x2A:
        throw ScriptThrow{Pop()};

      // Nested ranges.
      case 0x94: {
        const std::size_t size = r.U16();
        if (size > end - next) throw MalformedBlock{};
        std::size_t target = 0;
        const Completion c = DoWith(next, next + size, target);
        if (c == Completion::Return) return c;
        if (c == Completion::JumpOut) {
          Completion out;
          if (land(target, out)) return out;
          continue;
        }
        next += size;
        break;
      }
      case 0x8F: {
        std::size_t after = 0, target = 0;
        const Completion c = DoTry(r, next, end, after, target);
        if (c == Completion::Return) return c;
        if (c == Completion::JumpOut) {
          Completion out;
          if (land(target, out)) return out;
          continue;
        }
        next = after;
        break;
      }

      case 0x22: case 0x23: case 0x24: case 0x25: case 0x27:
        DoClipAction(op);
        break;

      default:
        // An action this engine does not know: skipped by its length.
        break;
    }
    pc = next;
  }
  return Completion::Normal;
}

}  // namespace

void RunTopLevelBlock(Runtime& rt, ClipObject* clip, const ActionBytes& code) {
  if (!code || code->empty()) return;
  Activation a;
  a.code = code->data();
  a.size = code->size();
  a.keep = code;
  a.self = Value::Obj(clip);
  a.base = a.target = clip;
  a.scope = a.baseScope = clip->timelineScope;
  a.registers.resize(4);
  a.stackBase = rt.stack.size();
  Machine m(rt, a);
  std::size_t jumpOut = 0;
  try {
    m.Run(0, a.size, jumpOut);
  } catch (...) {
    rt.stack.resize(a.stackBase);
    throw;
  }
  rt.stack.resize(a.stackBase);
}

Value CallScriptFunction(Runtime& rt, FunctionObject* fn, Value self, std::span<const Value> args, Object* home) {
  if (!fn->code) return Value();
  DepthGuard depth(rt);
  Activation a;
  a.code = fn->code->data();
  a.size = fn->code->size();
  a.keep = fn->code;
  a.self = self;
  a.base = a.target = fn->base && fn->base->clip ? fn->base : (rt.root ? rt.ObjectFor(*rt.root) : nullptr);
  a.locals = rt.heap.Make<Object>(nullptr);
  a.scope = a.baseScope = rt.heap.Make<Scope>(fn->scope ? fn->scope : rt.globalScope, a.locals);
  a.pool = fn->pool;
  a.callee = fn;
  a.home = home;
  a.args = args;
  a.stackBase = rt.stack.size();
  Machine m(rt, a);
  if (fn->function2) {
    a.registers.resize(std::max<std::size_t>(fn->registerCount, 1));
    std::size_t next = 1;
    const auto preload = [&](Value v) {
      if (next < a.registers.size()) a.registers[next] = v;
      ++next;
    };
    const std::uint16_t f = fn->flags2;
    if (f & kPreloadThis) preload(self);
    if (f & kPreloadArguments) {
      ArrayObject* list = rt.NewArray(args);
      rt.DefineValue(list, "callee", Value::Obj(fn));
      a.arguments = Value::Obj(list);
      preload(a.arguments);
    }
    if (f & kPreloadSuper) {
      Object* superHome = home ? home : (self.IsObject() ? self.o->proto : nullptr);
      preload(Value::Obj(rt.heap.Make<SuperObject>(nullptr, self, superHome)));
    }
    if (f & kPreloadRoot) preload(rt.ClipValue(rt.root));
    if (f & kPreloadParent) preload(a.base && a.base->clip ? rt.ClipValue(a.base->clip->Parent()) : Value());
    if (f & kPreloadGlobal) preload(Value::Obj(rt.global));
    for (std::size_t i = 0; i < fn->params.size(); ++i) {
      const Value v = Arg(args, i);
      const std::uint8_t reg = fn->paramRegisters[i];
      if (reg != 0) {
        if (reg < a.registers.size()) a.registers[reg] = v;
      } else {
        rt.SetMember(Value::Obj(a.locals), fn->params[i], v);
      }
    }
  } else {
    a.registers.resize(4);
    for (std::size_t i = 0; i < fn->params.size(); ++i) rt.SetMember(Value::Obj(a.locals), fn->params[i], Arg(args, i));
  }
  std::size_t jumpOut = 0;
  Completion c;
  try {
    c = m.Run(fn->begin, fn->end, jumpOut);
  } catch (...) {
    rt.stack.resize(a.stackBase);
    throw;
  }
  rt.stack.resize(a.stackBase);
  return c == Completion::Return ? a.returnValue : Value();
}

}  // namespace dc::swf::avm1

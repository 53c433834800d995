// The engine's state and the operations every part of it shares: making
// strings and objects, the conversions, reading and writing members through
// prototypes and clips, calling functions, and the limits a face's scripts
// run under. The interpreter and the built-in objects work on it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/clip.h"
#include "swf/avm1/engine.h"
#include "swf/avm1/heap.h"
#include "swf/avm1/object.h"
#include "swf/avm1/value.h"

namespace dc::swf::avm1 {

// Why a frame's scripts stop.
enum class StopReason { Budget, Memory, CallDepth, Stack };
// Thrown through the interpreter and natives to the engine's entry point.
struct ScriptStop {
  StopReason reason;
};
// `throw` in a script; caught by Try or by the entry point.
struct ScriptThrow {
  Value value;
};
// A block that cannot be read on (a length or jump out of range): the block
// stops, the frame goes on.
struct MalformedBlock {};

struct Interval {
  Value function;      // a function, or the object of the object+method form
  std::string method;  // the method's name for the object form
  std::vector<Value> args;
  double periodMs = 0;
  double dueMs = 0;
  bool once = false;  // setTimeout
  bool scheduled = false;  // due time set from the player's clock
};

// Counts a native's nesting (toString calling toString, arrays holding
// themselves) against the call depth.
class Runtime;
struct HostState;  // host_objects.h
struct DepthGuard {
  explicit DepthGuard(Runtime& r);
  ~DepthGuard();
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
  Runtime& rt;
};

inline Value Arg(std::span<const Value> args, std::size_t i) { return i < args.size() ? args[i] : Value(); }

class Runtime {
 public:
  Runtime(int swfVersion, Host host, ScriptLimits limits);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // Strings and objects.
  Value Str(std::string_view s);
  Value Str(std::string&& s);
  Value Str(const char* s) { return Str(std::string_view(s)); }
  // A string the code pushes: short ones are shared until the next
  // collection, so a loop does not make a new cell per pass.
  Value Literal(std::string_view s);
  Object* NewObject(Object* prototype);
  Object* NewObject() { return NewObject(objectProto); }
  ArrayObject* NewArray(std::span<const Value> elements = {});
  FunctionObject* NewNative(NativeFunction fn, NativeConstructor construct = nullptr);
  // A native method as a hidden property of `owner`.
  FunctionObject* DefineMethod(Object* owner, std::string_view name, NativeFunction fn);
  void DefineValue(Object* owner, std::string_view name, Value v, std::uint8_t flags = kDontEnum);

  // Conversions, as the movie's version makes them.
  double ToNumber(Value v);
  bool ToBoolean(Value v);
  std::string ToString(Value v);
  Value ToStringValue(Value v);  // a string value, the same cell for strings
  Value ToPrimitive(Value v, bool preferString = false);
  std::string_view TypeOf(Value v);
  // A member's name from a value, without making a string cell.
  std::string_view KeyOf(Value v, std::string& buffer);
  // For methods called on primitives: the object whose prototype holds them.
  Object* ToObject(Value v);

  // Members: through prototypes, getters and setters, and clips.
  Value GetMember(Value target, std::string_view name);
  // GetMember on an object that says whether the name was there at all.
  bool TryGet(Object* o, std::string_view name, Value& out);
  void SetMember(Value target, std::string_view name, Value v);
  bool DeleteMember(Value target, std::string_view name);
  // The property on `o` or its prototypes; `where` the object holding it.
  Property* FindProperty(Object* o, std::string_view name, Object** where = nullptr);
  bool HasOwn(Object* o, std::string_view name);
  // Whether `name` is on `o` or its prototypes (no getter is called).
  bool HasMember(Object* o, std::string_view name);
  // Names a for-in sees, own and inherited, nearest first, each once.
  std::vector<std::string> EnumerableNames(Object* o);
  bool InstanceOf(Value v, Object* constructor);

  // Calls. `home` is the prototype the method was found on (for super).
  Value Call(Value function, Value self, std::span<const Value> args, Object* home = nullptr);
  Value CallMethod(Value target, std::string_view name, std::span<const Value> args);
  Value Construct(Value constructor, std::span<const Value> args);

  // Clips.
  ClipObject* ObjectFor(Clip& clip);
  // The object and member a text field's variable names ("time",
  // "_root.clock:time", "/clock:time", "clock.time") from its timeline.
  bool BoundVariable(ClipObject* owner, std::string_view name, Value& holder, std::string_view& member);
  // A text field with a variable is bound from now on (once).
  void BindTextField(ClipObject* field);
  Value ClipValue(Clip* clip) { return clip ? Value::Obj(ObjectFor(*clip)) : Value(); }
  static Clip* ClipOf(Value v);
  // A target path ("/clock/hour", "_root.clock", "../x", "_level0") from
  // `base`; undefined when nothing is there.
  Value ResolveTarget(ClipObject* base, std::string_view path);
  std::string DotPath(const Clip* clip) const;
  std::string SlashPath(const Clip* clip) const;
  Clip* Level(std::string_view name) const;  // _level0 is the root

  // The limits. Each action counts against the frame's budget.
  void CountAction() {
    if (++actions > limits.actionsPerFrame) throw ScriptStop{StopReason::Budget};
    if (heap.Exceeded()) throw ScriptStop{StopReason::Memory};
  }
  // A native's work on `n` elements counts against the budget too (an
  // eighth of an action each), so that a sort of a long array every frame
  // stops like a loop does.
  void CountWork(std::uint64_t n) {
    actions += n / 8;
    if (actions > limits.actionsPerFrame) throw ScriptStop{StopReason::Budget};
  }
  void CheckMemory() {
    if (heap.Exceeded()) throw ScriptStop{StopReason::Memory};
  }
  void WarnOnce(int key, std::string_view text);
  void Trace(std::string_view text);

  // The local time seam: ms since 1970 UTC and the offset in minutes.
  double NowMs();
  int UtcOffsetMinutes();

  // Runs a top-level block (frame script, clip event) on `clip`.
  void RunBlock(ClipObject* clip, const ActionBytes& code);
  // Runs a block or a call from the engine's entry points: stops and
  // uncaught throws end here.
  template <class F>
  void Guarded(F&& body);
  void CollectGarbage();

  const int version;
  const bool caseSensitive;
  Host host;
  ScriptLimits limits;
  Heap heap;
  ScriptStats stats;

  Object* global = nullptr;
  Scope* globalScope = nullptr;
  Object* objectProto = nullptr;
  Object* functionProto = nullptr;
  Object* arrayProto = nullptr;
  Object* stringProto = nullptr;
  Object* numberProto = nullptr;
  Object* booleanProto = nullptr;
  Object* dateProto = nullptr;
  Object* clipProto = nullptr;
  Object* textFieldProto = nullptr;
  Object* textFormatProto = nullptr;
  Object* errorProto = nullptr;
  Object* stubObject = nullptr;  // what the no-way-out classes give back
  Object* xmlNodeClass = nullptr;  // XMLNode, whose prototype parsed nodes get
  FunctionObject* arrayCtor = nullptr;
  StringCell* emptyString = nullptr;

  std::vector<Value> stack;
  int callDepth = 0;
  int nesting = 0;
  std::uint64_t actions = 0;
  bool frameStopped = false;
  bool running = false;
  Clip* root = nullptr;
  std::unordered_map<Clip*, ClipObject*> clips;
  std::map<int, Interval> intervals;
  int nextIntervalId = 1;
  std::mt19937 random;
  // The host objects' own state (host_objects.h).
  std::unique_ptr<HostState> hostState;
  // The timeline the running code belongs to (a block's clip, a script
  // function's defining clip): where a host object resolves a target path
  // it was given earlier (Sound).
  ClipObject* scriptBase = nullptr;

 private:
  std::unordered_map<std::string_view, StringCell*> literals_;
  void Stop(StopReason reason);
  std::uint32_t warned_ = 0;
  double fallbackNow_ = 0;
};

template <class F>
void Runtime::Guarded(F&& body) {
  if (stats.scriptsStopped || frameStopped) return;
  const std::size_t stackSize = stack.size();
  const bool outer = !running;
  running = true;
  try {
    body();
  } catch (const ScriptStop& stop) {
    Stop(stop.reason);
  } catch (const ScriptThrow&) {
    // An uncaught throw ends the block, as in Flash.
  } catch (const MalformedBlock&) {
  }
  if (outer) {
    running = false;
    callDepth = 0;
    nesting = 0;
  }
  stack.resize(stackSize);
}

inline DepthGuard::DepthGuard(Runtime& r) : rt(r) {
  if (++rt.callDepth > rt.limits.maxCallDepth) {
    --rt.callDepth;
    throw ScriptStop{StopReason::CallDepth};
  }
}
inline DepthGuard::~DepthGuard() { --rt.callDepth; }

// The built-in objects, each file one family.
void InstallObjectBuiltins(Runtime& rt);
void InstallArrayBuiltins(Runtime& rt);
void InstallStringBuiltins(Runtime& rt);
void InstallMathBuiltins(Runtime& rt);
void InstallDateBuiltins(Runtime& rt);
void InstallGlobalFunctions(Runtime& rt);
void InstallClipBuiltins(Runtime& rt);
void InstallColorBuiltins(Runtime& rt);
void InstallTextFormatBuiltins(Runtime& rt);  // after the clip builtins; TextField's too
void InstallTextFieldBuiltins(Runtime& rt);
void InstallXmlBuiltins(Runtime& rt);
void InstallLoadVarsBuiltins(Runtime& rt);
void InstallFlash8Builtins(Runtime& rt);  // flash.geom, flash.display, flash.filters (geom_objects.h)

}  // namespace dc::swf::avm1

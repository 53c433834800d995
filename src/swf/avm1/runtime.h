// The engine's state and the operations every part of it shares: making
// strings and objects, the conversions, reading and writing members through
// prototypes and clips, calling functions, and the limits a face's scripts
// run under. The interpreter and the built-in objects work on it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
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

// Why a frame's scripts stop: each a limit of ScriptLimits, warned of by
// its name once.
enum class StopReason { Budget, Memory, CallDepth, Stack, Nesting, ProtoChain };
// Thrown through the interpreter and natives to the engine's entry point.
struct ScriptStop {
  StopReason reason;
};
// `throw` in a script; caught by Try or by the entry point.
struct ScriptThrow {
  Value value;
};

// A script function's call as the runtime sees it, innermost first: what
// ASnew, arguments.caller and a register past a function's own read.
struct CallFrame {
  FunctionObject* callee = nullptr;  // null for a frame script or event
  bool constructing = false;         // called by `new`
  std::vector<Value>* registers = nullptr;  // the block's four registers
  CallFrame* previous = nullptr;
};

// A built-in class whose instances hold state of their own: `new` on a
// script class below it makes one of its instances (with the script
// class's prototype), and the script constructor's super() sets that
// instance up as the built-in constructor would.
struct NativeClass {
  NativeConstructor allocate;
  // Sets up `self`, already an instance, from super()'s arguments.
  void (*init)(Runtime&, Object* self, std::span<const Value> args) = nullptr;
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
  // The frame it last ran in and how often then: one behind the timer
  // catches up only so far.
  std::uint64_t frame = 0;
  int runsThisFrame = 0;
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
  void DefineValue(Object* owner, std::string_view name, Value v, std::uint16_t flags = kDontEnum);
  // A getter and setter (the setter may be undefined) as `owner`'s
  // property; a plain property of the name keeps its value.
  Property& DefineAccessor(Object* owner, std::string_view name, Value getter, Value setter,
                           std::uint16_t flags = kDontEnum);

  // Conversions, as the movie's version makes them.
  double ToNumber(Value v);
  bool ToBoolean(Value v);
  std::string ToString(Value v);
  Value ToStringValue(Value v);  // a string value, the same cell for strings
  Value ToPrimitive(Value v, bool preferString = false);
  // An object's string: its toString's result when a string, else
  // "[type Object]" ("[type Function]"); a clip's path.
  Value ObjectToString(Value v);
  std::string_view TypeOf(Value v);
  // A member's name from a value, without making a string cell.
  std::string_view KeyOf(Value v, std::string& buffer);
  // For methods called on primitives: the object whose prototype holds them.
  Object* ToObject(Value v);

  // Members: through prototypes, getters and setters, watchers, clips and,
  // for a name found nowhere, __resolve.
  Value GetMember(Value target, std::string_view name);
  // GetMember on an object that says whether the name was there at all
  // (no __resolve).
  bool TryGet(Object* o, std::string_view name, Value& out);
  void SetMember(Value target, std::string_view name, Value v);
  bool DeleteMember(Value target, std::string_view name);
  // The property a movie of this version sees on `o` or its prototypes;
  // `where` the object holding it.
  Property* FindProperty(Object* o, std::string_view name, Object** where = nullptr);
  // Whether a movie of this version sees the property at all.
  bool Visible(const Property& p) const { return !(p.flags & hiddenFlags); }
  bool HasOwn(Object* o, std::string_view name);
  // Whether `name` is on `o` or its prototypes (no getter is called).
  bool HasMember(Object* o, std::string_view name);
  // Names a for-in sees, own and inherited, each once, in the order it
  // reads them: the prototypes' before the object's own, each object's
  // newest first. Counts against the budget.
  std::vector<std::string> EnumerableNames(Object* o);
  bool InstanceOf(Value v, Object* constructor);
  // watch() and unwatch() on `o`.
  bool Watch(Object* o, std::string_view name, Value callback, Value userData);
  bool Unwatch(Object* o, std::string_view name);

  // Calls. `home` decides what `super` is in a script function: the
  // object above it (by default the prototype above `this`'s).
  Value Call(Value function, Value self, std::span<const Value> args, Object* home = nullptr,
             bool constructing = false);
  Value CallMethod(Value target, std::string_view name, std::span<const Value> args);
  Value Construct(Value constructor, std::span<const Value> args);
  // A built-in class that script classes may extend (see NativeClass).
  void RegisterNativeClass(Object* prototype, NativeClass c);

  // Clips.
  ClipObject* ObjectFor(Clip& clip);
  // The object and member a text field's variable names ("time",
  // "_root.clock:time", "/clock:time", "clock.time") from its timeline.
  bool BoundVariable(ClipObject* owner, std::string_view name, Value& holder, std::string_view& member);
  // A text field with a variable is bound from now on (once).
  void BindTextField(ClipObject* field);
  // A text field takes a text of `textBytes` through `take`: what it may
  // hold for it is charged first (a stop when it does not fit), and what
  // it grew by once taken.
  void TakeFieldText(Clip& field, std::size_t textBytes, const std::function<void()>& take);
  Value ClipValue(Clip* clip) { return clip ? Value::Obj(ObjectFor(*clip)) : Value(); }
  // The clip a value refers to while it is on its list (null after).
  static Clip* ClipOf(Value v);
  // The clip a reference reaches: its own, or once that was taken away,
  // the clip now at the path it had (one placed again under the same
  // name); null when none is there.
  Clip* Resolve(ClipObject* o);
  Clip* LiveClip(Value v);
  ClipObject* LiveAgain(ClipObject* o);
  // The object of the clip `o` reaches (`o` itself while its clip lives).
  // Every variable look-up asks, so the common case is inline.
  ClipObject* Live(ClipObject* o) {
    if (!o->removed) return o->clip ? o : nullptr;
    return LiveAgain(o);
  }
  // A target path ("/clock/hour", "_root.clock", "clock:hand", "../x",
  // "_level0") from `base`, read as the movie's version reads it
  // (target_path.cpp); undefined when nothing is there.
  Value ResolveTarget(ClipObject* base, std::string_view path);
  // The same for the holder of a variable path ("a.b" of "a.b.c"): the
  // first name may also be found by `first` (this, a variable of the
  // scope), when that gives an object.
  using PathFirst = std::function<bool(std::string_view name, Value& out)>;
  Value ResolvePath(ClipObject* base, std::string_view path, const PathFirst* first);
  std::string DotPath(const Clip* clip) const;
  std::string SlashPath(const Clip* clip) const;
  // Whether `name` is a level's name ("_level" or its old "_flash", then a
  // number read as far as it goes, wrapped to 32 bits); `level` is the
  // level it names, null for one the player has not (only _level0, the
  // root, is there).
  bool IsLevelName(std::string_view name, Clip*& level) const;
  // The root as code running on `clip` sees it (a clip taken away has its
  // own topmost clip for a root).
  Clip* RootOf(Clip* clip) const;

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
  // A limit of ScriptLimits that does not stop the frame spoke: said once,
  // by its name and value, and what the script gets instead.
  enum class Cap { AccessorNesting = 8, IntervalRuns, AmfNesting, MessageBytes, Connections, SharedObjects,
                   SharedObjectBytes };
  void Capped(Cap cap, std::string_view outcome);
  void Trace(std::string_view text);
  // A script's throw inside a conversion a native made: the native goes
  // on with what it had, and the interpreter throws once the action is done.
  void DeferThrow(const ScriptThrow& t) {
    if (!pendingThrow) pendingThrow = t.value;
  }
  void ThrowPending() {
    if (pendingThrow) {
      const Value v = *pendingThrow;
      pendingThrow.reset();
      throw ScriptThrow{v};
    }
  }
  // The trace Flash gives a throw no script caught.
  void ReportUncaught(Value thrown);

  // The local time seam: ms since 1970 UTC and the offset in minutes.
  double NowMs();
  int UtcOffsetMinutes();

  // Runs a top-level block (frame script, clip event) on `clip`. Blocks
  // the player runs one after another share the stack: what one leaves
  // the next finds (a block run inside another has a stack of its own).
  void RunBlock(ClipObject* clip, const ActionBytes& code);
  // Runs a block or a call from the engine's entry points: stops and
  // uncaught throws end here.
  // `keepStack`: an outermost block's leftovers stay for the next block.
  template <class F>
  void Guarded(F&& body, bool keepStack = false);
  void CollectGarbage();

  const int version;
  const bool caseSensitive;
  const std::uint16_t hiddenFlags;  // the property flags that hide from this version
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
  Object* buttonProto = nullptr;  // SWF 6 on
  Object* mouse = nullptr;        // Mouse, whose listeners hear the pointer
  Object* textFieldProto = nullptr;
  Object* textFormatProto = nullptr;
  Object* errorProto = nullptr;
  Object* stubObject = nullptr;  // what the no-way-out classes give back
  // Object.registerClass: the constructor of each symbol's clips, by export
  // name (folded when names are not case-sensitive).
  std::unordered_map<std::string, Object*> registeredClasses;
  std::string ClassKey(std::string_view exportName) const;
  Object* RegisteredClass(const Clip& clip) const;
  // Runs the registered constructor on a clip's object (its prototype was
  // set when the object was made).
  void ConstructClip(Clip& clip);
  // _soundbuftime: the seconds of sound buffered before a stream plays,
  // kept for scripts to read back (nothing is streamed).
  std::int32_t soundBufferTime = 5;
  Object* xmlNodeClass = nullptr;  // XMLNode, whose prototype parsed nodes get
  FunctionObject* arrayCtor = nullptr;
  StringCell* emptyString = nullptr;

  std::vector<Value> stack;
  CallFrame* frame = nullptr;  // the innermost script call
  // A throw from a getter or a conversion inside a native: raised once the
  // action that called it is done.
  std::optional<Value> pendingThrow;
  std::unordered_map<Object*, NativeClass> nativeClasses;  // by prototype
  // ASnative's tables: (table << 16 | index) to the function there.
  std::unordered_map<std::uint32_t, NativeFunction> nativeTable;
  int callDepth = 0;
  int nesting = 0;
  std::uint64_t actions = 0;
  bool frameStopped = false;
  bool running = false;
  Clip* root = nullptr;
  std::unordered_map<Clip*, ClipObject*> clips;
  // Text fields bound to a variable, in the order they were bound: the
  // frame's end updates these alone, however many clips there are. One
  // unbound or taken away leaves at the next frame's end (held till then).
  std::vector<ClipObject*> boundFields;
  std::map<int, Interval> intervals;
  std::set<std::pair<double, int>> intervalQueue;  // due time and id
  std::vector<int> unscheduled;  // made with no timer to count from
  int nextIntervalId = 1;
  std::uint64_t frameNumber = 0;
  // The frames that went past a limit, the last stopWindowFrames at most.
  std::deque<std::uint64_t> framesOverBudget;
  std::mt19937 random;
  // The host objects' own state (host_objects.h).
  std::unique_ptr<HostState> hostState;
  // The timeline the running code belongs to (a block's clip, a script
  // function's defining clip): where a host object resolves a target path
  // it was given earlier (Sound).
  ClipObject* scriptBase = nullptr;

 private:
  Value ConversionMethod(Value v, std::string_view name);
  // A primitive for an object from valueOf and toString, the preferred
  // first; false when neither gives one. A throw inside is deferred.
  bool PrimitiveOf(Value v, bool preferString, Value& out);
  Value CallSuperConstructor(SuperObject* s, std::span<const Value> args);
  // What `new` makes for a script constructor whose prototype is `proto`.
  Object* NewInstance(Object* proto);
  Value PathSegment(Value cur, std::string_view name, Clip* start);
  Value ResolveSlashPath(Clip* start, std::string_view path);
  std::unordered_map<std::string_view, StringCell*> literals_;
  void Stop(StopReason reason);
  std::uint32_t warned_ = 0;
  double fallbackNow_ = 0;
};

template <class F>
void Runtime::Guarded(F&& body, bool keepStack) {
  if (stats.scriptsStopped || frameStopped) return;
  const std::size_t stackSize = stack.size();
  const bool outer = !running;
  running = true;
  if (outer) pendingThrow.reset();
  try {
    body();
  } catch (const ScriptStop& stop) {
    Stop(stop.reason);
  } catch (const ScriptThrow& thrown) {
    // An uncaught throw ends the block, as in Flash.
    try {
      ReportUncaught(thrown.value);
    } catch (const ScriptStop& stop) {
      Stop(stop.reason);
    } catch (const ScriptThrow&) {
    }
  } catch (const MalformedBlock&) {
  }
  pendingThrow.reset();
  if (outer) {
    running = false;
    callDepth = 0;
    nesting = 0;
  }
  if (!(keepStack && outer) || frameStopped) stack.resize(std::min(stackSize, stack.size()));
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
void InstallTextSnapshotBuiltins(Runtime& rt);
void InstallFlash8Builtins(Runtime& rt);  // flash.geom, flash.display, flash.filters (geom_objects.h)
// Last: these take the functions and classes the others made.
void InstallNativeTables(Runtime& rt);
void InstallNativeClasses(Runtime& rt);
void InstallAbsentClasses(Runtime& rt);

}  // namespace dc::swf::avm1

// The shared operations of the engine: values made and converted, calls
// and construction, clip references and paths, the limits, the time seam
// and the collector's roots. Members are read and written in members.cpp.
#include "swf/avm1/runtime.h"

#include <charconv>
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/date_math.h"
#include "swf/avm1/host_objects.h"
#include "swf/avm1/interpreter.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1 {
namespace {

// The running code's timeline for as long as it runs.
struct BaseGuard {
  BaseGuard(Runtime& r, ClipObject* base) : rt(r), saved(r.scriptBase) {
    if (base) rt.scriptBase = base;
  }
  ~BaseGuard() { rt.scriptBase = saved; }
  BaseGuard(const BaseGuard&) = delete;
  BaseGuard& operator=(const BaseGuard&) = delete;
  Runtime& rt;
  ClipObject* saved;
};

}  // namespace

Runtime::Runtime(int swfVersion, Host h, ScriptLimits l)
    : version(swfVersion),
      caseSensitive(swfVersion >= 7),
      hiddenFlags(HiddenFlagsFor(swfVersion)),
      host(std::move(h)),
      limits(l),
      heap(l.maxMemoryBytes),
      random(0x5eed) {
  emptyString = heap.Make<StringCell>(std::string());
  objectProto = heap.Make<Object>(nullptr);
  functionProto = heap.Make<Object>(objectProto);
  // _global has no prototype: nothing of Object's is a global.
  global = heap.Make<Object>(nullptr);
  globalScope = heap.Make<Scope>(nullptr, global);
  InstallObjectBuiltins(*this);
  InstallArrayBuiltins(*this);
  InstallStringBuiltins(*this);
  InstallMathBuiltins(*this);
  InstallDateBuiltins(*this);
  InstallClipBuiltins(*this);
  InstallColorBuiltins(*this);
  InstallTextFormatBuiltins(*this);
  InstallXmlBuiltins(*this);
  InstallLoadVarsBuiltins(*this);
  InstallTextSnapshotBuiltins(*this);
  InstallGlobalFunctions(*this);
  InstallHostObjects(*this);
  InstallFlash8Builtins(*this);
  InstallNativeTables(*this);
  InstallNativeClasses(*this);
  InstallAbsentClasses(*this);
  CollectGarbage();
}

Runtime::~Runtime() = default;

Value Runtime::Str(std::string_view s) {
  if (s.empty()) return Value::Str(emptyString);
  return Value::Str(heap.Make<StringCell>(std::string(s)));
}

Value Runtime::Str(std::string&& s) {
  if (s.empty()) return Value::Str(emptyString);
  return Value::Str(heap.Make<StringCell>(std::move(s)));
}

Value Runtime::Literal(std::string_view s) {
  constexpr std::size_t kLongest = 64, kMostShared = 4096;
  if (s.empty() || s.size() > kLongest) return Str(s);
  const auto it = literals_.find(s);
  if (it != literals_.end()) return Value::Str(it->second);
  StringCell* cell = heap.Make<StringCell>(std::string(s));
  if (literals_.size() < kMostShared) literals_.emplace(cell->text, cell);
  return Value::Str(cell);
}

Object* Runtime::NewObject(Object* prototype) { return heap.Make<Object>(prototype); }

ArrayObject* Runtime::NewArray(std::span<const Value> elements) {
  ArrayObject* a = heap.Make<ArrayObject>(arrayProto);
  if (!elements.empty()) a->Assign(*this, elements);
  return a;
}

FunctionObject* Runtime::NewNative(NativeFunction fn, NativeConstructor construct) {
  FunctionObject* f = heap.Make<FunctionObject>(functionProto, ObjectClass::Function);
  f->native = fn;
  f->construct = construct;
  return f;
}

FunctionObject* Runtime::DefineMethod(Object* owner, std::string_view name, NativeFunction fn) {
  FunctionObject* f = NewNative(fn);
  DefineValue(owner, name, Value::Obj(f));
  return f;
}

void Runtime::DefineValue(Object* owner, std::string_view name, Value v, std::uint16_t flags) {
  Property* p = owner->props.Find(name, caseSensitive);
  if (!p) {
    heap.Charge(sizeof(Property) + name.size());
    p = &owner->props.Add(name, v, caseSensitive);
  }
  p->value = v;
  p->getter = p->setter = Value();
  p->accessor = false;
  p->flags = flags;
}

std::string_view Runtime::TypeOf(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
      return "undefined";
    case ValueType::Null:
      return "null";
    case ValueType::Boolean:
      return "boolean";
    case ValueType::Number:
      return "number";
    case ValueType::String:
      return "string";
    case ValueType::Object:
      if (v.o->cls == ObjectClass::Function) return "function";
      if (v.o->cls == ObjectClass::Clip) {
        // Text fields and buttons are objects; a removed clip stays a clip.
        const Clip* c = static_cast<ClipObject*>(v.o)->clip;
        return !c || c->Kind() == ClipKind::MovieClip ? "movieclip" : "object";
      }
      return "object";
  }
  return "undefined";
}

std::string_view Runtime::KeyOf(Value v, std::string& buffer) {
  if (v.IsString()) return v.s->text;
  if (v.IsNumber() && v.n >= 0 && v.n < 2147483648.0 && v.n == std::floor(v.n)) {
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof digits, static_cast<long>(v.n));
    buffer.assign(digits, r.ptr);
    return buffer;
  }
  buffer = ToString(v);
  return buffer;
}

Object* Runtime::ToObject(Value v) {
  switch (v.type) {
    case ValueType::Object:
      return v.o;
    case ValueType::String:
      return heap.Make<BoxObject>(stringProto, ObjectClass::String, v);
    case ValueType::Number:
      return heap.Make<BoxObject>(numberProto, ObjectClass::Number, v);
    case ValueType::Boolean:
      return heap.Make<BoxObject>(booleanProto, ObjectClass::Boolean, v);
    default:
      return nullptr;
  }
}

Value Runtime::Call(Value function, Value self, std::span<const Value> args, Object* home, bool constructing) {
  Object* o = function.AsObject();
  if (!o) return Value();
  if (o->cls == ObjectClass::Super) return CallSuperConstructor(static_cast<SuperObject*>(o), args);
  if (o->cls != ObjectClass::Function) return Value();
  FunctionObject* f = static_cast<FunctionObject*>(o);
  if (f->native) {
    DepthGuard guard(*this);
    return f->native(*this, self, args);
  }
  if (!self.IsObject() && !self.IsNullish()) self = Value::Obj(ToObject(self));
  BaseGuard base(*this, f->base);
  return CallScriptFunction(*this, f, self, args, home, constructing);
}

Value Runtime::CallSuperConstructor(SuperObject* s, std::span<const Value> args) {
  // super(...): the constructor of the class above, one level up again
  // for its own super.
  Object* home = s->home;
  if (!home) return Value();
  const Value ctor = GetMember(Value::Obj(home), "__constructor__");
  if (FunctionObject* f = ctor.IsObject() && ctor.o->cls == ObjectClass::Function
                              ? static_cast<FunctionObject*>(ctor.o) : nullptr;
      f && f->construct && s->self.IsObject()) {
    // A built-in class's constructor sets up the instance `new` made for it.
    const auto it = nativeClasses.find(GetMember(ctor, "prototype").AsObject());
    if (it != nativeClasses.end() && it->second.init) {
      DepthGuard guard(*this);
      it->second.init(*this, s->self.o, args);
      return Value();
    }
  }
  return Call(ctor, s->self, args, home->proto);
}

Value Runtime::CallMethod(Value target, std::string_view name, std::span<const Value> args) {
  Object* o = target.AsObject();
  if (o && o->cls == ObjectClass::Super) {
    // super.method(): found above the running method's level, called on
    // the same `this`; its own super looks from there.
    SuperObject* s = static_cast<SuperObject*>(o);
    Object* above = s->home ? s->home->proto : nullptr;
    Value fn;
    if (!above || !TryGet(above, name, fn)) return Value();
    return Call(fn, s->self, args, above);
  }
  return Call(GetMember(target, name), target, args);
}

Value Runtime::Construct(Value constructor, std::span<const Value> args) {
  Object* c = constructor.AsObject();
  if (!c || c->cls != ObjectClass::Function) return Value();
  FunctionObject* f = static_cast<FunctionObject*>(c);
  Object* proto = GetMember(constructor, "prototype").AsObject();
  if (!proto) proto = objectProto;
  if (f->construct) {
    DepthGuard guard(*this);
    return f->construct(*this, proto, args);
  }
  Object* obj = NewInstance(proto);
  DefineValue(obj, "__constructor__", constructor);
  if (version < 7) DefineValue(obj, "constructor", constructor);
  const Value r = Call(constructor, Value::Obj(obj), args, proto, true);
  if (f->native && r.IsObject()) return r;
  return Value::Obj(obj);
}

Object* Runtime::NewInstance(Object* proto) {
  // Below a built-in class with state of its own, an instance of it.
  int hops = 0;
  for (Object* cur = proto; cur && hops < 256; cur = cur->proto, ++hops) {
    const auto it = nativeClasses.find(cur);
    if (it == nativeClasses.end()) continue;
    DepthGuard guard(*this);
    if (Object* made = it->second.allocate(*this, proto, {}).AsObject()) return made;
    break;
  }
  return NewObject(proto);
}

void Runtime::RegisterNativeClass(Object* prototype, NativeClass c) {
  if (prototype) nativeClasses[prototype] = c;
}

void Runtime::ReportUncaught(Value thrown) {
  Trace("Warning: Uncaught exception, " + ToString(thrown));
}

ClipObject* Runtime::ObjectFor(Clip& clip) {
  if (void* p = clip.ScriptObject()) return static_cast<ClipObject*>(p);
  const bool text = clip.Kind() == ClipKind::TextField;
  Object* proto = text ? textFieldProto : clip.Kind() == ClipKind::Button && buttonProto ? buttonProto : clipProto;
  if (clip.Kind() == ClipKind::Video) {
    // Video's own prototype, as the movie's Video class has it.
    Property* video = global->props.Find("Video", caseSensitive);
    Object* cls = video ? video->value.AsObject() : nullptr;
    Property* p = cls ? cls->props.Find("prototype", caseSensitive) : nullptr;
    proto = p && p->value.AsObject() ? p->value.AsObject() : objectProto;
  }
  if (clip.Kind() == ClipKind::MovieClip && !registeredClasses.empty()) {
    if (Object* ctor = RegisteredClass(clip))
      if (Object* own = GetMember(Value::Obj(ctor), "prototype").AsObject()) proto = own;
  }
  ClipObject* o = heap.Make<ClipObject>(proto, &clip);
  o->timelineScope = heap.Make<Scope>(globalScope, o);
  clip.SetScriptObject(o);
  clips[&clip] = o;
  if (text) BindTextField(o);
  return o;
}

std::string Runtime::ClassKey(std::string_view exportName) const {
  std::string key(exportName);
  if (!caseSensitive)
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

Object* Runtime::RegisteredClass(const Clip& clip) const {
  if (registeredClasses.empty()) return nullptr;
  for (const std::string& name : clip.ExportNames())
    if (const auto it = registeredClasses.find(ClassKey(name)); it != registeredClasses.end()) return it->second;
  return nullptr;
}

void Runtime::ConstructClip(Clip& clip) {
  Object* ctor = RegisteredClass(clip);
  if (!ctor || ctor->cls != ObjectClass::Function) return;
  ClipObject* o = ObjectFor(clip);
  Guarded([&] { Call(Value::Obj(ctor), Value::Obj(o), {}); });
}

bool Runtime::BoundVariable(ClipObject* owner, std::string_view name, Value& holder, std::string_view& member) {
  holder = Value::Obj(owner);
  member = name;
  if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos) {
    holder = ResolveTarget(owner, name.substr(0, colon));
    member = name.substr(colon + 1);
  } else if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
    holder = ResolveTarget(owner, name.substr(0, dot));
    member = name.substr(dot + 1);
  }
  return holder.IsObject() && !member.empty();
}

void Runtime::BindTextField(ClipObject* o) {
  Clip* clip = o->clip;
  if (o->bound || !clip || clip->Kind() != ClipKind::TextField || clip->VariableName().empty()) return;
  Clip* parent = clip->Parent();
  if (!parent) return;
  o->bound = true;
  if (!o->boundListed) {
    o->boundListed = true;
    boundFields.push_back(o);
  }
  // A field whose variable is not set yet gives the variable its text.
  const std::string name = clip->VariableName();
  Value holder;
  std::string_view var;
  BoundVariable(ObjectFor(*parent), name, holder, var);
  if (holder.IsObject() && !var.empty()) {
    // A getter there is a script: its stop or throw ends here.
    try {
      Value current;
      // An empty field leaves the variable alone; a variable already set,
      // on a timeline or any object, gives the field its text.
      const bool empty = clip->TextField() && clip->TextField()->TextLength() == 0;
      if (!TryGet(holder.o, var, current) || current.IsUndefined()) {
        if (!empty) SetMember(holder, var, Str(clip->Text()));
      } else {
        clip->SetText(ToString(current));
      }
    } catch (const ScriptStop&) {
    } catch (const ScriptThrow&) {
    } catch (const MalformedBlock&) {
    }
  }
  o->boundText = clip->Text();
  o->shownOnce = true;
}

void Runtime::TakeFieldText(Clip& field, std::size_t textBytes, const std::function<void()>& take) {
  TextFieldHost* host = field.TextField();
  if (!host) return take();
  if (!heap.Allows(textBytes * kFieldBytesPerTextByte)) throw ScriptStop{StopReason::Memory};
  const std::size_t before = host->HeldBytes();
  take();
  if (const std::size_t after = host->HeldBytes(); after > before) heap.Charge(after - before);
}

Clip* Runtime::ClipOf(Value v) {
  Object* o = v.AsObject();
  if (!o || o->cls != ObjectClass::Clip) return nullptr;
  const auto* c = static_cast<ClipObject*>(o);
  return c->removed ? nullptr : c->clip;
}

Clip* Runtime::Resolve(ClipObject* o) {
  if (!o) return nullptr;
  if (!o->removed) return o->clip;
  if (!root) return nullptr;
  Clip* c = root;
  for (std::size_t i = 0; c && i < o->path.size(); ++i) c = c->ChildByName(o->path[i], caseSensitive);
  return c;
}

Clip* Runtime::LiveClip(Value v) {
  Object* o = v.AsObject();
  if (!o || o->cls != ObjectClass::Clip) return nullptr;
  return Resolve(static_cast<ClipObject*>(o));
}

ClipObject* Runtime::LiveAgain(ClipObject* o) {
  Clip* c = Resolve(o);
  return c ? ObjectFor(*c) : nullptr;
}

std::string Runtime::DotPath(const Clip* clip) const {
  if (!clip) return {};
  if (clip == root || !clip->Parent()) return "_level0";
  return DotPath(clip->Parent()) + "." + clip->Name();
}

std::string Runtime::SlashPath(const Clip* clip) const {
  if (!clip) return {};
  if (clip == root || !clip->Parent()) return "/";
  const std::string parent = SlashPath(clip->Parent());
  return (parent == "/" ? "" : parent) + "/" + clip->Name();
}

void Runtime::WarnOnce(int key, std::string_view text) {
  const std::uint32_t bit = 1u << key;
  if (warned_ & bit) return;
  warned_ |= bit;
  if (host.warning) host.warning(text);
}

void Runtime::Capped(Cap cap, std::string_view outcome) {
  std::string limit;
  switch (cap) {
    case Cap::AccessorNesting:
      limit = "maxAccessorNesting (" + std::to_string(limits.maxAccessorNesting) + " calls of one accessor at once)";
      break;
    case Cap::IntervalRuns:
      limit = "maxIntervalRunsAFrame (" + std::to_string(limits.maxIntervalRunsAFrame) + " runs of an interval a frame)";
      break;
    case Cap::AmfNesting:
      limit = "maxAmfNesting (" + std::to_string(limits.maxAmfNesting) + " objects nested in AMF data)";
      break;
    case Cap::MessageBytes:
      limit = "maxMessageBytes (" + std::to_string(limits.maxMessageBytes) + " bytes of a LocalConnection message)";
      break;
    case Cap::Connections:
      limit = "maxConnections (" + std::to_string(limits.maxConnections) + " LocalConnections open)";
      break;
    case Cap::SharedObjects:
      limit = "maxSharedObjects (" + std::to_string(limits.maxSharedObjects) + " SharedObject stores)";
      break;
    case Cap::SharedObjectBytes:
      limit = "maxSharedObjectBytes (" + std::to_string(limits.maxSharedObjectBytes) + " bytes counted by getSize)";
      break;
  }
  WarnOnce(static_cast<int>(cap), "scripts went past " + limit + "; " + std::string(outcome));
}

void Runtime::Trace(std::string_view text) {
  if (!host.trace) return;
  // The log gets proper UTF-8, and Flash's line breaks ('\r') as '\n'.
  std::string line = ToValidUtf8(text);
  for (char& c : line)
    if (c == '\r') c = '\n';
  host.trace(line);
}

void Runtime::Stop(StopReason reason) {
  frameStopped = true;
  stats.frameStopped = true;
  const auto say = [this](int key, std::string_view limit, std::string what) {
    WarnOnce(key, "scripts went past " + std::string(limit) + " (" + what + "); the frame's scripts stopped");
  };
  switch (reason) {
    case StopReason::Budget:
      say(0, "actionsPerFrame", std::to_string(limits.actionsPerFrame) + " actions' work a frame");
      break;
    case StopReason::Memory:
      say(1, "maxMemoryBytes", std::to_string(limits.maxMemoryBytes) + " bytes");
      break;
    case StopReason::CallDepth:
      say(2, "maxCallDepth", std::to_string(limits.maxCallDepth) + " nested calls");
      break;
    case StopReason::Stack:
      say(3, "maxStack", std::to_string(limits.maxStack) + " stack entries");
      break;
    case StopReason::Nesting:
      say(6, "maxNesting", std::to_string(limits.maxNesting) + " nested with and try ranges");
      break;
    case StopReason::ProtoChain:
      say(7, "maxProtoHops", std::to_string(limits.maxProtoHops) + " steps up a prototype chain");
      break;
  }
}

double Runtime::NowMs() {
  if (!host.now) return fallbackNow_;
  const LocalTime lt = host.now();
  const CivilDateTime& t = lt.time;
  const double days = static_cast<double>(DaysFromCivil(t.Year, t.Month, t.Day));
  return days * kMsPerDay + ((t.Hour * 60.0 + t.Minute) * 60.0 + t.Second) * 1000.0 + t.Millisecond -
         lt.utcOffsetMinutes * 60'000.0;
}

int Runtime::UtcOffsetMinutes() { return host.now ? host.now().utcOffsetMinutes : 0; }

void Runtime::RunBlock(ClipObject* clip, const ActionBytes& code) {
  if (!code || !clip || !clip->clip) return;
  const bool share = !running;
  Guarded(
      [&] {
        BaseGuard base(*this, clip);
        RunTopLevelBlock(*this, clip, code, share);
      },
      share);
}

void Runtime::CollectGarbage() {
  if (running) return;
  literals_.clear();  // what only the cache held is garbage now
  heap.Collect([this](Heap& h) {
    h.Mark(emptyString);
    h.Mark(global);
    h.Mark(globalScope);
    for (Object* o : {objectProto, functionProto, arrayProto, stringProto, numberProto, booleanProto, dateProto,
                      clipProto, buttonProto, mouse, textFieldProto, textFormatProto, errorProto, stubObject, xmlNodeClass})
      h.Mark(o);
    h.Mark(arrayCtor);
    for (const auto& [proto, c] : nativeClasses) h.Mark(proto);
    for (const auto& [name, ctor] : registeredClasses) h.Mark(ctor);
    for (const auto& [clip, object] : clips) h.Mark(object);
    for (ClipObject* field : boundFields) h.Mark(field);
    for (const auto& [id, interval] : intervals) {
      h.Mark(interval.function);
      for (const Value& v : interval.args) h.Mark(v);
    }
    for (const Value& v : stack) h.Mark(v);
    MarkHostObjects(*this, h);
  });
  stats.bytesInUse = heap.BytesInUse();
  stats.objectsInUse = heap.CellCount();
}

}  // namespace dc::swf::avm1

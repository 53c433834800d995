// The shared operations of the engine: values made and converted, members
// read and written through prototypes and clips, calls, clip references
// and paths, the limits, the time seam and the collector's roots.
#include "swf/avm1/runtime.h"

#include <charconv>
#include <cmath>
#include <unordered_set>

#include "swf/avm1/conversions.h"
#include "swf/avm1/date_math.h"
#include "swf/avm1/host_objects.h"
#include "swf/avm1/interpreter.h"

namespace dc::swf::avm1 {
namespace {

// Prototype chains longer than this are cut (a chain may loop).
constexpr int kMaxProtoHops = 256;

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

bool IsProtoName(std::string_view name, bool cs) { return NamesEqual(name, "__proto__", cs); }

// Looks `name` up on `o` and its prototypes: special properties, own ones
// (getters called with `self`), then what comes after (a clip's children).
bool Lookup(Runtime& rt, Object* o, std::string_view name, Value self, Value& out, Object** where) {
  if (o->cls == ObjectClass::Clip && !static_cast<ClipObject*>(o)->clip) return false;
  if (IsProtoName(name, rt.caseSensitive)) {
    out = Value::Obj(o->proto);
    if (where) *where = o;
    return o->proto != nullptr;
  }
  int hops = 0;
  for (Object* cur = o; cur && hops < kMaxProtoHops; cur = cur->proto, ++hops) {
    if (cur->GetSpecial(rt, name, out) ||
        [&] {
          Property* p = cur->props.Find(name, rt.caseSensitive);
          if (!p) return false;
          if (p->flags & kAccessor) {
            const Value getter = p->value;
            out = rt.Call(getter, self, {});
          } else {
            out = p->value;
          }
          return true;
        }() ||
        cur->GetAfterOwn(rt, name, out)) {
      if (where) *where = cur;
      return true;
    }
  }
  return false;
}

}  // namespace

Runtime::Runtime(int swfVersion, Host h, ScriptLimits l)
    : version(swfVersion), caseSensitive(swfVersion >= 7), host(std::move(h)), limits(l), heap(l.maxMemoryBytes),
      random(0x5eed) {
  emptyString = heap.Make<StringCell>(std::string());
  objectProto = heap.Make<Object>(nullptr);
  functionProto = heap.Make<Object>(objectProto);
  global = heap.Make<Object>(objectProto);
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
  InstallGlobalFunctions(*this);
  InstallHostObjects(*this);
  InstallFlash8Builtins(*this);
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
  if (!elements.empty() && a->Resize(*this, elements.size()))
    std::copy(elements.begin(), elements.end(), a->elements.begin());
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

void Runtime::DefineValue(Object* owner, std::string_view name, Value v, std::uint8_t flags) {
  Property* p = owner->props.Find(name, caseSensitive);
  if (!p) p = &owner->props.Add(name, v, caseSensitive);
  p->value = v;
  p->flags = flags;
}

double Runtime::ToNumber(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return version >= 7 ? std::nan("") : 0.0;
    case ValueType::Boolean:
      return v.b ? 1 : 0;
    case ValueType::Number:
      return v.n;
    case ValueType::String:
      return StringToNumber(v.s->text, version);
    case ValueType::Object: {
      const Value p = ToPrimitive(v);
      return p.IsObject() ? std::nan("") : ToNumber(p);
    }
  }
  return 0;
}

bool Runtime::ToBoolean(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return false;
    case ValueType::Boolean:
      return v.b;
    case ValueType::Number:
      return !(v.n == 0 || std::isnan(v.n));
    case ValueType::String:
      // Before SWF 7 a string is true when it is a nonzero number.
      if (version < 7) {
        const double n = StringToNumber(v.s->text, version);
        return !(n == 0 || std::isnan(n));
      }
      return !v.s->text.empty();
    case ValueType::Object:
      return v.o->cls != ObjectClass::Clip || static_cast<ClipObject*>(v.o)->clip != nullptr;
  }
  return false;
}

std::string Runtime::ToString(Value v) {
  switch (v.type) {
    case ValueType::Undefined:
      return version >= 7 ? "undefined" : "";
    case ValueType::Null:
      return "null";
    case ValueType::Boolean:
      return v.b ? "true" : "false";
    case ValueType::Number:
      return NumberToString(v.n);
    case ValueType::String:
      return v.s->text;
    case ValueType::Object: {
      const Value p = ToPrimitive(v, true);
      if (p.IsObject()) return v.o->cls == ObjectClass::Function ? "[type Function]" : "[type Object]";
      return ToString(p);
    }
  }
  return {};
}

Value Runtime::ToStringValue(Value v) {
  if (v.IsString()) return v;
  return Str(ToString(v));
}

Value Runtime::ToPrimitive(Value v, bool preferString) {
  if (!v.IsObject()) return v;
  Object* o = v.o;
  if (o->cls == ObjectClass::Clip) {
    Clip* c = static_cast<ClipObject*>(o)->clip;
    return c ? Str(DotPath(c)) : Value();
  }
  if (o->cls == ObjectClass::Date) preferString = true;
  DepthGuard guard(*this);
  const std::string_view order[2] = {preferString ? "toString" : "valueOf", preferString ? "valueOf" : "toString"};
  for (std::string_view name : order) {
    const Value f = GetMember(v, name);
    if (f.IsObject() && f.o->cls == ObjectClass::Function) {
      const Value r = Call(f, v, {});
      if (!r.IsObject()) return r;
    }
  }
  return v;
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
        const Clip* c = static_cast<ClipObject*>(v.o)->clip;
        return c && c->Kind() == ClipKind::TextField ? "object" : "movieclip";
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

Value Runtime::GetMember(Value target, std::string_view name) {
  Object* o = nullptr;
  switch (target.type) {
    case ValueType::Object:
      o = target.o;
      break;
    case ValueType::String:
      if (NamesEqual(name, "length", caseSensitive)) {
        const StringCell* s = target.s;
        if (s->ascii) return Value::Number(static_cast<double>(s->text.size()));
        double n = 0;
        for (char c : s->text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return Value::Number(n);
      }
      o = stringProto;
      break;
    case ValueType::Number:
      o = numberProto;
      break;
    case ValueType::Boolean:
      o = booleanProto;
      break;
    default:
      return Value();
  }
  Value out;
  if (o->cls == ObjectClass::Super) {
    SuperObject* s = static_cast<SuperObject*>(o);
    Object* above = s->home ? s->home->proto : nullptr;
    if (above && Lookup(*this, above, name, s->self, out, nullptr)) return out;
    return Value();
  }
  return Lookup(*this, o, name, target, out, nullptr) ? out : Value();
}

bool Runtime::TryGet(Object* o, std::string_view name, Value& out) {
  if (o->cls == ObjectClass::Super) {
    out = GetMember(Value::Obj(o), name);
    return !out.IsUndefined();
  }
  return Lookup(*this, o, name, Value::Obj(o), out, nullptr);
}

void Runtime::SetMember(Value target, std::string_view name, Value v) {
  Object* o = target.AsObject();
  if (!o) return;
  if (o->cls == ObjectClass::Clip && !static_cast<ClipObject*>(o)->clip) return;
  if (IsProtoName(name, caseSensitive)) {
    if (v.IsObject() || v.IsNull()) o->proto = v.AsObject();
    return;
  }
  if (o->SetSpecial(*this, name, v)) return;
  if (Property* p = o->props.Find(name, caseSensitive)) {
    if (p->flags & kAccessor) {
      const Value setter = p->setter;
      const Value arg[1] = {v};
      Call(setter, target, arg);
    } else if (!(p->flags & kReadOnly)) {
      p->value = v;
    }
    return;
  }
  // A setter made by addProperty on a prototype takes the write.
  int hops = 0;
  for (Object* cur = o->proto; cur && hops < kMaxProtoHops; cur = cur->proto, ++hops) {
    Property* p = cur->props.Find(name, caseSensitive);
    if (p && (p->flags & kAccessor)) {
      const Value setter = p->setter;
      const Value arg[1] = {v};
      Call(setter, target, arg);
      return;
    }
  }
  heap.Charge(sizeof(Property) + name.size());
  o->props.Add(name, v, caseSensitive);
}

bool Runtime::DeleteMember(Value target, std::string_view name) {
  Object* o = target.AsObject();
  if (!o) return false;
  Property* p = o->props.Find(name, caseSensitive);
  if (!p || (p->flags & kDontDelete)) return false;
  return o->props.Remove(name, caseSensitive);
}

Property* Runtime::FindProperty(Object* o, std::string_view name, Object** where) {
  int hops = 0;
  for (Object* cur = o; cur && hops < kMaxProtoHops; cur = cur->proto, ++hops) {
    if (Property* p = cur->props.Find(name, caseSensitive)) {
      if (where) *where = cur;
      return p;
    }
  }
  return nullptr;
}

bool Runtime::HasOwn(Object* o, std::string_view name) {
  Value ignored;
  if (o->cls == ObjectClass::Clip && !static_cast<ClipObject*>(o)->clip) return false;
  return o->GetSpecial(*this, name, ignored) || o->props.Find(name, caseSensitive) != nullptr;
}

bool Runtime::HasMember(Object* o, std::string_view name) {
  Value ignored;
  Object* where = nullptr;
  // Lookup calls getters; a variable lookup needs to know presence only,
  // and a getter's side effects would run twice. Own accessors count as
  // present without a call.
  if (o->cls == ObjectClass::Clip && !static_cast<ClipObject*>(o)->clip) return false;
  int hops = 0;
  for (Object* cur = o; cur && hops < kMaxProtoHops; cur = cur->proto, ++hops) {
    if (cur->props.Find(name, caseSensitive) || cur->GetSpecial(*this, name, ignored) ||
        cur->GetAfterOwn(*this, name, ignored))
      return true;
  }
  (void)where;
  return false;
}

std::vector<std::string> Runtime::EnumerableNames(Object* o) {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  if (Object* counted = o; counted->cls == ObjectClass::Array)
    CountWork(static_cast<ArrayObject*>(counted)->elements.size());
  if (o->cls == ObjectClass::Clip && !static_cast<ClipObject*>(o)->clip) return names;
  int hops = 0;
  for (Object* cur = o; cur && hops < kMaxProtoHops; cur = cur->proto, ++hops) {
    std::vector<std::string> special;
    cur->SpecialNames(*this, special);
    for (std::string& s : special)
      if (seen.insert(FoldName(s, caseSensitive)).second) names.push_back(std::move(s));
    const auto& items = cur->props.Items();
    // Newest first, as Flash lists them.
    for (std::size_t i = items.size(); i-- > 0;) {
      const Property& p = items[i];
      if (!seen.insert(FoldName(p.name, caseSensitive)).second) continue;
      if (!(p.flags & kDontEnum)) names.push_back(p.name);
    }
  }
  return names;
}

bool Runtime::InstanceOf(Value v, Object* constructor) {
  Object* o = v.AsObject();
  if (!o || !constructor) return false;
  const Value protoValue = GetMember(Value::Obj(constructor), "prototype");
  Object* target = protoValue.AsObject();
  if (!target) return false;
  // Interfaces belong to the constructors along the chain: the object's
  // own, then each class's superclass.
  const auto implements = [&](Object* holder, std::string_view name) {
    Property* p = holder->props.Find(name, caseSensitive);
    Object* c = p && !(p->flags & kAccessor) ? p->value.AsObject() : nullptr;
    if (!c || c->cls != ObjectClass::Function) return false;
    for (Object* i : static_cast<FunctionObject*>(c)->interfaces)
      if (i == constructor) return true;
    return false;
  };
  if (implements(o, "__constructor__")) return true;
  int hops = 0;
  for (Object* cur = o->proto; cur && hops < kMaxProtoHops; cur = cur->proto, ++hops) {
    if (cur == target) return true;
    if (implements(cur, "__constructor__") || implements(cur, "constructor")) return true;
  }
  return false;
}

Value Runtime::Call(Value function, Value self, std::span<const Value> args, Object* home) {
  Object* o = function.AsObject();
  if (!o) return Value();
  if (o->cls == ObjectClass::Super) {
    // super(...): the constructor of the class above.
    SuperObject* s = static_cast<SuperObject*>(o);
    Object* above = s->home ? s->home->proto : nullptr;
    if (!above) return Value();
    const Value ctor = GetMember(Value::Obj(s->home), "__constructor__");
    return Call(ctor, s->self, args, above);
  }
  if (o->cls != ObjectClass::Function) return Value();
  FunctionObject* f = static_cast<FunctionObject*>(o);
  if (f->native) {
    DepthGuard guard(*this);
    return f->native(*this, self, args);
  }
  if (!self.IsObject() && !self.IsNullish()) self = Value::Obj(ToObject(self));
  BaseGuard base(*this, f->base);
  return CallScriptFunction(*this, f, self, args, home);
}

Value Runtime::CallMethod(Value target, std::string_view name, std::span<const Value> args) {
  Object* where = nullptr;
  Value fn;
  Object* o = target.AsObject();
  if (!o) {
    fn = GetMember(target, name);
    return Call(fn, target, args, nullptr);
  }
  if (o->cls == ObjectClass::Super) {
    // super.method(): found above the running method's class, called on
    // the same `this`.
    SuperObject* s = static_cast<SuperObject*>(o);
    Object* above = s->home ? s->home->proto : nullptr;
    if (!above || !Lookup(*this, above, name, s->self, fn, &where)) return Value();
    return Call(fn, s->self, args, where);
  }
  if (!Lookup(*this, o, name, target, fn, &where)) return Value();
  return Call(fn, target, args, where);
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
  Object* obj = NewObject(proto);
  DefineValue(obj, "__constructor__", constructor);
  if (version < 7) DefineValue(obj, "constructor", constructor);
  const Value r = Call(constructor, Value::Obj(obj), args, proto);
  if (f->native && r.IsObject()) return r;
  return Value::Obj(obj);
}

ClipObject* Runtime::ObjectFor(Clip& clip) {
  if (void* p = clip.ScriptObject()) return static_cast<ClipObject*>(p);
  const bool text = clip.Kind() == ClipKind::TextField;
  ClipObject* o = heap.Make<ClipObject>(text ? textFieldProto : clipProto, &clip);
  o->timelineScope = heap.Make<Scope>(globalScope, o);
  clip.SetScriptObject(o);
  clips[&clip] = o;
  if (text) BindTextField(o);
  return o;
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
  // A field whose variable is not set yet gives the variable its text.
  const std::string name = clip->VariableName();
  Value holder;
  std::string_view var;
  BoundVariable(ObjectFor(*parent), name, holder, var);
  if (holder.IsObject() && !var.empty()) {
    // A getter there is a script: its stop or throw ends here.
    try {
      Value current;
      // An empty field leaves the variable alone.
      const std::string text = clip->Text();
      if ((!TryGet(holder.o, var, current) || current.IsUndefined()) && !text.empty()) SetMember(holder, var, Str(text));
    } catch (const ScriptStop&) {
    } catch (const ScriptThrow&) {
    } catch (const MalformedBlock&) {
    }
  }
  o->boundText = clip->Text();
  o->shownOnce = true;
}

Clip* Runtime::ClipOf(Value v) {
  Object* o = v.AsObject();
  if (!o || o->cls != ObjectClass::Clip) return nullptr;
  return static_cast<ClipObject*>(o)->clip;
}

Clip* Runtime::Level(std::string_view name) const {
  if (name.size() < 7 || !NamesEqual(name.substr(0, 6), "_level", false)) return nullptr;
  for (char c : name.substr(6))
    if (c < '0' || c > '9') return nullptr;
  return name.substr(6).find_first_not_of('0') == std::string_view::npos ? root : nullptr;
}

Value Runtime::ResolveTarget(ClipObject* base, std::string_view path) {
  Clip* start = base && base->clip ? base->clip : root;
  if (!start) return Value();
  Value cur = ClipValue(start);
  std::size_t i = 0;
  if (!path.empty() && path[0] == '/') {
    cur = ClipValue(root);
    i = 1;
  }
  while (i < path.size()) {
    if (path[i] == '/' || path[i] == '.') {
      if (path.compare(i, 2, "..") == 0) {
        Clip* c = ClipOf(cur);
        cur = c ? ClipValue(c->Parent()) : Value();
        i += 2;
        if (cur.IsUndefined()) return cur;
        continue;
      }
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < path.size() && path[j] != '/' && path[j] != '.') ++j;
    const std::string_view seg = path.substr(i, j - i);
    i = j;
    if (NamesEqual(seg, "_root", false)) {
      cur = ClipValue(root);
    } else if (NamesEqual(seg, "_parent", false)) {
      Clip* c = ClipOf(cur);
      cur = c ? ClipValue(c->Parent()) : Value();
    } else if (NamesEqual(seg, "_global", caseSensitive)) {
      cur = Value::Obj(global);
    } else if (NamesEqual(seg, "this", caseSensitive)) {
      // stays
    } else if (Clip* level = Level(seg)) {
      cur = ClipValue(level);
    } else {
      cur = GetMember(cur, seg);
    }
    if (!cur.IsObject()) return Value();
  }
  return cur;
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

void Runtime::Trace(std::string_view text) {
  if (host.trace) host.trace(text);
}

void Runtime::Stop(StopReason reason) {
  frameStopped = true;
  stats.frameStopped = true;
  switch (reason) {
    case StopReason::Budget:
      WarnOnce(0, "a script ran past the frame's action budget; the frame's scripts stopped");
      break;
    case StopReason::Memory:
      WarnOnce(1, "scripts went past their memory limit; the frame's scripts stopped");
      break;
    case StopReason::CallDepth:
      WarnOnce(2, "a script went past 256 levels of calls; the frame's scripts stopped");
      break;
    case StopReason::Stack:
      WarnOnce(3, "a script overflowed its stack; the frame's scripts stopped");
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
  Guarded([&] {
    BaseGuard base(*this, clip);
    RunTopLevelBlock(*this, clip, code);
  });
}

void Runtime::CollectGarbage() {
  if (running) return;
  literals_.clear();  // what only the cache held is garbage now
  heap.Collect([this](Heap& h) {
    h.Mark(emptyString);
    h.Mark(global);
    h.Mark(globalScope);
    for (Object* o : {objectProto, functionProto, arrayProto, stringProto, numberProto, booleanProto, dateProto,
                      clipProto, textFieldProto, textFormatProto, errorProto, stubObject, xmlNodeClass})
      h.Mark(o);
    h.Mark(arrayCtor);
    for (const auto& [clip, object] : clips) h.Mark(object);
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

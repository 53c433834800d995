// Script objects: named properties with a prototype, and the kinds with
// state of their own (functions, arrays, dates, boxed primitives, clip
// references, super, a function call's variables); scopes and constant
// pools.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/property_map.h"
#include "swf/avm1/value.h"
#include "swf/model/actions.h"

namespace dc::swf::avm1 {

class Clip;
class Runtime;

enum class ObjectClass : std::uint8_t { Object, Function, Array, Date, Boolean, Number, String, Clip, Super, Error, Activation };

// What few objects have: watch()'s watchers (by property name: the
// callback as the value, its user data as the setter) and, on a class's
// prototype, the interfaces the class implements.
struct ObjectExtras {
  PropertyMap watchers;
  std::vector<Object*> interfaces;
};

class Object : public GcCell {
 public:
  explicit Object(Object* prototype, ObjectClass c = ObjectClass::Object) : cls(c), proto(prototype) {}
  // Properties with behaviour of their own (array elements, a clip's _x);
  // true when `name` is one of them.
  virtual bool GetSpecial(Runtime&, std::string_view, Value&) { return false; }
  virtual bool SetSpecial(Runtime&, std::string_view, Value) { return false; }
  // Deleting a special property: true when `name` is one, `deleted` says
  // whether it went (array elements).
  virtual bool DeleteSpecial(Runtime&, std::string_view, bool& /*deleted*/) { return false; }
  // Looked at after the own properties (a clip's children by name).
  virtual bool GetAfterOwn(Runtime&, std::string_view, Value&) { return false; }
  // Names of special properties a for-in sees, oldest first, listed before
  // the ordinary ones (a for-in reads the whole list the other way round).
  virtual void SpecialNames(Runtime&, std::vector<std::string>&) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(Object) + OwnBytes(); }
  // The properties' and extras' bytes, for every kind's footprint.
  std::size_t OwnBytes() const;
  ObjectExtras& Extras();

  const ObjectClass cls;
  Object* proto;
  PropertyMap props;
  std::unique_ptr<ObjectExtras> extras;
};

using NativeFunction = Value (*)(Runtime&, Value self, std::span<const Value> args);
// A native constructor makes the object itself (a Date, an Array) with the
// prototype `new` found.
using NativeConstructor = Value (*)(Runtime&, Object* prototype, std::span<const Value> args);

class Scope;
class ConstantPool;
class ClipObject;
class ArrayObject;  // array_object.h

class FunctionObject final : public Object {
 public:
  using Object::Object;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override;

  NativeFunction native = nullptr;
  NativeConstructor construct = nullptr;
  // A script function: its body within the block that defined it.
  ActionBytes code;
  std::uint32_t begin = 0, end = 0;
  std::string name;
  std::vector<std::string> params;
  std::vector<std::uint8_t> paramRegisters;  // DefineFunction2: 0 = a local variable
  bool function2 = false;
  std::uint8_t registerCount = 0;
  std::uint16_t flags2 = 0;  // DefineFunction2's preload and suppress bits
  Scope* scope = nullptr;    // the scope chain it was defined in
  ConstantPool* pool = nullptr;
  ClipObject* base = nullptr;  // the timeline it was defined on
};

class DateObject final : public Object {
 public:
  DateObject(Object* prototype, double t) : Object(prototype, ObjectClass::Date), time(t) {}
  std::size_t Footprint() const override { return sizeof(DateObject) + OwnBytes(); }
  double time;  // ms since 1970-01-01 UTC, NaN for an invalid date
};

// new Boolean/Number/String, and a primitive's `this` in script methods.
class BoxObject final : public Object {
 public:
  BoxObject(Object* prototype, ObjectClass c, Value v) : Object(prototype, c), primitive(v) {}
  bool GetSpecial(Runtime&, std::string_view name, Value& out) override;
  // The clip's own property of the name (_x, _name, ...), whatever child
  // has that name: what GetProperty reads.
  bool GetClipProperty(Runtime&, std::string_view name, Value& out);
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(BoxObject) + OwnBytes(); }
  Value primitive;
};

// A script's reference to a clip: its timeline variables, and the clip's
// properties and children. `clip` is null once the clip is removed.
class ClipObject final : public Object {
 public:
  ClipObject(Object* prototype, Clip* c) : Object(prototype, ObjectClass::Clip), clip(c) {}
  bool GetSpecial(Runtime&, std::string_view name, Value& out) override;
  // The clip's own property of the name (_x, _name, ...), whatever child
  // has that name: what GetProperty reads.
  bool GetClipProperty(Runtime&, std::string_view name, Value& out);
  bool SetSpecial(Runtime&, std::string_view name, Value v) override;
  bool GetAfterOwn(Runtime&, std::string_view name, Value& out) override;
  void SpecialNames(Runtime&, std::vector<std::string>& names) override;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override {
    return sizeof(ClipObject) + OwnBytes() + boundText.size() + path.size() * sizeof(std::string) + FieldBytes();
  }
  // What the clip, a text field, holds for its text.
  std::size_t FieldBytes() const;

  Clip* clip;
  // Once the clip is taken away: the names on its path from the root,
  // where a clip placed again is found. `leaving`: off its list, `clip`
  // still there for the code running on it until the frame ends;
  // `removed`: references reach the clip at `path` instead.
  std::vector<std::string> path;
  bool leaving = false;
  bool removed = false;
  Scope* timelineScope = nullptr;  // the clip's object above _global, made once
  // A bound text field: what it showed last.
  std::string boundText;
  bool bound = false;
  bool boundListed = false;  // on Runtime::boundFields
  bool shownOnce = false;
  // _focusrect as a script set it (whether focus shows a yellow frame);
  // unset, the root's reads as on and every other clip's as null.
  std::optional<bool> focusRect;
  // _lockroot as a script set it; every movie here is the one loaded, so
  // _root resolves the same either way.
  bool lockRoot = false;
};

// `super` in a method: members from the prototype above `home`, called
// with the method's `this`; super() calls home's __constructor__.
class SuperObject final : public Object {
 public:
  SuperObject(Object* prototype, Value self, Object* home)
      : Object(prototype, ObjectClass::Super), self(self), home(home) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(SuperObject); }
  Value self;
  Object* home;  // plain calls: this.__proto__; through super: the level it looked from
};

// A function call's variables. `this`, `arguments` and `super` are
// variables of the call too, made when first read; a script may set them
// like any other variable.
class ActivationObject final : public Object {
 public:
  ActivationObject() : Object(nullptr, ObjectClass::Activation) {}
  bool GetSpecial(Runtime& rt, std::string_view name, Value& out) override;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(ActivationObject) + OwnBytes(); }
  // The `arguments` array: the call's arguments, callee and caller.
  Value Arguments(Runtime& rt);
  Value Super(Runtime& rt);
  // The call returns: a function defined in it keeps these variables, and
  // may ask for `arguments` later, so the array is made while the
  // arguments are still there.
  void EndCall(Runtime& rt);

  Value self;
  FunctionObject* callee = nullptr;
  FunctionObject* caller = nullptr;  // the script function that called, if any
  Object* home = nullptr;
  // The caller's arguments, read in place while the call runs (no script
  // runs a collection then); empty once it returned.
  std::span<const Value> args;
  Value arguments;
  bool keptByFunction = false;  // a function was defined in this call
  // Which of the three the call has as variables (DefineFunction2 may
  // leave them out or keep them in registers only).
  bool hasThis = true, hasArguments = true, hasSuper = true;
};

class Scope final : public GcCell {
 public:
  Scope(Scope* p, Object* o) : parent(p), object(o) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(Scope); }
  Scope* const parent;
  Object* const object;
};

class ConstantPool final : public GcCell {
 public:
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(ConstantPool) + entries.capacity() * sizeof(Value); }
  std::vector<Value> entries;
};

}  // namespace dc::swf::avm1

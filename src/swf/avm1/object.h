// Script objects: named properties with a prototype, and the kinds with
// state of their own (functions, arrays, dates, boxed primitives, clip
// references, super); scopes and constant pools.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/value.h"
#include "swf/model/actions.h"

namespace dc::swf::avm1 {

class Clip;
class Runtime;

// ASSetPropFlags' bits, and our own for addProperty.
enum PropertyFlag : std::uint8_t { kDontEnum = 1, kDontDelete = 2, kReadOnly = 4, kAccessor = 8 };

struct Property {
  std::string name;
  Value value;   // the getter for an accessor
  Value setter;  // accessors only
  std::uint8_t flags = 0;
};

// Properties in the order they were made; a hash index once there are many.
class PropertyMap {
 public:
  Property* Find(std::string_view name, bool caseSensitive);
  Property& Add(std::string_view name, Value value, bool caseSensitive);
  bool Remove(std::string_view name, bool caseSensitive);
  std::vector<Property>& Items() { return items_; }
  const std::vector<Property>& Items() const { return items_; }
  std::size_t Bytes() const;

 private:
  void Reindex(bool caseSensitive);
  std::vector<Property> items_;
  std::unique_ptr<std::unordered_map<std::string, std::uint32_t>> index_;
};

enum class ObjectClass : std::uint8_t { Object, Function, Array, Date, Boolean, Number, String, Clip, Super, Error };

class Object : public GcCell {
 public:
  explicit Object(Object* prototype, ObjectClass c = ObjectClass::Object) : cls(c), proto(prototype) {}
  // Properties with behaviour of their own (array elements, a clip's _x);
  // true when `name` is one of them.
  virtual bool GetSpecial(Runtime&, std::string_view, Value&) { return false; }
  virtual bool SetSpecial(Runtime&, std::string_view, Value) { return false; }
  // Looked at after the own properties (a clip's children by name).
  virtual bool GetAfterOwn(Runtime&, std::string_view, Value&) { return false; }
  // Names of special properties a for-in sees, before the ordinary ones.
  virtual void SpecialNames(Runtime&, std::vector<std::string>&) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(Object) + props.Bytes(); }

  const ObjectClass cls;
  Object* proto;
  PropertyMap props;
};

using NativeFunction = Value (*)(Runtime&, Value self, std::span<const Value> args);
// A native constructor makes the object itself (a Date, an Array) with the
// prototype `new` found.
using NativeConstructor = Value (*)(Runtime&, Object* prototype, std::span<const Value> args);

class Scope;
class ConstantPool;
class ClipObject;

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
  std::vector<Object*> interfaces;  // ImplementsOp
};

class ArrayObject final : public Object {
 public:
  explicit ArrayObject(Object* prototype) : Object(prototype, ObjectClass::Array) {}
  bool GetSpecial(Runtime&, std::string_view name, Value& out) override;
  bool SetSpecial(Runtime&, std::string_view name, Value v) override;
  void SpecialNames(Runtime&, std::vector<std::string>& names) override;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override {
    return Object::Footprint() + elements.capacity() * sizeof(Value);
  }
  // Grows or shrinks to `n`, charging the heap; false over the memory limit.
  bool Resize(Runtime& rt, std::uint64_t n);

  std::vector<Value> elements;
};

class DateObject final : public Object {
 public:
  DateObject(Object* prototype, double t) : Object(prototype, ObjectClass::Date), time(t) {}
  std::size_t Footprint() const override { return sizeof(DateObject) + props.Bytes(); }
  double time;  // ms since 1970-01-01 UTC, NaN for an invalid date
};

// new Boolean/Number/String, and a primitive's `this` in script methods.
class BoxObject final : public Object {
 public:
  BoxObject(Object* prototype, ObjectClass c, Value v) : Object(prototype, c), primitive(v) {}
  bool GetSpecial(Runtime&, std::string_view name, Value& out) override;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(BoxObject) + props.Bytes(); }
  Value primitive;
};

// A script's reference to a clip: its timeline variables, and the clip's
// properties and children. `clip` is null once the clip is removed.
class ClipObject final : public Object {
 public:
  ClipObject(Object* prototype, Clip* c) : Object(prototype, ObjectClass::Clip), clip(c) {}
  bool GetSpecial(Runtime&, std::string_view name, Value& out) override;
  bool SetSpecial(Runtime&, std::string_view name, Value v) override;
  bool GetAfterOwn(Runtime&, std::string_view name, Value& out) override;
  void SpecialNames(Runtime&, std::vector<std::string>& names) override;
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override {
    return sizeof(ClipObject) + props.Bytes() + boundText.size() + path.size() * sizeof(std::string);
  }

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
  bool shownOnce = false;
};

// `super` in a method: members from the prototype above the method's own,
// called with the method's `this`.
class SuperObject final : public Object {
 public:
  SuperObject(Object* prototype, Value self, Object* home)
      : Object(prototype, ObjectClass::Super), self(self), home(home) {}
  void Trace(Heap& heap) override;
  std::size_t Footprint() const override { return sizeof(SuperObject); }
  Value self;
  Object* home;  // the prototype the running method belongs to
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

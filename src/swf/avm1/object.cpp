// The heap's collection, what each kind of object marks, and the special
// members of arrays and boxed strings.
#include <algorithm>

#include "swf/avm1/array_object.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {
namespace {

void MarkProperties(Heap& heap, PropertyMap& props) {
  for (const Property& p : props) {
    heap.Mark(p.value);
    heap.Mark(p.getter);
    heap.Mark(p.setter);
  }
}

}  // namespace

Heap::~Heap() {
  for (GcCell* c = cells_; c;) {
    GcCell* next = c->nextCell_;
    delete c;
    c = next;
  }
}

void Heap::Mark(const Value& v) {
  if (v.type == ValueType::String) Mark(v.s);
  else if (v.type == ValueType::Object) Mark(v.o);
}

void Heap::Collect(const std::function<void(Heap&)>& markRoots) {
  markRoots(*this);
  // Marking is iterative: a long chain of objects must not deepen the stack.
  while (!gray_.empty()) {
    GcCell* c = gray_.back();
    gray_.pop_back();
    c->Trace(*this);
  }
  std::uint64_t bytes = 0, count = 0;
  GcCell** link = &cells_;
  while (GcCell* c = *link) {
    if (c->marked_) {
      c->marked_ = false;
      bytes += c->Footprint();
      ++count;
      link = &c->nextCell_;
    } else {
      *link = c->nextCell_;
      delete c;
    }
  }
  bytes_ = bytes;
  count_ = count;
  exceeded_ = bytes_ > limit_;
}

void Object::Trace(Heap& heap) {
  heap.Mark(proto);
  MarkProperties(heap, props);
  if (extras) {
    MarkProperties(heap, extras->watchers);
    for (Object* o : extras->interfaces) heap.Mark(o);
  }
}

std::size_t Object::OwnBytes() const {
  std::size_t n = props.Bytes();
  if (extras)
    n += sizeof(ObjectExtras) + extras->watchers.Bytes() + extras->interfaces.capacity() * sizeof(Object*);
  return n;
}

ObjectExtras& Object::Extras() {
  if (!extras) extras = std::make_unique<ObjectExtras>();
  return *extras;
}

void FunctionObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(scope);
  heap.Mark(pool);
  heap.Mark(base);
}

std::size_t ClipObject::FieldBytes() const {
  if (!clip || removed) return 0;
  const TextFieldHost* field = clip->TextField();
  return field ? field->HeldBytes() : 0;
}

std::size_t FunctionObject::Footprint() const {
  std::size_t n = sizeof(FunctionObject) + OwnBytes() + name.size();
  for (const std::string& p : params) n += sizeof(std::string) + p.size();
  return n;
}

bool BoxObject::GetSpecial(Runtime& rt, std::string_view name, Value& out) {
  if (primitive.type == ValueType::String && NamesEqual(name, "length", rt.caseSensitive)) {
    out = rt.GetMember(primitive, "length");
    return true;
  }
  return false;
}

bool ActivationObject::GetSpecial(Runtime& rt, std::string_view name, Value& out) {
  if (name.empty()) return false;
  const char first = static_cast<char>(name[0] | 0x20);
  if (first == 't' && hasThis && NamesEqual(name, "this", rt.caseSensitive)) {
    out = self;
    return true;
  }
  if (first == 'a' && hasArguments && NamesEqual(name, "arguments", rt.caseSensitive)) {
    out = Arguments(rt);
    return true;
  }
  if (first == 's' && hasSuper && NamesEqual(name, "super", rt.caseSensitive)) {
    out = Super(rt);
    return true;
  }
  return false;
}

Value ActivationObject::Arguments(Runtime& rt) {
  if (arguments.IsUndefined()) {
    ArrayObject* list = rt.NewArray(args);
    rt.DefineValue(list, "callee", Value::Obj(callee));
    rt.DefineValue(list, "caller", caller ? Value::Obj(caller) : Value::Null());
    arguments = Value::Obj(list);
  }
  return arguments;
}

void ActivationObject::EndCall(Runtime& rt) {
  if (keptByFunction && hasArguments) Arguments(rt);
  args = {};
}

Value ActivationObject::Super(Runtime& rt) {
  Object* level = home;
  if (!level) {
    Object* o = self.AsObject();
    level = o ? o->proto : nullptr;
  }
  return Value::Obj(rt.heap.Make<SuperObject>(nullptr, self, level));
}

void BoxObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(primitive);
}

void ClipObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(timelineScope);
}

void SuperObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(self);
  heap.Mark(home);
}

void ActivationObject::Trace(Heap& heap) {
  Object::Trace(heap);
  heap.Mark(self);
  heap.Mark(callee);
  heap.Mark(caller);
  heap.Mark(home);
  heap.Mark(arguments);
}

void Scope::Trace(Heap& heap) {
  heap.Mark(parent);
  heap.Mark(object);
}

void ConstantPool::Trace(Heap& heap) {
  for (const Value& v : entries) heap.Mark(v);
}

}  // namespace dc::swf::avm1

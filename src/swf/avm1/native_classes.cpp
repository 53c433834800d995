// The built-in classes a script class may extend and still have a real
// instance of: `new` on the script class makes an Array, a Date or an XML
// document with the script class's prototype, and the script constructor's
// super() sets it up as the built-in constructor would.
#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/xml_node.h"

namespace dc::swf::avm1 {
namespace {

FunctionObject* GlobalClass(Runtime& rt, std::string_view name) {
  Property* p = rt.global->props.Find(name, rt.caseSensitive);
  Object* o = p ? p->value.AsObject() : nullptr;
  return o && o->cls == ObjectClass::Function ? static_cast<FunctionObject*>(o) : nullptr;
}

// A fresh instance from the class's own constructor, whose state moves to
// `self`.
Object* Made(Runtime& rt, std::string_view name, Object* self, std::span<const Value> args) {
  FunctionObject* c = GlobalClass(rt, name);
  return c && c->construct ? c->construct(rt, self->proto, args).AsObject() : nullptr;
}

void InitArray(Runtime& rt, Object* self, std::span<const Value> args) {
  Object* made = self->cls == ObjectClass::Array ? Made(rt, "Array", self, args) : nullptr;
  if (made && made->cls == ObjectClass::Array)
    static_cast<ArrayObject*>(self)->Assign(rt, static_cast<ArrayObject*>(made)->Values(rt));
}

void InitDate(Runtime& rt, Object* self, std::span<const Value> args) {
  Object* made = self->cls == ObjectClass::Date ? Made(rt, "Date", self, args) : nullptr;
  if (made && made->cls == ObjectClass::Date) static_cast<DateObject*>(self)->time = static_cast<DateObject*>(made)->time;
}

void InitXml(Runtime& rt, Object* self, std::span<const Value> args) {
  if (!AsXmlNode(Value::Obj(self)) || args.empty() || args[0].IsUndefined()) return;
  const Value text[1] = {args[0]};
  rt.CallMethod(Value::Obj(self), "parseXML", text);
}

}  // namespace

void InstallNativeClasses(Runtime& rt) {
  const struct {
    const char* name;
    void (*init)(Runtime&, Object*, std::span<const Value>);
  } classes[] = {{"Array", InitArray}, {"Date", InitDate}, {"XML", InitXml}};
  for (const auto& c : classes) {
    FunctionObject* ctor = GlobalClass(rt, c.name);
    if (!ctor || !ctor->construct) continue;
    Property* proto = ctor->props.Find("prototype", rt.caseSensitive);
    if (proto) rt.RegisterNativeClass(proto->value.AsObject(), NativeClass{ctor->construct, c.init});
  }
}

}  // namespace dc::swf::avm1

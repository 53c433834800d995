// ContextMenu and ContextMenuItem: the menu a face would show on a right
// click, kept as plain properties scripts read and change (the clock's own
// menu is what the user sees). Their properties are enumerable, as Flash
// makes them.
#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

// The player's own items, in the order Flash makes them.
constexpr const char* kBuiltInItems[] = {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"};

void Set(Runtime& rt, Object* o, std::string_view name, Value v) { rt.SetMember(Value::Obj(o), name, v); }

void FillMenu(Runtime& rt, Object* menu, Value onSelect) {
  Set(rt, menu, "onSelect", onSelect);
  Object* builtIn = rt.NewObject();
  for (const char* item : kBuiltInItems) Set(rt, builtIn, item, Value::Bool(true));
  Set(rt, menu, "builtInItems", Value::Obj(builtIn));
  Set(rt, menu, "customItems", Value::Obj(rt.NewArray()));
}

Object* MakeMenu(Runtime& rt, Object* proto, Value onSelect) {
  Object* menu = rt.NewObject(proto);
  FillMenu(rt, menu, onSelect);
  return menu;
}

// An object that is not the global one: what super() in a subclass's
// constructor passes.
Object* Made(Runtime& rt, Value self) {
  Object* o = self.AsObject();
  return o && o != rt.global && o->cls == ObjectClass::Object ? o : nullptr;
}

Value MenuCall(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = Made(rt, self)) FillMenu(rt, o, Arg(args, 0));
  return Value();
}
Value MenuConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  return Value::Obj(MakeMenu(rt, proto, Arg(args, 0)));
}

Value HideBuiltInItems(Runtime& rt, Value self, std::span<const Value>) {
  const Value builtIn = rt.GetMember(self, "builtInItems");
  if (builtIn.IsObject())
    for (const char* item : kBuiltInItems) rt.SetMember(builtIn, item, Value::Bool(false));
  return Value();
}

// A new menu with the same handler, the built-in items' settings and a
// copy of each custom item.
Value CopyMenu(Runtime& rt, Value self, std::span<const Value>) {
  if (!self.IsObject()) return Value();
  Object* proto = self.o->proto ? self.o->proto : rt.objectProto;
  Object* copy = MakeMenu(rt, proto, rt.GetMember(self, "onSelect"));
  const Value builtIn = rt.GetMember(self, "builtInItems");
  const Value copiedBuiltIn = rt.GetMember(Value::Obj(copy), "builtInItems");
  if (builtIn.IsObject())
    for (const char* item : kBuiltInItems) rt.SetMember(copiedBuiltIn, item, rt.GetMember(builtIn, item));
  Object* custom = rt.GetMember(self, "customItems").AsObject();
  if (custom && custom->cls == ObjectClass::Array) {
    const std::vector<Value> items = static_cast<ArrayObject*>(custom)->Values(rt);
    rt.CountWork(items.size());
    std::vector<Value> copies;
    copies.reserve(items.size());
    for (const Value& item : items) copies.push_back(item.IsObject() ? rt.CallMethod(item, "copy", {}) : item);
    Set(rt, copy, "customItems", Value::Obj(rt.NewArray(copies)));
  }
  return Value::Obj(copy);
}

struct ItemField {
  const char* name;
  bool flag;      // a boolean with a default
  bool initial;   // the default
};
// The constructor's arguments, in order.
constexpr ItemField kItemFields[] = {
    {"caption", false, false}, {"onSelect", false, false}, {"separatorBefore", true, false},
    {"enabled", true, true},   {"visible", true, true},
};

void FillItem(Runtime& rt, Object* item, std::span<const Value> args) {
  for (std::size_t i = 0; i < std::size(kItemFields); ++i) {
    const ItemField& f = kItemFields[i];
    const Value v = Arg(args, i);
    Set(rt, item, f.name, f.flag ? Value::Bool(v.IsUndefined() ? f.initial : rt.ToBoolean(v)) : v);
  }
}

Object* MakeItem(Runtime& rt, Object* proto, std::span<const Value> args) {
  Object* item = rt.NewObject(proto);
  FillItem(rt, item, args);
  return item;
}

Value ItemCall(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = Made(rt, self)) FillItem(rt, o, args);
  return Value();
}
Value ItemConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  return Value::Obj(MakeItem(rt, proto, args));
}

Value CopyItem(Runtime& rt, Value self, std::span<const Value>) {
  if (!self.IsObject()) return Value();
  std::vector<Value> args;
  for (const ItemField& f : kItemFields) args.push_back(rt.GetMember(self, f.name));
  return Value::Obj(MakeItem(rt, self.o->proto ? self.o->proto : rt.objectProto, args));
}

}  // namespace

void InstallContextMenuBuiltins(Runtime& rt) {
  Object* menu = rt.NewObject();
  rt.DefineMethod(menu, "copy", CopyMenu);
  rt.DefineMethod(menu, "hideBuiltInItems", HideBuiltInItems);
  DefineClass(rt, "ContextMenu", menu, MenuCall, MenuConstruct);

  Object* item = rt.NewObject();
  rt.DefineMethod(item, "copy", CopyItem);
  DefineClass(rt, "ContextMenuItem", item, ItemCall, ItemConstruct);
}

}  // namespace dc::swf::avm1

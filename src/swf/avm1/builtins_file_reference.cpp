// FileReference and FileReferenceList (flash.net): a face has no one to
// pick a file, so every dialog it opens is cancelled. browse and download
// check their arguments as Flash does and open the player's one dialog
// (false while it is open); at the end of the frame it closes and the
// listeners hear onCancel. Nothing is ever selected, uploaded or saved.
#include "swf/avm1/array_object.h"
#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

struct DialogState : HostFamilyState {
  bool open = false;
};

void DeliverCancel(Runtime& rt, HostEvent& event) {
  rt.hostState->Family<DialogState>().open = false;
  const Value args[] = {event.target};
  Broadcast(rt, event.target, "onCancel", args);
}

// Opens the dialog for `owner`, unless one is open.
Value OpenDialog(Runtime& rt, Value owner) {
  DialogState& dialog = rt.hostState->Family<DialogState>();
  if (dialog.open || !owner.IsObject() || !QueueHostEvent(rt, HostEvent{DeliverCancel, owner, {}, {}}))
    return Value::Bool(false);
  dialog.open = true;
  return Value::Bool(true);
}

// A filter's field: its own (a getter that throws counts as absent),
// as a nonempty string (a toString that throws goes to the script).
bool FilterField(Runtime& rt, Object* filter, std::string_view name, bool required) {
  if (!rt.HasOwn(filter, name)) return !required;
  Value v;
  try {
    v = rt.GetMember(Value::Obj(filter), name);
  } catch (const ScriptThrow&) {
    return false;
  }
  return !rt.ToString(v).empty() || !required;
}

// browse(): none, or a nonempty array of filters that each have a
// description and an extension.
bool ValidFilters(Runtime& rt, std::span<const Value> args) {
  if (args.empty()) return true;
  Object* list = args[0].AsObject();
  if (!list || list->cls != ObjectClass::Array) return false;
  const std::vector<Value> filters = static_cast<ArrayObject*>(list)->Values(rt);
  if (filters.empty()) return false;
  rt.CountWork(filters.size());
  bool valid = true;
  for (const Value& f : filters) {
    Object* filter = f.AsObject();
    if (!filter) return false;
    valid = FilterField(rt, filter, "description", true) && valid;
    valid = FilterField(rt, filter, "extension", true) && valid;
    valid = FilterField(rt, filter, "macType", false) && valid;
  }
  return valid;
}

Value Browse(Runtime& rt, Value self, std::span<const Value> args) {
  if (!ValidFilters(rt, args)) return Value::Bool(false);
  return OpenDialog(rt, self);
}

// A URL the player could fetch: a scheme and a host.
bool FetchableUrl(std::string_view url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string_view::npos || scheme == 0) return false;
  const std::string_view rest = url.substr(scheme + 3);
  const std::size_t hostEnd = rest.find_first_of("/?#");
  const std::string_view host = rest.substr(0, hostEnd);
  return !host.empty() && host.find('@') == std::string_view::npos;
}

Value Download(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty() || !FetchableUrl(rt.ToString(args[0]))) return Value::Bool(false);
  return OpenDialog(rt, self);
}

Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }
Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
void MakeList(Runtime& rt, Object* list) {
  MakeBroadcaster(rt, list);
  rt.DefineValue(list, "fileList", Value::Obj(rt.NewArray()), kDontEnum);
}

// super() in a subclass's constructor makes its object one too.
Object* Made(Runtime& rt, Value self) {
  Object* o = self.AsObject();
  return o && o != rt.global && o->cls == ObjectClass::Object ? o : nullptr;
}

Value ReferenceCall(Runtime& rt, Value self, std::span<const Value>) {
  if (Object* o = Made(rt, self)) MakeBroadcaster(rt, o);
  return Value();
}
Value ListCall(Runtime& rt, Value self, std::span<const Value>) {
  if (Object* o = Made(rt, self)) MakeList(rt, o);
  return Value();
}

Value ReferenceConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  Object* file = rt.NewObject(proto);
  MakeBroadcaster(rt, file);
  return Value::Obj(file);
}

Value ListConstruct(Runtime& rt, Object* proto, std::span<const Value>) {
  Object* list = rt.NewObject(proto);
  MakeList(rt, list);
  return Value::Obj(list);
}

}  // namespace

void InstallFileReferenceBuiltins(Runtime& rt) {
  if (rt.version < 8) return;
  Object* package = PackageObject(rt, "flash.net");

  Object* file = rt.NewObject();
  rt.DefineMethod(file, "browse", Browse);
  rt.DefineMethod(file, "download", Download);
  rt.DefineMethod(file, "upload", False);
  rt.DefineMethod(file, "cancel", Nothing);
  FunctionObject* fileClass = rt.NewNative(ReferenceCall, ReferenceConstruct);
  rt.DefineValue(fileClass, "prototype", Value::Obj(file), kDontEnum | kDontDelete);
  rt.DefineValue(file, "constructor", Value::Obj(fileClass));
  rt.DefineValue(package, "FileReference", Value::Obj(fileClass), 0);

  Object* list = rt.NewObject();
  rt.DefineMethod(list, "browse", Browse);
  FunctionObject* listClass = rt.NewNative(ListCall, ListConstruct);
  rt.DefineValue(listClass, "prototype", Value::Obj(list), kDontEnum | kDontDelete);
  rt.DefineValue(list, "constructor", Value::Obj(listClass));
  rt.DefineValue(package, "FileReferenceList", Value::Obj(listClass), 0);
}

}  // namespace dc::swf::avm1

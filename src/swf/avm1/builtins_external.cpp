// flash.external.ExternalInterface with no container around the player:
// `available` is false, call gives null and addCallback false. Its helpers
// that turn values into the XML the container speaks and back are there,
// working as Flash's do (an empty string escapes to null, so an empty
// string value is written "<string>null</string>").
#include <cmath>

#include "swf/avm1/array_object.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

Value Null(Runtime&, Value, std::span<const Value>) { return Value::Null(); }
Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }
Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }

// The argument as text with each character in `from` replaced; null for
// none or an empty text.
template <class Replace>
Value Rewritten(Runtime& rt, std::span<const Value> args, Replace replace) {
  if (args.empty()) return Value::Null();
  const std::string in = rt.ToString(args[0]);
  if (in.empty()) return Value::Null();
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) i += replace(in, i, out);
  return rt.Str(std::move(out));
}

Value EscapeXml(Runtime& rt, Value, std::span<const Value> args) {
  return Rewritten(rt, args, [](const std::string& in, std::size_t i, std::string& out) -> std::size_t {
    switch (in[i]) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += in[i];
    }
    return 0;
  });
}

// The five entities in lower case; anything else stays as written.
Value UnescapeXml(Runtime& rt, Value, std::span<const Value> args) {
  return Rewritten(rt, args, [](const std::string& in, std::size_t i, std::string& out) -> std::size_t {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& [entity, c] : kEntities) {
      if (std::string_view(in).substr(i, entity.size()) == entity) {
        out += c;
        return entity.size() - 1;
      }
    }
    out += in[i];
    return 0;
  });
}

Value JsQuoteString(Runtime& rt, Value, std::span<const Value> args) {
  return Rewritten(rt, args, [](const std::string& in, std::size_t i, std::string& out) -> std::size_t {
    if (in[i] == '"') out += '\\';
    out += in[i];
    return 0;
  });
}

std::string ToXml(Runtime& rt, Value v);

std::string EscapedText(Runtime& rt, Value v) {
  const Value args[] = {v};
  return rt.ToString(EscapeXml(rt, Value(), args));
}

// Elements 0..length-1 as properties.
std::string ArrayToXml(Runtime& rt, Value v) {
  std::string out = "<array>";
  const double length = rt.ToNumber(rt.GetMember(v, "length"));
  const double n = std::isfinite(length) && length > 0 ? std::min(std::floor(length), 1e7) : 0;
  rt.CountWork(static_cast<std::uint64_t>(n) * 8);
  for (double i = 0; i < n; ++i) {
    const std::string index = std::to_string(static_cast<long long>(i));
    out += "<property id=\"" + index + "\">" + ToXml(rt, rt.GetMember(v, index)) + "</property>";
  }
  return out + "</array>";
}

// Elements 1..length-1, the first being the method's name.
std::string ArgumentsToXml(Runtime& rt, Value v) {
  std::string out = "<arguments>";
  const double length = rt.ToNumber(rt.GetMember(v, "length"));
  const double n = std::isfinite(length) && length > 0 ? std::min(std::floor(length), 1e7) : 0;
  rt.CountWork(static_cast<std::uint64_t>(n) * 8);
  for (double i = 1; i < n; ++i) out += ToXml(rt, rt.GetMember(v, std::to_string(static_cast<long long>(i))));
  return out + "</arguments>";
}

// The members a for-in sees, their names as they are.
std::string ObjectToXml(Runtime& rt, Value v) {
  std::string out = "<object>";
  if (Object* o = v.AsObject()) {
    const std::vector<std::string> names = rt.EnumerableNames(o);
    rt.CountWork(names.size() * 8);
    for (const std::string& name : names)
      out += "<property id=\"" + name + "\">" + ToXml(rt, rt.GetMember(v, name)) + "</property>";
  }
  return out + "</object>";
}

std::string ToXml(Runtime& rt, Value v) {
  DepthGuard guard(rt);
  switch (v.type) {
    case ValueType::Undefined:
      return "<undefined/>";
    case ValueType::Null:
      return "<null/>";
    case ValueType::Boolean:
      return v.b ? "<true/>" : "<false/>";
    case ValueType::Number:
      return "<number>" + rt.ToString(v) + "</number>";
    case ValueType::String:
      return "<string>" + EscapedText(rt, v) + "</string>";
    case ValueType::Object:
      break;
  }
  // What has a length of its own goes as an array; functions and clips as
  // null.
  if (rt.HasOwn(v.o, "length")) return ArrayToXml(rt, v);
  if (rt.TypeOf(v) == "object") return ObjectToXml(rt, v);
  return "<null/>";
}

Value ToXmlFn(Runtime& rt, Value, std::span<const Value> args) { return rt.Str(ToXml(rt, Arg(args, 0))); }
Value ArrayToXmlFn(Runtime& rt, Value, std::span<const Value> args) { return rt.Str(ArrayToXml(rt, Arg(args, 0))); }
Value ArgumentsToXmlFn(Runtime& rt, Value, std::span<const Value> args) {
  return rt.Str(ArgumentsToXml(rt, Arg(args, 0)));
}
Value ObjectToXmlFn(Runtime& rt, Value, std::span<const Value> args) {
  return rt.Str(ObjectToXml(rt, Arg(args, 0)));
}

Value ToAs(Runtime& rt, Value node);

// The child nodes of an XML node, as far as they are there.
std::vector<Value> ChildNodes(Runtime& rt, Value node) {
  std::vector<Value> out;
  const Value children = rt.GetMember(node, "childNodes");
  if (!children.IsObject()) return out;
  const double length = rt.ToNumber(rt.GetMember(children, "length"));
  const double n = std::isfinite(length) && length > 0 ? std::min(std::floor(length), 1e7) : 0;
  rt.CountWork(static_cast<std::uint64_t>(n) * 8);
  for (double i = 0; i < n; ++i) out.push_back(rt.GetMember(children, std::to_string(static_cast<long long>(i))));
  return out;
}

// <array> and <object>: each <property id="..."> child's first child.
void PropertiesToAs(Runtime& rt, Value node, Object* into) {
  for (const Value& child : ChildNodes(rt, node)) {
    const Value attributes = rt.GetMember(child, "attributes");
    const std::string id = rt.ToString(rt.GetMember(attributes, "id"));
    rt.SetMember(Value::Obj(into), id, ToAs(rt, rt.GetMember(child, "firstChild")));
  }
}

Value ArrayToAs(Runtime& rt, Value, std::span<const Value> args) {
  ArrayObject* a = rt.NewArray();
  PropertiesToAs(rt, Arg(args, 0), a);
  return Value::Obj(a);
}

Value ObjectToAs(Runtime& rt, Value, std::span<const Value> args) {
  Object* o = rt.NewObject();
  PropertiesToAs(rt, Arg(args, 0), o);
  return Value::Obj(o);
}

Value ArgumentsToAs(Runtime& rt, Value, std::span<const Value> args) {
  std::vector<Value> values;
  for (const Value& child : ChildNodes(rt, Arg(args, 0))) values.push_back(ToAs(rt, child));
  return Value::Obj(rt.NewArray(values));
}

// A node name matches as a string does with ==: a String object by its
// value, another object not at all.
bool NodeNameIs(Value name, std::string_view expected) {
  if (Object* o = name.AsObject()) {
    if (o->cls != ObjectClass::String) return false;
    name = static_cast<BoxObject*>(o)->primitive;
  }
  return name.IsString() && name.s->text == expected;
}

Value ToAs(Runtime& rt, Value node) {
  DepthGuard guard(rt);
  if (!node.IsObject()) return Value();
  const Value name = rt.GetMember(node, "nodeName");
  const Value nodeArg[] = {node};
  // The text of the node, not its value, is what is read as a number.
  if (NodeNameIs(name, "number")) return Value::Number(rt.ToNumber(rt.ToStringValue(rt.GetMember(node, "firstChild"))));
  if (NodeNameIs(name, "string")) return rt.ToStringValue(rt.GetMember(node, "firstChild"));
  if (NodeNameIs(name, "false")) return Value::Bool(false);
  if (NodeNameIs(name, "true")) return Value::Bool(true);
  if (NodeNameIs(name, "null")) return Value::Null();
  if (NodeNameIs(name, "array")) return ArrayToAs(rt, Value(), nodeArg);
  if (NodeNameIs(name, "object")) return ObjectToAs(rt, Value(), nodeArg);
  return Value();
}

Value ToAsFn(Runtime& rt, Value, std::span<const Value> args) { return ToAs(rt, Arg(args, 0)); }

Value PlainCall(Runtime&, Value, std::span<const Value>) { return Value(); }
Value PlainConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

}  // namespace

void InstallExternalInterfaceBuiltins(Runtime& rt) {
  if (rt.version < 8) return;
  FunctionObject* ei = rt.NewNative(PlainCall, PlainConstruct);
  rt.DefineValue(ei, "prototype", Value::Obj(rt.NewObject()), kDontEnum | kDontDelete);
  rt.DefineValue(ei, "available", Value::Bool(false), kDontEnum | kDontDelete | kReadOnly);
  struct Method {
    const char* name;
    NativeFunction fn;
  };
  static constexpr Method kMethods[] = {
      {"call", Null},
      {"addCallback", False},
      {"_escapeXML", EscapeXml},
      {"_unescapeXML", UnescapeXml},
      {"_jsQuoteString", JsQuoteString},
      {"_toXML", ToXmlFn},
      {"_arrayToXML", ArrayToXmlFn},
      {"_argumentsToXML", ArgumentsToXmlFn},
      {"_objectToXML", ObjectToXmlFn},
      {"_toAS", ToAsFn},
      {"_arrayToAS", ArrayToAs},
      {"_argumentsToAS", ArgumentsToAs},
      {"_objectToAS", ObjectToAs},
      {"_addCallback", False},
      {"_callIn", Nothing},
      {"_callOut", Null},
      {"_evalJS", Null},
      {"_initJS", Nothing},
  };
  for (const Method& m : kMethods) rt.DefineMethod(ei, m.name, m.fn);
  rt.DefineValue(PackageObject(rt, "flash.external"), "ExternalInterface", Value::Obj(ei), 0);
}

}  // namespace dc::swf::avm1

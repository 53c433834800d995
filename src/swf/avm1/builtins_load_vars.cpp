// LoadVars in memory: variables decoded from a URL-encoded text onto the
// object, and the object's variables written as one. Loading and sending
// reach nothing: they only say whether they were given somewhere to go.
#include <string>
#include <vector>

#include "swf/avm1/builtins_loading.h"

namespace dc::swf::avm1 {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A form field's text: '+' is a space, %XX a byte.
std::string FormDecode(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '+') {
      out += ' ';
    } else if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// As escape() writes: letters and digits stay, every other byte is %XX.
void FormEncode(std::string& out, std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
}

Value LoadVarsConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }
Value LoadVarsCall(Runtime&, Value, std::span<const Value>) { return Value(); }

// decode("a=1&b=two"): each pair a variable of the object, in order.
Value Decode(Runtime& rt, Value self, std::span<const Value> args) {
  if (!self.IsObject()) return Value();
  const std::string text = rt.ToString(Arg(args, 0));
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('&', from);
    if (end == std::string::npos) end = text.size();
    const std::string_view pair = std::string_view(text).substr(from, end - from);
    from = end + 1;
    if (pair.empty()) continue;
    rt.CountWork(8);
    const std::size_t eq = pair.find('=');
    const std::string name = FormDecode(pair.substr(0, eq));
    const std::string value = eq == std::string_view::npos ? std::string() : FormDecode(pair.substr(eq + 1));
    rt.SetMember(self, name, rt.Str(value));
    rt.CheckMemory();
  }
  return Value();
}

// Every variable a for-in would see, functions too, as name=value pairs.
Value ToStringMethod(Runtime& rt, Value self, std::span<const Value>) {
  Object* o = self.AsObject();
  if (!o) return rt.Str("");
  DepthGuard guard(rt);
  const std::vector<std::string> names = rt.EnumerableNames(o);
  rt.CountWork(names.size() * 8);
  std::string out;
  for (const std::string& name : names) {
    if (!out.empty()) out += '&';
    FormEncode(out, name);
    out += '=';
    const Value v = rt.GetMember(self, name);
    FormEncode(out, v.IsUndefined() ? (rt.version >= 7 ? "undefined" : "") : rt.ToString(v));
    if (!rt.heap.Allows(out.size())) throw ScriptStop{StopReason::Memory};
  }
  return rt.Str(std::move(out));
}

// What arrived: decoded and onLoad told, or onLoad(false) for nothing.
Value OnData(Runtime& rt, Value self, std::span<const Value> args) {
  const Value src = Arg(args, 0);
  if (src.IsUndefined()) {
    const Value failed[1] = {Value::Bool(false)};
    rt.CallMethod(self, "onLoad", failed);
    return Value();
  }
  const Value text[1] = {src};
  rt.CallMethod(self, "decode", text);
  rt.SetMember(self, "loaded", Value::Bool(true));
  const Value done[1] = {Value::Bool(true)};
  rt.CallMethod(self, "onLoad", done);
  return Value();
}

}  // namespace

void InstallLoadVarsBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "decode", Decode);
  rt.DefineMethod(p, "toString", ToStringMethod);
  rt.DefineMethod(p, "onData", OnData);
  DefineLoadingMembers(rt, p);
  DefineClass(rt, "LoadVars", p, LoadVarsCall, LoadVarsConstruct);
}

}  // namespace dc::swf::avm1

// AMF0 writing and reading of script values. An object met again is a
// reference to its first copy, so shared and cyclic structures copy as
// they are. Arrays whose only members are their elements go as strict
// arrays, others with their extra members as ECMA arrays; Dates keep
// their time, XML documents their text.
#include "swf/avm1/amf0.h"

#include <bit>
#include <cstring>
#include <string>
#include <unordered_map>

#include "swf/avm1/array_object.h"
#include "swf/avm1/conversions.h"

namespace dc::swf::avm1 {
namespace {

enum Marker : std::uint8_t {
  kNumber = 0x00,
  kBoolean = 0x01,
  kString = 0x02,
  kObject = 0x03,
  kNull = 0x05,
  kUndefined = 0x06,
  kReference = 0x07,
  kEcmaArray = 0x08,
  kObjectEnd = 0x09,
  kStrictArray = 0x0A,
  kDate = 0x0B,
  kLongString = 0x0C,
  kXmlDocument = 0x0F,
};

// References are 16-bit.
constexpr std::size_t kMaxReferences = 65535;

Object* XmlClass(Runtime& rt) {
  Property* p = rt.global->props.Find("XML", rt.caseSensitive);
  Object* c = p && !p->accessor ? p->value.AsObject() : nullptr;
  return c && c->cls == ObjectClass::Function ? c : nullptr;
}

class Writer {
 public:
  Writer(Runtime& rt, std::size_t maxBytes) : rt_(rt), max_(maxBytes), xml_(XmlClass(rt)) {}

  bool Write(Value v, int depth = 0) {
    if (out_.size() > max_) return false;
    switch (v.type) {
      case ValueType::Undefined:
        out_.push_back(kUndefined);
        return true;
      case ValueType::Null:
        out_.push_back(kNull);
        return true;
      case ValueType::Boolean:
        out_.push_back(kBoolean);
        out_.push_back(v.b ? 1 : 0);
        return true;
      case ValueType::Number:
        out_.push_back(kNumber);
        Double(v.n);
        return true;
      case ValueType::String:
        String(v.s->text, true);
        return true;
      case ValueType::Object:
        return WriteObject(v.o, depth);
    }
    return true;
  }

  std::vector<std::uint8_t>& Bytes() { return out_; }
  bool Fits() const { return out_.size() <= max_; }

 private:
  bool WriteObject(Object* o, int depth) {
    if (depth >= rt_.limits.maxAmfNesting) rt_.Capped(Runtime::Cap::AmfNesting, "deeper objects were written as undefined");
    if (o->cls == ObjectClass::Clip || depth >= rt_.limits.maxAmfNesting) {
      out_.push_back(kUndefined);
      return true;
    }
    if (const auto it = refs_.find(o); it != refs_.end()) {
      out_.push_back(kReference);
      U16(it->second);
      return true;
    }
    if (refs_.size() < kMaxReferences) refs_.emplace(o, static_cast<std::uint16_t>(refs_.size()));
    rt_.CountWork(8);
    if (o->cls == ObjectClass::Date) {
      out_.push_back(kDate);
      Double(static_cast<DateObject*>(o)->time);
      U16(0);
      return true;
    }
    if (xml_ && rt_.InstanceOf(Value::Obj(o), xml_)) {
      const std::string text = rt_.ToString(Value::Obj(o));
      out_.push_back(kXmlDocument);
      U32(static_cast<std::uint32_t>(text.size()));
      out_.insert(out_.end(), text.begin(), text.end());
      return true;
    }
    if (o->cls == ObjectClass::Array) return WriteArray(static_cast<ArrayObject*>(o), depth);
    out_.push_back(kObject);
    return Members(o, depth) && End();
  }

  bool WriteArray(ArrayObject* a, int depth) {
    const std::vector<Value> elements = a->Values(rt_);
    if (!HasOwnMembers(a)) {
      out_.push_back(kStrictArray);
      U32(static_cast<std::uint32_t>(elements.size()));
      for (const Value& e : elements)
        if (!Write(e, depth + 1)) return false;
      return true;
    }
    out_.push_back(kEcmaArray);
    U32(static_cast<std::uint32_t>(elements.size()));
    for (std::size_t i = 0; i < elements.size(); ++i) {
      String(std::to_string(i), false);
      if (!Write(elements[i], depth + 1)) return false;
    }
    return Members(a, depth) && End();
  }

  bool HasOwnMembers(Object* o) const {
    for (const Property& p : o->props.Items())
      if (!(p.flags & kDontEnum)) return true;
    return false;
  }

  // The object's own enumerable members, oldest first, so that a copy
  // lists them as the original does.
  bool Members(Object* o, int depth) {
    std::vector<std::string> names;
    for (const Property& p : o->props.Items())
      if (!(p.flags & kDontEnum)) names.push_back(p.name);
    rt_.CountWork(names.size());
    for (const std::string& name : names) {
      String(name, false);
      if (!Write(rt_.GetMember(Value::Obj(o), name), depth + 1)) return false;
    }
    return true;
  }

  bool End() {
    U16(0);
    out_.push_back(kObjectEnd);
    return Fits();
  }

  // A string value (with its marker) or a member name (without).
  void String(std::string_view s, bool marked) {
    if (s.size() > 0xFFFF) {
      if (marked) out_.push_back(kLongString);
      U32(static_cast<std::uint32_t>(s.size()));
    } else {
      if (marked) out_.push_back(kString);
      U16(static_cast<std::uint16_t>(s.size()));
    }
    out_.insert(out_.end(), s.begin(), s.end());
  }
  void U16(std::uint16_t v) {
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
    out_.push_back(static_cast<std::uint8_t>(v));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v >> 16));
    U16(static_cast<std::uint16_t>(v));
  }
  void Double(double d) {
    const auto bits = std::bit_cast<std::uint64_t>(d);
    for (int shift = 56; shift >= 0; shift -= 8) out_.push_back(static_cast<std::uint8_t>(bits >> shift));
  }

  Runtime& rt_;
  std::size_t max_;
  Object* xml_;
  std::vector<std::uint8_t> out_;
  std::unordered_map<Object*, std::uint16_t> refs_;
};

struct Damaged {};

class Reader {
 public:
  Reader(Runtime& rt, std::span<const std::uint8_t> bytes) : rt_(rt), in_(bytes), xml_(XmlClass(rt)) {}

  bool AtEnd() const { return pos_ >= in_.size(); }

  Value Read(int depth = 0) {
    if (depth > rt_.limits.maxAmfNesting) {
      rt_.Capped(Runtime::Cap::AmfNesting, "the data was read as damaged");
      throw Damaged{};
    }
    switch (U8()) {
      case kNumber:
        return Value::Number(Double());
      case kBoolean:
        return Value::Bool(U8() != 0);
      case kString:
        return rt_.Str(Text(U16()));
      case kLongString:
        return rt_.Str(Text(U32()));
      case kNull:
        return Value::Null();
      case kUndefined:
        return Value();
      case kReference: {
        const std::uint16_t i = U16();
        if (i >= refs_.size()) throw Damaged{};
        return Value::Obj(refs_[i]);
      }
      case kObject: {
        Object* o = rt_.NewObject();
        refs_.push_back(o);
        Members(o, depth);
        return Value::Obj(o);
      }
      case kEcmaArray: {
        ArrayObject* a = rt_.NewArray();
        refs_.push_back(a);
        U32();  // the count is a hint; the members say
        Members(a, depth);
        return Value::Obj(a);
      }
      case kStrictArray: {
        ArrayObject* a = rt_.NewArray();
        refs_.push_back(a);
        const std::uint32_t n = U32();
        // Each element takes a byte at least.
        if (n > in_.size() - pos_) throw Damaged{};
        for (std::uint32_t i = 0; i < n; ++i) a->Set(rt_, i, Read(depth + 1));
        return Value::Obj(a);
      }
      case kDate: {
        DateObject* d = rt_.heap.Make<DateObject>(rt_.dateProto, Double());
        U16();
        refs_.push_back(d);
        return Value::Obj(d);
      }
      case kXmlDocument: {
        const Value text = rt_.Str(Text(U32()));
        if (!xml_) return text;
        const Value args[] = {text};
        return rt_.Construct(Value::Obj(xml_), args);
      }
      default:
        throw Damaged{};
    }
  }

 private:
  void Members(Object* o, int depth) {
    for (;;) {
      const std::string name = Text(U16());
      if (name.empty() && pos_ < in_.size() && in_[pos_] == kObjectEnd) {
        ++pos_;
        return;
      }
      rt_.CountWork(8);
      rt_.SetMember(Value::Obj(o), name, Read(depth + 1));
    }
  }

  std::uint8_t U8() {
    if (pos_ >= in_.size()) throw Damaged{};
    return in_[pos_++];
  }
  std::uint16_t U16() {
    const std::uint16_t hi = U8();
    return static_cast<std::uint16_t>(hi << 8 | U8());
  }
  std::uint32_t U32() {
    const std::uint32_t hi = U16();
    return hi << 16 | U16();
  }
  double Double() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | U8();
    return std::bit_cast<double>(bits);
  }
  std::string Text(std::uint32_t n) {
    if (n > in_.size() - pos_) throw Damaged{};
    std::string s(reinterpret_cast<const char*>(in_.data() + pos_), n);
    pos_ += n;
    return s;
  }

  Runtime& rt_;
  std::span<const std::uint8_t> in_;
  std::size_t pos_ = 0;
  Object* xml_;
  std::vector<Object*> refs_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeAmf0(Runtime& rt, std::span<const Value> values, std::size_t maxBytes) {
  Writer w(rt, maxBytes);
  for (const Value& v : values)
    if (!w.Write(v) || !w.Fits()) return std::nullopt;
  return std::move(w.Bytes());
}

std::vector<Value> DecodeAmf0(Runtime& rt, std::span<const std::uint8_t> bytes) {
  Reader r(rt, bytes);
  std::vector<Value> values;
  try {
    while (!r.AtEnd()) values.push_back(r.Read());
  } catch (const Damaged&) {
  }
  return values;
}

std::optional<std::size_t> Amf0Size(Runtime& rt, Value value, std::size_t maxBytes) {
  const Value one[] = {value};
  const auto bytes = EncodeAmf0(rt, one, maxBytes);
  if (!bytes) return std::nullopt;
  return bytes->size();
}

}  // namespace dc::swf::avm1

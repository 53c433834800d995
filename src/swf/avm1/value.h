// A script value: undefined, null, a boolean, a number, a string or an
// object (functions and clip references are objects). Strings and objects
// live on the engine's collected heap; a value only points at them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dc::swf::avm1 {

class Heap;
class Object;

// Everything the collector owns: strings, objects, scopes, constant pools.
class GcCell {
 public:
  virtual ~GcCell() = default;
  // Marks what this cell points to.
  virtual void Trace(Heap&) {}
  // Bytes this cell holds, for the memory limit.
  virtual std::size_t Footprint() const = 0;

 private:
  friend class Heap;
  GcCell* nextCell_ = nullptr;
  bool marked_ = false;
};

// A string as scripts see it: UTF-16 code units, held as UTF-8 in which an
// unpaired surrogate keeps three bytes of its own (text_units.h). Its
// length is counted once, when it is made.
class StringCell final : public GcCell {
 public:
  explicit StringCell(std::string s) : StringCell(Normalized(std::move(s))) {}
  const std::string text;
  const std::uint32_t units;  // the length in UTF-16 code units
  const bool ascii;           // every byte below 0x80: units are bytes
  std::size_t Footprint() const override { return sizeof(StringCell) + text.size(); }

 private:
  struct Parts {
    std::string text;
    std::uint32_t units = 0;
    bool ascii = true;
  };
  static Parts Normalized(std::string s);
  explicit StringCell(Parts p) : text(std::move(p.text)), units(p.units), ascii(p.ascii) {}
};

enum class ValueType : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

struct Value {
  ValueType type = ValueType::Undefined;
  union {
    bool b;
    double n;
    StringCell* s;
    Object* o;
  };
  Value() : n(0) {}
  static Value Null() { Value v; v.type = ValueType::Null; return v; }
  static Value Bool(bool x) { Value v; v.type = ValueType::Boolean; v.b = x; return v; }
  static Value Number(double x) { Value v; v.type = ValueType::Number; v.n = x; return v; }
  static Value Str(StringCell* x) { Value v; v.type = ValueType::String; v.s = x; return v; }
  static Value Obj(Object* x) {
    Value v;
    if (!x) return v;
    v.type = ValueType::Object;
    v.o = x;
    return v;
  }
  bool IsUndefined() const { return type == ValueType::Undefined; }
  bool IsNull() const { return type == ValueType::Null; }
  bool IsNullish() const { return type <= ValueType::Null; }
  bool IsNumber() const { return type == ValueType::Number; }
  bool IsString() const { return type == ValueType::String; }
  bool IsObject() const { return type == ValueType::Object; }
  Object* AsObject() const { return type == ValueType::Object ? o : nullptr; }
};

}  // namespace dc::swf::avm1

// A minimal AVM1 assembler for tests: the simple actions by code, Push of
// each type, the constant pool, labels for Jump and If, and the records
// with bodies (DefineFunction, DefineFunction2, With, Try). The codes and
// DefineFunction2's flags (kPreloadThis, ...) are action_codes.h's.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "swf/avm1/action_codes.h"
#include "swf/model/movie.h"

namespace dc::swf::avm1::test {

// The action codes by the file format's names (op::PushDuplicate), as
// bytes, from the one table.
namespace op {
#define DC_AVM1_TEST_OP(name, code, family) \
  inline constexpr std::uint8_t name = static_cast<std::uint8_t>(ActionCode::name);
DC_AVM1_ACTIONS(DC_AVM1_TEST_OP)
#undef DC_AVM1_TEST_OP
}  // namespace op

struct Reg {
  std::uint8_t n;
};
struct Const {
  std::uint16_t i;
};
struct Null {};
struct Undef {};
struct Float {
  float f;
};
// Strings are pushed from C strings (the bytes are copied at once).
using PushItem = std::variant<const char*, double, int, bool, Null, Undef, Reg, Const, Float>;

class Asm {
 public:
  Asm& Op(std::uint8_t code) {
    bytes_.push_back(code);
    return *this;
  }
  // Another block's bytes (labels stay its own).
  Asm& Append(const Asm& other) {
    const std::vector<std::uint8_t> code = other.Raw();
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
  }
  Asm& Ops(std::initializer_list<std::uint8_t> codes) {
    for (std::uint8_t c : codes) Op(c);
    return *this;
  }
  // A record with a payload, as the file has it.
  Asm& Record(std::uint8_t code, const std::vector<std::uint8_t>& payload) {
    bytes_.push_back(code);
    U16(bytes_, payload.size());
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
  }
  Asm& Push(const std::vector<PushItem>& items) {
    std::vector<std::uint8_t> p;
    for (const PushItem& item : items) {
      if (const auto* s = std::get_if<const char*>(&item)) {
        p.push_back(0);
        Str(p, *s);
      } else if (const auto* d = std::get_if<double>(&item)) {
        p.push_back(6);
        std::uint64_t bits;
        std::memcpy(&bits, d, 8);
        U32(p, static_cast<std::uint32_t>(bits >> 32));
        U32(p, static_cast<std::uint32_t>(bits));
      } else if (const auto* i = std::get_if<int>(&item)) {
        p.push_back(7);
        U32(p, static_cast<std::uint32_t>(*i));
      } else if (const auto* b = std::get_if<bool>(&item)) {
        p.push_back(5);
        p.push_back(*b ? 1 : 0);
      } else if (std::holds_alternative<Null>(item)) {
        p.push_back(2);
      } else if (std::holds_alternative<Undef>(item)) {
        p.push_back(3);
      } else if (const auto* r = std::get_if<Reg>(&item)) {
        p.push_back(4);
        p.push_back(r->n);
      } else if (const auto* c = std::get_if<Const>(&item)) {
        if (c->i < 256) {
          p.push_back(8);
          p.push_back(static_cast<std::uint8_t>(c->i));
        } else {
          p.push_back(9);
          U16(p, c->i);
        }
      } else if (const auto* f = std::get_if<Float>(&item)) {
        p.push_back(1);
        std::uint32_t bits;
        std::memcpy(&bits, &f->f, 4);
        U32(p, bits);
      }
    }
    return Record(op::Push, p);
  }
  Asm& Constants(const std::vector<std::string>& names) {
    std::vector<std::uint8_t> p;
    U16(p, names.size());
    for (const std::string& n : names) Str(p, n);
    return Record(op::ConstantPool, p);
  }
  Asm& StoreRegister(std::uint8_t n) { return Record(op::StoreRegister, {n}); }
  Asm& GotoFrame(std::uint16_t frame0) {
    std::vector<std::uint8_t> p;
    U16(p, frame0);
    return Record(op::GotoFrame, p);
  }
  Asm& GotoLabel(const std::string& label) { return StrRecord(op::GoToLabel, label); }
  Asm& GotoFrame2(bool play) { return Record(op::GotoFrame2, {static_cast<std::uint8_t>(play ? 1 : 0)}); }
  Asm& SetTarget(const std::string& target) { return StrRecord(op::SetTarget, target); }
  Asm& GetUrl(const std::string& url, const std::string& target) {
    std::vector<std::uint8_t> p;
    Str(p, url);
    Str(p, target);
    return Record(op::GetURL, p);
  }
  Asm& CallFrame() { return Record(op::Call, {}); }

  // Labels and branches; offsets are filled in by Bytes().
  Asm& Label(const std::string& name) {
    labels_[name] = bytes_.size();
    return *this;
  }
  Asm& Jump(const std::string& label) { return Branch(op::Jump, label); }
  Asm& If(const std::string& label) { return Branch(op::If, label); }

  Asm& Function(const std::string& name, const std::vector<std::string>& params, const Asm& body) {
    const std::vector<std::uint8_t> code = body.Raw();
    std::vector<std::uint8_t> p;
    Str(p, name);
    U16(p, params.size());
    for (const std::string& s : params) Str(p, s);
    U16(p, code.size());
    Record(op::DefineFunction, p);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
  }
  Asm& Function2(const std::string& name, std::uint8_t registers, std::uint16_t flags,
                 const std::vector<std::pair<std::uint8_t, std::string>>& params, const Asm& body) {
    const std::vector<std::uint8_t> code = body.Raw();
    std::vector<std::uint8_t> p;
    Str(p, name);
    U16(p, params.size());
    p.push_back(registers);
    U16(p, flags);
    for (const auto& [reg, s] : params) {
      p.push_back(reg);
      Str(p, s);
    }
    U16(p, code.size());
    Record(op::DefineFunction2, p);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
  }
  // with (the object on the stack) { body }
  Asm& With(const Asm& body) {
    const std::vector<std::uint8_t> code = body.Raw();
    std::vector<std::uint8_t> p;
    U16(p, code.size());
    Record(op::With, p);
    bytes_.insert(bytes_.end(), code.begin(), code.end());
    return *this;
  }
  // try { body } catch (name or register) { ... } finally { ... }
  Asm& Try(const Asm& body, const Asm* catchBody, const std::string& catchName, const Asm* finallyBody,
           int catchRegister = -1) {
    const std::vector<std::uint8_t> t = body.Raw();
    const std::vector<std::uint8_t> c = catchBody ? catchBody->Raw() : std::vector<std::uint8_t>{};
    const std::vector<std::uint8_t> f = finallyBody ? finallyBody->Raw() : std::vector<std::uint8_t>{};
    std::vector<std::uint8_t> p;
    p.push_back(static_cast<std::uint8_t>((catchBody ? 1 : 0) | (finallyBody ? 2 : 0) | (catchRegister >= 0 ? 4 : 0)));
    U16(p, t.size());
    U16(p, c.size());
    U16(p, f.size());
    if (catchRegister >= 0) p.push_back(static_cast<std::uint8_t>(catchRegister));
    else Str(p, catchName);
    Record(op::Try, p);
    bytes_.insert(bytes_.end(), t.begin(), t.end());
    bytes_.insert(bytes_.end(), c.begin(), c.end());
    bytes_.insert(bytes_.end(), f.begin(), f.end());
    return *this;
  }

  // Shorthands for what almost every test does.
  Asm& Get(const std::string& name) { return Push({name.c_str()}).Op(op::GetVariable); }
  Asm& Set(const std::string& name, PushItem v) { return Push({name.c_str(), v}).Op(op::SetVariable); }
  // object.method(args...) on a variable; leaves the result on the stack.
  Asm& CallOn(const std::string& object, const std::string& method, std::vector<PushItem> args = {}) {
    std::vector<PushItem> pushed(args.rbegin(), args.rend());
    pushed.push_back(static_cast<int>(args.size()));
    Push(pushed);
    Get(object);
    return Push({method.c_str()}).Op(op::CallMethod);
  }
  // function(args...) by name; leaves the result on the stack.
  Asm& Call(const std::string& function, std::vector<PushItem> args = {}) {
    std::vector<PushItem> pushed(args.rbegin(), args.rend());
    pushed.push_back(static_cast<int>(args.size()));
    pushed.push_back(function.c_str());
    return Push(pushed).Op(op::CallFunction);
  }
  // new Class(args...), left on the stack.
  Asm& New(const std::string& cls, std::vector<PushItem> args = {}) {
    std::vector<PushItem> pushed(args.rbegin(), args.rend());
    pushed.push_back(static_cast<int>(args.size()));
    pushed.push_back(cls.c_str());
    return Push(pushed).Op(op::NewObject);
  }
  // [elements...] on the stack: InitArray pops element 0 first.
  Asm& Array(std::vector<PushItem> elements) {
    std::vector<PushItem> pushed(elements.rbegin(), elements.rend());
    pushed.push_back(static_cast<int>(elements.size()));
    return Push(pushed).Op(op::InitArray);
  }
  // name = <the value on the stack>
  Asm& Store(const std::string& name) { return Push({name.c_str()}).Op(op::StackSwap).Op(op::SetVariable); }
  Asm& TraceTop() { return Op(op::Trace); }

  // The bytes without a closing End, for bodies.
  std::vector<std::uint8_t> Raw() const {
    std::vector<std::uint8_t> out = bytes_;
    for (const auto& [at, label] : fixups_) {
      const auto it = labels_.find(label);
      if (it == labels_.end()) throw std::logic_error("no label " + label);
      const auto offset = static_cast<std::int16_t>(static_cast<std::int64_t>(it->second) - static_cast<std::int64_t>(at + 2));
      out[at] = static_cast<std::uint8_t>(offset & 0xFF);
      out[at + 1] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
    }
    return out;
  }
  ActionBytes Bytes() const {
    std::vector<std::uint8_t> out = Raw();
    out.push_back(0);
    return std::make_shared<const std::vector<std::uint8_t>>(std::move(out));
  }

 private:
  static void U16(std::vector<std::uint8_t>& v, std::size_t x) {
    v.push_back(static_cast<std::uint8_t>(x & 0xFF));
    v.push_back(static_cast<std::uint8_t>((x >> 8) & 0xFF));
  }
  static void U32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
  }
  static void Str(std::vector<std::uint8_t>& v, const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    v.push_back(0);
  }
  Asm& StrRecord(std::uint8_t code, const std::string& s) {
    std::vector<std::uint8_t> p;
    Str(p, s);
    return Record(code, p);
  }
  Asm& Branch(std::uint8_t code, const std::string& label) {
    Record(code, {0, 0});
    fixups_.emplace_back(bytes_.size() - 2, label);
    return *this;
  }

  std::vector<std::uint8_t> bytes_;
  std::map<std::string, std::size_t> labels_;
  std::vector<std::pair<std::size_t, std::string>> fixups_;
};

}  // namespace dc::swf::avm1::test

// The interpreter's stack, arithmetic, string and conversion actions, with
// Push's literals and the equalities and comparisons of ActionScript.
#include <cmath>
#include <cstring>

#include "swf/avm1/conversions.h"
#include "swf/avm1/interpreter_machine.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1::interp {
namespace {

// Equals2's abstract equality.
bool LooseEquals(Runtime& rt, Value x, Value y, int depth = 0) {
  if (x.type == y.type) {
    switch (x.type) {
      case ValueType::Undefined:
      case ValueType::Null:
        return true;
      case ValueType::Boolean:
        return x.b == y.b;
      case ValueType::Number:
        return x.n == y.n;
      case ValueType::String:
        return x.s == y.s || x.s->text == y.s->text;
      case ValueType::Object:
        return x.o == y.o;
    }
  }
  if (depth > 4) return false;
  // An object is made primitive first, even against null: one with neither
  // valueOf nor toString is undefined, and equals null.
  if (x.IsObject() && !y.IsObject()) return LooseEquals(rt, rt.ToPrimitive(x), y, depth + 1);
  if (y.IsObject() && !x.IsObject()) return LooseEquals(rt, x, rt.ToPrimitive(y), depth + 1);
  if (x.IsNullish() && y.IsNullish()) return true;
  if (x.IsNullish() || y.IsNullish()) return false;
  if (x.type == ValueType::Boolean) return LooseEquals(rt, Value::Number(x.b ? 1 : 0), y, depth + 1);
  if (y.type == ValueType::Boolean) return LooseEquals(rt, x, Value::Number(y.b ? 1 : 0), depth + 1);
  if (x.IsNumber() && y.IsString()) return x.n == rt.ToNumber(y);
  if (x.IsString() && y.IsNumber()) return rt.ToNumber(x) == y.n;
  if (x.IsObject()) return LooseEquals(rt, rt.ToPrimitive(x), y, depth + 1);
  if (y.IsObject()) return LooseEquals(rt, x, rt.ToPrimitive(y), depth + 1);
  return false;
}

bool StrictEquals(Value x, Value y) {
  if (x.type != y.type) return false;
  switch (x.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return true;
    case ValueType::Boolean:
      return x.b == y.b;
    case ValueType::Number:
      return x.n == y.n;
    case ValueType::String:
      return x.s->text == y.s->text;
    case ValueType::Object:
      return x.o == y.o;
  }
  return false;
}

// x < y as Less2 and Greater make it: true, false or undefined (NaN).
Value LessThan(Runtime& rt, Value x, Value y) {
  const Value px = rt.ToPrimitive(x), py = rt.ToPrimitive(y);
  if (px.IsString() && py.IsString()) return Value::Bool(px.s->text < py.s->text);
  const double a = rt.ToNumber(px), b = rt.ToNumber(py);
  if (std::isnan(a) || std::isnan(b)) return Value();
  return Value::Bool(a < b);
}

}  // namespace

void Machine::StackAction(ActionCode op, Reader& r) {
  switch (op) {
    case ActionCode::Push:
      DoPush(r);
      break;
    case ActionCode::Pop:
      Pop();
      break;
    case ActionCode::Add:
    case ActionCode::Subtract:
    case ActionCode::Multiply:
    case ActionCode::Divide:
    case ActionCode::Equals:
    case ActionCode::Less:
    case ActionCode::And:
    case ActionCode::Or:
    case ActionCode::StringEquals:
    case ActionCode::StringAdd:
    case ActionCode::StringLess:
    case ActionCode::Modulo:
    case ActionCode::Add2:
    case ActionCode::Less2:
    case ActionCode::Equals2:
    case ActionCode::BitAnd:
    case ActionCode::BitOr:
    case ActionCode::BitXor:
    case ActionCode::BitLShift:
    case ActionCode::BitRShift:
    case ActionCode::BitURShift:
    case ActionCode::StrictEquals:
    case ActionCode::Greater:
    case ActionCode::StringGreater:
      DoBinary(op);
      break;
    case ActionCode::Not:
      PushBool(!rt.ToBoolean(Pop()));
      break;
    case ActionCode::StringLength:
    case ActionCode::StringExtract:
    case ActionCode::MBStringLength:
    case ActionCode::CharToAscii:
    case ActionCode::AsciiToChar:
    case ActionCode::MBStringExtract:
    case ActionCode::MBCharToAscii:
    case ActionCode::MBAsciiToChar:
      DoStringAction(op);
      break;
    case ActionCode::ToInteger:
      Push(Value::Number(ToInt32(PopNumber())));
      break;
    case ActionCode::ToNumber:
      Push(Value::Number(PopNumber()));
      break;
    case ActionCode::ToString:
      Push(rt.ToStringValue(Pop()));
      break;
    case ActionCode::Increment:
      Push(Value::Number(PopNumber() + 1));
      break;
    case ActionCode::Decrement:
      Push(Value::Number(PopNumber() - 1));
      break;
    case ActionCode::PushDuplicate: {
      const Value v = Pop();
      Push(v);
      Push(v);
      break;
    }
    case ActionCode::StackSwap: {
      const Value y = Pop(), x = Pop();
      Push(y);
      Push(x);
      break;
    }
    case ActionCode::StoreRegister: {
      const std::uint8_t reg = r.U8();
      WriteRegister(reg, rt.stack.size() > a.stackBase ? rt.stack.back() : Value());
      break;
    }
    case ActionCode::RandomNumber: {
      const std::int32_t max = ToInt32(PopNumber());
      Push(Value::Number(max <= 0 ? 0 : static_cast<double>(rt.random() % static_cast<std::uint32_t>(max))));
      break;
    }
    case ActionCode::GetTime:
      Push(Value::Number(rt.host.timerMs ? std::floor(rt.host.timerMs()) : 0));
      break;
    case ActionCode::Trace: {
      const Value v = Pop();
      rt.Trace(v.IsUndefined() ? "undefined" : rt.ToString(v));
      break;
    }
    case ActionCode::TypeOf:
      Push(rt.Str(rt.TypeOf(Pop())));
      break;
    case ActionCode::TargetPath: {
      const Value v = Pop();
      Clip* c = rt.ClipOf(v);
      Push(c ? rt.Str(rt.DotPath(c)) : Value());
      break;
    }
    default:
      NotRun(op);
      break;
  }
}

void Machine::DoPush(Reader& r) {
  while (!r.AtEnd()) {
    const std::uint8_t type = r.U8();
    switch (type) {
      case 0:
        Push(rt.Literal(r.Str()));
        break;
      case 1: {
        const std::uint32_t bits = r.U32();
        float f;
        std::memcpy(&f, &bits, 4);
        Push(Value::Number(f));
        break;
      }
      case 2:
        Push(Value::Null());
        break;
      case 3:
        Push(Value());
        break;
      case 4: {
        Push(ReadRegister(r.U8()));
        break;
      }
      case 5:
        Push(Value::Bool(r.U8() != 0));
        break;
      case 6: {
        // The high 32 bits first, each half little-endian.
        const std::uint64_t hi = r.U32(), lo = r.U32();
        const std::uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        Push(Value::Number(d));
        break;
      }
      case 7:
        Push(Value::Number(static_cast<std::int32_t>(r.U32())));
        break;
      case 8:
      case 9: {
        const std::size_t i = type == 8 ? r.U8() : r.U16();
        Push(a.pool && i < a.pool->entries.size() ? a.pool->entries[i] : Value());
        break;
      }
      default:
        throw MalformedBlock{};
    }
  }
}

void Machine::DoBinary(ActionCode op) {
  const Value y = Pop();
  const Value x = Pop();
  switch (op) {
    case ActionCode::Add:
      Push(Value::Number(rt.ToNumber(x) + rt.ToNumber(y)));
      break;
    case ActionCode::Subtract:
      Push(Value::Number(rt.ToNumber(x) - rt.ToNumber(y)));
      break;
    case ActionCode::Multiply:
      Push(Value::Number(rt.ToNumber(x) * rt.ToNumber(y)));
      break;
    case ActionCode::Divide: {
      const double d = rt.ToNumber(y);
      if (d == 0 && rt.version < 5) {
        Push(rt.Str("#ERROR#"));
      } else {
        Push(Value::Number(rt.ToNumber(x) / d));
      }
      break;
    }
    case ActionCode::Equals:
      PushBool(rt.ToNumber(x) == rt.ToNumber(y));
      break;
    case ActionCode::Less:
      PushBool(rt.ToNumber(x) < rt.ToNumber(y));
      break;
    case ActionCode::And:
      PushBool(rt.ToBoolean(x) && rt.ToBoolean(y));
      break;
    case ActionCode::Or:
      PushBool(rt.ToBoolean(x) || rt.ToBoolean(y));
      break;
    case ActionCode::Modulo:  // the dividend's sign
      Push(Value::Number(std::fmod(rt.ToNumber(x), rt.ToNumber(y))));
      break;
    case ActionCode::Add2: {
      const Value px = rt.ToPrimitive(x), py = rt.ToPrimitive(y);
      if (px.IsString() || py.IsString()) {
        std::string left = rt.ToString(px);
        const std::string right = rt.ToString(py);
        if (!rt.heap.Allows(left.size() + right.size())) throw ScriptStop{StopReason::Memory};
        left += right;
        Push(rt.Str(std::move(left)));
      } else {
        Push(Value::Number(rt.ToNumber(px) + rt.ToNumber(py)));
      }
      break;
    }
    case ActionCode::Less2:
      Push(LessThan(rt, x, y));
      break;
    case ActionCode::Greater:
      Push(LessThan(rt, y, x));
      break;
    case ActionCode::Equals2:
      Push(Value::Bool(LooseEquals(rt, x, y)));
      break;
    case ActionCode::StrictEquals:
      Push(Value::Bool(StrictEquals(x, y)));
      break;
    case ActionCode::BitAnd:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) & ToInt32(rt.ToNumber(y))));
      break;
    case ActionCode::BitOr:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) | ToInt32(rt.ToNumber(y))));
      break;
    case ActionCode::BitXor:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) ^ ToInt32(rt.ToNumber(y))));
      break;
    case ActionCode::BitLShift:
      Push(Value::Number(static_cast<std::int32_t>(ToUint32(rt.ToNumber(x)) << (ToUint32(rt.ToNumber(y)) & 31))));
      break;
    case ActionCode::BitRShift:
      Push(Value::Number(ToInt32(rt.ToNumber(x)) >> (ToUint32(rt.ToNumber(y)) & 31)));
      break;
    case ActionCode::BitURShift:
      Push(Value::Number(ToUint32(rt.ToNumber(x)) >> (ToUint32(rt.ToNumber(y)) & 31)));
      break;
    case ActionCode::StringEquals:
      PushBool(rt.ToString(x) == rt.ToString(y));
      break;
    case ActionCode::StringLess:
      PushBool(rt.ToString(x) < rt.ToString(y));
      break;
    case ActionCode::StringGreater:
      PushBool(rt.ToString(x) > rt.ToString(y));
      break;
    case ActionCode::StringAdd: {
      std::string left = rt.ToString(x);
      const std::string right = rt.ToString(y);
      if (!rt.heap.Allows(left.size() + right.size())) throw ScriptStop{StopReason::Memory};
      left += right;
      Push(rt.Str(std::move(left)));
      break;
    }
    default:
      break;
  }
}

void Machine::DoStringAction(ActionCode op) {
  switch (op) {
    case ActionCode::StringLength:
    case ActionCode::MBStringLength: {
      const Value s = rt.ToStringValue(Pop());
      Push(Value::Number(static_cast<double>(CharCount(s.s->text, s.s->ascii))));
      break;
    }
    case ActionCode::StringExtract:  // string, index (from 1), count
    case ActionCode::MBStringExtract: {
      const double count = PopNumber();
      const double index = PopNumber();
      const Value s = rt.ToStringValue(Pop());
      const double start = std::isnan(index) || index < 1 ? 0 : std::floor(index) - 1;
      const std::size_t n = std::isnan(count) || count < 0 ? std::string::npos
                            : count > 1e9                 ? std::string::npos
                                                          : static_cast<std::size_t>(count);
      Push(rt.Str(start > 1e9 ? std::string() : CharSlice(s.s->text, s.s->ascii, static_cast<std::size_t>(start), n)));
      break;
    }
    case ActionCode::CharToAscii:
    case ActionCode::MBCharToAscii: {
      const Value s = rt.ToStringValue(Pop());
      const std::u32string chars = DecodeText(CharSlice(s.s->text, s.s->ascii, 0, 1));
      Push(Value::Number(chars.empty() ? 0 : static_cast<double>(chars[0])));
      break;
    }
    case ActionCode::AsciiToChar:
    case ActionCode::MBAsciiToChar: {
      const std::uint32_t code = ToUint32(PopNumber()) & 0x1FFFFF;
      std::string out;
      if (code != 0 && code <= 0x10FFFF) AppendChar(out, static_cast<char32_t>(code));
      Push(rt.Str(std::move(out)));
      break;
    }
    default:
      break;
  }
}

}  // namespace dc::swf::avm1::interp

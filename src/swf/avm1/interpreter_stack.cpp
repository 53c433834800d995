// The interpreter's stack, arithmetic, string and conversion actions, with
// Push's literals and the equalities and comparisons of ActionScript. Each
// operator converts its operands in the order Flash Player did (which
// valueOf or toString a script sees first), and a SWF 4 movie's own code
// gets SWF 4's results: 1 and 0 for booleans, "#ERROR#" for a division by
// zero.
#include <cmath>
#include <cstring>

#include "swf/avm1/conversions.h"
#include "swf/avm1/interpreter_machine.h"
#include "swf/avm1/text_units.h"

namespace dc::swf::avm1::interp {
namespace {

// Comparing or copying text costs an action per 64 bytes.
void CountText(Runtime& rt, std::size_t bytes) { rt.CountWork(bytes / 8); }

bool SameNumber(double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); }

bool SameText(Runtime& rt, const StringCell* x, const StringCell* y) {
  if (x == y) return true;
  if (x->text.size() != y->text.size()) return false;
  CountText(rt, x->text.size());
  return x->text == y->text;
}

// StrictEquals: the same type and value; NaN equals NaN in Flash.
bool StrictEquals(Runtime& rt, Value x, Value y) {
  if (x.type != y.type) return false;
  switch (x.type) {
    case ValueType::Undefined:
    case ValueType::Null:
      return true;
    case ValueType::Boolean:
      return x.b == y.b;
    case ValueType::Number:
      return SameNumber(x.n, y.n);
    case ValueType::String:
      return SameText(rt, x.s, y.s);
    case ValueType::Object:
      return x.o == y.o;
  }
  return false;
}

// Equals2: objects become their valueOf's (an object without one, like
// _global, is undefined then), booleans numbers, and a string meets a
// number as a number.
bool LooseEquals(Runtime& rt, Value x, Value y) {
  for (int round = 0; round < 4; ++round) {
    if (x.type == y.type) return StrictEquals(rt, x, y);
    if (x.IsObject()) {
      x = rt.ToPrimitive(x);
      if (x.IsObject()) return false;
      continue;
    }
    if (y.IsObject()) {
      y = rt.ToPrimitive(y);
      if (y.IsObject()) return false;
      continue;
    }
    if (x.IsNullish() || y.IsNullish()) return x.IsNullish() && y.IsNullish();
    if (x.type == ValueType::Boolean) {
      x = Value::Number(x.b ? 1 : 0);
    } else if (y.type == ValueType::Boolean) {
      y = Value::Number(y.b ? 1 : 0);
    } else if (x.IsString() || y.IsString()) {
      // A string meets a number as a plain IEEE comparison: no NaN quirk.
      return rt.ToNumber(x) == rt.ToNumber(y);
    }
  }
  return false;
}

// A number from an operand and its primitive: an object whose valueOf gave
// an object is asked again.
double NumberOf(Runtime& rt, Value original, Value primitive) {
  return rt.ToNumber(primitive.IsObject() ? original : primitive);
}

// An object whose valueOf gave an object makes a comparison false at
// once; a clip compares as NaN.
bool Incomparable(Value primitive) { return primitive.IsObject() && primitive.o->cls != ObjectClass::Clip; }

// x < y as Less2 and Greater make it: strings by code point, else numbers,
// undefined when either is NaN.
Value LessThan(Runtime& rt, Value x, Value y) {
  const Value px = rt.ToPrimitive(x);
  if (Incomparable(px)) return Value::Bool(false);
  const Value py = rt.ToPrimitive(y);
  if (Incomparable(py)) return Value::Bool(false);
  if (px.IsString() && py.IsString()) {
    CountText(rt, std::min(px.s->text.size(), py.s->text.size()));
    return Value::Bool(CompareText(px.s->text, py.s->text) < 0);
  }
  const double a = px.IsObject() ? std::nan("") : rt.ToNumber(px);
  const double b = py.IsObject() ? std::nan("") : rt.ToNumber(py);
  if (std::isnan(a) || std::isnan(b)) return Value();
  return Value::Bool(a < b);
}

// A string from an operand and its primitive, for Add2.
Value StringOf(Runtime& rt, Value original, Value primitive) {
  return primitive.IsObject() ? rt.ObjectToString(original) : rt.ToStringValue(primitive);
}

}  // namespace

Value Machine::Joined(Value x, Value y) {
  const std::string& left = x.s->text;
  const std::string& right = y.s->text;
  if (right.empty()) return x;
  if (left.empty()) return y;
  const std::size_t size = left.size() + right.size();
  CountText(rt, size);
  if (!rt.heap.Allows(size)) throw ScriptStop{StopReason::Memory};
  std::string joined;
  joined.reserve(size);
  joined += left;
  joined += right;
  return rt.Str(std::move(joined));
}

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
    case ActionCode::Modulo:
    case ActionCode::Equals:
    case ActionCode::Less:
    case ActionCode::And:
    case ActionCode::Or:
    case ActionCode::BitAnd:
    case ActionCode::BitOr:
    case ActionCode::BitXor:
    case ActionCode::BitLShift:
    case ActionCode::BitRShift:
    case ActionCode::BitURShift:
      DoNumeric(op);
      break;
    case ActionCode::Add2:
    case ActionCode::Less2:
    case ActionCode::Greater:
    case ActionCode::Equals2:
    case ActionCode::StrictEquals:
      DoCompare(op);
      break;
    case ActionCode::Not:
      Push(Bool(!rt.ToBoolean(Pop())));
      break;
    case ActionCode::StringEquals:
    case ActionCode::StringAdd:
    case ActionCode::StringLess:
    case ActionCode::StringGreater:
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
      Push(rt.Literal(rt.TypeOf(Pop())));
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

// The number operators of SWF 4 and the bit operators. Flash converted the
// top of the stack first for Subtract, Divide and Equals, the deeper
// operand first for the others.
void Machine::DoNumeric(ActionCode op) {
  const Value y = Pop();
  const Value x = Pop();
  double p = 0, q = 0;
  const bool topFirst = op == ActionCode::Subtract || op == ActionCode::Divide || op == ActionCode::Equals;
  const bool logical = op == ActionCode::And || op == ActionCode::Or;
  if (logical) {
    p = rt.ToBoolean(x);
    q = rt.ToBoolean(y);
  } else if (topFirst) {
    q = rt.ToNumber(y);
    p = rt.ToNumber(x);
  } else {
    p = rt.ToNumber(x);
    q = rt.ToNumber(y);
  }
  switch (op) {
    case ActionCode::Add:
      Push(Value::Number(p + q));
      break;
    case ActionCode::Subtract:
      Push(Value::Number(p - q));
      break;
    case ActionCode::Multiply:
      Push(Value::Number(p * q));
      break;
    case ActionCode::Divide:
      if (q == 0 && a.swf4) {
        Push(rt.Literal("#ERROR#"));
      } else {
        Push(Value::Number(p / q));
      }
      break;
    case ActionCode::Modulo:  // the dividend's sign
      Push(Value::Number(std::fmod(p, q)));
      break;
    case ActionCode::Equals:
      Push(Bool(p == q));
      break;
    case ActionCode::Less:
      Push(Bool(p < q));
      break;
    case ActionCode::And:
      Push(Bool(p != 0 && q != 0));
      break;
    case ActionCode::Or:
      Push(Bool(p != 0 || q != 0));
      break;
    case ActionCode::BitAnd:
      Push(Value::Number(ToInt32(p) & ToInt32(q)));
      break;
    case ActionCode::BitOr:
      Push(Value::Number(ToInt32(p) | ToInt32(q)));
      break;
    case ActionCode::BitXor:
      Push(Value::Number(ToInt32(p) ^ ToInt32(q)));
      break;
    case ActionCode::BitLShift:
      Push(Value::Number(static_cast<std::int32_t>(ToUint32(p) << (ToUint32(q) & 31))));
      break;
    case ActionCode::BitRShift:
      Push(Value::Number(ToInt32(p) >> (ToUint32(q) & 31)));
      break;
    case ActionCode::BitURShift: {
      const std::uint32_t v = ToUint32(p) >> (ToUint32(q) & 31);
      // Flash 8 and before gave the result as a signed integer.
      Push(Value::Number(rt.version >= 9 ? static_cast<double>(v) : static_cast<double>(static_cast<std::int32_t>(v))));
      break;
    }
    default:
      break;
  }
}

// Add2 and the comparisons of SWF 5 and up.
void Machine::DoCompare(ActionCode op) {
  const Value y = Pop();
  const Value x = Pop();
  if (x.IsNumber() && y.IsNumber()) {  // no conversion to make
    switch (op) {
      case ActionCode::Add2:
        Push(Value::Number(x.n + y.n));
        return;
      case ActionCode::Less2:
      case ActionCode::Greater:
        if (std::isnan(x.n) || std::isnan(y.n)) {
          Push(Value());
        } else {
          Push(Bool(op == ActionCode::Less2 ? x.n < y.n : x.n > y.n));
        }
        return;
      default:
        Push(Bool(SameNumber(x.n, y.n)));
        return;
    }
  }
  switch (op) {
    case ActionCode::Add2: {
      // The top operand's valueOf runs first.
      const Value py = rt.ToPrimitive(y);
      const Value px = rt.ToPrimitive(x);
      if (px.IsString() || py.IsString()) {
        const Value sx = StringOf(rt, x, px);
        const Value sy = StringOf(rt, y, py);
        Push(Joined(sx, sy));
      } else {
        const double a = NumberOf(rt, x, px);
        Push(Value::Number(a + NumberOf(rt, y, py)));
      }
      break;
    }
    case ActionCode::Less2:
      PushComparison(LessThan(rt, x, y));
      break;
    case ActionCode::Greater:
      PushComparison(LessThan(rt, y, x));
      break;
    case ActionCode::Equals2:
      Push(Bool(LooseEquals(rt, x, y)));
      break;
    case ActionCode::StrictEquals:
      Push(Bool(StrictEquals(rt, x, y)));
      break;
    default:
      break;
  }
}

void Machine::PushComparison(Value result) {
  Push(result.IsUndefined() || !a.swf4 ? result : Bool(result.b));
}

void Machine::DoStringAction(ActionCode op) {
  switch (op) {
    case ActionCode::StringEquals:
    case ActionCode::StringLess:
    case ActionCode::StringGreater:
    case ActionCode::StringAdd: {
      // Both operands are converted top first.
      const Value y = rt.ToStringValue(Pop());
      const Value x = rt.ToStringValue(Pop());
      if (op == ActionCode::StringAdd) {
        Push(Joined(x, y));
      } else if (op == ActionCode::StringEquals) {
        Push(Bool(SameText(rt, x.s, y.s)));
      } else {
        CountText(rt, std::min(x.s->text.size(), y.s->text.size()));
        const int c = CompareText(x.s->text, y.s->text);
        Push(Bool(op == ActionCode::StringLess ? c < 0 : c > 0));
      }
      break;
    }
    case ActionCode::StringLength:
    case ActionCode::MBStringLength:
      Push(Value::Number(rt.ToStringValue(Pop()).s->units));
      break;
    case ActionCode::StringExtract:  // string, index (from 1), count
    case ActionCode::MBStringExtract: {
      const std::int32_t count = ToInt32(PopNumber());
      const std::int32_t index = ToInt32(PopNumber());
      const Value s = rt.ToStringValue(Pop());
      const std::size_t start = index < 1 ? 0 : static_cast<std::size_t>(index) - 1;
      const std::size_t n = count < 0 ? std::string::npos : static_cast<std::size_t>(count);
      if (!s.s->ascii) rt.CountWork(s.s->text.size());
      Push(rt.Str(UnitSlice(s.s->text, s.s->ascii, start, n)));
      break;
    }
    case ActionCode::CharToAscii:
    case ActionCode::MBCharToAscii: {
      // A character beyond the 16 bits reads as U+FFFD.
      const char16_t unit = FirstUnit(rt.ToStringValue(Pop()).s->text);
      Push(Value::Number(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit));
      break;
    }
    case ActionCode::AsciiToChar:
    case ActionCode::MBAsciiToChar: {
      // The code is taken modulo 2^16; code 0 ends the string at once.
      const auto unit = static_cast<char16_t>(ToUint32(PopNumber()) & 0xFFFF);
      std::string out;
      if (unit != 0) AppendUnit(out, unit);
      Push(rt.Str(std::move(out)));
      break;
    }
    default:
      break;
  }
}

}  // namespace dc::swf::avm1::interp

// Math: the functions and the constants. Flash Player's Math functions
// share one native entry that converts the first two arguments (a missing
// one is NaN, the rest are never looked at) and then computes: so
// Math.abs() is NaN, Math.min(1) is NaN, and Math.max(3, 2, 1) is 3's and
// 2's only. The same entry answers ASnative(200, n).
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

#include "swf/avm1/builtins.h"

namespace dc::swf::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Math's functions by their index in Flash's native table 200.
enum class MathFn : std::uint8_t {
  Abs, Min, Max, Sin, Cos, Atan2, Tan, Exp, Log, Sqrt, Round, Random, Floor, Ceil, Atan, Asin, Acos, Pow,
  Count
};
constexpr const char* kNames[] = {"abs",  "min",    "max",   "sin",  "cos",  "atan2", "tan",  "exp",  "log",
                                  "sqrt", "round",  "random", "floor", "ceil", "atan", "asin", "acos", "pow"};
static_assert(std::size(kNames) == static_cast<std::size_t>(MathFn::Count));

Value Compute(Runtime& rt, std::size_t index, std::span<const Value> args) {
  const double x = args.size() > 0 ? rt.ToNumber(args[0]) : kNaN;
  const double y = args.size() > 1 ? rt.ToNumber(args[1]) : kNaN;
  double r = kNaN;
  switch (static_cast<MathFn>(index)) {
    case MathFn::Abs: r = std::fabs(x); break;
    case MathFn::Min: r = args.empty() ? kInfinity : std::isnan(x) || std::isnan(y) ? kNaN : std::min(x, y); break;
    case MathFn::Max: r = args.empty() ? -kInfinity : std::isnan(x) || std::isnan(y) ? kNaN : std::max(x, y); break;
    case MathFn::Sin: r = std::sin(x); break;
    case MathFn::Cos: r = std::cos(x); break;
    case MathFn::Atan2: r = std::atan2(x, y); break;
    case MathFn::Tan: r = std::tan(x); break;
    case MathFn::Exp: r = std::exp(x); break;
    case MathFn::Log: r = std::log(x); break;
    case MathFn::Sqrt: r = std::sqrt(x); break;
    case MathFn::Round: r = std::floor(x + 0.5); break;
    case MathFn::Random: r = static_cast<double>(rt.random()) / 4294967296.0; break;
    case MathFn::Floor: r = std::floor(x); break;
    case MathFn::Ceil: r = std::ceil(x); break;
    case MathFn::Atan: r = std::atan(x); break;
    case MathFn::Asin: r = std::asin(x); break;
    case MathFn::Acos: r = std::acos(x); break;
    case MathFn::Pow: r = std::pow(x, y); break;
    case MathFn::Count: break;
  }
  return Value::Number(r);
}

template <std::size_t Index>
Value Entry(Runtime& rt, Value, std::span<const Value> args) {
  return Compute(rt, Index, args);
}

template <std::size_t... I>
constexpr std::array<NativeFunction, sizeof...(I) + 1> MakeEntries(std::index_sequence<I...>) {
  // The last entry stands for an index past the table: NaN.
  return {Entry<I>..., Entry<static_cast<std::size_t>(MathFn::Count)>};
}
constexpr auto kEntries = MakeEntries(std::make_index_sequence<static_cast<std::size_t>(MathFn::Count)>());

}  // namespace

NativeFunction MathNative(double index) {
  const bool inTable = index >= 0 && index < static_cast<double>(MathFn::Count);
  return kEntries[inTable ? static_cast<std::size_t>(index) : kEntries.size() - 1];
}

void InstallMathBuiltins(Runtime& rt) {
  Object* m = rt.NewObject();
  rt.DefineValue(rt.global, "Math", Value::Obj(m));
  for (std::size_t i = 0; i < std::size(kNames); ++i) rt.DefineMethod(m, kNames[i], kEntries[i]);
  const std::uint8_t constant = kDontEnum | kDontDelete | kReadOnly;
  rt.DefineValue(m, "PI", Value::Number(3.141592653589793), constant);
  rt.DefineValue(m, "E", Value::Number(2.718281828459045), constant);
  rt.DefineValue(m, "SQRT2", Value::Number(1.4142135623730951), constant);
  rt.DefineValue(m, "SQRT1_2", Value::Number(0.7071067811865476), constant);
  rt.DefineValue(m, "LN2", Value::Number(0.6931471805599453), constant);
  rt.DefineValue(m, "LN10", Value::Number(2.302585092994046), constant);
  rt.DefineValue(m, "LOG2E", Value::Number(1.4426950408889634), constant);
  rt.DefineValue(m, "LOG10E", Value::Number(0.4342944819032518), constant);
}

}  // namespace dc::swf::avm1

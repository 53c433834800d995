// Math: the functions and the constants.
#include <cmath>
#include <limits>

#include "swf/avm1/builtins.h"

namespace dc::swf::avm1 {
namespace {

template <double (*F)(double)>
Value Unary(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Number(F(rt.ToNumber(Arg(args, 0))));
}

double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Round(double x) { return std::floor(x + 0.5); }
double Abs(double x) { return std::fabs(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Exp(double x) { return std::exp(x); }
double Log(double x) { return std::log(x); }

Value Atan2(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Number(std::atan2(rt.ToNumber(Arg(args, 0)), rt.ToNumber(Arg(args, 1))));
}

Value Pow(Runtime& rt, Value, std::span<const Value> args) {
  return Value::Number(std::pow(rt.ToNumber(Arg(args, 0)), rt.ToNumber(Arg(args, 1))));
}

template <bool Max>
Value Extreme(Runtime& rt, Value, std::span<const Value> args) {
  double best = Max ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  for (const Value& v : args) {
    const double n = rt.ToNumber(v);
    if (std::isnan(n)) return Value::Number(n);
    if (Max ? n > best : n < best) best = n;
  }
  return Value::Number(best);
}

Value Random(Runtime& rt, Value, std::span<const Value>) {
  return Value::Number(static_cast<double>(rt.random()) / 4294967296.0);
}

}  // namespace

void InstallMathBuiltins(Runtime& rt) {
  Object* m = rt.NewObject();
  rt.DefineValue(rt.global, "Math", Value::Obj(m));
  rt.DefineMethod(m, "floor", Unary<Floor>);
  rt.DefineMethod(m, "ceil", Unary<Ceil>);
  rt.DefineMethod(m, "round", Unary<Round>);
  rt.DefineMethod(m, "abs", Unary<Abs>);
  rt.DefineMethod(m, "sin", Unary<Sin>);
  rt.DefineMethod(m, "cos", Unary<Cos>);
  rt.DefineMethod(m, "tan", Unary<Tan>);
  rt.DefineMethod(m, "asin", Unary<Asin>);
  rt.DefineMethod(m, "acos", Unary<Acos>);
  rt.DefineMethod(m, "atan", Unary<Atan>);
  rt.DefineMethod(m, "sqrt", Unary<Sqrt>);
  rt.DefineMethod(m, "exp", Unary<Exp>);
  rt.DefineMethod(m, "log", Unary<Log>);
  rt.DefineMethod(m, "atan2", Atan2);
  rt.DefineMethod(m, "pow", Pow);
  rt.DefineMethod(m, "min", Extreme<false>);
  rt.DefineMethod(m, "max", Extreme<true>);
  rt.DefineMethod(m, "random", Random);
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

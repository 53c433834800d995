// flash.geom.Matrix: an affine map held as six ordinary members (a, b, c,
// d, tx, ty; the translation in pixels), changed in place by its methods.
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/geom_objects.h"

namespace dc::swf::avm1 {
namespace {

constexpr std::string_view kNames[] = {"a", "b", "c", "d", "tx", "ty"};

Matrix Read(Runtime& rt, Value m) {
  return {NumberMember(rt, m, "a"),  NumberMember(rt, m, "b"),  NumberMember(rt, m, "c"),
          NumberMember(rt, m, "d"), NumberMember(rt, m, "tx"), NumberMember(rt, m, "ty")};
}

void Write(Runtime& rt, Value self, const Matrix& m) {
  const double v[6] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
  for (std::size_t i = 0; i < 6; ++i) rt.SetMember(self, kNames[i], Value::Number(v[i]));
}

// new Matrix() is the identity; given arguments are kept as they are.
void Init(Runtime& rt, Value self, std::span<const Value> args) {
  if (args.empty()) {
    Write(rt, self, Matrix{});
    return;
  }
  for (std::size_t i = 0; i < 6; ++i) rt.SetMember(self, kNames[i], Arg(args, i));
}

Value MatrixCall(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject(); o && o != rt.global) Init(rt, self, args);
  return Value();
}

Value MatrixConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  const Value m = Value::Obj(rt.NewObject(proto));
  Init(rt, m, args);
  return m;
}

double Num(Runtime& rt, std::span<const Value> args, std::size_t i) { return rt.ToNumber(Arg(args, i)); }
// An optional argument: absent or undefined is `fallback`.
double Opt(Runtime& rt, std::span<const Value> args, std::size_t i, double fallback) {
  return Arg(args, i).IsUndefined() ? fallback : rt.ToNumber(args[i]);
}

// `self` followed by `then`: points go through self first.
Matrix Followed(const Matrix& self, const Matrix& then) { return then * self; }

Value Concat(Runtime& rt, Value self, std::span<const Value> args) {
  Write(rt, self, Followed(Read(rt, self), Read(rt, Arg(args, 0))));
  return Value();
}

Value Identity(Runtime& rt, Value self, std::span<const Value>) {
  Write(rt, self, Matrix{});
  return Value();
}

Value Invert(Runtime& rt, Value self, std::span<const Value>) {
  const Matrix m = Read(rt, self);
  const double det = m.a * m.d - m.b * m.c;
  Write(rt, self,
        {m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.ty - m.d * m.tx) / det,
         (m.b * m.tx - m.a * m.ty) / det});
  return Value();
}

Matrix Rotation(double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {c, s, -s, c, 0, 0};
}

Value Rotate(Runtime& rt, Value self, std::span<const Value> args) {
  Write(rt, self, Followed(Read(rt, self), Rotation(Num(rt, args, 0))));
  return Value();
}

Value Scale(Runtime& rt, Value self, std::span<const Value> args) {
  Write(rt, self, Followed(Read(rt, self), Matrix::Scale(Num(rt, args, 0), Num(rt, args, 1))));
  return Value();
}

Value Translate(Runtime& rt, Value self, std::span<const Value> args) {
  Matrix m = Read(rt, self);
  m.tx += Num(rt, args, 0);
  m.ty += Num(rt, args, 1);
  Write(rt, self, m);
  return Value();
}

Matrix Box(double sx, double sy, double rotation, double tx, double ty) {
  const double c = std::cos(rotation), s = std::sin(rotation);
  return {c * sx, s * sy, -s * sx, c * sy, tx, ty};
}

Value CreateBox(Runtime& rt, Value self, std::span<const Value> args) {
  Write(rt, self,
        Box(Num(rt, args, 0), Num(rt, args, 1), Opt(rt, args, 2, 0), Opt(rt, args, 3, 0), Opt(rt, args, 4, 0)));
  return Value();
}

// A gradient's square is 1638.4 pixels wide: the box scales it to the
// given size and centres it on the box.
Value CreateGradientBox(Runtime& rt, Value self, std::span<const Value> args) {
  const double width = Num(rt, args, 0), height = Num(rt, args, 1);
  Write(rt, self,
        Box(width / 1638.4, height / 1638.4, Opt(rt, args, 2, 0), Opt(rt, args, 3, 0) + width / 2,
            Opt(rt, args, 4, 0) + height / 2));
  return Value();
}

Value TransformPoint(Runtime& rt, Value self, std::span<const Value> args) {
  const Matrix m = Read(rt, self);
  const Value p = Arg(args, 0);
  const Point q = m.Apply({NumberMember(rt, p, "x"), NumberMember(rt, p, "y")});
  return NewPoint(rt, q.x, q.y);
}

Value DeltaTransformPoint(Runtime& rt, Value self, std::span<const Value> args) {
  Matrix m = Read(rt, self);
  m.tx = m.ty = 0;
  const Value p = Arg(args, 0);
  const Point q = m.Apply({NumberMember(rt, p, "x"), NumberMember(rt, p, "y")});
  return NewPoint(rt, q.x, q.y);
}

Value Clone(Runtime& rt, Value self, std::span<const Value>) {
  Value v[6];
  for (std::size_t i = 0; i < 6; ++i) v[i] = rt.GetMember(self, kNames[i]);
  return NewGeom(rt, "Matrix", {v[0], v[1], v[2], v[3], v[4], v[5]});
}

Value ToString(Runtime& rt, Value self, std::span<const Value>) {
  std::string s = "(";
  for (std::size_t i = 0; i < 6; ++i) {
    if (i) s += ", ";
    s += std::string(kNames[i]) + "=" + rt.ToString(rt.GetMember(self, kNames[i]));
  }
  return rt.Str(s + ")");
}

}  // namespace

Value NewMatrix(Runtime& rt, const Matrix& m) {
  return NewGeom(rt, "Matrix", {Value::Number(m.a), Value::Number(m.b), Value::Number(m.c), Value::Number(m.d),
                                Value::Number(m.tx), Value::Number(m.ty)});
}

std::optional<Matrix> MatrixOf(Runtime& rt, Value v) {
  if (!v.IsObject()) return std::nullopt;
  return Read(rt, v);
}

void InstallMatrixBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "concat", Concat);
  rt.DefineMethod(p, "identity", Identity);
  rt.DefineMethod(p, "invert", Invert);
  rt.DefineMethod(p, "rotate", Rotate);
  rt.DefineMethod(p, "scale", Scale);
  rt.DefineMethod(p, "translate", Translate);
  rt.DefineMethod(p, "createBox", CreateBox);
  rt.DefineMethod(p, "createGradientBox", CreateGradientBox);
  rt.DefineMethod(p, "transformPoint", TransformPoint);
  rt.DefineMethod(p, "deltaTransformPoint", DeltaTransformPoint);
  rt.DefineMethod(p, "clone", Clone);
  rt.DefineMethod(p, "toString", ToString);
  DefinePackageClass(rt, "flash.geom", "Matrix", p, MatrixCall, MatrixConstruct);
}

}  // namespace dc::swf::avm1

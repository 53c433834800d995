// flash.geom.Point and flash.geom.Rectangle, and what the Flash 8 classes
// share (geom_objects.h). Both classes keep their numbers as ordinary
// members that scripts may set to anything; the methods read them back at
// each call, so a member set to a string or an object flows through as the
// player's own methods let it.
#include <cmath>

#include "swf/avm1/builtins.h"
#include "swf/avm1/geom_objects.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {

FunctionObject* DefinePackageClass(Runtime& rt, std::string_view package, std::string_view name, Object* proto,
                                   NativeFunction call, NativeConstructor construct) {
  FunctionObject* ctor = rt.NewNative(call, construct);
  rt.DefineValue(ctor, "prototype", Value::Obj(proto), kDontEnum | kDontDelete);
  rt.DefineValue(proto, "constructor", Value::Obj(ctor));
  rt.DefineValue(PackageObject(rt, package), name, Value::Obj(ctor), 0);
  return ctor;
}

namespace {

Value GeomClass(Runtime& rt, std::string_view name) {
  Value flash = rt.GetMember(Value::Obj(rt.global), "flash");
  return rt.GetMember(rt.GetMember(flash, "geom"), name);
}

}  // namespace

Value NewGeom(Runtime& rt, std::string_view name, std::initializer_list<Value> args) {
  const Value ctor = GeomClass(rt, name);
  if (!ctor.IsObject()) return Value();
  return rt.Construct(ctor, std::span<const Value>(args.begin(), args.size()));
}

Value NewPoint(Runtime& rt, double x, double y) { return NewGeom(rt, "Point", {Value::Number(x), Value::Number(y)}); }

Value NewRectangle(Runtime& rt, double x, double y, double width, double height) {
  return NewGeom(rt, "Rectangle",
                 {Value::Number(x), Value::Number(y), Value::Number(width), Value::Number(height)});
}

double NumberMember(Runtime& rt, Value object, std::string_view name) {
  if (!object.IsObject()) return std::nan("");
  const Value v = rt.GetMember(object, name);
  return v.IsUndefined() ? std::nan("") : rt.ToNumber(v);
}

bool IsGeom(Runtime& rt, Value v, std::string_view name) {
  const Value ctor = GeomClass(rt, name);
  return v.IsObject() && ctor.IsObject() && rt.InstanceOf(v, ctor.o);
}

Value ScriptAdd(Runtime& rt, Value a, Value b) {
  const Value pa = rt.ToPrimitive(a), pb = rt.ToPrimitive(b);
  if (!pa.IsString() && !pb.IsString()) return Value::Number(rt.ToNumber(pa) + rt.ToNumber(pb));
  std::string left = rt.ToString(pa);
  const std::string right = rt.ToString(pb);
  if (!rt.heap.Allows(left.size() + right.size())) throw ScriptStop{StopReason::Memory};
  left += right;
  return rt.Str(std::move(left));
}

namespace {

Value Get(Runtime& rt, Value o, std::string_view name) { return o.IsObject() ? rt.GetMember(o, name) : Value(); }
void Set(Runtime& rt, Value o, std::string_view name, Value v) { rt.SetMember(o, name, v); }
Value Num(double n) { return Value::Number(n); }
double N(Runtime& rt, Value v) { return rt.ToNumber(v); }

// ECMA's loose equality for the primitives members hold; objects by
// identity.
bool Same(Runtime& rt, Value a, Value b) {
  if (a.IsNullish() || b.IsNullish()) return a.IsNullish() && b.IsNullish();
  if (a.type == b.type) {
    switch (a.type) {
      case ValueType::Boolean:
        return a.b == b.b;
      case ValueType::Number:
        return a.n == b.n;
      case ValueType::String:
        return a.s->text == b.s->text;
      case ValueType::Object:
        return a.o == b.o;
      default:
        return true;
    }
  }
  if (a.IsObject() || b.IsObject()) return false;
  return N(rt, a) == N(rt, b);
}

std::string Show(Runtime& rt, Value o, std::string_view name) { return rt.ToString(rt.GetMember(o, name)); }

// --- Point -----------------------------------------------------------------

// new Point() is the origin; given arguments are kept as they are.
void InitPoint(Runtime& rt, Value self, std::span<const Value> args) {
  Set(rt, self, "x", args.empty() ? Num(0) : args[0]);
  Set(rt, self, "y", args.empty() ? Num(0) : Arg(args, 1));
}

Value PointCall(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject(); o && o != rt.global) InitPoint(rt, self, args);
  return Value();
}

Value PointConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  const Value p = Value::Obj(rt.NewObject(proto));
  InitPoint(rt, p, args);
  return p;
}

Value PointLength(Runtime& rt, Value self, std::span<const Value>) {
  const double x = N(rt, Get(rt, self, "x")), y = N(rt, Get(rt, self, "y"));
  return Num(std::sqrt(x * x + y * y));
}

Value PointAdd(Runtime& rt, Value self, std::span<const Value> args) {
  const Value v = Arg(args, 0);
  return NewGeom(rt, "Point", {ScriptAdd(rt, Get(rt, self, "x"), Get(rt, v, "x")),
                               ScriptAdd(rt, Get(rt, self, "y"), Get(rt, v, "y"))});
}

Value PointSubtract(Runtime& rt, Value self, std::span<const Value> args) {
  const Value v = Arg(args, 0);
  return NewPoint(rt, N(rt, Get(rt, self, "x")) - N(rt, Get(rt, v, "x")),
                  N(rt, Get(rt, self, "y")) - N(rt, Get(rt, v, "y")));
}

Value PointClone(Runtime& rt, Value self, std::span<const Value>) {
  return NewGeom(rt, "Point", {Get(rt, self, "x"), Get(rt, self, "y")});
}

Value PointEquals(Runtime& rt, Value self, std::span<const Value> args) {
  const Value other = Arg(args, 0);
  if (!IsGeom(rt, other, "Point")) return Value::Bool(false);
  return Value::Bool(Same(rt, Get(rt, self, "x"), Get(rt, other, "x")) &&
                     Same(rt, Get(rt, self, "y"), Get(rt, other, "y")));
}

// Scales the point to the given length; a point of no length (or none
// that is a number) stays.
Value PointNormalize(Runtime& rt, Value self, std::span<const Value> args) {
  const double length = N(rt, PointLength(rt, self, {}));
  if (length > 0) {
    const double f = N(rt, Arg(args, 0)) / length;
    Set(rt, self, "x", Num(N(rt, Get(rt, self, "x")) * f));
    Set(rt, self, "y", Num(N(rt, Get(rt, self, "y")) * f));
  }
  return Value();
}

Value PointOffset(Runtime& rt, Value self, std::span<const Value> args) {
  Set(rt, self, "x", ScriptAdd(rt, Get(rt, self, "x"), Arg(args, 0)));
  Set(rt, self, "y", ScriptAdd(rt, Get(rt, self, "y"), Arg(args, 1)));
  return Value();
}

Value PointToString(Runtime& rt, Value self, std::span<const Value>) {
  return rt.Str("(x=" + Show(rt, self, "x") + ", y=" + Show(rt, self, "y") + ")");
}

// The static methods work through the points' own methods, so an object
// that is no Point has none to call and gives undefined.
Value PointDistance(Runtime& rt, Value, std::span<const Value> args) {
  const Value first = Arg(args, 0);
  if (!first.IsObject()) return Value();
  const Value arg[1] = {Arg(args, 1)};
  const Value difference = rt.CallMethod(first, "subtract", arg);
  return Get(rt, difference, "length");
}

Value PointInterpolate(Runtime& rt, Value, std::span<const Value> args) {
  const Value a = Arg(args, 0), b = Arg(args, 1);
  const double f = N(rt, Arg(args, 2));
  const double ax = N(rt, Get(rt, a, "x")), ay = N(rt, Get(rt, a, "y"));
  const double bx = N(rt, Get(rt, b, "x")), by = N(rt, Get(rt, b, "y"));
  return NewPoint(rt, bx + f * (ax - bx), by + f * (ay - by));
}

Value PointPolar(Runtime& rt, Value, std::span<const Value> args) {
  const double length = N(rt, Arg(args, 0)), angle = N(rt, Arg(args, 1));
  return NewPoint(rt, length * std::cos(angle), length * std::sin(angle));
}

// --- Rectangle -------------------------------------------------------------

struct Box {
  double x, y, width, height;
  double Right() const { return x + width; }
  double Bottom() const { return y + height; }
  // NaN sides count as empty too.
  bool Empty() const { return !(width > 0 && height > 0); }
};

Box BoxOf(Runtime& rt, Value r) {
  return {N(rt, Get(rt, r, "x")), N(rt, Get(rt, r, "y")), N(rt, Get(rt, r, "width")), N(rt, Get(rt, r, "height"))};
}

Value NewBox(Runtime& rt, const Box& b) { return NewRectangle(rt, b.x, b.y, b.width, b.height); }

void InitRectangle(Runtime& rt, Value self, std::span<const Value> args) {
  static constexpr std::string_view kNames[] = {"x", "y", "width", "height"};
  for (std::size_t i = 0; i < 4; ++i) Set(rt, self, kNames[i], args.empty() ? Num(0) : Arg(args, i));
}

Value RectangleCall(Runtime& rt, Value self, std::span<const Value> args) {
  if (Object* o = self.AsObject(); o && o != rt.global) InitRectangle(rt, self, args);
  return Value();
}

Value RectangleConstruct(Runtime& rt, Object* proto, std::span<const Value> args) {
  const Value r = Value::Obj(rt.NewObject(proto));
  InitRectangle(rt, r, args);
  return r;
}

Value RectangleToString(Runtime& rt, Value self, std::span<const Value>) {
  return rt.Str("(x=" + Show(rt, self, "x") + ", y=" + Show(rt, self, "y") + ", w=" + Show(rt, self, "width") +
                ", h=" + Show(rt, self, "height") + ")");
}

Value RectangleClone(Runtime& rt, Value self, std::span<const Value>) {
  return NewGeom(rt, "Rectangle",
                 {Get(rt, self, "x"), Get(rt, self, "y"), Get(rt, self, "width"), Get(rt, self, "height")});
}

Value RectangleIsEmpty(Runtime& rt, Value self, std::span<const Value>) {
  return Value::Bool(!(N(rt, Get(rt, self, "width")) > 0 && N(rt, Get(rt, self, "height")) > 0));
}

Value RectangleSetEmpty(Runtime& rt, Value self, std::span<const Value>) {
  for (std::string_view name : {"x", "y", "width", "height"}) Set(rt, self, name, Num(0));
  return Value();
}

bool Contains(const Box& b, double x, double y) { return x >= b.x && y >= b.y && x < b.Right() && y < b.Bottom(); }

Value RectangleContains(Runtime& rt, Value self, std::span<const Value> args) {
  return Value::Bool(Contains(BoxOf(rt, self), N(rt, Arg(args, 0)), N(rt, Arg(args, 1))));
}

Value RectangleContainsPoint(Runtime& rt, Value self, std::span<const Value> args) {
  const Value p = Arg(args, 0);
  return Value::Bool(Contains(BoxOf(rt, self), N(rt, Get(rt, p, "x")), N(rt, Get(rt, p, "y"))));
}

Value RectangleContainsRectangle(Runtime& rt, Value self, std::span<const Value> args) {
  const Box a = BoxOf(rt, self), b = BoxOf(rt, Arg(args, 0));
  return Value::Bool(b.x >= a.x && b.y >= a.y && b.Right() <= a.Right() && b.Bottom() <= a.Bottom());
}

Value RectangleEquals(Runtime& rt, Value self, std::span<const Value> args) {
  const Value other = Arg(args, 0);
  if (!IsGeom(rt, other, "Rectangle")) return Value::Bool(false);
  for (std::string_view name : {"x", "y", "width", "height"})
    if (!Same(rt, Get(rt, self, name), Get(rt, other, name))) return Value::Bool(false);
  return Value::Bool(true);
}

void Inflate(Runtime& rt, Value self, double dx, double dy) {
  const Box b = BoxOf(rt, self);
  Set(rt, self, "x", Num(b.x - dx));
  Set(rt, self, "width", Num(b.width + 2 * dx));
  Set(rt, self, "y", Num(b.y - dy));
  Set(rt, self, "height", Num(b.height + 2 * dy));
}

Value RectangleInflate(Runtime& rt, Value self, std::span<const Value> args) {
  Inflate(rt, self, N(rt, Arg(args, 0)), N(rt, Arg(args, 1)));
  return Value();
}

Value RectangleInflatePoint(Runtime& rt, Value self, std::span<const Value> args) {
  const Value p = Arg(args, 0);
  Inflate(rt, self, N(rt, Get(rt, p, "x")), N(rt, Get(rt, p, "y")));
  return Value();
}

void Offset(Runtime& rt, Value self, double dx, double dy) {
  Set(rt, self, "x", Num(N(rt, Get(rt, self, "x")) + dx));
  Set(rt, self, "y", Num(N(rt, Get(rt, self, "y")) + dy));
}

Value RectangleOffset(Runtime& rt, Value self, std::span<const Value> args) {
  Offset(rt, self, N(rt, Arg(args, 0)), N(rt, Arg(args, 1)));
  return Value();
}

Value RectangleOffsetPoint(Runtime& rt, Value self, std::span<const Value> args) {
  const Value p = Arg(args, 0);
  Offset(rt, self, N(rt, Get(rt, p, "x")), N(rt, Get(rt, p, "y")));
  return Value();
}

Box Intersection(const Box& a, const Box& b) {
  if (a.Empty() || b.Empty()) return {0, 0, 0, 0};
  const double x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  const double x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Bottom(), b.Bottom());
  if (x1 <= x0 || y1 <= y0) return {0, 0, 0, 0};
  return {x0, y0, x1 - x0, y1 - y0};
}

Value RectangleIntersection(Runtime& rt, Value self, std::span<const Value> args) {
  return NewBox(rt, Intersection(BoxOf(rt, self), BoxOf(rt, Arg(args, 0))));
}

Value RectangleIntersects(Runtime& rt, Value self, std::span<const Value> args) {
  return Value::Bool(!Intersection(BoxOf(rt, self), BoxOf(rt, Arg(args, 0))).Empty());
}

Value RectangleUnion(Runtime& rt, Value self, std::span<const Value> args) {
  const Box a = BoxOf(rt, self), b = BoxOf(rt, Arg(args, 0));
  if (a.Empty()) return NewBox(rt, b);
  if (b.Empty()) return NewBox(rt, a);
  const double x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  return NewBox(rt, {x0, y0, std::max(a.Right(), b.Right()) - x0, std::max(a.Bottom(), b.Bottom()) - y0});
}

// The edges and corners, read and set through x, y, width and height: a
// left or top edge moved keeps the opposite edge where it is.
Value GetLeft(Runtime& rt, Value self, std::span<const Value>) { return Get(rt, self, "x"); }
Value GetTop(Runtime& rt, Value self, std::span<const Value>) { return Get(rt, self, "y"); }
Value GetRight(Runtime& rt, Value self, std::span<const Value>) {
  return ScriptAdd(rt, Get(rt, self, "x"), Get(rt, self, "width"));
}
Value GetBottom(Runtime& rt, Value self, std::span<const Value>) {
  return ScriptAdd(rt, Get(rt, self, "y"), Get(rt, self, "height"));
}
void MoveLeft(Runtime& rt, Value self, Value left) {
  Set(rt, self, "width", Num(N(rt, Get(rt, self, "width")) + N(rt, Get(rt, self, "x")) - N(rt, left)));
  Set(rt, self, "x", left);
}
void MoveTop(Runtime& rt, Value self, Value top) {
  Set(rt, self, "height", Num(N(rt, Get(rt, self, "height")) + N(rt, Get(rt, self, "y")) - N(rt, top)));
  Set(rt, self, "y", top);
}
Value SetLeft(Runtime& rt, Value self, std::span<const Value> args) {
  MoveLeft(rt, self, Arg(args, 0));
  return Value();
}
Value SetTop(Runtime& rt, Value self, std::span<const Value> args) {
  MoveTop(rt, self, Arg(args, 0));
  return Value();
}
Value SetRight(Runtime& rt, Value self, std::span<const Value> args) {
  Set(rt, self, "width", Num(N(rt, Arg(args, 0)) - N(rt, Get(rt, self, "x"))));
  return Value();
}
Value SetBottom(Runtime& rt, Value self, std::span<const Value> args) {
  Set(rt, self, "height", Num(N(rt, Arg(args, 0)) - N(rt, Get(rt, self, "y"))));
  return Value();
}
Value GetSize(Runtime& rt, Value self, std::span<const Value>) {
  return NewGeom(rt, "Point", {Get(rt, self, "width"), Get(rt, self, "height")});
}
Value SetSize(Runtime& rt, Value self, std::span<const Value> args) {
  Set(rt, self, "width", Get(rt, Arg(args, 0), "x"));
  Set(rt, self, "height", Get(rt, Arg(args, 0), "y"));
  return Value();
}
Value GetTopLeft(Runtime& rt, Value self, std::span<const Value>) {
  return NewGeom(rt, "Point", {Get(rt, self, "x"), Get(rt, self, "y")});
}
Value SetTopLeft(Runtime& rt, Value self, std::span<const Value> args) {
  MoveLeft(rt, self, Get(rt, Arg(args, 0), "x"));
  MoveTop(rt, self, Get(rt, Arg(args, 0), "y"));
  return Value();
}
Value GetBottomRight(Runtime& rt, Value self, std::span<const Value>) {
  return NewGeom(rt, "Point", {GetRight(rt, self, {}), GetBottom(rt, self, {})});
}
Value SetBottomRight(Runtime& rt, Value self, std::span<const Value> args) {
  const Value p[1] = {Get(rt, Arg(args, 0), "x")};
  SetRight(rt, self, p);
  const Value q[1] = {Get(rt, Arg(args, 0), "y")};
  SetBottom(rt, self, q);
  return Value();
}

}  // namespace

// Flash 8's packages are there for Flash 8 movies on.
void InstallFlash8Builtins(Runtime& rt) {
  if (rt.version < 8) return;
  InstallPointBuiltins(rt);
  InstallRectangleBuiltins(rt);
  InstallMatrixBuiltins(rt);
  InstallColorTransformBuiltins(rt);
  InstallTransformBuiltins(rt);
  InstallBitmapDataBuiltins(rt);
  InstallFilterBuiltins(rt);
}

void InstallPointBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "add", PointAdd);
  rt.DefineMethod(p, "subtract", PointSubtract);
  rt.DefineMethod(p, "clone", PointClone);
  rt.DefineMethod(p, "equals", PointEquals);
  rt.DefineMethod(p, "normalize", PointNormalize);
  rt.DefineMethod(p, "offset", PointOffset);
  rt.DefineMethod(p, "toString", PointToString);
  DefineAccessor(rt, p, "length", PointLength, nullptr);
  FunctionObject* point = DefinePackageClass(rt, "flash.geom", "Point", p, PointCall, PointConstruct);
  rt.DefineMethod(point, "distance", PointDistance);
  rt.DefineMethod(point, "interpolate", PointInterpolate);
  rt.DefineMethod(point, "polar", PointPolar);
}

void InstallRectangleBuiltins(Runtime& rt) {
  Object* p = rt.NewObject();
  rt.DefineMethod(p, "toString", RectangleToString);
  rt.DefineMethod(p, "clone", RectangleClone);
  rt.DefineMethod(p, "isEmpty", RectangleIsEmpty);
  rt.DefineMethod(p, "setEmpty", RectangleSetEmpty);
  rt.DefineMethod(p, "contains", RectangleContains);
  rt.DefineMethod(p, "containsPoint", RectangleContainsPoint);
  rt.DefineMethod(p, "containsRectangle", RectangleContainsRectangle);
  rt.DefineMethod(p, "equals", RectangleEquals);
  rt.DefineMethod(p, "inflate", RectangleInflate);
  rt.DefineMethod(p, "inflatePoint", RectangleInflatePoint);
  rt.DefineMethod(p, "offset", RectangleOffset);
  rt.DefineMethod(p, "offsetPoint", RectangleOffsetPoint);
  rt.DefineMethod(p, "intersection", RectangleIntersection);
  rt.DefineMethod(p, "intersects", RectangleIntersects);
  rt.DefineMethod(p, "union", RectangleUnion);
  DefineAccessor(rt, p, "left", GetLeft, SetLeft);
  DefineAccessor(rt, p, "top", GetTop, SetTop);
  DefineAccessor(rt, p, "right", GetRight, SetRight);
  DefineAccessor(rt, p, "bottom", GetBottom, SetBottom);
  DefineAccessor(rt, p, "size", GetSize, SetSize);
  DefineAccessor(rt, p, "topLeft", GetTopLeft, SetTopLeft);
  DefineAccessor(rt, p, "bottomRight", GetBottomRight, SetBottomRight);
  DefinePackageClass(rt, "flash.geom", "Rectangle", p, RectangleCall, RectangleConstruct);
}

}  // namespace dc::swf::avm1

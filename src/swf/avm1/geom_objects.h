// What the Flash 8 classes share: their packages under _global (flash.geom,
// flash.display, flash.filters), making a Point, Rectangle, Matrix or
// ColorTransform through the class a script sees now, and reading one back
// as plain numbers.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

#include "swf/avm1/runtime.h"
#include "swf/model/swf_types.h"

namespace dc::swf::avm1 {

// A class in a package ("flash.geom", "Point"), with its prototype.
FunctionObject* DefinePackageClass(Runtime& rt, std::string_view package, std::string_view name, Object* proto,
                                   NativeFunction call, NativeConstructor construct);

// `new flash.geom.<name>(args)` through the constructor _global holds now,
// as Flash's own methods make their results; undefined when there is none.
Value NewGeom(Runtime& rt, std::string_view name, std::initializer_list<Value> args);
Value NewPoint(Runtime& rt, double x, double y);
Value NewRectangle(Runtime& rt, double x, double y, double width, double height);
// A matrix whose translation is in pixels.
Value NewMatrix(Runtime& rt, const Matrix& m);
Value NewColorTransform(Runtime& rt, const ColorTransform& cx);

// A member read as a number (undefined and absent members give NaN).
double NumberMember(Runtime& rt, Value object, std::string_view name);
// The six members of a matrix-like object (translation in pixels); none
// when `v` is not an object.
std::optional<Matrix> MatrixOf(Runtime& rt, Value v);
// The eight members of a ColorTransform; none when `v` is not one.
std::optional<ColorTransform> ColorTransformOf(Runtime& rt, Value v);
// Whether `v` was made by the flash.geom class `name` (or a subclass).
bool IsGeom(Runtime& rt, Value v, std::string_view name);

// `a + b` as the Add2 action computes it: strings join, the rest add.
Value ScriptAdd(Runtime& rt, Value a, Value b);

void InstallPointBuiltins(Runtime& rt);
void InstallRectangleBuiltins(Runtime& rt);
void InstallMatrixBuiltins(Runtime& rt);
void InstallColorTransformBuiltins(Runtime& rt);
void InstallTransformBuiltins(Runtime& rt);
void InstallBitmapDataBuiltins(Runtime& rt);
void InstallFilterBuiltins(Runtime& rt);

}  // namespace dc::swf::avm1

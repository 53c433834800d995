// The shapes of one LED character cell: seven bevelled segments, the
// decimal point and two colon dots, each six points, from the cell's corner
// and the control's CellWidth, CellHeight and Thickness.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace dc::led {

struct Point {
  std::int32_t x, y;
  bool operator==(const Point&) const = default;
};

using Shape = std::array<Point, 6>;
using CellShapes = std::array<Shape, 10>;

enum ShapeIndex { kTop, kUpperRight, kLowerRight, kBottom, kLowerLeft, kUpperLeft, kMiddle, kPoint, kUpperDot, kLowerDot };

CellShapes CalcCellShapes(std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h, std::int32_t t);

// The segments a character lights, as shape numbers in drawing order
// ("0".."9" and "-"); empty for any other character.
std::string_view SegmentList(char c);
inline constexpr std::string_view kAllSegments = "0123456";

}  // namespace dc::led

// Cell geometry: integer offsets from the cell's top-left corner.
#include "led/led_geometry.h"

namespace dc::led {

CellShapes CalcCellShapes(std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h, std::int32_t t) {
  const std::int32_t mA = (h - 1) / 2, mB = (h + 1) / 2, cx = w / 2, cy1 = (3 * h) / 9, cy2 = (5 * h) / 9;
  auto quad = [](Point a, Point b, Point c, Point d, Point repeat) { return Shape{a, b, c, d, repeat, repeat}; };
  CellShapes s;
  s[kTop] = quad({2, 0}, {t + 1, t - 1}, {w - 2 * t - 3, t - 1}, {w - t - 4, 0}, {w - t - 4, 0});
  s[kUpperRight] = quad({w - t - 2, 1}, {w - 2 * t - 1, t}, {w - 2 * t - 1, mA - t}, {w - t - 2, mA - 1}, {w - t - 2, mA - 1});
  s[kLowerRight] =
      quad({w - t - 2, mA + 1}, {w - 2 * t - 1, mA + t}, {w - 2 * t - 1, h - t - 1}, {w - t - 2, h - 2}, {w - t - 2, h - 2});
  s[kBottom] = quad({w - t - 4, h - 1}, {w - 2 * t - 3, h - t}, {t + 1, h - t}, {2, h - 1}, {2, h - 1});
  s[kLowerLeft] = quad({0, h - 2}, {t - 1, h - t - 1}, {t - 1, mA + t}, {0, mA + 1}, {0, mA + 1});
  s[kUpperLeft] = quad({0, mA - 1}, {t - 1, mA - t}, {t - 1, t}, {0, 1}, {0, 1});
  s[kMiddle] = Shape{Point{t, mB - t + 1}, Point{2, mB - 1},         Point{t, mB + t - 3},
                     Point{w - 2 * t - 2, mB + t - 3}, Point{w - t - 4, mB - 1}, Point{w - 2 * t - 2, mB - t + 1}};
  s[kPoint] = quad({w - t, h - t}, {w - t, h}, {w, h}, {w, h - t}, {w - t, h - t});
  s[kUpperDot] = quad({cx, cy1}, {cx + t, cy1}, {cx + t, cy1 + t}, {cx, cy1 + t}, {cx, cy1});
  s[kLowerDot] = quad({cx, cy2}, {cx + t, cy2}, {cx + t, cy2 + t}, {cx, cy2 + t}, {cx, cy2});
  if (t == 1) {
    // A one-pixel middle bar: its pointed ends and edges collapse onto row mB - 1.
    Shape& m = s[kMiddle];
    m[0] = {m[0].x + 1, m[0].y - 1};
    m[2] = {m[2].x + 1, m[2].y + 1};
    m[3] = {m[3].x - 1, m[3].y + 1};
    m[5] = {m[5].x - 1, m[5].y - 1};
  }
  for (Shape& shape : s)
    for (Point& p : shape) p = {p.x + x0, p.y + y0};
  return s;
}

std::string_view SegmentList(char c) {
  static constexpr std::string_view kDigits[] = {"012345", "12",    "01643",   "01623",  "5612",
                                                 "05623",  "054326", "012", "0123456", "650123"};
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  if (c == '-') return "6";
  return {};
}

}  // namespace dc::led

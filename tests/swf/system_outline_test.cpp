// The system's glyph outline buffer read into a glyph shape: exact edges
// for straight, quadratic and cubic records, closing, several contours,
// and damaged buffers refused.
#include "swf/text/system_outline.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace dc::swf {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Fx {
  double x, y;  // pixels, y up, whole 1/65536ths
};
struct Curve {
  std::uint16_t kind;
  std::vector<Fx> points;
};

// Appends `v`'s low `bytes` bytes, little-endian.
void Put(Bytes& b, std::int64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutPoint(Bytes& b, Fx p) {
  Put(b, static_cast<std::int64_t>(p.x * 65536), 4);
  Put(b, static_cast<std::int64_t>(p.y * 65536), 4);
}

// One polygon record (its header: length, kind, start; then its curves),
// after the bytes of `before`.
Bytes Polygon(Fx start, std::initializer_list<Curve> curves, std::uint32_t kind = kOutlinePolygonType,
              Bytes before = {}) {
  Bytes body;
  for (const Curve& c : curves) {
    Put(body, c.kind, 2);
    Put(body, static_cast<std::int64_t>(c.points.size()), 2);
    for (Fx p : c.points) PutPoint(body, p);
  }
  Put(before, static_cast<std::int64_t>(16 + body.size()), 4);
  Put(before, kind, 4);
  PutPoint(before, start);
  before.insert(before.end(), body.begin(), body.end());
  return before;
}

// Edges as text, one contour a line: "L x,y>x,y" and "Q x,y~cx,cy>x,y".
std::string Describe(const Shape& shape) {
  std::ostringstream out;
  for (const Path& path : shape.paths) {
    for (const Edge& e : path.edges) {
      out << (e.curved ? "Q " : "L ") << e.from.x << ',' << e.from.y;
      if (e.curved) out << '~' << e.control.x << ',' << e.control.y;
      out << '>' << e.to.x << ',' << e.to.y << ' ';
    }
    out << "| fill1 " << path.fill1 << '\n';
  }
  return out.str();
}

TEST(SystemOutline, ReadsContoursWithYTurnedDown) {
  struct Case {
    const char* what;
    Bytes bytes;
    const char* edges;
    TwipRect bounds;
  };
  const Case cases[] = {
      {"lines only, closed back to the start, halves kept",
       Polygon({0, 0}, {{kOutlineLine, {{100.5, 0}, {100.5, 200}, {0, 200}}}}),
       "L 0,0>100.5,0 L 100.5,0>100.5,-200 L 100.5,-200>0,-200 L 0,-200>0,0 | fill1 0\n",
       {0, 101, -200, 0}},
      {"a spline's midpoints between its control points become on-curve ends",
       Polygon({0, 0}, {{kOutlineQuadratic, {{0, 100}, {100, 100}, {200, 100}, {200, 0}}}}),
       "Q 0,0~0,-100>50,-100 Q 50,-100~100,-100>150,-100 Q 150,-100~200,-100>200,0 L 200,0>0,0 | fill1 0\n",
       {0, 200, -100, 0}},
      {"a contour ending at its start gets no closing line",
       Polygon({0, 0}, {{kOutlineLine, {{10, 0}}}, {kOutlineQuadratic, {{10, 10}, {0, 0}}}}),
       "L 0,0>10,0 Q 10,0~10,-10>0,0 | fill1 0\n",
       {0, 10, -10, 0}},
      {"two contours, each its own path",
       Polygon({10, 10}, {{kOutlineLine, {{10, 20}, {20, 10}}}}, kOutlinePolygonType,
               Polygon({0, 0}, {{kOutlineLine, {{40, 0}, {0, 40}}}})),
       "L 0,0>40,0 L 40,0>0,-40 L 0,-40>0,0 | fill1 0\nL 10,-10>10,-20 L 10,-20>20,-10 L 20,-10>10,-10 | fill1 0\n",
       {0, 40, -40, 0}},
      {"a cubic piece as two quadratics meeting at its middle",
       Polygon({0, 0}, {{kOutlineCubic, {{0, 80}, {80, 80}, {80, 0}}}}),
       "Q 0,0~5,-60>40,-60 Q 40,-60~75,-60>80,0 L 80,0>0,0 | fill1 0\n",
       {0, 80, -60, 0}},
      {"a blank glyph", {}, "", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const std::optional<Shape> shape = ReadSystemOutline(c.bytes);
    ASSERT_TRUE(shape) << c.what;
    EXPECT_EQ(Describe(*shape), c.edges) << c.what;
    EXPECT_EQ(shape->bounds, c.bounds) << c.what;
    ASSERT_EQ(shape->fills.size(), 1u) << c.what;
    EXPECT_EQ(shape->fillRule, FillRule::NonZero) << c.what;
  }
}

TEST(SystemOutline, RefusesDamagedBuffers) {
  const Bytes good = Polygon({0, 0}, {{kOutlineLine, {{10, 0}, {0, 10}}}});
  Bytes cut = good;
  cut.pop_back();
  Bytes longer = good;
  longer[0] = static_cast<std::uint8_t>(good.size() + 8);  // the header claims more than is there
  Bytes past = good;
  past.insert(past.end(), {1, 2, 3});
  Bytes shortCount = good;
  shortCount[18] = 3;  // three points where two are
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"cut inside a point", cut},
      {"a header longer than the bytes", longer},
      {"a curve counting more points than its polygon holds", shortCount},
      {"a polygon of another kind", Polygon({0, 0}, {{kOutlineLine, {{10, 0}}}}, 25)},
      {"a curve of an unknown kind", Polygon({0, 0}, {{7, {{10, 0}}}})},
      {"a spline of one point", Polygon({0, 0}, {{kOutlineQuadratic, {{10, 0}}}})},
      {"a cubic of two points", Polygon({0, 0}, {{kOutlineCubic, {{10, 0}, {0, 10}}}})},
      {"a few bytes past a good polygon", past},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadSystemOutline(c.bytes)) << c.what;
}

}  // namespace
}  // namespace dc::swf

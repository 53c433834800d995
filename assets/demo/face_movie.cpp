// Writes the demo clock's face, face.swf beside this file: a Flash movie of
// our own, made with the movie writer and the script assembler. A dial
// whose hands a script turns to the local time every frame, on a panel
// that leaves room at the right for the clock's digits. `--check FILE`
// says whether FILE holds exactly these bytes (the build's test that the
// committed movie is this program's).
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "testkit/avm1_assembler.h"
#include "testkit/swf_writer.h"

namespace {

using dc::swf::FillKind;
using dc::swf::FillStyle;
using dc::swf::LineStyle;
using dc::swf::Matrix;
using dc::swf::Rgba;
using dc::swf::TwipRect;
using dc::swf::avm1::test::Asm;
namespace op = dc::swf::avm1::test::op;
namespace w = dc::swf::test;
using w::Placed;

enum : std::uint16_t { kPanel = 1, kDial, kTicks, kHourShape, kMinuteShape, kSecondShape, kCap,
                       kHour = 11, kMinute, kSecond, kClock = 20 };

constexpr int kWidth = 300, kHeight = 100;  // pixels
constexpr int kCentre = 50;                  // the dial's centre, x and y
constexpr Rgba kBackground{30, 40, 56, 255}, kPanelFill{42, 53, 72, 255}, kPanelEdge{90, 107, 136, 255};
constexpr Rgba kDialFill{240, 242, 245, 255}, kDialEdge{143, 163, 192, 255}, kInk{40, 50, 70, 255};
constexpr Rgba kSecondRed{224, 64, 58, 255};

std::int32_t Twips(double pixels) { return static_cast<std::int32_t>(std::lround(pixels * 20)); }

w::StyleChange MoveTo(std::int32_t x, std::int32_t y, std::uint32_t fill, std::uint32_t line = 0) {
  return w::StyleChange{std::pair{x, y}, 0u, fill, line, std::nullopt};
}

// A closed polygon through `points` (twips), as relative lines.
void Polygon(std::vector<w::ShapeRecord>& records, const std::vector<std::pair<std::int32_t, std::int32_t>>& points,
             std::uint32_t fill, std::uint32_t line = 0) {
  records.push_back(MoveTo(points[0].first, points[0].second, fill, line));
  for (std::size_t i = 1; i <= points.size(); ++i) {
    const auto& from = points[i - 1];
    const auto& to = points[i % points.size()];
    records.push_back(w::LineTo{to.first - from.first, to.second - from.second});
  }
}

// A circle of radius r (twips) about (cx, cy), from eight curves.
void Circle(std::vector<w::ShapeRecord>& records, double cx, double cy, double r, std::uint32_t fill,
            std::uint32_t line) {
  const double c = r / std::cos(std::numbers::pi / 8);
  std::int32_t px = static_cast<std::int32_t>(std::lround(cx + r)), py = static_cast<std::int32_t>(std::lround(cy));
  records.push_back(MoveTo(px, py, fill, line));
  for (int i = 1; i <= 8; ++i) {
    const double a = i * std::numbers::pi / 4, m = a - std::numbers::pi / 8;
    const auto qx = static_cast<std::int32_t>(std::lround(cx + c * std::cos(m)));
    const auto qy = static_cast<std::int32_t>(std::lround(cy + c * std::sin(m)));
    const auto ax = static_cast<std::int32_t>(std::lround(cx + r * std::cos(a)));
    const auto ay = static_cast<std::int32_t>(std::lround(cy + r * std::sin(a)));
    records.push_back(w::CurveTo{qx - px, qy - py, ax - qx, ay - qy});
    px = ax, py = ay;
  }
}

// The panel: the whole stage, its corners rounded, with a fine edge.
w::Bytes Panel() {
  const std::int32_t r = Twips(10), right = Twips(kWidth - 1), bottom = Twips(kHeight - 1), left = Twips(1);
  std::vector<w::ShapeRecord> records{MoveTo(left + r, left, 1, 1), w::LineTo{right - left - 2 * r, 0},
                                      w::CurveTo{r, 0, 0, r},       w::LineTo{0, bottom - left - 2 * r},
                                      w::CurveTo{0, r, -r, 0},      w::LineTo{-(right - left - 2 * r), 0},
                                      w::CurveTo{-r, 0, 0, -r},     w::LineTo{0, -(bottom - left - 2 * r)},
                                      w::CurveTo{0, -r, r, 0}};
  LineStyle edge;
  edge.width = 20;
  edge.color = kPanelEdge;
  return w::DefineShape(3, kPanel, {0, Twips(kWidth), 0, Twips(kHeight)},
                        {{FillStyle{FillKind::Solid, kPanelFill}}, {edge}}, records);
}

w::Bytes Dial() {
  std::vector<w::ShapeRecord> records;
  Circle(records, 0, 0, Twips(42), 1, 1);
  LineStyle edge;
  edge.width = 40;
  edge.color = kDialEdge;
  return w::DefineShape(3, kDial, {-Twips(44), Twips(44), -Twips(44), Twips(44)},
                        {{FillStyle{FillKind::Solid, kDialFill}}, {edge}}, records);
}

// Twelve marks inside the dial's edge; the quarters longer and wider.
w::Bytes Ticks() {
  std::vector<w::ShapeRecord> records;
  for (int i = 0; i < 12; ++i) {
    const bool quarter = i % 3 == 0;
    const double a = i * std::numbers::pi / 6, half = quarter ? 1.5 : 1, inner = quarter ? 30 : 33, outer = 38;
    const double ux = std::sin(a), uy = -std::cos(a), nx = -uy, ny = ux;  // along the mark, across it
    const auto at = [&](double along, double across) {
      return std::pair{Twips(along * ux + across * nx), Twips(along * uy + across * ny)};
    };
    Polygon(records, {at(inner, -half), at(outer, -half), at(outer, half), at(inner, half)}, 1);
  }
  return w::DefineShape(3, kTicks, {-Twips(40), Twips(40), -Twips(40), Twips(40)},
                        {{FillStyle{FillKind::Solid, kInk}}, {}}, records);
}

// A hand pointing up from the centre at rotation 0, with a short tail.
w::Bytes Hand(std::uint16_t id, double halfWidth, double length, Rgba colour) {
  std::vector<w::ShapeRecord> records;
  Polygon(records, {{-Twips(halfWidth), Twips(6)}, {-Twips(halfWidth), -Twips(length)},
                    {Twips(halfWidth), -Twips(length)}, {Twips(halfWidth), Twips(6)}}, 1);
  return w::DefineShape(3, id, {-Twips(halfWidth), Twips(halfWidth), -Twips(length), Twips(6)},
                        {{FillStyle{FillKind::Solid, colour}}, {}}, records);
}

w::Bytes Cap() {
  std::vector<w::ShapeRecord> records;
  Circle(records, 0, 0, Twips(3), 1, 0);
  return w::DefineShape(3, kCap, {-Twips(3), Twips(3), -Twips(3), Twips(3)},
                        {{FillStyle{FillKind::Solid, kSecondRed}}, {}}, records);
}

w::Bytes SpriteOf(std::uint16_t id, std::uint16_t shape) {
  return w::DefineSprite(id, 1, w::Concat({w::PlaceObjectTag(Placed(1, shape), 2, 6), w::ShowFrame()}));
}

// clock.onEnterFrame = function () { the hands from new Date() }, run once
// at once so that the first frame shows the time too.
Asm HandsScript() {
  Asm tick;
  tick.Push({0, "Date"}).Op(op::NewObject).Store("now");
  tick.CallOn("now", "getHours").Store("h").CallOn("now", "getMinutes").Store("m");
  tick.CallOn("now", "getSeconds").Store("s");
  tick.Push({"clock.hour._rotation"}).Get("h").Push({12}).Op(op::Modulo).Push({30}).Op(op::Multiply);
  tick.Get("m").Push({2}).Op(op::Divide).Op(op::Add2).Op(op::SetVariable);
  tick.Push({"clock.minute._rotation"}).Get("m").Push({6}).Op(op::Multiply).Get("s").Push({10}).Op(op::Divide);
  tick.Op(op::Add2).Op(op::SetVariable);
  tick.Push({"clock.second._rotation"}).Get("s").Push({6}).Op(op::Multiply).Op(op::SetVariable);
  Asm frame;
  frame.Get("clock").Push({"onEnterFrame"}).Function("", {}, tick).Op(op::SetMember);
  frame.CallOn("clock", "onEnterFrame").Op(op::Pop);
  return frame;
}

w::Bytes FaceMovie() {
  const w::Bytes clock = w::Concat(
      {w::PlaceObjectTag(Placed(1, kDial), 2, 6), w::PlaceObjectTag(Placed(2, kTicks), 2, 6),
       w::PlaceObjectTag(Placed(3, kHour, "hour"), 2, 6), w::PlaceObjectTag(Placed(4, kMinute, "minute"), 2, 6),
       w::PlaceObjectTag(Placed(5, kSecond, "second"), 2, 6), w::PlaceObjectTag(Placed(6, kCap), 2, 6),
       w::ShowFrame()});
  const w::Bytes tags = w::Concat(
      {w::SetBackgroundColor(kBackground), Panel(), Dial(), Ticks(), Hand(kHourShape, 2.5, 22, kInk),
       Hand(kMinuteShape, 1.75, 32, kInk), Hand(kSecondShape, 0.75, 36, kSecondRed), Cap(),
       SpriteOf(kHour, kHourShape), SpriteOf(kMinute, kMinuteShape), SpriteOf(kSecond, kSecondShape),
       w::DefineSprite(kClock, 1, clock), w::PlaceObjectTag(Placed(1, kPanel), 2, 6),
       w::PlaceObjectTag(Placed(2, kClock, "clock", Matrix::Translate(Twips(kCentre), Twips(kCentre))), 2, 6),
       w::DoActionTag(*HandsScript().Bytes()), w::ShowFrame()});
  w::Header header;
  header.version = 6;
  header.stage = TwipRect{0, Twips(kWidth), 0, Twips(kHeight)};
  header.frameRate = 4 << 8;  // the second hand moves once a second; four frames a second keep it on time
  return w::Fws(header, tags);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const w::Bytes movie = FaceMovie();
  if (args.size() == 2 && args[0] == "--check") {
    std::ifstream in(args[1], std::ios::binary);
    const std::vector<std::uint8_t> held{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (held == movie) return 0;
    std::fprintf(stderr, "%s is not what face_movie writes: run build/host/bin/demo_face_movie %s\n",
                 args[1].c_str(), args[1].c_str());
    return 1;
  }
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: demo_face_movie OUT.swf | --check FILE\n");
    return 2;
  }
  std::ofstream out(args[0], std::ios::binary);
  out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
  if (!out.flush()) {
    std::fprintf(stderr, "cannot write %s\n", args[0].c_str());
    return 1;
  }
  return 0;
}

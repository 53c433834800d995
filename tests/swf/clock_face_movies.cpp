// The clock-face movies: shapes and sprites by the writer, scripts by the
// assembler.
#include "clock_face_movies.h"

#include <cmath>
#include <numbers>
#include <string>

#include "clock_scripts.h"
#include "testkit/swf_writer.h"

namespace dc::swf::test {
namespace {

using avm1::test::Asm;
using avm1::test::HourAngle;
using avm1::test::MinuteAngle;
using avm1::test::ReadTime;
using avm1::test::SecondAngle;
namespace op = avm1::test::op;

enum : std::uint16_t {
  kHourShape = 1, kMinuteShape, kSecondShape, kDialShape,
  kHourClip = 11, kMinuteClip, kSecondClip, kNeedleClip,
  kClockClip = 20, kTimeField = 30, kDayField,
};
constexpr TwipRect kStage{0, 4000, 0, 4000};

Bytes Append(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A bar 6 px wide from the centre up to `length` px.
Bytes HandShape(std::uint16_t id, int length, Rgba colour) {
  const std::int32_t top = -length * 20;
  return DefineShape(3, id, {-60, 60, top, 0}, {{FillStyle{FillKind::Solid, colour}}, {}},
                     {StyleChange{std::pair{-60, top}, std::nullopt, 1u, std::nullopt, std::nullopt}, LineTo{120, 0},
                      LineTo{0, -top}, LineTo{-120, 0}, LineTo{0, top}});
}

// A disc of radius 95 px about the centre, from eight curves.
Bytes DialShape() {
  std::vector<ShapeRecord> records{StyleChange{std::pair{1900, 0}, std::nullopt, 1u, std::nullopt, std::nullopt}};
  const double r = 1900, c = r / std::cos(std::numbers::pi / 8);
  double px = r, py = 0;
  for (int i = 1; i <= 8; ++i) {
    const double a = i * std::numbers::pi / 4, m = a - std::numbers::pi / 8;
    const double cx = std::round(c * std::cos(m)), cy = std::round(c * std::sin(m));
    const double ax = std::round(r * std::cos(a)), ay = std::round(r * std::sin(a));
    records.push_back(CurveTo{static_cast<std::int32_t>(cx - px), static_cast<std::int32_t>(cy - py),
                              static_cast<std::int32_t>(ax - cx), static_cast<std::int32_t>(ay - cy)});
    px = ax, py = ay;
  }
  return DefineShape(3, kDialShape, {-1950, 1950, -1950, 1950}, {{FillStyle{FillKind::Solid, kDialColour}}, {}},
                     records);
}

Bytes SpriteOf(std::uint16_t id, std::uint16_t shape) {
  return DefineSprite(id, 1, Append(PlaceObjectTag(Placed(1, shape), 2, 6), ShowFrame()));
}

// The hands' shapes and clips, the clock holding the three hands, placed
// at the centre as "clock" with the given clip actions.
Bytes Hands(bool needle) {
  Bytes t = Append(Append(HandShape(kHourShape, kHourLength, kHourColour), HandShape(kMinuteShape, kMinuteLength, kMinuteColour)),
                   HandShape(kSecondShape, kSecondLength, kSecondColour));
  t = Append(t, DialShape());
  t = Append(t, SpriteOf(kHourClip, kHourShape));
  t = Append(t, SpriteOf(kMinuteClip, kMinuteShape));
  if (!needle) {
    t = Append(t, SpriteOf(kSecondClip, kSecondShape));
  } else {
    // Sixty frames, the hand turned 6 degrees further on each: a motion
    // tween as the authoring tool wrote it, one matrix per frame.
    Bytes frames = Append(PlaceObjectTag(Placed(1, kSecondShape), 2, 6), ShowFrame());
    for (int f = 1; f < 60; ++f) {
      const double a = f * 6 * std::numbers::pi / 180;
      const auto q = [](double v) { return std::round(v * 65536) / 65536; };
      PlaceObject move;
      move.depth = 1;
      move.move = true;
      move.matrix = Matrix{q(std::cos(a)), q(std::sin(a)), q(-std::sin(a)), q(std::cos(a)), 0, 0};
      frames = Append(Append(frames, PlaceObjectTag(move, 2, 6)), ShowFrame());
    }
    t = Append(t, DefineSprite(kNeedleClip, 60, frames));
  }
  Bytes clock = Append(PlaceObjectTag(Placed(1, kDialShape), 2, 6), PlaceObjectTag(Placed(2, kHourClip, "hour"), 2, 6));
  clock = Append(clock, PlaceObjectTag(Placed(3, kMinuteClip, "minute"), 2, 6));
  clock = Append(clock, PlaceObjectTag(Placed(4, needle ? kNeedleClip : kSecondClip, "second"), 2, 6));
  return Append(t, DefineSprite(kClockClip, 1, Append(clock, ShowFrame())));
}

Bytes PlaceClock(std::vector<ClipAction> actions = {}) {
  PlaceObject p = Placed(1, kClockClip, "clock", Matrix::Translate(2000, 2000));
  p.clipActions = std::move(actions);
  return PlaceObjectTag(p, 2, 6);
}

// On the clock: setProperty("hour", _rotation, ...); minute._rotation = ...;
// second._rotation = ... (or second.gotoAndStop(s + 1) for the needle).
Asm ClipEventScript(bool needle) {
  Asm a = ReadTime();
  a.Push({"hour", 10}).Append(HourAngle()).Op(op::SetProperty);
  a.Get("minute").Push({"_rotation"}).Append(MinuteAngle()).Op(op::SetMember);
  if (needle) {
    a.Get("s").Push({1}).Op(op::Add2).Push({1}).Get("second").Push({"gotoAndStop"}).Op(op::CallMethod).Op(op::Pop);
  } else {
    a.Get("second").Push({"_rotation"}).Append(SecondAngle()).Op(op::SetMember);
  }
  return a;
}

// setInterval(function () { ...hands through _root.clock... }, 1000)
Asm IntervalScript() {
  Asm tick = ReadTime();
  tick.Push({"_root.clock.hour._rotation"}).Append(HourAngle()).Op(op::SetVariable);
  tick.Push({"_root.clock.minute._rotation"}).Append(MinuteAngle()).Op(op::SetVariable);
  tick.Push({"_root.clock.second._rotation"}).Append(SecondAngle()).Op(op::SetVariable);
  Asm frame;
  frame.Push({1000}).Function("", {}, tick).Push({2, "setInterval"}).Op(op::CallFunction).Store("ticker");
  return frame;
}

// Frame 1: tellTarget("/clock") { setProperty("hour", ...) }, the minute by
// "/clock/minute:_rotation", the second inside with (_root.clock).
Asm SlashPathScript() {
  Asm a = ReadTime();
  a.SetTarget("/clock").Push({"hour", 10}).Get("/:h").Push({30}).Op(op::Multiply).Get("/:m").Push({2})
      .Op(op::Divide).Op(op::Add2).Op(op::SetProperty).SetTarget("");
  a.Push({"/clock/minute:_rotation"}).Append(MinuteAngle()).Op(op::SetVariable);
  a.Get("_root.clock").With(Asm().Get("second").Push({"_rotation"}).Append(SecondAngle()).Op(op::SetMember));
  return a;
}

// timeText = pad(h) + ":" + pad(m) + ":" + pad(s); dayText = day name,
// date, month name, where pad(n) = ("0" + n).substr(-2). Run on the root
// every frame (a frame script of a one-frame movie runs once: this one is
// the clock's enterFrame).
Asm DigitalScript() {
  Asm pad;
  pad.Push({-2, 1, "0"}).Get("n").Op(op::Add2).Push({"substr"}).Op(op::CallMethod).Op(op::Return);
  Asm a;
  a.Function("pad", {"n"}, pad);
  a.Array({"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}).Store("days");
  a.Array({"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}).Store("months");
  a.Append(ReadTime());
  const auto padded = [&a](const char* v) { a.Get(v).Push({1, "pad"}).Op(op::CallFunction); };
  a.Push({"_root.timeText"});
  padded("h");
  a.Push({":"}).Op(op::Add2);
  padded("m");
  a.Op(op::Add2).Push({":"}).Op(op::Add2);
  padded("s");
  a.Op(op::Add2).Op(op::SetVariable);
  a.Push({"_root.timeField.textColor", 0}).Op(op::SetVariable);
  a.Push({"_root.dayText"}).Get("days").CallOn("now", "getDay").Op(op::GetMember).Push({" "}).Op(op::Add2);
  a.CallOn("now", "getDate").Op(op::Add2).Push({" "}).Op(op::Add2);
  a.Get("months").CallOn("now", "getMonth").Op(op::GetMember).Op(op::Add2).Op(op::SetVariable);
  return a;
}

// A face drawn by its script: face = createEmptyMovieClip("face", 1), a
// gradient disc with an outline from moveTo/curveTo, a cross from
// lineTo; the second hand attached from the exported "hand" symbol (drawn
// black), tinted by new Color(hand).setRGB, and turned every frame.
Asm DrawnScript() {
  Asm a;
  a.Push({1, "face", 2}).Get("this").Push({"createEmptyMovieClip"}).Op(op::CallMethod).Store("face");
  a.CallOn("face", "clear").Op(op::Pop);
  a.CallOn("face", "lineStyle", {2, 0x333333, 100}).Op(op::Pop);
  // beginGradientFill("radial", [0xFFFFFF, 0xEEEEEE], [100, 100], [0, 255], box)
  a.Push({"matrixType", "box", "x", 5, "y", 5, "w", 190, "h", 190, "r", 0, 6}).Op(op::InitObject).Store("box");
  a.Get("box").Array({0, 255}).Array({100, 100}).Array({0xEEEEEE, 0xEEEEEE}).Push({"radial", 5}).Get("face")
      .Push({"beginGradientFill"}).Op(op::CallMethod).Op(op::Pop);
  a.CallOn("face", "moveTo", {195, 100}).Op(op::Pop);
  // Eight curves around the centre, radius 95, controls at 95 / cos(22.5°).
  for (int i = 1; i <= 8; ++i) {
    const double pi = 3.14159265358979323846, m = (i - 0.5) * pi / 4, e = i * pi / 4, c = 95 / std::cos(pi / 8);
    a.CallOn("face", "curveTo", {100 + c * std::cos(m), 100 + c * std::sin(m), 100 + 95 * std::cos(e),
                                 100 + 95 * std::sin(e)})
        .Op(op::Pop);
  }
  a.CallOn("face", "endFill").Op(op::Pop);
  a.CallOn("face", "lineStyle", {1, 0x000000, 100}).Op(op::Pop);
  a.CallOn("face", "moveTo", {100.5, 8}).Op(op::Pop).CallOn("face", "lineTo", {100.5, 14}).Op(op::Pop);
  a.Push({2, "second", "hand", 3}).Get("this").Push({"attachMovie"}).Op(op::CallMethod).Store("hand");
  a.Get("hand").Push({"_x", 100}).Op(op::SetMember).Get("hand").Push({"_y", 100}).Op(op::SetMember);
  a.Get("hand").Push({1, "Color"}).Op(op::NewObject).Store("tint");
  a.CallOn("tint", "setRGB", {(kSecondColour.r << 16) | (kSecondColour.g << 8) | kSecondColour.b}).Op(op::Pop);
  Asm tick;
  tick.New("Date").Store("now");
  tick.Get("_root.second").Push({"_rotation"}).CallOn("now", "getSeconds").Push({6}).Op(op::Multiply).Op(op::SetMember);
  a.Get("this").Push({"onEnterFrame"}).Function("", {}, tick).Op(op::SetMember);
  return a;
}

Bytes Field(std::uint16_t id, const char* variable, Rgba colour) {
  EditText f;
  f.bounds = {0, 3600, 0, 600};
  f.height = 400;
  f.color = colour;
  f.readOnly = true;
  f.variableName = variable;
  return DefineEditText(id, f);
}

}  // namespace

HandAngles AnglesAt(int hour, int minute, int second) {
  return {hour * 30 + minute / 2.0, minute * 6 + second / 10.0, second * 6.0};
}

std::vector<std::uint8_t> ClockFaceMovie(ClockPattern pattern) {
  Header header;
  header.version = 6;
  header.stage = kStage;
  header.frameRate = 12 << 8;
  const bool needle = pattern == ClockPattern::Needle;
  Bytes tags = SetBackgroundColor({255, 255, 255, 255});
  switch (pattern) {
    case ClockPattern::ClipEvent:
    case ClockPattern::Needle:
      tags = Append(Append(tags, Hands(needle)),
                    PlaceClock({ClipAction{kEventEnterFrame, 0, ClipEventScript(needle).Bytes()}}));
      tags = Append(tags, ShowFrame());
      break;
    case ClockPattern::Handler:
      tags = Append(Append(Append(tags, Hands(false)), PlaceClock()), DoActionTag(*avm1::test::HandlerFrameScript().Bytes()));
      tags = Append(tags, ShowFrame());
      break;
    case ClockPattern::Interval:
      tags = Append(Append(Append(tags, Hands(false)), PlaceClock()), DoActionTag(*IntervalScript().Bytes()));
      tags = Append(tags, ShowFrame());
      break;
    case ClockPattern::TwoFrameLoop: {
      header.frameCount = 2;
      tags = Append(Append(Append(tags, Hands(false)), PlaceClock()), DoActionTag(*SlashPathScript().Bytes()));
      tags = Append(tags, ShowFrame());
      Asm back;
      back.GotoFrame(0).Op(op::Play);
      tags = Append(Append(tags, DoActionTag(*back.Bytes())), ShowFrame());
      break;
    }
    case ClockPattern::Digital: {
      header.version = 7;
      // The time field is white in the file; its script makes it black.
      tags = Append(Append(tags, Field(kTimeField, "timeText", {255, 255, 255, 255})),
                    Field(kDayField, "dayText", {0, 0, 0, 255}));
      tags = Append(tags, PlaceObjectTag(Placed(1, kTimeField, "timeField", Matrix::Translate(200, 1000)), 2, 7));
      tags = Append(tags, PlaceObjectTag(Placed(2, kDayField, "dayField", Matrix::Translate(200, 2400)), 2, 7));
      // The script runs on an empty clip's enterFrame, every frame.
      tags = Append(tags, DefineSprite(kClockClip, 1, ShowFrame()));
      PlaceObject ticker = Placed(3, kClockClip, "ticker");
      ticker.clipActions = {ClipAction{kEventEnterFrame, 0, DigitalScript().Bytes()}};
      tags = Append(Append(tags, PlaceObjectTag(ticker, 2, 7)), ShowFrame());
      break;
    }
    case ClockPattern::Drawn:
      tags = Append(Append(tags, HandShape(kSecondShape, kSecondLength, {0, 0, 0, 255})),
                    SpriteOf(kSecondClip, kSecondShape));
      tags = Append(tags, ExportAssets({{kSecondClip, "hand"}}));
      tags = Append(Append(tags, DoActionTag(*DrawnScript().Bytes())), ShowFrame());
      break;
  }
  return Fws(header, tags);
}

std::vector<std::uint8_t> LoopingMovie(std::uint16_t frames, std::uint16_t rate, std::uint32_t paddingBytes) {
  Header header;
  header.version = 6;
  header.stage = kStage;
  header.frameRate = static_cast<std::uint16_t>(rate << 8);
  header.frameCount = frames;
  Bytes tags = Append(SetBackgroundColor({255, 255, 255, 255}), DialShape());
  tags = Append(tags, HandShape(kSecondShape, kSecondLength, kSecondColour));
  if (paddingBytes >= 4) {
    // Noise does not compress: the file grows by about its size.
    const std::uint16_t side = static_cast<std::uint16_t>(std::sqrt(paddingBytes / 4.0));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side * 4);
    std::uint32_t seed = 7;
    for (std::uint8_t& b : pixels) b = static_cast<std::uint8_t>((seed = seed * 1664525 + 1013904223) >> 24);
    tags = Append(tags, DefineBitsLossless(true, 40, 5, side, side, pixels));
  }
  // The hand stands for the first half of the loop and turns for the
  // second: the picture changes twice a loop, once at its start.
  tags = Append(tags, PlaceObjectTag(Placed(1, kDialShape, nullptr, Matrix::Translate(2000, 2000)), 2, 6));
  tags = Append(tags, PlaceObjectTag(Placed(2, kSecondShape, nullptr, Matrix::Translate(2000, 2000)), 2, 6));
  tags = Append(tags, ShowFrame());
  for (std::uint16_t f = 1; f < frames; ++f) {
    if (f == frames / 2) {
      PlaceObject turn;
      turn.depth = 2;
      turn.move = true;
      turn.matrix = Matrix{0, 1, -1, 0, 2000, 2000};
      tags = Append(tags, PlaceObjectTag(turn, 2, 6));
    }
    tags = Append(tags, ShowFrame());
  }
  return Fws(header, tags);
}

}  // namespace dc::swf::test

namespace dc::swf::test {
namespace {

Bytes Box(std::uint16_t id, int width, int height, Rgba colour) {
  const std::int32_t w = width * 20, h = height * 20;
  return DefineShape(3, id, {0, w, 0, h}, {{FillStyle{FillKind::Solid, colour}}, {}},
                     {StyleChange{std::pair{0, 0}, std::nullopt, 1u, std::nullopt, std::nullopt}, LineTo{w, 0},
                      LineTo{0, h}, LineTo{-w, 0}, LineTo{0, -h}});
}

}  // namespace

std::vector<std::uint8_t> MouseFaceMovie() {
  enum : std::uint16_t { kUp = 1, kOver, kDown, kButton, kCounterBar, kCounter, kFollowerBox, kFollower };
  // The button: its states at (10, 10), 50 px square; its release moves
  // "counter" 20 px right.
  Asm release;
  release.Get("counter").Push({"_x"}).Get("counter").Push({"_x"}).Op(op::GetMember).Push({20}).Op(op::Add2);
  release.Op(op::SetMember);
  BitWriter records;
  records.U8(0x01 | 0x08).U16(kUp).U16(1).WriteMatrix({}).WriteColorTransform({}, true);
  records.U8(0x02).U16(kOver).U16(1).WriteMatrix({}).WriteColorTransform({}, true);
  records.U8(0x04).U16(kDown).U16(1).WriteMatrix({}).WriteColorTransform({}, true);
  records.U8(0);
  const Bytes recordBytes = records.Take();
  const Bytes actions = *release.Bytes();
  BitWriter button;
  button.U16(kButton).U8(0).U16(static_cast<std::uint16_t>(2 + recordBytes.size())).Append(recordBytes);
  button.U16(0).U16(kOverDownToOverUp).Append(actions);
  // The follower's left edge is where the pointer is across the stage.
  Asm follow;
  follow.Push({"_x"}).Get("_root").Push({"_xmouse"}).Op(op::GetMember).Op(op::SetVariable);
  ClipAction moved;
  moved.events = kEventMouseMove;
  moved.actions = follow.Bytes();
  PlaceObject follower = Placed(3, kFollower, "follower", Matrix::Translate(0, 2000));
  follower.clipActions.push_back(moved);

  Header header;
  header.version = 6;
  header.stage = kStage;
  header.frameRate = 12 << 8;
  Bytes tags = SetBackgroundColor({255, 255, 255, 255});
  for (const Bytes& b : {Box(kUp, 50, 50, kMouseUpColour), Box(kOver, 50, 50, kMouseOverColour),
                         Box(kDown, 50, 50, kMouseDownColour), Tag(34, button.Take()),
                         Box(kCounterBar, 10, 20, kCounterColour), SpriteOf(kCounter, kCounterBar),
                         Box(kFollowerBox, 10, 10, kFollowerColour), SpriteOf(kFollower, kFollowerBox),
                         PlaceObjectTag(Placed(1, kButton, "button", Matrix::Translate(200, 200)), 2, 6),
                         PlaceObjectTag(Placed(2, kCounter, "counter", Matrix::Translate(200, 3000)), 2, 6),
                         PlaceObjectTag(follower, 2, 6), ShowFrame()})
    tags = Append(tags, b);
  return Fws(header, tags);
}

}  // namespace dc::swf::test

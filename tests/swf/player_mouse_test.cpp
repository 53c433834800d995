// The mouse through a real Player: a button's states and actions by
// condition, a clip with press handlers hiding the button inside it, Mouse's
// listeners before the transitions, _xmouse in the clip's own pixels, the
// cursor, the face's pixels of each state (a DefineButton's coloured by
// DefineButtonCxform), and links of text fields calling scripts.
#include <gtest/gtest.h>

#include "testkit/avm1_assembler.h"
#include "clock_face_movies.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "testkit/swf_writer.h"

namespace dc::swf {
namespace {

using avm1::test::Asm;
namespace op = avm1::test::op;
using test::Bytes;

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255};

Bytes Square(std::uint16_t id, Rgba colour) {
  return test::DefineShape(1, id, {0, 2000, 0, 2000}, {{FillStyle{FillKind::Solid, colour}}, {}},
                           {test::StyleChange{{{0, 0}}, std::nullopt, 1, std::nullopt, std::nullopt},
                            test::LineTo{2000, 0}, test::LineTo{0, 2000}, test::LineTo{-2000, 0},
                            test::LineTo{0, -2000}});
}

Bytes Traces(const char* text) {
  Asm a;
  a.Push({text}).TraceTop();
  return *a.Bytes();
}

// Button 3: red when up (and its hit area), green when over or down; it
// traces its transitions.
Bytes Button() {
  test::BitWriter records;
  records.U8(0x01 | 0x08).U16(1).U16(1).WriteMatrix({}).WriteColorTransform({}, true);
  records.U8(0x02 | 0x04).U16(2).U16(1).WriteMatrix({}).WriteColorTransform({}, true);
  records.U8(0);
  const Bytes recordBytes = records.Take();
  test::BitWriter b;
  b.U16(3).U8(0).U16(static_cast<std::uint16_t>(2 + recordBytes.size())).Append(recordBytes);
  const std::pair<std::uint16_t, const char*> conditions[] = {
      {kOverUpToOverDown, "press"}, {kOverDownToOverUp, "release"}, {kIdleToOverUp, "over"}, {kOverUpToIdle, "out"}};
  for (std::size_t i = 0; i < std::size(conditions); ++i) {
    const Bytes actions = Traces(conditions[i].second);
    const bool last = i + 1 == std::size(conditions);
    b.U16(last ? 0 : static_cast<std::uint16_t>(4 + actions.size())).U16(conditions[i].first).Append(actions);
  }
  return test::Tag(34, b.Take());
}

Asm Handler(const char* object, const char* name, const Asm& body) {
  Asm a;
  a.Get(object).Push({name}).Function("", {}, body).Op(op::SetMember);
  return a;
}

// The button at (0, 0); clip "clip" at (200, 0) holds the red square and
// the button, and has onPress and onRelease; a listener traces clip's
// _xmouse at each press.
Bytes Movie() {
  PlaceObject button;
  button.depth = 1;
  button.characterId = 3;
  button.name = "btn";
  PlaceObject inner = button;
  inner.depth = 2;
  PlaceObject clip;
  clip.depth = 2;
  clip.characterId = 5;
  clip.name = "clip";
  clip.matrix = Matrix::Translate(4000, 0);
  Asm press, release, xmouse, script;
  press.Push({"clip press"}).TraceTop();
  release.Push({"clip release"}).TraceTop();
  xmouse.Get("clip._xmouse").TraceTop();
  script.Push({"listener", 0, "Object"}).Op(op::NewObject).Op(op::SetVariable);
  script.Append(Handler("listener", "onMouseDown", xmouse));
  script.Append(Handler("clip", "onPress", press)).Append(Handler("clip", "onRelease", release));
  script.Get("listener").Push({1}).Get("Mouse").Push({"addListener"}).Op(op::CallMethod).Op(op::Pop);
  return test::Fws(test::Header{},
                   test::Concat({Square(1, kRed), Square(2, kGreen), Button(),
                                 test::DefineSprite(5, 1,
                                                    test::Concat({test::PlaceObjectTag(
                                                                      [] {
                                                                        PlaceObject p;
                                                                        p.depth = 1;
                                                                        p.characterId = 1;
                                                                        return p;
                                                                      }(),
                                                                      2, 8),
                                                                  test::PlaceObjectTag(inner, 2, 8), test::ShowFrame()})),
                                 test::PlaceObjectTag(button, 2, 8), test::PlaceObjectTag(clip, 2, 8),
                                 test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
}

TEST(PlayerMouse, ButtonsAndClipsAnswerInTurn) {
  std::string traced;
  PlayerOptions options;
  options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
  Player player(std::make_shared<const dc::swf::Movie>(ReadMovie(Movie())), options);
  std::vector<std::uint32_t> pixels(550 * 400);
  PixelTarget face{pixels.data(), 550, 400, 550};
  enum Kind { Move, Down, Up, Leave };
  struct Step {
    Kind kind;
    double x, y;
    const char* traces;
    Player::Cursor cursor;
    std::uint32_t pixel;  // at (50, 50) afterwards
  };
  const Step steps[] = {
      {Move, 50, 50, "over|", Player::Cursor::Hand, 0x00FF00},
      {Down, 50, 50, "-150|press|", Player::Cursor::Hand, 0x00FF00},
      {Up, 50, 50, "release|", Player::Cursor::Hand, 0x00FF00},
      {Move, 250, 50, "out|", Player::Cursor::Hand, 0xFF0000},
      // The clip's handlers hide the button inside it.
      {Down, 250, 50, "50|clip press|", Player::Cursor::Hand, 0xFF0000},
      {Up, 250, 50, "clip release|", Player::Cursor::Hand, 0xFF0000},
      {Move, 50, 50, "over|", Player::Cursor::Hand, 0x00FF00},
      {Leave, 0, 0, "out|", Player::Cursor::Arrow, 0xFF0000},
      {Move, 500, 300, "", Player::Cursor::Arrow, 0xFF0000},
  };
  player.Render(face);
  ASSERT_EQ(traced, "");
  for (const Step& s : steps) {
    traced.clear();
    if (s.kind == Move) player.MouseMove(s.x, s.y);
    if (s.kind == Down) player.MouseDown(s.x, s.y);
    if (s.kind == Up) player.MouseUp(s.x, s.y);
    if (s.kind == Leave) player.MouseLeave();
    player.Render(face);
    EXPECT_EQ(traced, s.traces) << s.kind << " " << s.x;
    EXPECT_EQ(player.PointerCursor(), s.cursor) << s.kind << " " << s.x;
    EXPECT_EQ(pixels[50 * 550 + 50] & 0xFFFFFF, s.pixel) << s.kind << " " << s.x;
  }
}

// A DefineButton (id 4) of the same squares as Button(): the red one up,
// the green one over; its action block is empty.
Bytes PlainButton() {
  test::BitWriter b;
  b.U16(4);
  b.U8(0x01 | 0x08).U16(1).U16(1).WriteMatrix({});
  b.U8(0x02 | 0x04).U16(2).U16(1).WriteMatrix({});
  b.U8(0).U8(0);
  return test::Tag(7, b.Take());
}

Bytes ButtonCxform(std::uint16_t button, const ColorTransform& cx) {
  test::BitWriter b;
  b.U16(button).WriteColorTransform(cx, false);
  return test::Tag(23, b.Take());
}

TEST(PlayerMouse, DefineButtonCxformColoursEveryStateOfADefineButton) {
  // Red to 0x20, blue plus 0x40, green as it is.
  const ColorTransform cx{0, 1, 1, 1, 0x20, 0, 0x40, 0};
  struct Case {
    const char* what;
    std::uint16_t placed;
    Bytes colours;
    std::uint32_t up, over;
  };
  const Case cases[] = {
      {"coloured", 4, ButtonCxform(4, cx), 0x200040, 0x20FF40},
      {"no colour tag", 4, {}, 0xFF0000, 0x00FF00},
      {"a DefineButton2 keeps its records' own", 3, ButtonCxform(3, cx), 0xFF0000, 0x00FF00},
      {"an id no button has", 4, ButtonCxform(9, cx), 0xFF0000, 0x00FF00},
  };
  for (const Case& c : cases) {
    PlaceObject place;
    place.depth = 1;
    place.characterId = c.placed;
    const Bytes movie = test::Fws(test::Header{}, test::Concat({Square(1, kRed), Square(2, kGreen), Button(),
                                                                 PlainButton(), c.colours,
                                                                 test::PlaceObjectTag(place, 2, 8), test::ShowFrame()}));
    Player player(std::make_shared<const dc::swf::Movie>(ReadMovie(movie)));
    std::vector<std::uint32_t> pixels(550 * 400);
    PixelTarget face{pixels.data(), 550, 400, 550};
    player.Render(face);
    EXPECT_EQ(pixels[50 * 550 + 50] & 0xFFFFFF, c.up) << c.what;
    player.MouseMove(50, 50);
    player.Render(face);
    EXPECT_EQ(pixels[50 * 550 + 50] & 0xFFFFFF, c.over) << c.what;
  }
}

TEST(PlayerMouse, TheMouseFaceAnswersAHoverAClickAndAMove) {
  Player player(std::make_shared<const dc::swf::Movie>(ReadMovie(test::MouseFaceMovie())));
  std::vector<std::uint32_t> px(200 * 200);
  PixelTarget face{px.data(), 200, 200, 200};
  const auto colour = [](Rgba c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; };
  const auto at = [&](int x, int y) {
    player.Render(face);
    return px[y * 200 + x] & 0xFFFFFF;
  };
  EXPECT_EQ(at(35, 35), colour(test::kMouseUpColour));
  player.MouseMove(35, 35);
  EXPECT_EQ(at(35, 35), colour(test::kMouseOverColour));
  EXPECT_EQ(at(40, 105), colour(test::kFollowerColour));
  EXPECT_EQ(at(20, 105), 0xFFFFFFu);
  player.MouseDown(35, 35);
  EXPECT_EQ(at(35, 35), colour(test::kMouseDownColour));
  EXPECT_EQ(at(15, 160), colour(test::kCounterColour));
  player.MouseUp(35, 35);
  EXPECT_EQ(at(35, 35), colour(test::kMouseOverColour));
  EXPECT_EQ(at(15, 160), 0xFFFFFFu);
  EXPECT_EQ(at(35, 160), colour(test::kCounterColour));
  player.MouseLeave();
  EXPECT_EQ(at(35, 35), colour(test::kMouseUpColour));
}

// trace(label + a + " " + (this == holder))
Asm TracesCall(const char* label, const char* holder) {
  Asm a;
  a.Push({label}).Get("a").Op(op::Add2).Push({" "}).Op(op::Add2);
  a.Get("this").Get(holder).Op(op::Equals2).Op(op::Add2).TraceTop();
  return a;
}

TEST(PlayerMouse, APressOnAnAsfunctionLinkCallsItsFunctionOnWhatHoldsIt) {
  struct Case {
    const char* html;
    double x, y;  // the press, in the face's pixels
    const char* traces;
  };
  const Case cases[] = {
      {"<a href='asfunction:hit,one'>linklinklink</a>", 10, 10, "hit one true|"},
      {"<a href='ASFUNCTION:g'>linklinklink</a>", 10, 40, "g undefined true|"},
      {"<a href='asfunction:holder.f,a, b'>linklinklink</a>", 10, 70, "f a, b true|"},
      {"<a href='asfunction:'>linklinklink</a>", 10, 100, ""},
      {"<a href='http://example.com/'>linklinklink</a>", 10, 130, ""},
      {"<a href='asfunction:missing,x'>linklinklink</a>", 10, 160, ""},
      {"plain <a href='asfunction:hit,two'>link</a>", 4, 190, ""},
      {"<a href='asfunction:hit,three'>link</a>", 250, 220, ""},  // past the text
  };
  Asm script;
  script.Function("hit", {"a"}, TracesCall("hit ", "_root"));
  script.Get("_global").Push({"g"}).Function("", {"a"}, TracesCall("g ", "_global")).Op(op::SetMember);
  script.New("Object").Store("holder");
  script.Get("holder").Push({"f"}).Function("", {"a"}, TracesCall("f ", "holder")).Op(op::SetMember);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = "t" + std::to_string(i);
    script.CallOn("this", "createTextField", {name.c_str(), int(i) + 1, 0, int(i) * 30, 300, 25}).Op(op::Pop);
    script.Get(name).Push({"html", true}).Op(op::SetMember);
    script.Get(name).Push({"htmlText", cases[i].html}).Op(op::SetMember);
  }
  const Bytes movie =
      test::Fws(test::Header{}, test::Concat({test::DoActionTag(*script.Bytes()), test::ShowFrame()}));
  std::string traced;
  PlayerOptions options;
  options.trace = [&traced](std::string_view line) { traced += std::string(line) + "|"; };
  Player player(std::make_shared<const dc::swf::Movie>(ReadMovie(movie)), options);
  std::vector<std::uint32_t> pixels(550 * 400);
  PixelTarget face{pixels.data(), 550, 400, 550};
  player.Render(face);
  ASSERT_EQ(traced, "");
  for (const Case& c : cases) {
    traced.clear();
    player.MouseDown(c.x, c.y);
    player.MouseUp(c.x, c.y);
    EXPECT_EQ(traced, c.traces) << c.html;
  }
}

}  // namespace
}  // namespace dc::swf

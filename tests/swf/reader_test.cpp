// The movie reader: the header, the movies it refuses and why, frames and
// sprites, placements and clip events, texts, and what the limits leave out.
#include "swf/format/reader.h"

#include <gtest/gtest.h>

#include "reader_test_util.h"
#include "swf/format/swf_error.h"

namespace dc::swf::test {
namespace {

// 550 x 400 pixels (11000 x 8000 twips, 15 bits a field), 24 frames a
// second, one frame, Flash 8, an End tag: 23 bytes written by hand.
const Bytes kGolden = {'F',  'W',  'S',  8,    23,   0,    0,    0,    0x78, 0x00, 0x05, 0x5F,
                       0x00, 0x00, 0x0F, 0xA0, 0x00, 0x00, 0x18, 0x01, 0x00, 0x00, 0x00};

TEST(ReadMovie, HeaderOfAMovieWrittenByHand) {
  const Movie m = ReadMovie(kGolden);
  EXPECT_EQ(m.version, 8);
  EXPECT_EQ(m.compression, Compression::None);
  EXPECT_EQ(m.fileLength, 23u);
  EXPECT_EQ(m.stage, (TwipRect{0, 11000, 0, 8000}));
  EXPECT_EQ(m.frameRate, 24.0);
  EXPECT_EQ(m.declaredFrameCount, 1);
  EXPECT_EQ(m.root.frames.size(), 1u);
  EXPECT_TRUE(m.warnings.empty()) << Warnings(m);
  // The writer the other tests use writes the same bytes.
  EXPECT_EQ(Fws(Header{8, {0, 11000, 0, 8000}, 24 << 8, 1}, {}), kGolden);
}

TEST(ReadMovie, HeaderFieldsPlainAndCompressed) {
  struct Case {
    Header header;
    bool compressed;
    double frameRate;
  };
  const Case cases[] = {
      {{5, {0, 4000, 0, 3000}, 12 << 8, 1}, false, 12},
      {{6, {-200, 1800, 400, 2400}, 0x1E80, 7}, true, 30.5},
      {{50, {0, 1, 0, 1}, 0x0001, 65535}, false, 1 / 256.0},
      {{1, {}, 0, 0}, true, 0},
  };
  for (const Case& c : cases) {
    const Bytes tags = Concat({SetBackgroundColor({10, 20, 30, 255}), ShowFrame()});
    const Bytes file = c.compressed ? Cws(c.header, tags) : Fws(c.header, tags);
    const Movie m = ReadMovie(file);
    SCOPED_TRACE("version " + std::to_string(c.header.version));
    EXPECT_EQ(m.version, c.header.version);
    EXPECT_EQ(m.compression, c.compressed ? Compression::Zlib : Compression::None);
    EXPECT_EQ(m.fileLength, Fws(c.header, tags).size());
    EXPECT_EQ(m.stage, c.header.stage);
    EXPECT_EQ(m.frameRate, c.frameRate);
    EXPECT_EQ(m.declaredFrameCount, c.header.frameCount);
    EXPECT_EQ(m.background, (Rgba{10, 20, 30, 255}));
  }
}

TEST(ReadMovie, RefusesWhatCannotBePlayedInTheUsersWords) {
  Bytes header10(kGolden.begin(), kGolden.begin() + 10);
  Bytes zws = kGolden, v0 = kGolden, v51 = kGolden, v50 = kGolden;
  zws[0] = 'Z';
  v0[3] = 0;
  v51[3] = 51;
  v50[3] = 50;
  Bytes badZlib = {'C', 'W', 'S', 8, 23, 0, 0, 0, 0x00, 0x01, 0x02, 0x03};
  Limits small;
  small.maxFileBytes = 20;
  Limits smallInflated;
  smallInflated.maxUncompressedBytes = 20;
  const Bytes shapeBody(10, 0);
  const Bytes shapeTag = Tag(2, shapeBody);
  const Bytes cutTag(shapeTag.begin(), shapeTag.begin() + 6);
  const Bytes cutLongHeader = {0xBF, 0x00, 0x05};  // DefineShape's long header, 1 of its 4 length bytes
  struct Case {
    const char* name;
    Bytes file;
    Limits limits;
    std::string message;
  };
  const Case cases[] = {
      {"empty", {}, {}, "the file is not a Flash movie (it does not begin with the letters FWS or CWS)."},
      {"a GIF",
       {'G', 'I', 'F', '8', '9', 'a', 0, 0},
       {},
       "the file is not a Flash movie (it does not begin with the letters FWS or CWS)."},
      {"LZMA",
       zws,
       {},
       "the movie is compressed with LZMA (ZWS), which this clock cannot read; save it without compression or "
       "with the standard (zlib) compression."},
      {"version 0", v0, {}, "the movie gives its Flash version as 0, which is not a version of Flash."},
      {"version 51", v51, {}, "the movie gives its Flash version as 51, which is not a version of Flash."},
      {"header cut in the fixed part",
       Bytes(kGolden.begin(), kGolden.begin() + 5),
       {},
       "the movie is cut off: it ends after 5 of the 13 bytes of its header."},
      {"header cut in the stage",
       header10,
       {},
       "the movie is cut off: it ends after 10 of the 21 bytes of its header."},
      {"tag cut", Fws(Header{}, cutTag, false), {}, "the movie is cut off: it ends after 6 of the 12 bytes of a tag."},
      {"long tag header cut",
       Fws(Header{}, cutLongHeader, false),
       {},
       "the movie is cut off: it ends after 3 of the 6 bytes of a tag."},
      {"damaged zlib", badZlib, {}, "the movie's compressed data is damaged (incorrect header check)."},
      {"file limit", kGolden, small, "the movie is 23 bytes long, more than the 20 a clock face may have."},
      {"inflated limit", Cws(Header{}, {}), smallInflated,
       "the movie uncompresses to 23 bytes, more than the 20 a clock face may have."},
  };
  for (const Case& c : cases) {
    try {
      (void)ReadMovie(c.file, c.limits);
      ADD_FAILURE() << c.name << ": read, expected \"" << c.message << "\"";
    } catch (const SwfError& e) {
      EXPECT_EQ(e.what(), c.message) << c.name;
    }
  }
  EXPECT_EQ(ReadMovie(v50).version, 50);
}

TEST(ReadMovie, AcceptsWhatOldToolsWrote) {
  const Bytes tags = Concat({PlaceObjectTag(PlaceObject{1, false, 1}, 2, 8), ShowFrame()});
  const Bytes compressed = Cws(Header{}, tags);
  const Bytes withoutChecksum(compressed.begin(), compressed.end() - 4);
  const Bytes longHeaders = Concat({Tag(26, Bytes(tags.begin() + 2, tags.end() - 2), true), Tag(1, {}, true)});
  const Bytes cases[] = {
      Fws(Header{}, tags, false),                     // no End tag, the data ending after a whole tag
      withoutChecksum,                                // zlib's checksum missing, every byte of the movie there
      Fws(Header{}, longHeaders),                     // long tag headers for short tags
      Concat({Fws(Header{}, tags), Bytes{1, 2, 3}}),  // bytes after the End tag
  };
  for (const Bytes& file : cases) {
    const Movie m = ReadMovie(file);
    ASSERT_EQ(m.root.frames.size(), 1u);
    ASSERT_EQ(m.root.frames[0].tags.size(), 1u);
    EXPECT_EQ(std::get<PlaceObject>(m.root.frames[0].tags[0]).depth, 1);
    EXPECT_TRUE(m.warnings.empty()) << Warnings(m);
  }
}

// One frame as a line: its tags, label and init actions in order.
std::string FrameText(const Frame& f) {
  std::string s;
  const auto add = [&](const std::string& part) { s += (s.empty() ? "" : " ") + part; };
  if (f.label) add("label:" + *f.label);
  for (const InitAction& i : f.initActions) add("init:" + std::to_string(i.spriteId));
  for (const FrameTag& t : f.tags) {
    if (const auto* p = std::get_if<PlaceObject>(&t)) add("place@" + std::to_string(p->depth));
    if (const auto* r = std::get_if<RemoveObject>(&t)) add("remove@" + std::to_string(r->depth));
    if (const auto* a = std::get_if<DoAction>(&t)) add("action(" + std::to_string(a->actions->size()) + ")");
  }
  return s;
}

std::vector<std::string> FramesText(const Sprite& s) {
  std::vector<std::string> out;
  for (const Frame& f : s.frames) out.push_back(FrameText(f));
  return out;
}

TEST(ReadMovie, FramesFromShowFrameTags) {
  const Bytes place1 = PlaceObjectTag(PlaceObject{1, false, 7}, 2, 8);
  const Bytes remove1 = RemoveObject2(1);
  const Bytes action = DoActionTag(Bytes{0x07, 0x06, 0x00});
  const Bytes init = Tag(59, Bytes{5, 0, 0x07, 0x00});
  struct Case {
    Bytes tags;
    std::vector<std::string> frames;
  };
  const Case cases[] = {
      {{}, {""}},
      {Concat({ShowFrame(), ShowFrame()}), {"", ""}},
      {Concat({place1, ShowFrame(), remove1, ShowFrame()}), {"place@1", "remove@1"}},
      {Concat({place1, ShowFrame(), remove1}), {"place@1", "remove@1"}},  // a last frame without ShowFrame
      {Concat({place1, ShowFrame(), SetBackgroundColor({})}), {"place@1"}},
      {Concat({FrameLabel("a"), FrameLabel("b"), place1, ShowFrame(), FrameLabel("end")}),
       {"label:a place@1", "label:end"}},
      {Concat({init, action, ShowFrame(), action}), {"init:5 action(3)", "action(3)"}},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(c.tags);
    EXPECT_EQ(FramesText(m.root), c.frames);
    EXPECT_EQ(m.root.declaredFrameCount, 1);
  }
  EXPECT_TRUE(ReadTags(init).hasAvm1Scripts);
  EXPECT_FALSE(ReadTags(place1).hasAvm1Scripts);
}

TEST(ReadMovie, SpritesHoldTheirOwnFrames) {
  const Bytes inner = Concat(
      {PlaceObjectTag(PlaceObject{2, false, 1}, 2, 8), ShowFrame(), RemoveObject2(2), FrameLabel("gone"), ShowFrame()});
  const Bytes shape = DefineShape(1, 1, {}, {}, {});
  struct Case {
    Bytes spriteTags;
    std::vector<std::string> frames;
    const char* warning;  // null: none
  };
  const Case cases[] = {
      {inner, {"place@2", "label:gone remove@2"}, nullptr},
      {{}, {""}, nullptr},
      {Concat({shape, DefineSprite(4, 1, {}), Tag(59, Bytes{5, 0, 0}), inner}),
       {"place@2", "label:gone remove@2"},
       "Definitions inside a sprite are left out."},
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(Concat({DefineSprite(3, 9, c.spriteTags), ShowFrame()}));
    const Sprite* s = CharacterOf<Sprite>(m, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FramesText(*s), c.frames);
    EXPECT_EQ(s->declaredFrameCount, 9);
    EXPECT_EQ(Warnings(m), c.warning ? c.warning : "");
    EXPECT_EQ(m.Find(4), nullptr);
  }
}

TEST(ReadMovie, PlaceObject2And3KeepEveryField) {
  PlaceObject full;
  full.depth = 300;
  full.move = true;
  full.characterId = 12;
  full.matrix = Matrix{1.5, -0.25, 0.5, -2, -1000, 64};
  full.colorTransform = ColorTransform{0.5, 2, 1, 0.25, -255, 0, 100, 16};
  full.ratio = 65535;
  full.name = "hand";
  full.clipDepth = 301;
  PlaceObject three = full;
  three.className = "ClockHand";
  three.visible = false;
  const PlaceObject cases[] = {full, PlaceObject{1, true}, three};
  for (const PlaceObject& p : cases) {
    const int version = p.className ? 3 : 2;
    const Movie m = ReadTags(PlaceObjectTag(p, version, 8));
    ASSERT_EQ(m.root.frames[0].tags.size(), 1u);
    EXPECT_TRUE(SamePlacement(std::get<PlaceObject>(m.root.frames[0].tags[0]), p)) << "depth " << p.depth;
  }
}

TEST(ReadMovie, OlderAndRicherPlacementsByHand) {
  // PlaceObject: character 5 at depth 2; a MATRIX of no scale, no rotation
  // and a translation of (3, -1) in 3 bits: 0 0 00011 011 111; a CXFORM
  // adding (1, 2, 3) in 3 bits: 1 0 0011 001 010 011.
  const Bytes place1 = Tag(4, Bytes{5, 0, 2, 0, 0x06, 0xF8, 0x8C, 0xA6});
  // PlaceObject3 of character 4 at depth 1: a filter list (one blur: 9
  // bytes), blend mode, bitmap caching, visible 1, an opaque background,
  // then clip actions: one record, on load, of the action byte 0.
  const Bytes place3 = Tag(70, Bytes{0x82, 0x67, 1, 0, 4, 0, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 1, 1, 9, 9,
                                     9,    9,    0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
  const Bytes remove1 = Tag(5, Bytes{5, 0, 2, 0});
  const Movie m = ReadTags(Concat({place1, place3, remove1}));
  ASSERT_EQ(m.root.frames[0].tags.size(), 3u) << Warnings(m);
  PlaceObject expected1{2, false, 5, Matrix::Translate(3, -1)};
  expected1.colorTransform = ColorTransform{1, 1, 1, 1, 1, 2, 3, 0};
  EXPECT_TRUE(SamePlacement(std::get<PlaceObject>(m.root.frames[0].tags[0]), expected1));
  PlaceObject expected3{1, false, 4};
  expected3.visible = true;
  expected3.clipActions = {ClipAction{kEventLoad, 0, std::make_shared<const std::vector<std::uint8_t>>(1, 0)}};
  EXPECT_TRUE(SamePlacement(std::get<PlaceObject>(m.root.frames[0].tags[1]), expected3));
  EXPECT_EQ(std::get<RemoveObject>(m.root.frames[0].tags[2]).depth, 2);
}

TEST(ReadMovie, ClipEventBitsOfFlash5And6) {
  struct Case {
    std::uint8_t version;
    Bytes flags;  // the record's event flags as the file has them
    std::uint32_t events;
    std::uint8_t keyCode;
  };
  const Case cases[] = {
      {5, {0x01, 0x00}, kEventLoad, 0},
      {5, {0x02, 0x00}, kEventEnterFrame, 0},
      {5, {0x80, 0x01}, kEventKeyUp | kEventData, 0},
      {5, {0x7C, 0x00}, kEventKeyDown | kEventMouseUp | kEventMouseDown | kEventMouseMove | kEventUnload, 0},
      {6, {0x00, 0x04, 0x00, 0x00}, kEventPress, 0},
      {6,
       {0x00, 0xFA, 0x00, 0x00},
       kEventDragOver | kEventRollOut | kEventRollOver | kEventReleaseOutside | kEventRelease | kEventInitialize,
       0},
      {7, {0x00, 0x00, 0x04, 0x00}, kEventConstruct, 0},
      {6, {0x00, 0x00, 0x01, 0x00}, kEventDragOut, 0},
      {6, {0x00, 0x00, 0x02, 0x00}, kEventKeyPress, 'A'},
  };
  for (const Case& c : cases) {
    // PlaceObject2 with clip actions at depth 1: reserved, all events, one
    // record of actions {0x07, 0x00} (after a key code when there is one),
    // the end.
    BitWriter w;
    w.U8(0x82).U16(1).U16(1).U16(0).Append(c.flags).Append(c.flags);
    const bool key = c.keyCode != 0;
    w.U32(key ? 3 : 2);
    if (key) w.U8(c.keyCode);
    w.U8(0x07).U8(0x00).Append(Bytes(c.flags.size(), 0));
    const Movie m = ReadTags(Tag(26, w.Take()), c.version);
    ASSERT_EQ(m.root.frames[0].tags.size(), 1u) << Warnings(m);
    const auto& actions = std::get<PlaceObject>(m.root.frames[0].tags[0]).clipActions;
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].events, c.events) << "flags of version " << int{c.version};
    EXPECT_EQ(actions[0].keyCode, c.keyCode);
    EXPECT_EQ(*actions[0].actions, (std::vector<std::uint8_t>{0x07, 0x00}));
    EXPECT_TRUE(m.hasAvm1Scripts);
  }
}

TEST(ReadMovie, ClipEventsTheHeaderLacksNeverFire) {
  // SWF 7: the header names initialize alone; one record asks for
  // initialize and construct, one for enterFrame, one is a key press.
  BitWriter w;
  w.U8(0x82).U16(1).U16(1).U16(0).Append(Bytes{0x00, 0x02, 0x00, 0x00});
  w.Append(Bytes{0x00, 0x02, 0x04, 0x00}).U32(2).U8(0x07).U8(0x00);
  w.Append(Bytes{0x02, 0x00, 0x00, 0x00}).U32(2).U8(0x07).U8(0x00);
  w.Append(Bytes{0x00, 0x00, 0x02, 0x00}).U32(3).U8('A').U8(0x07).U8(0x00);
  w.Append(Bytes{0x00, 0x00, 0x00, 0x00});
  const Movie m = ReadTags(Tag(26, w.Take()), 7);
  ASSERT_EQ(m.root.frames[0].tags.size(), 1u) << Warnings(m);
  const auto& actions = std::get<PlaceObject>(m.root.frames[0].tags[0]).clipActions;
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].events, kEventInitialize);
}

TEST(ReadMovie, TextsInTheEncodingOfTheirVersion) {
  struct Case {
    std::uint8_t version;
    Bytes label;
    std::string text;
  };
  const Case cases[] = {
      {5, {'a', 0x80, 0xE9, 0x9F}, "a\u20AC\u00E9\u0178"},  // Windows-1252
      {5, {0x81}, "\uFFFD"},                                // unassigned there
      {6, {0xC3, 0xA9, 0xE2, 0x82, 0xAC}, "\u00E9\u20AC"},
      {6, {0xC3, 0xA9, 0xFF, 'x'}, "\u00E9\uFFFDx"},
      {6, {0xC0, 0x80}, "\uFFFD\uFFFD"},              // an overlong zero
      {6, {0xED, 0xA0, 0x80}, "\uFFFD\uFFFD\uFFFD"},  // a surrogate
  };
  for (const Case& c : cases) {
    const Movie m = ReadTags(Tag(43, Concat({c.label, Bytes{0}})), c.version);
    ASSERT_TRUE(m.root.frames[0].label);
    EXPECT_EQ(*m.root.frames[0].label, c.text);
  }
}

TEST(ReadMovie, MovieWideTags) {
  const Bytes exports =
      Tag(56, Concat({Bytes{2, 0, 7, 0}, Bytes{'h', 'a', 'n', 'd', 0}, Bytes{9, 0, 'd', 'i', 'a', 'l', 0}}));
  const Movie m = ReadTags(Concat({exports, SetBackgroundColor({1, 2, 3, 255}), Tag(69, Bytes{0x08, 0, 0, 0})}));
  EXPECT_EQ(m.exports, (std::map<std::string, std::uint16_t>{{"hand", 7}, {"dial", 9}}));
  EXPECT_EQ(m.background, (Rgba{1, 2, 3, 255}));
  EXPECT_TRUE(m.actionScript3);
  EXPECT_FALSE(ReadTags(Tag(69, Bytes{0x00, 0, 0, 0})).actionScript3);
  EXPECT_TRUE(ReadTags(Tag(82, Bytes{1, 0, 0, 0, 0})).actionScript3);
  EXPECT_TRUE(ReadTags(Tag(76, Bytes{0, 0})).actionScript3);
}

TEST(ReadMovie, LimitsAndDamageLeaveOutWithOneWarningEach) {
  const StyleChange start{{{0, 0}}, 1};
  const ShapeStyles red{{FillStyle{FillKind::Solid, {255, 0, 0, 255}}}, {}};
  const Bytes threeEdges = DefineShape(1, 1, {}, red, {start, LineTo{10, 0}, LineTo{0, 10}, LineTo{-10, -10}});
  const Bytes fourEdges =
      DefineShape(1, 2, {}, red, {start, LineTo{10, 0}, LineTo{0, 10}, LineTo{-10, 0}, LineTo{0, -10}});
  const Bytes fiveEdges =
      DefineShape(1, 3, {}, red, {start, LineTo{1, 0}, LineTo{1, 0}, LineTo{1, 0}, LineTo{1, 0}, LineTo{1, 0}});
  Limits edges;
  edges.maxEdgesPerShape = 3;
  const Movie e = ReadTags(Concat({threeEdges, fourEdges, fiveEdges}), 8, edges);
  EXPECT_NE(e.Find(1), nullptr);
  EXPECT_EQ(e.Find(2), nullptr);
  EXPECT_EQ(e.Find(3), nullptr);
  EXPECT_EQ(Warnings(e), "Shapes of more than 3 edges are left out: more than a clock face may draw.");

  const Bytes pixel = {0, 0, 0, 0};
  Limits pixels;
  pixels.maxBitmapPixels = 6;
  const Movie p =
      ReadTags(Concat({DefineBitsLossless(false, 1, 5, 3, 2, Bytes(24, 0)),
                       DefineBitsLossless(false, 2, 5, 1, 1, pixel), DefineBitsLossless(false, 3, 5, 1, 0, {})}),
               8, pixels);
  EXPECT_NE(p.Find(1), nullptr);
  EXPECT_EQ(p.Find(2), nullptr);
  EXPECT_NE(p.Find(3), nullptr);  // no pixels at all
  EXPECT_EQ(Warnings(p), "Bitmaps beyond 6 pixels in all are left out: more than a clock face may have.");

  Limits frames;
  frames.maxFrames = 2;
  const Bytes place = PlaceObjectTag(PlaceObject{1, false, 1}, 2, 8);
  const Movie f = ReadTags(Concat({place, ShowFrame(), ShowFrame(), place, ShowFrame(),
                                   DefineSprite(5, 3, Concat({ShowFrame(), ShowFrame(), ShowFrame()}))}),
                           8, frames);
  EXPECT_EQ(FramesText(f.root), (std::vector<std::string>{"place@1", ""}));
  ASSERT_NE(CharacterOf<Sprite>(f, 5), nullptr);
  EXPECT_EQ(CharacterOf<Sprite>(f, 5)->frames.size(), 2u);
  EXPECT_EQ(Warnings(f), "Timelines of more than 2 frames stop at frame 2.");

  Limits memory;  // room for the first shape and not for both
  memory.maxDefinitionBytes = 2 * sizeof(FillStyle) + 2 * sizeof(Path) + 5 * sizeof(Edge);
  const Movie b = ReadTags(Concat({threeEdges, fourEdges}), 8, memory);
  EXPECT_NE(b.Find(1), nullptr);
  EXPECT_EQ(b.Find(2), nullptr);
  EXPECT_TRUE(Warned(b, "of shapes, texts and frames a clock face may have; the rest is left out."));

  // A fill style of unknown kind (7) damages its shape alone; a second
  // definition of an id is left out.
  const Bytes damaged = Tag(2, Bytes{4, 0, 0, 1, 7, 0, 0});
  const Movie d = ReadTags(Concat({damaged, threeEdges, DefineShape(1, 1, {}, {}, {}), damaged}));
  EXPECT_EQ(d.Find(4), nullptr);
  ASSERT_NE(CharacterOf<Shape>(d, 1), nullptr);
  EXPECT_EQ(CharacterOf<Shape>(d, 1)->EdgeCount(), 3u);
  EXPECT_EQ(Warnings(d), "Damaged shapes are left out. | A character id defined twice keeps its first definition.");
}

}  // namespace
}  // namespace dc::swf::test

// Timelines: each sprite steps and loops on its own; jumping back keeps the
// objects placed again; limits leave objects out with one warning. Fields
// that scripts make: how they size themselves and what their copies keep.
#include "swf/display/display_tree.h"

#include "swf/avm1/text_field_host.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dc::swf {
namespace {

constexpr std::uint16_t kSquare = 1, kDisc = 2;

PlaceObject Place(std::uint16_t depth, std::uint16_t id, double tx = 0) {
  PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.matrix = Matrix::Translate(tx, 0);
  return p;
}
PlaceObject Move(std::uint16_t depth, double tx) {
  PlaceObject p;
  p.depth = depth;
  p.move = true;
  p.matrix = Matrix::Translate(tx, 0);
  return p;
}
Frame FrameOf(std::vector<FrameTag> tags) { return Frame{std::move(tags), std::nullopt, {}}; }

// A movie with two shapes and the given sprites; `root` is its timeline.
std::shared_ptr<Movie> MovieOf(std::vector<Frame> root, std::vector<std::pair<std::uint16_t, Sprite>> sprites = {}) {
  auto m = std::make_shared<Movie>();
  m->stage = {0, 2000, 0, 2000};
  m->characters[kSquare] = std::make_shared<Character>(Shape{});
  m->characters[kDisc] = std::make_shared<Character>(Shape{});
  for (auto& [id, s] : sprites) m->characters[id] = std::make_shared<Character>(std::move(s));
  m->root.frames = std::move(root);
  return m;
}

// Depth: character at x, for each child, in depth order.
std::string ListOf(const DisplayObject& sprite) {
  std::string s;
  for (const auto& [depth, child] : sprite.children)
    s += std::to_string(depth) + ":" + std::to_string(child->characterId) + "@" +
         std::to_string(static_cast<int>(child->matrix.tx)) + " ";
  return s;
}

TEST(DisplayTree, RootTimelineStepsLoopsAndRemoves) {
  auto movie = MovieOf({FrameOf({Place(1, kSquare, 0)}), FrameOf({Move(1, 20), Place(2, kDisc, 5)}),
                        FrameOf({RemoveObject{1}, Move(2, 7)})});
  DisplayTree tree(movie, kDefaultLimits);
  tree.Start();
  const char* expected[] = {"1:1@0 ", "1:1@20 2:2@5 ", "2:2@7 ", "1:1@0 ", "1:1@20 2:2@5 "};
  for (const char* list : expected) {
    EXPECT_EQ(ListOf(tree.Root()), list) << "frame " << tree.Root().frame + 1;
    tree.Step();
  }
}

TEST(DisplayTree, EachSpriteRunsItsOwnTimeline) {
  // A 3-frame sprite on a 2-frame root: the sprite goes 1 2 3 1 2 while the
  // root goes 1 2 1 2 1, and the sprite is kept (not restarted) when the
  // root jumps back to the frame that places it again.
  Sprite spin;
  spin.frames = {FrameOf({Place(1, kSquare, 0)}), FrameOf({Move(1, 1)}), FrameOf({Move(1, 2)})};
  auto movie = MovieOf({FrameOf({Place(5, 10)}), FrameOf({Place(6, kDisc)})}, {{10, std::move(spin)}});
  DisplayTree tree(movie, kDefaultLimits);
  tree.Start();
  const DisplayObject* sprite = tree.Root().children.at(5).get();
  const std::uint32_t spriteFrames[] = {0, 1, 2, 0, 1, 2};
  const std::uint32_t rootFrames[] = {0, 1, 0, 1, 0, 1};
  for (int i = 0; i < 6; ++i) {
    ASSERT_EQ(tree.Root().children.at(5).get(), sprite) << "step " << i;
    EXPECT_EQ(sprite->frame, spriteFrames[i]) << "step " << i;
    EXPECT_EQ(tree.Root().frame, rootFrames[i]) << "step " << i;
    EXPECT_EQ(sprite->children.at(1)->matrix.tx, spriteFrames[i]);
    EXPECT_EQ(tree.Root().children.count(6), rootFrames[i] == 1 ? 1u : 0u) << "step " << i;
    tree.Step();
  }
}

TEST(DisplayTree, JumpBackResetsPlacesAndMakesWhatTheFrameLacks) {
  // Frame 3 replaces depth 1's character: jumping back to frame 2 brings the
  // square back as a new object; depth 2, moved meanwhile, keeps its object
  // and takes frame 2's place again.
  PlaceObject swap = Move(1, 9);
  swap.characterId = kDisc;
  auto movie = MovieOf({FrameOf({Place(1, kSquare, 3), Place(2, kDisc, 0)}), FrameOf({Move(2, 4)}),
                        FrameOf({swap, Move(2, 8)})});
  DisplayTree tree(movie, kDefaultLimits);
  tree.Start();
  tree.GotoFrame(tree.Root(), 2);
  EXPECT_EQ(ListOf(tree.Root()), "1:2@9 2:2@8 ");
  const DisplayObject* kept = tree.Root().children.at(2).get();
  tree.GotoFrame(tree.Root(), 1);
  EXPECT_EQ(ListOf(tree.Root()), "1:1@3 2:2@4 ");
  EXPECT_EQ(tree.Root().children.at(2).get(), kept);
}

TEST(DisplayTree, ReplacingACharacterKeepsItsPlace) {
  PlaceObject swap;
  swap.depth = 1;
  swap.move = true;
  swap.characterId = kDisc;
  auto movie = MovieOf({FrameOf({Place(1, kSquare, 12)}), FrameOf({swap})});
  DisplayTree tree(movie, kDefaultLimits);
  tree.Start();
  tree.Step();
  EXPECT_EQ(ListOf(tree.Root()), "1:2@12 ");
}

TEST(DisplayTree, OnlyChangesMakeANewPicture) {
  auto movie = MovieOf({FrameOf({Place(1, kSquare, 0)}), FrameOf({}), FrameOf({Move(1, 0)}), FrameOf({Move(1, 5)})});
  DisplayTree tree(movie, kDefaultLimits);
  tree.Start();
  EXPECT_TRUE(tree.TakeDirty());  // the first frame
  const bool expected[] = {false, false, true, true};  // frame 2 empty, frame 3 moves nowhere, 4 moves, back to 1
  for (bool dirty : expected) {
    tree.Step();
    EXPECT_EQ(tree.TakeDirty(), dirty) << "frame " << tree.Root().frame + 1;
  }
}

// A frame script that stands for its frame: its one byte is the frame's
// number.
DoAction Script(std::uint8_t frame) {
  return DoAction{std::make_shared<const std::vector<std::uint8_t>>(1, frame)};
}

TEST(DisplayTree, GotoForwardAppliesTheFramesBetweenAndRunsOnlyTheLast) {
  auto movie = MovieOf({FrameOf({Place(1, kSquare, 0), Script(1)}), FrameOf({Place(2, kDisc, 1), Script(2)}),
                        FrameOf({RemoveObject{1}, Script(3)}), FrameOf({Move(2, 6), Script(4)}), FrameOf({Script(5)})});
  DisplayTree tree(movie, kDefaultLimits);
  std::vector<int> ran;
  tree.onFrameAction = [&](DisplayObject&, const ActionBytes& a) { ran.push_back(a->at(0)); };
  tree.Start();
  tree.GotoFrame(tree.Root(), 3);
  tree.GotoFrame(tree.Root(), 3);   // the frame shown: nothing
  EXPECT_EQ(ListOf(tree.Root()), "2:2@6 ");
  tree.GotoFrame(tree.Root(), 99);  // past the end: the last frame, its script not run
  EXPECT_EQ(tree.Root().frame, 4u);
  EXPECT_EQ(ran, (std::vector<int>{1, 4}));
}

TEST(DisplayTree, ASpriteHoldingItselfStopsAtTheNestingLimit) {
  Sprite self;
  self.frames = {FrameOf({Place(1, 10)})};
  auto movie = MovieOf({FrameOf({Place(1, 10)})}, {{10, std::move(self)}});
  Limits limits;
  limits.maxSpriteNesting = 5;
  DisplayTree tree(movie, limits);
  tree.Start();
  int depth = 0;
  for (const DisplayObject* o = &tree.Root(); !o->children.empty(); o = o->children.begin()->second.get()) ++depth;
  EXPECT_EQ(depth, 5);
  const std::vector<std::string> warnings = tree.TakeWarnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("nests sprites more than 5"), std::string::npos) << warnings[0];
}

TEST(DisplayTree, ObjectsPastTheLimitAreLeftOutOnce) {
  std::vector<FrameTag> tags;
  for (std::uint16_t d = 1; d <= 10; ++d) tags.emplace_back(std::in_place_type<PlaceObject>, Place(d, kSquare));
  auto movie = MovieOf({FrameOf(tags), FrameOf({})});
  Limits limits;
  limits.maxDisplayObjects = 5;  // the root counts as one
  DisplayTree tree(movie, limits);
  tree.Start();
  for (int i = 0; i < 4; ++i) tree.Step();
  EXPECT_EQ(tree.Root().children.size(), 4u);
  EXPECT_EQ(tree.LiveObjects(), 5u);
  // Clips made by scripts meet the same limit and the same one warning.
  EXPECT_EQ(tree.Root().CreateEmptyMovieClip("late", 1), nullptr);
  const std::vector<std::string> warnings = tree.TakeWarnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("more than 5 objects at once (maxDisplayObjects)"), std::string::npos) << warnings[0];
}

TEST(DisplayTree, DrawingsAndTheirCopiesShareOneEdgeLimit) {
  auto movie = MovieOf({FrameOf({}), FrameOf({})});
  Limits limits;
  limits.maxEdgesPerShape = 50;
  limits.maxDrawnEdges = 120;
  DisplayTree tree(movie, limits);
  tree.Start();
  avm1::Clip* a = tree.Root().CreateEmptyMovieClip("a", 1);
  ASSERT_NE(a, nullptr);
  Drawing* d = a->GetDrawing();
  d->SetLineStyle(LineStyle{});
  for (int i = 0; i < 80; ++i) d->LineTo(i, i % 2);
  EXPECT_EQ(d->Edges(), 50u);  // one shape's limit
  ASSERT_NE(a->Duplicate("b", 2), nullptr);
  EXPECT_EQ(tree.DrawnEdges(), 100u);
  EXPECT_TRUE(tree.TakeWarnings().empty());
  // A third copy would pass the total: it is made, undrawn, and said once.
  avm1::Clip* c = a->Duplicate("c", 3);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetDrawing()->Edges(), 0u);
  EXPECT_EQ(tree.DrawnEdges(), 100u);
  c->GetDrawing()->SetLineStyle(LineStyle{});
  for (int i = 0; i < 40; ++i) c->GetDrawing()->LineTo(i, 0);
  EXPECT_EQ(tree.DrawnEdges(), 120u);
  const std::vector<std::string> warnings = tree.TakeWarnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("more than 120 edges together (maxDrawnEdges)"), std::string::npos) << warnings[0];
  // Cleared drawings give their edges back.
  a->GetDrawing()->Clear();
  EXPECT_EQ(tree.DrawnEdges(), 70u);
}

// A script's field at x 10, 100 by 50, in "Grid" at 20 px ('a' 10 px
// wide, a line 399 twips high) or in a font the movie lacks.
struct GridField {
  DisplayTree tree{MovieWithGrid(), kDefaultLimits};
  avm1::Clip* clip = nullptr;
  explicit GridField(const char* font) {
    tree.Start();
    clip = tree.Root().CreateTextField("f", 1, 10, 0, 100, 50);
    clip->TextField()->SetProperty(avm1::FieldProperty::EmbedFonts, true);
    avm1::FieldFormat format;
    format.font = font;
    format.size = 20;
    clip->TextField()->SetNewFormat(format);
  }
  static std::shared_ptr<Movie> MovieWithGrid() {
    auto movie = MovieOf({FrameOf({}), FrameOf({})});
    Font grid{.name = "Grid", .hasLayout = true, .ascent = 800, .descent = 224};
    grid.glyphs.push_back(Glyph{.code = u'a', .advance = 512});
    movie->characters[3] = std::make_shared<Character>(grid);
    return movie;
  }
};

// "aa" is 20 px, 24 with the gutters; no glyphs leave the gutters alone.
TEST(DisplayTree, AutoSizedFieldsFitTheirTextFromTheSideTheyKeep) {
  struct Case {
    const char* autoSize;
    bool wordWrap;
    const char* font;
    double x, width, height;
  } const cases[] = {
      {"none", false, "Grid", 10, 100, 50},    {"left", false, "Grid", 10, 24, 23.95},
      {"right", false, "Grid", 86, 24, 23.95}, {"center", false, "Grid", 48, 24, 23.95},
      {"right", true, "Grid", 10, 100, 23.95}, {"center", true, "Grid", 10, 100, 23.95},
      {"right", false, "Absent", 106, 4, 4},
  };
  for (const Case& c : cases) {
    GridField f(c.font);
    f.clip->TextField()->SetProperty(avm1::FieldProperty::WordWrap, c.wordWrap);
    f.clip->TextField()->SetProperty(avm1::FieldProperty::AutoSize, std::string(c.autoSize));
    f.clip->TextField()->SetProperty(avm1::FieldProperty::Text, std::string("aa"));
    const double got[] = {f.clip->Get(avm1::DisplayProperty::X), f.clip->Get(avm1::DisplayProperty::Width),
                          f.clip->Get(avm1::DisplayProperty::Height)};
    EXPECT_EQ(std::vector<double>(got, got + 3), (std::vector<double>{c.x, c.width, c.height}))
        << c.autoSize << " " << c.wordWrap << " " << c.font;
  }
}

// A copy of a script's field starts boxless and empty where the field is,
// with its colour and type; its text and visibility stay behind.
TEST(DisplayTree, ACopiedScriptFieldKeepsOnlyItsPlaceColourAndType) {
  GridField f("Grid");
  f.clip->TextField()->SetProperty(avm1::FieldProperty::Text, std::string("aa"));
  f.clip->TextField()->SetProperty(avm1::FieldProperty::Type, std::string("dynamic"));
  f.clip->Set(avm1::DisplayProperty::Alpha, 50);
  f.clip->Set(avm1::DisplayProperty::Visible, 0);
  avm1::Clip* copy = f.clip->Duplicate("g", 2);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Text(), "");
  EXPECT_EQ(copy->TextField()->GetProperty(avm1::FieldProperty::Type), avm1::FieldValue(std::string("dynamic")));
  using P = avm1::DisplayProperty;
  for (const P p : {P::X, P::Y, P::Alpha, P::Width, P::Height, P::Visible})
    EXPECT_EQ(copy->Get(p), (std::map<P, double>{{P::X, 10}, {P::Alpha, f.clip->Get(P::Alpha)}, {P::Visible, 1}}[p]))
        << static_cast<int>(p);
}

TEST(DisplayTree, RemovingASpriteTellsScriptsOfEveryObjectInIt) {
  Sprite holder;
  holder.frames = {FrameOf({Place(1, kSquare), Place(2, kDisc)})};
  auto movie = MovieOf({FrameOf({Place(3, 10)}), FrameOf({RemoveObject{3}})}, {{10, std::move(holder)}});
  DisplayTree tree(movie, kDefaultLimits);
  tree.Start();
  std::vector<std::uint16_t> removed;
  tree.onRemoving = [&](DisplayObject& o) { removed.push_back(o.characterId); };
  tree.Step();
  EXPECT_EQ(removed, (std::vector<std::uint16_t>{kSquare, kDisc, 10}));
  EXPECT_EQ(tree.LiveObjects(), 1u);
}

}  // namespace
}  // namespace dc::swf

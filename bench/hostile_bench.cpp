// What a hostile face costs the clock's one thread: small generated movies
// that attack the player's budgets (work whose cost grows with data a
// script made, memory taken before a limit says no, stops that can be
// dodged), each played for 120 frames and drawn after every frame. Reports
// the longest and the median frame in ms and the peak memory the movie
// added. A frame's cost is the CPU time it took (steady on a busy
// machine; the longest wall-clock frame is shown beside it). Each attack
// runs in a child process of its own, stopped when it runs past its time.
//
//   hostile_bench [--frames N] [--seconds S] [NAME...]
//   hostile_bench --write DIR [NAME...]   writes the movies as DIR/NAME.swf
//                                         (to play them elsewhere: clockpack play, another build)
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "testkit/avm1_assembler.h"
#include "swf/format/reader.h"
#include "swf/player/player.h"
#include "testkit/swf_writer.h"

namespace {

using dc::swf::avm1::test::Asm;
using dc::swf::avm1::test::Null;
namespace op = dc::swf::avm1::test::op;
namespace t = dc::swf::test;
using t::Bytes;

// for (var <i> = 0; <i> < n; ++<i>) body
Asm Loop(const std::string& i, int n, const Asm& body) {
  Asm a;
  const std::string top = i + "_top", done = i + "_done";
  a.Set(i, 0).Label(top).Get(i).Push({n}).Op(op::Less2).Op(op::Not).If(done);
  a.Append(body);
  a.Push({i.c_str()}).Get(i).Op(op::Increment).Op(op::SetVariable).Jump(top).Label(done);
  return a;
}

Asm Forever(const Asm& body) {
  Asm a;
  a.Label("forever").Append(body).Jump("forever");
  return a;
}

// name = name + name, `times` times.
Asm Double(const std::string& name, int times) {
  return Loop("d", times, Asm().Push({name.c_str()}).Get(name).Get(name).Op(op::Add2).Op(op::SetVariable));
}

// this.createEmptyMovieClip(prefix + <i>, <i> + base), the result dropped.
Asm MakeClip(const std::string& prefix, const std::string& i, int base = 0) {
  Asm a;
  a.Get(i).Push({base}).Op(op::Add2).Push({prefix.c_str()}).Get(i).Op(op::Add2).Push({2}).Get("this");
  return a.Push({"createEmptyMovieClip"}).Op(op::CallMethod).Op(op::Pop);
}

// A movie of two frames: `setup` once, then `everyFrame` as the root's
// onEnterFrame.
Bytes ScriptMovie(const Asm& setup, const Asm& everyFrame, const Bytes& definitions = {}) {
  Asm frame1 = setup;
  frame1.Push({"onEnterFrame"}).Function("", {}, everyFrame).Op(op::SetVariable);
  t::Header header;
  header.stage = {0, 4000, 0, 4000};
  header.frameCount = 2;
  const Bytes tags = t::Concat({definitions, t::DoActionTag(*frame1.Bytes()), t::ShowFrame(),
                                t::DoActionTag(*Asm().Op(op::Play).Bytes()), t::ShowFrame()});
  return t::Fws(header, tags);
}

Bytes Place(std::uint16_t id, std::uint16_t depth, std::optional<std::uint16_t> ratio = std::nullopt) {
  dc::swf::PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.ratio = ratio;
  return t::PlaceObjectTag(p, 2, 8);
}

dc::swf::FillStyle Radial() {
  dc::swf::FillStyle fill;
  fill.kind = dc::swf::FillKind::RadialGradient;
  fill.matrix = dc::swf::Matrix{0.25, 0, 0, 0.25, 2000, 2000};
  fill.gradient.stops = {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 128}}, {255, {0, 0, 255, 255}}};
  return fill;
}

// A square over the whole 200-pixel stage in `fill`.
Bytes Covering(std::uint16_t id, const dc::swf::FillStyle& fill) {
  t::StyleChange start;
  start.moveTo = {{0, 0}};
  start.fill1 = 1;
  return t::DefineShape(3, id, {0, 4000, 0, 4000}, {{fill}, {}},
                        {start, t::LineTo{4000, 0}, t::LineTo{0, 4000}, t::LineTo{-4000, 0}, t::LineTo{0, -4000}});
}

// A zigzag of 100,000 stroked edges across the stage, or a tween of one.
Bytes ManyEdges(std::uint16_t id, bool morph) {
  const int edges = static_cast<int>(dc::swf::kDefaultLimits.maxEdgesPerShape) - 4;
  dc::swf::LineStyle line;
  line.width = 20;
  line.color = {0, 0, 0, 255};
  t::StyleChange start;
  start.moveTo = {{0, 0}};
  start.line = 1;
  std::vector<t::ShapeRecord> records{start};
  for (int i = 0; i < edges; ++i) records.push_back(t::LineTo{(i % 97) - 48, i % 2 ? 3000 : -3000});
  if (!morph) return t::DefineShape(3, id, {0, 4000, 0, 4000}, {{}, {line}}, records);
  std::vector<t::ShapeRecord> end = records;
  for (std::size_t i = 1; i < end.size(); ++i) std::get<t::LineTo>(end[i]).dx *= -1;
  return t::DefineMorphShape(1, id, {0, 4000, 0, 4000}, {0, 4000, 0, 4000}, {{}, {line}}, {{}, {line}}, records, end);
}

// `definitions`, then character `id` placed `copies` times, each frame
// moving the root by a pixel so that everything is drawn again, then
// running `more`.
Bytes DrawnEveryFrame(const Bytes& definitions, std::uint16_t id, int copies, const Asm& more = {}) {
  Bytes places;
  for (int d = 1; d <= copies; ++d) {
    const Bytes one = Place(id, static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(d * 300));
    places.insert(places.end(), one.begin(), one.end());
  }
  Asm every;
  every.Push({"_x"}).Get("_x").Push({1}).Op(op::Add2).Op(op::SetVariable).Append(more);
  return ScriptMovie({}, every, t::Concat({definitions, places}));
}

struct Attack {
  const char* name;
  const char* what;
  std::function<Bytes()> movie;
};

std::vector<Attack> Attacks() {
  std::vector<Attack> list;
  list.push_back({"lookups-among-clips", "19,000 clips, then 50,000 look-ups of a built-in a frame", [] {
                    const Asm read = Asm().Get("this").Push({"getDepth"}).Op(op::GetMember).Op(op::Pop);
                    return ScriptMovie(Loop("i", 19000, MakeClip("c", "i")), Loop("j", 50000, read));
                  }});
  list.push_back({"clips-made", "10,000 clips made a frame, each replacing the last frame's",
                  [] { return ScriptMovie({}, Loop("i", 10000, MakeClip("c", "i"))); }});
  list.push_back({"length-of-long-text", "the length of a 64k-character non-ASCII text, 60,000 times a frame", [] {
                    Asm setup;
                    setup.Set("s", "\xC3\xA9").Append(Double("s", 16));
                    const Asm read = Asm().Get("s").Push({"length"}).Op(op::GetMember).Op(op::Pop);
                    return ScriptMovie(setup, Loop("j", 60000, read));
                  }});
  list.push_back({"compare-long-texts", "two equal 1M-character texts compared 100,000 times a frame", [] {
                    Asm setup;
                    setup.Set("a", "x").Append(Double("a", 20));
                    setup.Push({"b"}).Get("a").Push({""}).Op(op::Add2).Op(op::SetVariable);
                    const Asm cmp = Asm().Get("a").Get("b").Op(op::Less2).Op(op::Pop);
                    return ScriptMovie(setup, Loop("j", 100000, cmp));
                  }});
  list.push_back({"text-doubled-to-the-limit", "a text doubled until memory runs out, every frame", [] {
                    Asm every;
                    every.Set("s", "0123456789abcdef");
                    every.Append(Forever(Asm().Push({"s"}).Get("s").Get("s").Op(op::Add2).Op(op::SetVariable)));
                    return ScriptMovie({}, every);
                  }});
  list.push_back({"budget-every-other-frame", "an endless loop on every other frame", [] {
                    Asm every;
                    every.Push({"f"}).Get("f").Op(op::Increment).Op(op::SetVariable);
                    every.Get("f").Push({2}).Op(op::Modulo).If("rest");
                    every.Append(Forever(Asm().Push({"k"}).Get("k").Op(op::Increment).Op(op::SetVariable)));
                    every.Label("rest");
                    Asm setup;
                    setup.Set("f", 0).Set("k", 0);
                    return ScriptMovie(setup, every);
                  }});
  list.push_back({"bitmap-at-the-pixel-limit", "one lossless bitmap just inside the movie's pixel limit", [] {
                    const std::uint16_t w = 2048;
                    const auto h = static_cast<std::uint16_t>(dc::swf::kDefaultLimits.maxBitmapPixels / w - 1);
                    std::vector<std::uint8_t> argb(static_cast<std::size_t>(w) * h * 4, 0);
                    return ScriptMovie({}, {}, t::DefineBitsLossless(true, 1, 5, w, h, argb));
                  }});
  list.push_back({"drawing-copied", "100,000 drawn edges, then 2,000 copies of the drawing a frame", [] {
                    Asm setup;
                    setup.Push({1, "d", 2}).Get("this").Push({"createEmptyMovieClip"}).Op(op::CallMethod).Store("d");
                    setup.CallOn("d", "lineStyle", {1, 0xFF0000, 100}).Op(op::Pop);
                    Asm line;
                    line.Get("i").Push({97}).Op(op::Modulo).Get("i").Push({89}).Op(op::Modulo).Push({2}).Get("d");
                    line.Push({"lineTo"}).Op(op::CallMethod).Op(op::Pop);
                    setup.Append(Loop("i", 100000, line)).Set("n", 10);
                    Asm copy;
                    copy.Get("n").Push({"e"}).Get("n").Op(op::Add2).Push({2}).Get("d");
                    copy.Push({"duplicateMovieClip"}).Op(op::CallMethod).Op(op::Pop);
                    copy.Push({"n"}).Get("n").Op(op::Increment).Op(op::SetVariable);
                    return ScriptMovie(setup, Loop("j", 2000, copy));
                  }});
  list.push_back({"sparse-array-joined", "an array made 100 million long, then joined, every frame", [] {
                    Asm every;
                    every.Push({0}).Push({"Array"}).Op(op::NewObject).Store("a");
                    every.Get("a").Push({"length", 100000000}).Op(op::SetMember);
                    every.CallOn("a", "join", {","}).Op(op::Pop);
                    return ScriptMovie({}, every);
                  }});
  list.push_back({"array-constructed-huge", "new Array(1e9), every frame", [] {
                    return ScriptMovie({}, Asm().Push({1e9, 1, "Array"}).Op(op::NewObject).Store("a"));
                  }});
  list.push_back({"enumerate-big-object", "an object of 200,000 properties enumerated 20 times a frame", [] {
                    Asm fill;
                    fill.Get("o").Push({"p"}).Get("i").Op(op::Add2).Get("i").Op(op::SetMember);
                    Asm setup;
                    setup.Push({0}).Push({"Object"}).Op(op::NewObject).Store("o").Append(Loop("i", 200000, fill));
                    Asm walk;
                    walk.Get("o").Op(op::Enumerate2).Label("next").Op(op::PushDuplicate).Push({Null{}})
                        .Op(op::Equals2).If("end").Op(op::Pop).Jump("next").Label("end").Op(op::Pop);
                    return ScriptMovie(setup, Loop("j", 20, walk));
                  }});
  list.push_back({"long-text-shown", "a text field showing a 4M-character text, drawn every frame", [] {
                    Asm setup;
                    setup.CallOn("this", "createTextField", {"tf", 1, 0, 0, 200, 200}).Op(op::Pop);
                    setup.Set("s", "clock ").Append(Double("s", 19));
                    setup.Get("tf").Push({"text"}).Get("s").Op(op::SetMember);
                    Asm every;
                    every.Get("tf").Push({"_x"}).Get("tf._x").Push({1}).Op(op::Add2).Op(op::SetMember);
                    return ScriptMovie(setup, every);
                  }});
  list.push_back({"drawing-grown", "lineTo in an endless loop every frame, on one clip", [] {
                    Asm setup;
                    setup.Push({1, "d", 2}).Get("this").Push({"createEmptyMovieClip"}).Op(op::CallMethod).Store("d");
                    setup.CallOn("d", "lineStyle", {1, 0xFF0000, 100}).Op(op::Pop).Set("i", 0);
                    Asm line;
                    line.Get("i").Push({97}).Op(op::Modulo).Get("i").Push({89}).Op(op::Modulo).Push({2}).Get("d");
                    line.Push({"lineTo"}).Op(op::CallMethod).Op(op::Pop);
                    line.Push({"i"}).Get("i").Op(op::Increment).Op(op::SetVariable);
                    return ScriptMovie(setup, Forever(line));
                  }});
  list.push_back({"intervals-flood", "5,000 intervals of 0 ms, each an endless loop", [] {
                    Asm setup;
                    setup.Function("spin", {}, Forever(Asm().Push({1}).Op(op::Pop)));
                    Asm make;
                    make.Push({0}).Get("spin").Push({2, "setInterval"}).Op(op::CallFunction).Op(op::Pop);
                    setup.Append(Loop("i", 5000, make));
                    return ScriptMovie(setup, {});
                  }});
  list.push_back({"text-split-to-characters", "a 1M-character text split into characters, every frame", [] {
                    Asm setup;
                    setup.Set("s", "x").Append(Double("s", 20));
                    return ScriptMovie(setup, Asm().CallOn("s", "split", {""}).Store("parts"));
                  }});
  list.push_back({"stack-flood", "values pushed without end, every frame",
                  [] { return ScriptMovie({}, Forever(Asm().Push({1, 2, 3, 4}))); }});
  list.push_back({"shapes-of-many-edges", "a shape at the edge limit placed 200 times", [] {
                    return DrawnEveryFrame(ManyEdges(1, false), 1, 200);
                  }});
  list.push_back({"loop-over-many-edges", "an endless loop every frame, then shapes at the edge limit drawn", [] {
                    return DrawnEveryFrame(ManyEdges(1, false), 1, 200,
                                           Forever(Asm().Push({"k"}).Get("k").Op(op::Increment).Op(op::SetVariable)));
                  }});
  list.push_back({"gradients-on-huge-shapes", "2,000 radial gradients each covering the stage", [] {
                    return DrawnEveryFrame(Covering(1, Radial()), 1, 2000);
                  }});
  list.push_back({"bitmaps-scaled-up", "2,000 smoothed bitmaps each scaled up over the stage", [] {
                    std::vector<std::uint8_t> argb(64 * 64 * 4, 0xC0);
                    dc::swf::FillStyle fill;
                    fill.kind = dc::swf::FillKind::Bitmap;
                    fill.bitmapId = 2;
                    fill.matrix = dc::swf::Matrix{400, 0, 0, 400, 0, 0};
                    return DrawnEveryFrame(
                        t::Concat({t::DefineBitsLossless(true, 2, 5, 64, 64, argb), Covering(1, fill)}), 1, 2000);
                  }});
  list.push_back({"morphs-of-many-edges", "a shape tween at the edge limit placed 100 times at other ratios", [] {
                    return DrawnEveryFrame(ManyEdges(1, true), 1, 100);
                  }});
  list.push_back({"nested-clips-drawn", "a sprite holding a stage-sized shape and itself twice, nested to the limit", [] {
                    Bytes inner = t::Concat({Place(1, 1), Place(2, 2), Place(2, 3), t::ShowFrame()});
                    return DrawnEveryFrame(t::Concat({Covering(1, Radial()), t::DefineSprite(2, 1, inner)}), 2, 1);
                  }});
  list.push_back({"many-text-fields", "1,000 text fields of 1,000 characters, their texts changed every frame", [] {
                    Asm setup;
                    setup.Set("s", "clock ").Append(Double("s", 8));
                    Asm make;
                    make.Push({"t"}).Get("i").Op(op::Add2).Store("n").Op(op::Pop);
                    make.Push({100, 100, 0, 0}).Get("i").Get("n").Push({6}).Get("this");
                    make.Push({"createTextField"}).Op(op::CallMethod).Op(op::Pop);
                    setup.Append(Loop("i", 1000, make));
                    Asm change;
                    change.Push({"t"}).Get("i").Op(op::Add2).Op(op::GetVariable).Push({"text"});
                    change.Get("s").Get("k").Op(op::Add2).Op(op::SetMember);
                    Asm every;
                    every.Push({"k"}).Get("k").Op(op::Increment).Op(op::SetVariable).Append(Loop("i", 1000, change));
                    return ScriptMovie(setup.Set("k", 0), every);
                  }});
  list.push_back({"huge-texts-in-fields", "a 1M-character text given to new text fields without end, every frame", [] {
                    Asm setup;
                    setup.Set("s", "x").Append(Double("s", 20)).Set("k", 0);
                    Asm make;
                    make.Push({"k"}).Get("k").Op(op::Increment).Op(op::SetVariable);
                    make.Push({"t"}).Get("k").Op(op::Add2).Store("n");
                    make.Push({100, 100, 0, 0}).Get("k").Get("n").Push({6}).Get("this");
                    make.Push({"createTextField"}).Op(op::CallMethod).Op(op::Pop);
                    make.Get("n").Op(op::GetVariable).Push({"text"}).Get("s").Op(op::SetMember);
                    return ScriptMovie(setup, Forever(make));
                  }});
  list.push_back({"long-timeline-jumps", "a clip of 16,000 empty frames (the most) sent to its first and last without end", [] {
                    constexpr int kFrames = 16000;
                    Bytes frames;
                    for (int f = 0; f < kFrames; ++f) {
                      const Bytes one = t::ShowFrame();
                      frames.insert(frames.end(), one.begin(), one.end());
                    }
                    dc::swf::PlaceObject p;
                    p.depth = 1;
                    p.characterId = 1;
                    p.name = "s";
                    const Bytes definitions =
                        t::Concat({t::DefineSprite(1, kFrames, frames), t::PlaceObjectTag(p, 2, 8)});
                    Asm jump;
                    jump.CallOn("s", "gotoAndStop", {kFrames}).Op(op::Pop).CallOn("s", "gotoAndStop", {1}).Op(op::Pop);
                    return ScriptMovie({}, Forever(jump), definitions);
                  }});
  list.push_back({"numbers-read-from-long-text", "a 1M-digit text read as a number without end, every frame", [] {
                    Asm setup;
                    setup.Set("s", "7").Append(Double("s", 20));
                    return ScriptMovie(setup, Forever(Asm().Get("s").Op(op::ToNumber).Op(op::Pop)));
                  }});
  list.push_back({"long-text-escaped", "a 1M-character text escaped without end, every frame", [] {
                    Asm setup;
                    setup.Set("s", "\u00e9 ").Append(Double("s", 19));
                    Asm every;
                    every.Get("s").Push({1, "escape"}).Op(op::CallFunction).Op(op::Pop);
                    return ScriptMovie(setup, Forever(every));
                  }});
  list.push_back({"long-text-upper-cased", "a 1M-character text upper-cased without end, every frame", [] {
                    Asm setup;
                    setup.Set("s", "a").Append(Double("s", 20));
                    return ScriptMovie(setup, Forever(Asm().CallOn("s", "toUpperCase").Op(op::Pop)));
                  }});
  list.push_back({"integers-read-from-long-text", "a 1M-digit text read by parseInt without end, every frame", [] {
                    Asm setup;
                    setup.Set("s", "7").Append(Double("s", 20));
                    return ScriptMovie(setup, Forever(Asm().Get("s").Push({1, "parseInt"}).Op(op::CallFunction).Op(op::Pop)));
                  }});
  list.push_back({"long-text-searched", "a missing character looked for in a 1M-character text without end", [] {
                    Asm setup;
                    setup.Set("s", "a").Append(Double("s", 20));
                    return ScriptMovie(setup, Forever(Asm().CallOn("s", "indexOf", {"b"}).Op(op::Pop)));
                  }});
  list.push_back({"long-text-parsed-as-xml", "a 1M-character text parsed as XML without end, every frame", [] {
                    Asm setup;
                    setup.Set("s", "a").Append(Double("s", 20)).Push({0, "XML"}).Op(op::NewObject).Store("x").Op(op::Pop);
                    return ScriptMovie(setup, Forever(Asm().Get("s").Push({1}).Get("x").Push({"parseXML"}).Op(op::CallMethod).Op(op::Pop)));
                  }});
  list.push_back({"many-elements-parsed", "a text of 100,000 empty elements parsed as XML, every frame", [] {
                    Asm setup;
                    setup.Set("s", "<a/>").Append(Double("s", 17)).Push({0, "XML"}).Op(op::NewObject).Store("x").Op(op::Pop);
                    return ScriptMovie(setup, Forever(Asm().Get("s").Push({1}).Get("x").Push({"parseXML"}).Op(op::CallMethod).Op(op::Pop)));
                  }});
  list.push_back({"shape-hit-tests", "the exact hit test of a point against a shape at the edge limit, without end", [] {
                    Asm hit;
                    hit.CallOn("this", "hitTest", {100, 100, true}).Op(op::Pop);
                    return ScriptMovie({}, Forever(hit), t::Concat({ManyEdges(1, false), Place(1, 1)}));
                  }});
  list.push_back({"apply-with-a-long-array", "a function applied to an array of a million elements, without end", [] {
                    Asm setup;
                    setup.Function("f", {}, Asm()).Push({0, "Array"}).Op(op::NewObject).Store("a").Op(op::Pop);
                    setup.Get("a").Push({"length", 1000000}).Op(op::SetMember);
                    Asm every;
                    every.Get("a").Push({"null"}).Op(op::GetVariable).Push({2}).Get("f").Push({"apply"}).Op(op::CallMethod);
                    every.Op(op::Pop);
                    return ScriptMovie(setup, Forever(every));
                  }});
  list.push_back({"bounds-of-many-children", "3,000 clips, then the root's bounds read 2,000 times a frame", [] {
                    Asm read;
                    read.Push({0}).Get("this").Push({"getBounds"}).Op(op::CallMethod).Op(op::Pop);
                    return ScriptMovie(Loop("i", 3000, MakeClip("c", "i")), Loop("j", 2000, read));
                  }});
  list.push_back({"deep-prototype-chain", "a name missing from a chain of 250 prototypes, read without end", [] {
                    Asm link;
                    link.Push({0}).Push({"Object"}).Op(op::NewObject).Store("p");
                    link.Get("p").Push({"__proto__"}).Get("o").Op(op::SetMember).Push({"o"}).Get("p").Op(op::SetVariable);
                    Asm setup;
                    setup.Push({0}).Push({"Object"}).Op(op::NewObject).Store("o").Append(Loop("i", 250, link));
                    const Asm read = Asm().Get("o").Push({"missing"}).Op(op::GetMember).Op(op::Pop);
                    return ScriptMovie(setup, Forever(read));
                  }});
  return list;
}

long PeakKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

long NowKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// The CPU time this process has used, in ms: what a frame costs the
// clock's thread, whatever else the machine is doing.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The child: reads the movie ("load CPU"), plays it, writing "ms WALL CPU DRAWCPU" per frame (DRAWCPU the drawing's
// share), then "peak KB".
void Play(const Bytes& bytes, int frames, int fd) {
  const long before = NowKb();
  const auto say = [fd](const std::string& s) {
    if (write(fd, s.data(), s.size()) < 0) _exit(3);
  };
  std::vector<std::uint32_t> px(200 * 200);
  dc::PixelTarget face{px.data(), 200, 200, 200};
  const double loadStart = CpuMs();
  auto movie = std::make_shared<const dc::swf::Movie>(dc::swf::ReadMovie(bytes));
  say("load " + std::to_string(CpuMs() - loadStart) + "\n");
  std::optional<dc::swf::Player> player;
  for (int f = 0; f < frames; ++f) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuMs();
    // Making the player runs the first frame's scripts.
    if (f == 0) player.emplace(movie);
    else player->Advance();
    const double drawStart = CpuMs();
    player->Render(face);
    const double cpuEnd = CpuMs();
    say("ms " + std::to_string(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count()) +
        " " + std::to_string(cpuEnd - cpuStart) + " " + std::to_string(cpuEnd - drawStart) + "\n");
  }
  for (const std::string& w : player->TakeWarnings()) say("warning " + w + "\n");
  say("peak " + std::to_string(PeakKb() - before) + "\n");
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 120, seconds = 60;
  std::string writeDir;
  std::vector<std::string> only;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--frames" && i + 1 < argc) frames = std::max(1, std::atoi(argv[++i]));
    else if (a == "--seconds" && i + 1 < argc) seconds = std::max(1, std::atoi(argv[++i]));
    else if (a == "--write" && i + 1 < argc) writeDir = argv[++i];
    else only.push_back(a);
  }
  if (!writeDir.empty()) {
    for (const Attack& attack : Attacks()) {
      if (!only.empty() && std::find(only.begin(), only.end(), attack.name) == only.end()) continue;
      const Bytes movie = attack.movie();
      const std::string path = writeDir + "/" + attack.name + ".swf";
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
      if (!out.flush()) {
        std::fprintf(stderr, "hostile_bench: cannot write %s\n", path.c_str());
        return 1;
      }
    }
    return 0;
  }
  std::printf("stated most memory (swf/limits.h MostMemory): %.1f MB\n", double(dc::swf::MostMemory()) / (1 << 20));
  std::printf("%-28s %6s %8s %8s %5s %8s %8s %8s %8s  %s\n", "attack", "frames", "load cpu", "max cpu", "at",
              "med cpu", "max draw", "max wall", "peak MB", "said");
  for (const Attack& attack : Attacks()) {
    if (!only.empty() && std::find(only.begin(), only.end(), attack.name) == only.end()) continue;
    const Bytes movie = attack.movie();
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return 1;
    const pid_t pid = fork();
    if (pid == 0) {
      close(pipeFds[0]);
      Play(movie, frames, pipeFds[1]);
      _exit(0);
    }
    close(pipeFds[1]);
    std::string out;
    bool timedOut = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(pipeFds[0], &set);
      timeval tv{0, 100000};
      if (select(pipeFds[0] + 1, &set, nullptr, nullptr, &tv) > 0) {
        char buf[4096];
        const ssize_t n = read(pipeFds[0], buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
      }
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        timedOut = true;
        break;
      }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(pipeFds[0]);
    std::vector<double> ms, cpu, draw;
    double loadMs = 0;
    double peakMb = -1;
    std::string said;
    std::size_t at = 0;
    while (at < out.size()) {
      const std::size_t nl = out.find('\n', at);
      if (nl == std::string::npos) break;
      const std::string line = out.substr(at, nl - at);
      at = nl + 1;
      if (line.rfind("ms ", 0) == 0) {
        std::istringstream fields(line.substr(3));
        double wall = 0, total = 0, drawn = 0;
        fields >> wall >> total >> drawn;
        ms.push_back(wall);
        cpu.push_back(total);
        draw.push_back(drawn);
      }
      if (line.rfind("load ", 0) == 0) loadMs = std::stod(line.substr(5));
      if (line.rfind("peak ", 0) == 0) peakMb = std::stod(line.substr(5)) / 1024;
      if (line.rfind("warning ", 0) == 0) said += (said.empty() ? "" : " / ") + line.substr(8, 70);
    }
    std::vector<double> sorted = cpu;
    std::sort(sorted.begin(), sorted.end());
    const double max = sorted.empty() ? 0 : sorted.back();
    const std::size_t maxAt = static_cast<std::size_t>(std::max_element(cpu.begin(), cpu.end()) - cpu.begin()) + 1;
    const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    const double maxWall = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
    const double maxDraw = draw.empty() ? 0 : *std::max_element(draw.begin(), draw.end());
    if (timedOut) said = "stopped after " + std::to_string(seconds) + " s, a frame still running";
    else if (WIFSIGNALED(status)) said = "killed by signal " + std::to_string(WTERMSIG(status));
    char peak[32];
    std::snprintf(peak, sizeof peak, peakMb < 0 ? "?" : "%.1f", peakMb);
    std::printf("%-28s %6zu %8.1f %8.1f %5zu %8.1f %8.1f %8.1f %8s  %s\n", attack.name, ms.size(), loadMs, max,
                maxAt, median, maxDraw, maxWall, peak, said.c_str());
    std::fflush(stdout);
  }
  return 0;
}

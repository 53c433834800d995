// A shape tween's styles come in start and end pairs; its edges as two
// SHAPEs, the end's holding only positions.
#include "swf/format/morph_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "swf/format/shape_reader.h"

namespace dc::swf {
namespace {

struct FillPair {
  FillStyle start, end;
};

FillPair ReadMorphFill(BitReader& r) {
  FillPair f{FillOfType(r.U8()), {}};
  if (f.start.kind == FillKind::Bitmap) f.start.bitmapId = r.U16();
  if (f.start.kind != FillKind::Solid) {
    f.start.matrix = r.ReadMatrix();
    f.end.matrix = r.ReadMatrix();
  }
  std::uint32_t stops = 0;
  if (f.start.kind == FillKind::Solid) {
    f.start.color = r.ReadRgba();
    f.end.color = r.ReadRgba();
  } else if (f.start.kind != FillKind::Bitmap) {
    stops = ReadGradientModes(r, f.start.gradient);
  }
  // What does not tween is the start's.
  const FillStyle ends = f.end;
  f.end = f.start;
  f.end.matrix = ends.matrix;
  f.end.color = ends.color;
  for (std::uint32_t i = 0; i < stops; ++i) {
    for (FillStyle* side : {&f.start, &f.end}) {
      GradientStop stop;
      stop.ratio = r.U8();
      stop.color = r.ReadRgba();
      side->gradient.stops.push_back(stop);
    }
  }
  if (f.start.kind == FillKind::FocalGradient) {
    f.start.gradient.focalPoint = std::clamp(r.Fixed8(), -1.0, 1.0);
    f.end.gradient.focalPoint = std::clamp(r.Fixed8(), -1.0, 1.0);
  }
  return f;
}

void ReadMorphLine(BitReader& r, int version, Shape& start, Shape& end) {
  LineStyle a;
  a.width = r.U16();
  const std::uint16_t endWidth = r.U16();
  const bool hasFill = version >= 2 && ReadLineStyle2Flags(r, a);
  FillPair fill;
  if (hasFill) {
    fill = ReadMorphFill(r);
  } else {
    fill.start.color = r.ReadRgba();
    fill.end.color = r.ReadRgba();
  }
  // Caps, joins and flags are the start's.
  LineStyle b = a;
  b.width = endWidth;
  for (auto [line, side] : {std::pair{&a, &fill.start}, std::pair{&b, &fill.end}}) {
    if (hasFill) line->fill = *side;
    if (side->kind == FillKind::Solid) line->color = side->color;
  }
  start.lines.push_back(a);
  end.lines.push_back(b);
}

std::uint32_t StyleCount(BitReader& r) {
  const std::uint32_t count = r.U8();
  return count == 0xFF ? r.U16() : count;
}

// A curve through the middle of a straight edge.
Edge AsCurve(Edge e) {
  if (!e.curved) {
    e.control = {(e.from.x + e.to.x) / 2, (e.from.y + e.to.y) / 2};
    e.curved = true;
  }
  return e;
}

// The end's edges laid on the start's paths: both shapes get the same
// paths, cut where the end's pen jumps inside a start path.
void PairEdges(Shape& start, const Shape& endEdges, Shape& end) {
  std::vector<const Edge*> ends;
  for (const Path& p : endEdges.paths)
    for (const Edge& e : p.edges) ends.push_back(&e);
  if (ends.size() != start.EdgeCount()) throw DamagedData("a tween's start and end have different edges");
  std::vector<Path> startPaths;
  std::size_t next = 0;
  for (Path& path : start.paths) {
    Path a{path.fill0, path.fill1, path.line, path.layer, {}};
    Path b = a;
    for (const Edge& edge : path.edges) {
      const Edge& other = *ends[next++];
      if (!b.edges.empty() && !(b.edges.back().to == other.from)) {
        startPaths.push_back(std::move(a));
        end.paths.push_back(std::move(b));
        a.edges.clear();
        b.edges.clear();
      }
      const bool curve = edge.curved || other.curved;
      a.edges.push_back(curve ? AsCurve(edge) : edge);
      b.edges.push_back(curve ? AsCurve(other) : other);
    }
    startPaths.push_back(std::move(a));
    end.paths.push_back(std::move(b));
  }
  start.paths = std::move(startPaths);
}

}  // namespace

MorphShape ReadMorphShape(BitReader& r, int version, ReadContext& context) {
  MorphShape morph;
  Shape& start = morph.start;
  Shape& end = morph.end;
  start.bounds = r.Rect();
  end.bounds = r.Rect();
  if (version >= 2) {
    (void)r.Rect();  // the edges' bounds, start and end, without strokes
    (void)r.Rect();
    (void)r.U8();  // stroke scaling hints
  }
  (void)r.U32();  // where the end's edges begin: right after the start's
  const std::uint32_t fills = StyleCount(r);
  for (std::uint32_t i = 0; i < fills; ++i) {
    context.Spend(2 * sizeof(FillStyle));
    FillPair pair = ReadMorphFill(r);
    start.fills.push_back(std::move(pair.start));
    end.fills.push_back(std::move(pair.end));
  }
  const std::uint32_t lines = StyleCount(r);
  for (std::uint32_t i = 0; i < lines; ++i) {
    context.Spend(2 * sizeof(LineStyle));
    ReadMorphLine(r, version, start, end);
  }
  ReadTweenRecords(r, start, false, context);
  r.Align();
  Shape endEdges;
  ReadTweenRecords(r, endEdges, true, context);
  context.Spend(start.EdgeCount() * sizeof(Edge));
  PairEdges(start, endEdges, end);
  return morph;
}

}  // namespace dc::swf

// A shape tween's styles come in start and end pairs; its edges as two
// SHAPEs, the end's holding only positions.
#include "swf/morph_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "swf/shape_reader.h"

namespace dc::swf {
namespace {

constexpr std::uint8_t kSolid = 0x00, kLinear = 0x10, kRadial = 0x12, kFocal = 0x13;
constexpr std::uint8_t kBitmapFirst = 0x40, kBitmapLast = 0x43;

struct FillPair {
  FillStyle start, end;
};

FillPair ReadMorphFill(BitReader& r) {
  FillPair f;
  const std::uint8_t type = r.U8();
  if (type == kSolid) {
    f.start.color = r.ReadRgba();
    f.end.color = r.ReadRgba();
  } else if (type == kLinear || type == kRadial || type == kFocal) {
    f.start.kind = type == kLinear   ? FillKind::LinearGradient
                   : type == kRadial ? FillKind::RadialGradient
                                     : FillKind::FocalGradient;
    f.start.matrix = r.ReadMatrix();
    f.end.matrix = r.ReadMatrix();
    const std::uint32_t stops = ReadGradientModes(r, f.start.gradient);
    for (std::uint32_t i = 0; i < stops; ++i) {
      GradientStop a, b;
      a.ratio = r.U8();
      a.color = r.ReadRgba();
      b.ratio = r.U8();
      b.color = r.ReadRgba();
      f.start.gradient.stops.push_back(a);
      f.end.gradient.stops.push_back(b);
    }
    if (type == kFocal) {
      f.start.gradient.focalPoint = std::clamp(r.Fixed8(), -1.0, 1.0);
      f.end.gradient.focalPoint = std::clamp(r.Fixed8(), -1.0, 1.0);
    }
  } else if (type >= kBitmapFirst && type <= kBitmapLast) {
    f.start.kind = FillKind::Bitmap;
    f.start.bitmapId = r.U16();
    f.start.repeating = (type & 1) == 0;
    f.start.smoothed = type < 0x42;
    f.start.matrix = r.ReadMatrix();
    f.end.matrix = r.ReadMatrix();
  } else {
    throw DamagedData("a tween's fill style of unknown type " + std::to_string(type));
  }
  // What does not tween is the start's.
  const Matrix endMatrix = f.end.matrix;
  const Rgba endColor = f.end.color;
  Gradient endGradient = f.end.gradient;
  f.end = f.start;
  f.end.matrix = endMatrix;
  f.end.color = endColor;
  f.end.gradient.stops = std::move(endGradient.stops);
  f.end.gradient.focalPoint = endGradient.focalPoint;
  return f;
}

void ReadMorphLine(BitReader& r, int version, Shape& start, Shape& end) {
  LineStyle a, b;
  a.width = r.U16();
  b.width = r.U16();
  const bool hasFill = version >= 2 && ReadLineStyle2Flags(r, a);
  if (hasFill) {
    const FillPair fill = ReadMorphFill(r);
    a.fill = fill.start;
    if (fill.start.kind == FillKind::Solid) a.color = fill.start.color;
    const std::uint16_t endWidth = b.width;
    b = a;
    b.width = endWidth;
    b.fill = fill.end;
    if (fill.end.kind == FillKind::Solid) b.color = fill.end.color;
  } else {
    a.color = r.ReadRgba();
    const Rgba endColor = r.ReadRgba();
    const std::uint16_t endWidth = b.width;
    b = a;
    b.width = endWidth;
    b.color = endColor;
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

// Shape records to paths: style arrays appended as they come, positions
// accumulated in twips, a new path at every style change or move.
#include "swf/format/shape_reader.h"

#include <algorithm>
#include <string>

namespace dc::swf {
namespace {

constexpr std::uint8_t kSolid = 0x00, kLinear = 0x10, kRadial = 0x12, kFocal = 0x13;
constexpr std::uint8_t kBitmapFirst = 0x40, kBitmapLast = 0x43;

Gradient ReadGradient(BitReader& r, int shapeVersion, bool focal) {
  Gradient g;
  const std::uint32_t stops = ReadGradientModes(r, g);
  for (std::uint32_t i = 0; i < stops; ++i) {
    GradientStop stop;
    stop.ratio = r.U8();
    stop.color = shapeVersion >= 3 ? r.ReadRgba() : r.Rgb();
    g.stops.push_back(stop);
  }
  if (focal) g.focalPoint = std::clamp(r.Fixed8(), -1.0, 1.0);
  return g;
}

LineStyle ReadLineStyle(BitReader& r, int shapeVersion) {
  LineStyle line;
  line.width = r.U16();
  if (shapeVersion < 4) {
    line.color = shapeVersion >= 3 ? r.ReadRgba() : r.Rgb();
    return line;
  }
  if (ReadLineStyle2Flags(r, line)) {
    line.fill = ReadFillStyle(r, shapeVersion);
    if (line.fill.kind == FillKind::Solid) line.color = line.fill.color;
  } else {
    line.color = r.ReadRgba();
  }
  return line;
}

// What the records' style indices mean.
enum class Styles : std::uint8_t {
  Shape,     // the shape's own arrays, new ones allowed in the middle
  Glyph,     // fill 1 is the glyph's one fill; lines are dropped
  Tween,     // a shape tween's start: its arrays, read beforehand, and no new ones
  Positions  // a shape tween's end: only the positions count
};

// Reads the records of one shape into `shape`, keeping the pen, the
// current styles and the path being built.
class RecordReader {
 public:
  RecordReader(BitReader& r, Shape& shape, int shapeVersion, ReadContext& context, Styles styles)
      : r_(r), shape_(shape), version_(shapeVersion), context_(context), styles_(styles) {}

  // FILLSTYLEARRAY and LINESTYLEARRAY, appended to the shape's arrays; the
  // file's indices count from their start from now on.
  void ReadStyleArrays() {
    fillBase_ = shape_.fills.size();
    lineBase_ = shape_.lines.size();
    std::uint32_t fills = r_.U8();
    if (fills == 0xFF && version_ >= 2) fills = r_.U16();
    for (std::uint32_t i = 0; i < fills; ++i) {
      context_.Spend(sizeof(FillStyle));
      shape_.fills.push_back(ReadFillStyle(r_, version_));
    }
    std::uint32_t lines = r_.U8();
    if (lines == 0xFF) lines = r_.U16();
    for (std::uint32_t i = 0; i < lines; ++i) {
      context_.Spend(sizeof(LineStyle));
      shape_.lines.push_back(ReadLineStyle(r_, version_));
    }
  }

  void ReadRecords() {
    std::uint32_t fillBits = r_.UB(4), lineBits = r_.UB(4);
    for (;;) {
      if (r_.Flag()) {
        ReadEdge();
        continue;
      }
      const std::uint32_t flags = r_.UB(5);
      if (flags == 0) break;
      EndPath();
      if (flags & 0x01) {
        const unsigned bits = r_.UB(5);
        pen_.x = r_.SB(bits);
        pen_.y = r_.SB(bits);
      }
      const std::uint32_t fill0 = flags & 0x02 ? r_.UB(fillBits) : 0;
      const std::uint32_t fill1 = flags & 0x04 ? r_.UB(fillBits) : 0;
      const std::uint32_t line = flags & 0x08 ? r_.UB(lineBits) : 0;
      if (flags & 0x10) {
        if (styles_ != Styles::Shape) throw DamagedData("a glyph or a shape tween brings new styles");
        // New arrays start a new group drawn above the earlier ones; the
        // styles of the group before mean nothing in it.
        ReadStyleArrays();
        ++layer_;
        current_.fill0 = current_.fill1 = current_.line = -1;
        fillBits = r_.UB(4);
        lineBits = r_.UB(4);
      }
      if (flags & 0x02) current_.fill0 = FillIndex(fill0);
      if (flags & 0x04) current_.fill1 = FillIndex(fill1);
      if (flags & 0x08) current_.line = LineIndex(line);
    }
    EndPath();
  }

 private:
  void ReadEdge() {
    Edge edge;
    edge.from = pen_;
    const bool straight = r_.Flag();
    const unsigned bits = r_.UB(4) + 2;
    if (straight) {
      double dx = 0, dy = 0;
      if (r_.Flag()) {
        dx = r_.SB(bits);
        dy = r_.SB(bits);
      } else if (r_.Flag()) {
        dy = r_.SB(bits);
      } else {
        dx = r_.SB(bits);
      }
      edge.to = {pen_.x + dx, pen_.y + dy};
    } else {
      const double cx = r_.SB(bits), cy = r_.SB(bits);
      const double ax = r_.SB(bits), ay = r_.SB(bits);
      edge.control = {pen_.x + cx, pen_.y + cy};
      edge.to = {edge.control.x + ax, edge.control.y + ay};
      edge.curved = true;
    }
    if (++edges_ > context_.limits.maxEdgesPerShape) {
      throw OverLimit("Shapes of more than " + std::to_string(context_.limits.maxEdgesPerShape) +
                      " edges are left out: more than a clock face may draw.");
    }
    if (current_.edges.empty()) {
      context_.Spend(sizeof(Path));
      current_.layer = layer_;
    }
    context_.Spend(sizeof(Edge));
    current_.edges.push_back(edge);
    pen_ = edge.to;
  }

  void EndPath() {
    if (!current_.edges.empty()) shape_.paths.push_back(std::move(current_));
    current_.edges.clear();
  }

  std::int32_t FillIndex(std::uint32_t index) {
    if (styles_ == Styles::Glyph) return index == 1 ? 0 : -1;
    if (styles_ == Styles::Positions) return -1;
    return StyleIndex(index, fillBase_, shape_.fills.size());
  }
  std::int32_t LineIndex(std::uint32_t index) {
    if (styles_ == Styles::Glyph || styles_ == Styles::Positions) return -1;
    return StyleIndex(index, lineBase_, shape_.lines.size());
  }
  // The file's 1-based index into the current arrays as our index into all.
  std::int32_t StyleIndex(std::uint32_t index, std::size_t base, std::size_t size) {
    if (index == 0) return -1;
    if (index > size - base) {
      context_.Warn("A shape uses a style it does not define; that part is drawn without it.");
      return -1;
    }
    return static_cast<std::int32_t>(base + index - 1);
  }

  BitReader& r_;
  Shape& shape_;
  const int version_;
  ReadContext& context_;
  const Styles styles_;
  std::size_t fillBase_ = 0, lineBase_ = 0;
  std::uint32_t layer_ = 0;
  std::uint64_t edges_ = 0;
  Point pen_;
  Path current_;
};

// The box around a glyph's points, control points included.
TwipRect PointBounds(const Shape& shape) {
  TwipRect box;
  bool first = true;
  const auto add = [&](Point p) {
    const auto x = static_cast<std::int32_t>(std::clamp(p.x, -2e9, 2e9));
    const auto y = static_cast<std::int32_t>(std::clamp(p.y, -2e9, 2e9));
    box = first ? TwipRect{x, x, y, y}
                : TwipRect{std::min(box.xMin, x), std::max(box.xMax, x), std::min(box.yMin, y), std::max(box.yMax, y)};
    first = false;
  };
  for (const Path& path : shape.paths) {
    for (const Edge& e : path.edges) {
      add(e.from);
      if (e.curved) add(e.control);
      add(e.to);
    }
  }
  return box;
}

}  // namespace

std::uint32_t ReadGradientModes(BitReader& r, Gradient& gradient) {
  const std::uint32_t spread = r.UB(2), interpolation = r.UB(2), stops = r.UB(4);
  gradient.spread = spread == 1 ? SpreadMode::Reflect : spread == 2 ? SpreadMode::Repeat : SpreadMode::Pad;
  gradient.interpolation = interpolation == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
  return stops;
}

bool ReadLineStyle2Flags(BitReader& r, LineStyle& line) {
  const auto cap = [](std::uint32_t v) {
    return v == 1 ? CapStyle::None : v == 2 ? CapStyle::Square : CapStyle::Round;
  };
  line.startCap = cap(r.UB(2));
  const std::uint32_t join = r.UB(2);
  line.join = join == 1 ? JoinStyle::Bevel : join == 2 ? JoinStyle::Miter : JoinStyle::Round;
  line.hasFill = r.Flag();
  line.noHScale = r.Flag();
  line.noVScale = r.Flag();
  line.pixelHinting = r.Flag();
  r.UB(5);
  line.noClose = r.Flag();
  line.endCap = cap(r.UB(2));
  if (join == 2) line.miterLimit = r.U16() / 256.0;
  return line.hasFill;
}

FillStyle FillOfType(std::uint8_t type) {
  FillStyle fill;
  if (type == kSolid) return fill;
  if (type == kLinear || type == kRadial || type == kFocal) {
    fill.kind = type == kLinear   ? FillKind::LinearGradient
                : type == kRadial ? FillKind::RadialGradient
                                  : FillKind::FocalGradient;
  } else if (type >= kBitmapFirst && type <= kBitmapLast) {
    fill.kind = FillKind::Bitmap;
    fill.repeating = (type & 1) == 0;
    fill.smoothed = type < 0x42;
  } else {
    throw DamagedData("a fill style of unknown type " + std::to_string(type));
  }
  return fill;
}

FillStyle ReadFillStyle(BitReader& r, int shapeVersion) {
  FillStyle fill = FillOfType(r.U8());
  if (fill.kind == FillKind::Solid) {
    fill.color = shapeVersion >= 3 ? r.ReadRgba() : r.Rgb();
  } else if (fill.kind == FillKind::Bitmap) {
    fill.bitmapId = r.U16();
    fill.matrix = r.ReadMatrix();
  } else {
    fill.matrix = r.ReadMatrix();
    fill.gradient = ReadGradient(r, shapeVersion, fill.kind == FillKind::FocalGradient);
  }
  return fill;
}

Shape ReadShape(BitReader& r, int shapeVersion, ReadContext& context) {
  Shape shape;
  shape.bounds = r.Rect();
  if (shapeVersion >= 4) {
    (void)r.Rect();  // the edges' bounds, without strokes
    // Five reserved bits, the fill winding rule, two stroke scaling hints.
    if (r.U8() & 0x04) shape.fillRule = FillRule::NonZero;
  }
  RecordReader records(r, shape, shapeVersion, context, Styles::Shape);
  records.ReadStyleArrays();
  records.ReadRecords();
  return shape;
}

void ReadTweenRecords(BitReader& r, Shape& shape, bool positionsOnly, ReadContext& context) {
  RecordReader records(r, shape, 4, context, positionsOnly ? Styles::Positions : Styles::Tween);
  records.ReadRecords();
}

Shape ReadGlyphShape(BitReader& r, ReadContext& context) {
  Shape shape;
  shape.fills.push_back(FillStyle{});  // solid black, opaque
  RecordReader records(r, shape, 1, context, Styles::Glyph);
  records.ReadRecords();
  shape.bounds = PointBounds(shape);
  return shape;
}

}  // namespace dc::swf

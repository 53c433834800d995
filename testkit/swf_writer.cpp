// The test movies' writer.
#include "swf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "swf/format/place_reader.h"

namespace dc::swf::test {
namespace {

enum : std::uint16_t {
  kEnd = 0,
  kShowFrame = 1,
  kDefineShapeCode = 2,
  kDefineBitsCode = 6,
  kJpegTablesCode = 8,
  kSetBackgroundColorCode = 9,
  kDefineFontCode = 10,
  kDefineTextCode = 11,
  kDoActionCode = 12,
  kDefineFontInfoCode = 13,
  kDefineBitsLosslessCode = 20,
  kDefineBitsJpeg2Code = 21,
  kDefineShape2Code = 22,
  kPlaceObject2Code = 26,
  kRemoveObject2Code = 28,
  kDefineShape3Code = 32,
  kDefineText2Code = 33,
  kDefineBitsJpeg3Code = 35,
  kDefineBitsLossless2Code = 36,
  kDefineSpriteCode = 39,
  kFrameLabelCode = 43,
  kDefineFont2Code = 48,
  kPlaceObject3Code = 70,
  kDefineFont3Code = 75,
  kDefineShape4Code = 83,
  kDefineEditTextCode = 37,
  kExportAssetsCode = 56,
  kDefineMorphShapeCode = 46,
  kDefineMorphShape2Code = 84,
};

std::int32_t Fixed(double v, double unit) {
  const double scaled = v * unit;
  if (scaled != std::round(scaled)) throw std::invalid_argument("a value the file cannot hold exactly");
  return static_cast<std::int32_t>(scaled);
}

void WriteEventFlags(BitWriter& w, std::uint32_t events, std::uint8_t swfVersion) {
  std::uint32_t raw = 0;
  for (unsigned bit = 0; bit < 24; ++bit) {
    if (kClipEventOfFileBit[bit] & events) raw |= 0x80000000u >> bit;
  }
  const int bytes = swfVersion >= 6 ? 4 : 2;
  for (int i = 0; i < bytes; ++i) w.U8(static_cast<std::uint8_t>(raw >> (24 - 8 * i)));
}

std::uint8_t FillType(const FillStyle& f) {
  switch (f.kind) {
    case FillKind::Solid: return 0x00;
    case FillKind::LinearGradient: return 0x10;
    case FillKind::RadialGradient: return 0x12;
    case FillKind::FocalGradient: return 0x13;
    case FillKind::Bitmap: return static_cast<std::uint8_t>(0x40 | (f.repeating ? 0 : 1) | (f.smoothed ? 0 : 2));
  }
  return 0;
}

void WriteGradientModes(BitWriter& w, const Gradient& g) {
  w.UB(static_cast<std::uint32_t>(g.spread), 2)
      .UB(static_cast<std::uint32_t>(g.interpolation), 2)
      .UB(static_cast<std::uint32_t>(g.stops.size()), 4);
}

void WriteFocalPoint(BitWriter& w, const Gradient& g) {
  w.U16(static_cast<std::uint16_t>(Fixed(g.focalPoint, 256)));
}

void WriteFillStyle(BitWriter& w, const FillStyle& f, int version) {
  const auto color = [&](Rgba c) { version >= 3 ? w.WriteRgba(c) : w.Rgb(c); };
  w.U8(FillType(f));
  if (f.kind == FillKind::Solid) {
    color(f.color);
  } else if (f.kind == FillKind::Bitmap) {
    w.U16(f.bitmapId);
    w.WriteMatrix(f.matrix);
  } else {
    w.WriteMatrix(f.matrix);
    WriteGradientModes(w, f.gradient);
    for (const GradientStop& s : f.gradient.stops) {
      w.U8(s.ratio);
      color(s.color);
    }
    if (f.kind == FillKind::FocalGradient) WriteFocalPoint(w, f.gradient);
  }
}

// A tween's fill: the start's kind and modes, both values of what tweens.
void WriteMorphFill(BitWriter& w, const FillStyle& a, const FillStyle& b) {
  w.U8(FillType(a));
  if (a.kind == FillKind::Solid) {
    w.WriteRgba(a.color).WriteRgba(b.color);
  } else if (a.kind == FillKind::Bitmap) {
    w.U16(a.bitmapId).WriteMatrix(a.matrix).WriteMatrix(b.matrix);
  } else {
    w.WriteMatrix(a.matrix).WriteMatrix(b.matrix);
    WriteGradientModes(w, a.gradient);
    for (std::size_t i = 0; i < a.gradient.stops.size(); ++i) {
      w.U8(a.gradient.stops[i].ratio).WriteRgba(a.gradient.stops[i].color);
      w.U8(b.gradient.stops[i].ratio).WriteRgba(b.gradient.stops[i].color);
    }
    if (a.kind == FillKind::FocalGradient) {
      WriteFocalPoint(w, a.gradient);
      WriteFocalPoint(w, b.gradient);
    }
  }
}

// LINESTYLE2 from its caps to its miter limit.
void WriteLineStyle2Flags(BitWriter& w, const LineStyle& l) {
  w.UB(static_cast<std::uint32_t>(l.startCap), 2)
      .UB(static_cast<std::uint32_t>(l.join), 2)
      .Flag(l.hasFill)
      .Flag(l.noHScale)
      .Flag(l.noVScale)
      .Flag(l.pixelHinting)
      .UB(0, 5)
      .Flag(l.noClose)
      .UB(static_cast<std::uint32_t>(l.endCap), 2);
  if (l.join == JoinStyle::Miter) w.U16(static_cast<std::uint16_t>(Fixed(l.miterLimit, 256)));
}

void WriteCount(BitWriter& w, std::size_t n) {
  if (n >= 0xFF) {
    w.U8(0xFF).U16(static_cast<std::uint16_t>(n));
  } else {
    w.U8(static_cast<std::uint8_t>(n));
  }
}

void WriteLineStyle(BitWriter& w, const LineStyle& l, int version) {
  w.U16(l.width);
  if (version < 4) {
    version >= 3 ? w.WriteRgba(l.color) : w.Rgb(l.color);
    return;
  }
  WriteLineStyle2Flags(w, l);
  if (l.hasFill) {
    WriteFillStyle(w, l.fill, version);
  } else {
    w.WriteRgba(l.color);
  }
}

// The style arrays and the bit counts of indices into them.
std::pair<unsigned, unsigned> WriteStyleArrays(BitWriter& w, const ShapeStyles& styles, int version) {
  WriteCount(w, styles.fills.size());
  for (const FillStyle& f : styles.fills) WriteFillStyle(w, f, version);
  WriteCount(w, styles.lines.size());
  for (const LineStyle& l : styles.lines) WriteLineStyle(w, l, version);
  const unsigned fillBits = BitWriter::UnsignedBits(styles.fills.size());
  const unsigned lineBits = BitWriter::UnsignedBits(styles.lines.size());
  w.UB(fillBits, 4).UB(lineBits, 4);
  return {fillBits, lineBits};
}

unsigned EdgeBits(std::initializer_list<std::int64_t> values) {
  const unsigned bits = std::max(2u, BitWriter::SignedBits(values));
  if (bits > 17) throw std::invalid_argument("an edge longer than the file can hold");
  return bits;
}

void WriteRecords(BitWriter& w, const std::vector<ShapeRecord>& records, int version, unsigned fillBits,
                  unsigned lineBits) {
  for (const ShapeRecord& record : records) {
    if (const auto* line = std::get_if<LineTo>(&record)) {
      const unsigned bits = EdgeBits({line->dx, line->dy});
      w.UB(1, 1).UB(1, 1).UB(bits - 2, 4);
      if (line->dx != 0 && line->dy != 0) {
        w.Flag(true).SB(line->dx, bits).SB(line->dy, bits);
      } else {
        const bool vertical = line->dx == 0;
        w.Flag(false).Flag(vertical).SB(vertical ? line->dy : line->dx, bits);
      }
    } else if (const auto* curve = std::get_if<CurveTo>(&record)) {
      const unsigned bits = EdgeBits({curve->controlDx, curve->controlDy, curve->anchorDx, curve->anchorDy});
      w.UB(1, 1).UB(0, 1).UB(bits - 2, 4);
      w.SB(curve->controlDx, bits).SB(curve->controlDy, bits).SB(curve->anchorDx, bits).SB(curve->anchorDy, bits);
    } else {
      const auto& change = std::get<StyleChange>(record);
      w.UB(0, 1)
          .Flag(change.newStyles.has_value())
          .Flag(change.line.has_value())
          .Flag(change.fill1.has_value())
          .Flag(change.fill0.has_value())
          .Flag(change.moveTo.has_value());
      if (change.moveTo) {
        const auto [x, y] = *change.moveTo;
        const unsigned bits = BitWriter::SignedBits({x, y});
        w.UB(bits, 5).SB(x, bits).SB(y, bits);
      }
      if (change.fill0) w.UB(*change.fill0, fillBits);
      if (change.fill1) w.UB(*change.fill1, fillBits);
      if (change.line) w.UB(*change.line, lineBits);
      if (change.newStyles) std::tie(fillBits, lineBits) = WriteStyleArrays(w, *change.newStyles, version);
    }
  }
  w.UB(0, 6).Align();
}

}  // namespace

BitWriter& BitWriter::UB(std::uint32_t value, unsigned bits) {
  for (unsigned i = bits; i-- > 0;) {
    if (bit_ == 0) bytes_.push_back(0);
    if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> bit_);
    bit_ = (bit_ + 1) % 8;
  }
  return *this;
}

BitWriter& BitWriter::SB(std::int32_t value, unsigned bits) { return UB(static_cast<std::uint32_t>(value), bits); }

BitWriter& BitWriter::Align() {
  bit_ = 0;
  return *this;
}

BitWriter& BitWriter::U8(std::uint8_t v) {
  Align();
  bytes_.push_back(v);
  return *this;
}
BitWriter& BitWriter::U16(std::uint16_t v) { return U8(v & 0xFF).U8(static_cast<std::uint8_t>(v >> 8)); }
BitWriter& BitWriter::U32(std::uint32_t v) {
  return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16));
}
BitWriter& BitWriter::Append(std::span<const std::uint8_t> bytes) {
  Align();
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}
BitWriter& BitWriter::String(std::string_view text) {
  Append({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  return U8(0);
}

BitWriter& BitWriter::Rect(const TwipRect& r) {
  Align();
  const unsigned bits = SignedBits({r.xMin, r.xMax, r.yMin, r.yMax});
  UB(bits, 5).SB(r.xMin, bits).SB(r.xMax, bits).SB(r.yMin, bits).SB(r.yMax, bits);
  return Align();
}

BitWriter& BitWriter::WriteMatrix(const Matrix& m) {
  Align();
  const bool scale = m.a != 1 || m.d != 1, rotate = m.b != 0 || m.c != 0;
  Flag(scale);
  if (scale) {
    const std::int32_t a = Fixed(m.a, 65536), d = Fixed(m.d, 65536);
    const unsigned bits = SignedBits({a, d});
    UB(bits, 5).SB(a, bits).SB(d, bits);
  }
  Flag(rotate);
  if (rotate) {
    const std::int32_t b = Fixed(m.b, 65536), c = Fixed(m.c, 65536);
    const unsigned bits = SignedBits({b, c});
    UB(bits, 5).SB(b, bits).SB(c, bits);
  }
  const std::int32_t tx = Fixed(m.tx, 1), ty = Fixed(m.ty, 1);
  const unsigned bits = SignedBits({tx, ty});
  UB(bits, 5).SB(tx, bits).SB(ty, bits);
  return Align();
}

BitWriter& BitWriter::WriteColorTransform(const ColorTransform& cx, bool alpha) {
  Align();
  const std::int32_t mul[4] = {Fixed(cx.mulR, 256), Fixed(cx.mulG, 256), Fixed(cx.mulB, 256), Fixed(cx.mulA, 256)};
  const std::int32_t add[4] = {Fixed(cx.addR, 1), Fixed(cx.addG, 1), Fixed(cx.addB, 1), Fixed(cx.addA, 1)};
  const int channels = alpha ? 4 : 3;
  bool hasMul = false, hasAdd = false;
  for (int i = 0; i < channels; ++i) {
    hasMul = hasMul || mul[i] != 256;
    hasAdd = hasAdd || add[i] != 0;
  }
  unsigned bits = 0;
  for (int i = 0; i < channels; ++i) {
    if (hasMul) bits = std::max(bits, SignedBits({mul[i]}));
    if (hasAdd) bits = std::max(bits, SignedBits({add[i]}));
  }
  Flag(hasAdd).Flag(hasMul).UB(bits, 4);
  if (hasMul) {
    for (int i = 0; i < channels; ++i) SB(mul[i], bits);
  }
  if (hasAdd) {
    for (int i = 0; i < channels; ++i) SB(add[i], bits);
  }
  return Align();
}

BitWriter& BitWriter::Rgb(Rgba c) { return U8(c.r).U8(c.g).U8(c.b); }
BitWriter& BitWriter::WriteRgba(Rgba c) { return Rgb(c).U8(c.a); }

Bytes BitWriter::Take() {
  bit_ = 0;
  return std::move(bytes_);
}

unsigned BitWriter::SignedBits(std::initializer_list<std::int64_t> values) {
  unsigned bits = 0;
  for (std::int64_t v : values) {
    unsigned n = 1;
    while (v < -(std::int64_t{1} << (n - 1)) || v >= (std::int64_t{1} << (n - 1))) ++n;
    if (v != 0) bits = std::max(bits, n);
  }
  return bits;
}

unsigned BitWriter::UnsignedBits(std::uint64_t value) {
  unsigned bits = 0;
  while (value >> bits) ++bits;
  return bits;
}

Bytes Tag(std::uint16_t code, std::span<const std::uint8_t> body, bool longHeader) {
  BitWriter w;
  if (body.size() < 0x3F && !longHeader) {
    w.U16(static_cast<std::uint16_t>(code << 6 | body.size()));
  } else {
    w.U16(static_cast<std::uint16_t>(code << 6 | 0x3F)).U32(static_cast<std::uint32_t>(body.size()));
  }
  return w.Append(body).Take();
}

Bytes Concat(std::initializer_list<std::span<const std::uint8_t>> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

namespace {

// Everything after the first 8 bytes of a movie.
Bytes MovieBody(const Header& header, std::span<const std::uint8_t> tags, bool endTag) {
  BitWriter w;
  w.Rect(header.stage).U16(header.frameRate).U16(header.frameCount).Append(tags);
  if (endTag) w.U16(kEnd);
  return w.Take();
}

Bytes WithSignature(const char* signature, const Header& header, std::uint32_t length,
                    std::span<const std::uint8_t> rest) {
  BitWriter w;
  w.U8(signature[0]).U8(signature[1]).U8(signature[2]).U8(header.version).U32(length).Append(rest);
  return w.Take();
}

}  // namespace

Bytes Fws(const Header& header, std::span<const std::uint8_t> tags, bool endTag) {
  const Bytes body = MovieBody(header, tags, endTag);
  return WithSignature("FWS", header, static_cast<std::uint32_t>(body.size() + 8), body);
}

Bytes Cws(const Header& header, std::span<const std::uint8_t> tags, bool endTag) {
  const Bytes body = MovieBody(header, tags, endTag);
  return WithSignature("CWS", header, static_cast<std::uint32_t>(body.size() + 8), Zlib(body));
}

Bytes Zlib(std::span<const std::uint8_t> bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  Bytes out(size);
  if (compress(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size())) != Z_OK) {
    throw std::runtime_error("zlib could not compress");
  }
  out.resize(size);
  return out;
}

Bytes DefineShape(int version, std::uint16_t id, const TwipRect& bounds, const ShapeStyles& styles,
                  const std::vector<ShapeRecord>& records) {
  static constexpr std::uint16_t kCodes[] = {kDefineShapeCode, kDefineShape2Code, kDefineShape3Code, kDefineShape4Code};
  BitWriter w;
  w.U16(id).Rect(bounds);
  if (version >= 4) w.Rect(bounds).U8(0);
  const auto [fillBits, lineBits] = WriteStyleArrays(w, styles, version);
  WriteRecords(w, records, version, fillBits, lineBits);
  return Tag(kCodes[version - 1], w.Take());
}

Bytes DefineMorphShape(int version, std::uint16_t id, const TwipRect& startBounds, const TwipRect& endBounds,
                       const ShapeStyles& start, const ShapeStyles& end, const std::vector<ShapeRecord>& startRecords,
                       const std::vector<ShapeRecord>& endRecords) {
  BitWriter styles;
  WriteCount(styles, start.fills.size());
  for (std::size_t i = 0; i < start.fills.size(); ++i) WriteMorphFill(styles, start.fills[i], end.fills.at(i));
  WriteCount(styles, start.lines.size());
  for (std::size_t i = 0; i < start.lines.size(); ++i) {
    const LineStyle &a = start.lines[i], &b = end.lines.at(i);
    styles.U16(a.width).U16(b.width);
    if (version >= 2) WriteLineStyle2Flags(styles, a);
    if (version >= 2 && a.hasFill) {
      WriteMorphFill(styles, a.fill, b.fill);
    } else {
      styles.WriteRgba(a.color).WriteRgba(b.color);
    }
  }
  const unsigned fillBits = BitWriter::UnsignedBits(start.fills.size());
  const unsigned lineBits = BitWriter::UnsignedBits(start.lines.size());
  styles.UB(fillBits, 4).UB(lineBits, 4);
  WriteRecords(styles, startRecords, 4, fillBits, lineBits);
  const Bytes startPart = styles.Take();
  BitWriter endPart;
  endPart.UB(0, 4).UB(0, 4);
  WriteRecords(endPart, endRecords, 4, 0, 0);

  BitWriter w;
  w.U16(id).Rect(startBounds).Rect(endBounds);
  if (version >= 2) w.Rect(startBounds).Rect(endBounds).U8(0);
  w.U32(static_cast<std::uint32_t>(startPart.size())).Append(startPart).Append(endPart.Take());
  return Tag(version >= 2 ? kDefineMorphShape2Code : kDefineMorphShapeCode, w.Take());
}

Bytes GlyphShape(const std::vector<ShapeRecord>& records) {
  BitWriter w;
  w.UB(1, 4).UB(0, 4);
  WriteRecords(w, records, 1, 1, 0);
  return w.Take();
}

PlaceObject Placed(std::uint16_t depth, std::uint16_t id, const char* name, Matrix m) {
  PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.matrix = m;
  if (name) p.name = name;
  return p;
}

Bytes PlaceObjectTag(const PlaceObject& p, int version, std::uint8_t swfVersion) {
  BitWriter w;
  w.U8(static_cast<std::uint8_t>((p.clipActions.empty() ? 0 : 0x80) | (p.clipDepth ? 0x40 : 0) | (p.name ? 0x20 : 0) |
                                 (p.ratio ? 0x10 : 0) | (p.colorTransform ? 0x08 : 0) | (p.matrix ? 0x04 : 0) |
                                 (p.characterId ? 0x02 : 0) | (p.move ? 0x01 : 0)));
  if (version >= 3) w.U8(static_cast<std::uint8_t>((p.visible ? 0x20 : 0) | (p.className ? 0x08 : 0)));
  w.U16(p.depth);
  if (p.className) w.String(*p.className);
  if (p.characterId) w.U16(*p.characterId);
  if (p.matrix) w.WriteMatrix(*p.matrix);
  if (p.colorTransform) w.WriteColorTransform(*p.colorTransform, true);
  if (p.ratio) w.U16(*p.ratio);
  if (p.name) w.String(*p.name);
  if (p.clipDepth) w.U16(*p.clipDepth);
  if (p.visible) w.U8(*p.visible ? 1 : 0);
  if (!p.clipActions.empty()) {
    std::uint32_t all = 0;
    for (const ClipAction& a : p.clipActions) all |= a.events;
    w.U16(0);
    WriteEventFlags(w, all, swfVersion);
    for (const ClipAction& a : p.clipActions) {
      WriteEventFlags(w, a.events, swfVersion);
      const bool key = a.events & kEventKeyPress;
      w.U32(static_cast<std::uint32_t>(a.actions->size() + (key ? 1 : 0)));
      if (key) w.U8(a.keyCode);
      w.Append(*a.actions);
    }
    WriteEventFlags(w, 0, swfVersion);
  }
  return Tag(version >= 3 ? kPlaceObject3Code : kPlaceObject2Code, w.Take());
}

Bytes RemoveObject2(std::uint16_t depth) { return Tag(kRemoveObject2Code, BitWriter().U16(depth).Take()); }
Bytes ShowFrame() { return Tag(kShowFrame, {}); }
Bytes FrameLabel(std::string_view label) { return Tag(kFrameLabelCode, BitWriter().String(label).Take()); }
Bytes DoActionTag(std::span<const std::uint8_t> actions) { return Tag(kDoActionCode, actions); }
Bytes SetBackgroundColor(Rgba c) { return Tag(kSetBackgroundColorCode, BitWriter().Rgb(c).Take()); }

Bytes DefineSprite(std::uint16_t id, std::uint16_t frameCount, std::span<const std::uint8_t> tags) {
  return Tag(kDefineSpriteCode, BitWriter().U16(id).U16(frameCount).Append(tags).U16(kEnd).Take());
}

Bytes DefineBitsLossless(bool withAlpha, std::uint16_t id, std::uint8_t format, std::uint16_t width,
                         std::uint16_t height, std::span<const std::uint8_t> pixels, std::uint8_t colorTableSize) {
  BitWriter w;
  w.U16(id).U8(format).U16(width).U16(height);
  if (format == 3) w.U8(colorTableSize);
  w.Append(Zlib(pixels));
  return Tag(withAlpha ? kDefineBitsLossless2Code : kDefineBitsLosslessCode, w.Take());
}

Bytes DefineBitsJpeg2(std::uint16_t id, std::span<const std::uint8_t> image) {
  return Tag(kDefineBitsJpeg2Code, BitWriter().U16(id).Append(image).Take());
}

Bytes DefineBitsJpeg3(std::uint16_t id, std::span<const std::uint8_t> image, std::span<const std::uint8_t> alpha) {
  BitWriter w;
  w.U16(id).U32(static_cast<std::uint32_t>(image.size())).Append(image);
  if (!alpha.empty()) w.Append(Zlib(alpha));
  return Tag(kDefineBitsJpeg3Code, w.Take());
}

Bytes DefineBits(std::uint16_t id, std::span<const std::uint8_t> image) {
  return Tag(kDefineBitsCode, BitWriter().U16(id).Append(image).Take());
}

Bytes JpegTables(std::span<const std::uint8_t> tables) { return Tag(kJpegTablesCode, tables); }

namespace {

void WriteName(BitWriter& w, std::string_view name) {
  w.U8(static_cast<std::uint8_t>(name.size()))
      .Append({reinterpret_cast<const std::uint8_t*>(name.data()), name.size()});
}

}  // namespace

Bytes DefineFont2(std::uint16_t id, const FontSpec& font, bool font3) {
  std::vector<Bytes> shapes;
  for (const GlyphSpec& g : font.glyphs) shapes.push_back(GlyphShape(g.shape));
  const std::uint32_t offsetBytes = font.wideOffsets ? 4 : 2;
  BitWriter w;
  w.U16(id).U8(static_cast<std::uint8_t>((font.hasLayout ? 0x80 : 0) | (font.wideOffsets ? 0x08 : 0) |
                                         (font.wideCodes ? 0x04 : 0) | (font.italic ? 0x02 : 0) |
                                         (font.bold ? 0x01 : 0)));
  w.U8(0);
  WriteName(w, font.name);
  w.U16(static_cast<std::uint16_t>(font.glyphs.size()));
  std::uint32_t offset = offsetBytes * static_cast<std::uint32_t>(font.glyphs.size() + 1);
  const auto writeOffset = [&](std::uint32_t v) { font.wideOffsets ? w.U32(v) : w.U16(static_cast<std::uint16_t>(v)); };
  for (const Bytes& s : shapes) {
    writeOffset(offset);
    offset += static_cast<std::uint32_t>(s.size());
  }
  writeOffset(offset);
  for (const Bytes& s : shapes) w.Append(s);
  for (const GlyphSpec& g : font.glyphs) font.wideCodes ? w.U16(g.code) : w.U8(static_cast<std::uint8_t>(g.code));
  if (font.hasLayout) {
    w.U16(static_cast<std::uint16_t>(font.ascent))
        .U16(static_cast<std::uint16_t>(font.descent))
        .U16(static_cast<std::uint16_t>(font.leading));
    for (const GlyphSpec& g : font.glyphs) w.U16(static_cast<std::uint16_t>(g.advance));
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) w.Rect({});
    w.U16(0);  // no kerning pairs
  }
  return Tag(font3 ? kDefineFont3Code : kDefineFont2Code, w.Take());
}

Bytes DefineFont(std::uint16_t id, const FontSpec& font) {
  std::vector<Bytes> shapes;
  for (const GlyphSpec& g : font.glyphs) shapes.push_back(GlyphShape(g.shape));
  BitWriter w;
  w.U16(id);
  auto offset = static_cast<std::uint16_t>(2 * shapes.size());
  for (const Bytes& s : shapes) {
    w.U16(offset);
    offset = static_cast<std::uint16_t>(offset + s.size());
  }
  for (const Bytes& s : shapes) w.Append(s);
  return Tag(kDefineFontCode, w.Take());
}

Bytes DefineFontInfo(std::uint16_t id, const FontSpec& font) {
  BitWriter w;
  w.U16(id);
  WriteName(w, font.name);
  w.U8(static_cast<std::uint8_t>((font.italic ? 0x04 : 0) | (font.bold ? 0x02 : 0) | (font.wideCodes ? 0x01 : 0)));
  for (const GlyphSpec& g : font.glyphs) font.wideCodes ? w.U16(g.code) : w.U8(static_cast<std::uint8_t>(g.code));
  return Tag(kDefineFontInfoCode, w.Take());
}

Bytes DefineText(bool text2, std::uint16_t id, const TwipRect& bounds, const Matrix& matrix,
                 const std::vector<TextRecordSpec>& records) {
  unsigned glyphBits = 0, advanceBits = 0;
  for (const TextRecordSpec& r : records) {
    for (const auto& [index, advance] : r.glyphs) {
      glyphBits = std::max(glyphBits, BitWriter::UnsignedBits(index));
      advanceBits = std::max(advanceBits, BitWriter::SignedBits({advance}));
    }
  }
  BitWriter w;
  w.U16(id)
      .Rect(bounds)
      .WriteMatrix(matrix)
      .U8(static_cast<std::uint8_t>(glyphBits))
      .U8(static_cast<std::uint8_t>(advanceBits));
  for (const TextRecordSpec& r : records) {
    w.U8(static_cast<std::uint8_t>(0x80 | (r.fontId ? 0x08 : 0) | (r.color ? 0x04 : 0) | (r.y ? 0x02 : 0) |
                                   (r.x ? 0x01 : 0)));
    if (r.fontId) w.U16(*r.fontId);
    if (r.color) text2 ? w.WriteRgba(*r.color) : w.Rgb(*r.color);
    if (r.x) w.U16(static_cast<std::uint16_t>(*r.x));
    if (r.y) w.U16(static_cast<std::uint16_t>(*r.y));
    if (r.fontId) w.U16(r.height);
    w.U8(static_cast<std::uint8_t>(r.glyphs.size()));
    for (const auto& [index, advance] : r.glyphs) w.UB(index, glyphBits).SB(advance, advanceBits);
    w.Align();
  }
  w.U8(0);
  return Tag(text2 ? kDefineText2Code : kDefineTextCode, w.Take());
}

Bytes DefineEditText(std::uint16_t id, const EditText& f) {
  BitWriter w;
  w.U16(id).Rect(f.bounds);
  const bool hasText = !f.initialText.empty(), hasLayout = f.align != TextAlign::Left || f.leftMargin || f.rightMargin ||
                                                           f.indent || f.leading;
  w.Flag(hasText).Flag(f.wordWrap).Flag(f.multiline).Flag(f.password).Flag(f.readOnly).Flag(true)
      .Flag(f.maxLength != 0).Flag(f.fontId.has_value());
  w.Flag(false).Flag(f.autoSize).Flag(hasLayout).Flag(f.noSelect).Flag(f.border).Flag(false).Flag(f.html)
      .Flag(f.useOutlines);
  if (f.fontId) w.U16(*f.fontId).U16(static_cast<std::uint16_t>(f.height));
  w.WriteRgba(f.color);
  if (f.maxLength) w.U16(f.maxLength);
  if (hasLayout) {
    w.U8(static_cast<std::uint8_t>(f.align)).U16(static_cast<std::uint16_t>(f.leftMargin))
        .U16(static_cast<std::uint16_t>(f.rightMargin)).U16(static_cast<std::uint16_t>(f.indent))
        .U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(f.leading)));
  }
  w.String(f.variableName);
  if (hasText) w.String(f.initialText);
  return Tag(kDefineEditTextCode, w.Take());
}

Bytes ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& names) {
  BitWriter w;
  w.U16(static_cast<std::uint16_t>(names.size()));
  for (const auto& [id, name] : names) w.U16(id).String(name);
  return Tag(kExportAssetsCode, w.Take());
}

}  // namespace dc::swf::test

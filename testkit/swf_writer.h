// A minimal writer of test movies: bit fields, the header (plain or zlib),
// tags, and the records the player's tests need (shapes, placements,
// sprites, bitmaps, fonts, texts). It writes what it is told, also what a
// well-made movie would not hold, so that tests can feed the reader both.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "swf/model/movie.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf::test {

using Bytes = std::vector<std::uint8_t>;

class BitWriter {
 public:
  BitWriter& UB(std::uint32_t value, unsigned bits);
  BitWriter& SB(std::int32_t value, unsigned bits);
  BitWriter& Flag(bool on) { return UB(on ? 1 : 0, 1); }
  BitWriter& Align();  // fills the current byte with zero bits
  // Whole bytes, little-endian, each after Align().
  BitWriter& U8(std::uint8_t v);
  BitWriter& U16(std::uint16_t v);
  BitWriter& U32(std::uint32_t v);
  BitWriter& Append(std::span<const std::uint8_t> bytes);
  BitWriter& String(std::string_view text);  // with its 0 byte
  BitWriter& Rect(const TwipRect& r);
  // Every value of `m` must be a whole number of 1/65536 (scale, skew) and
  // of twips (translation).
  BitWriter& WriteMatrix(const Matrix& m);
  // Multipliers in 1/256, additions whole; `alpha` writes CXFORMWITHALPHA.
  BitWriter& WriteColorTransform(const ColorTransform& cx, bool alpha);
  BitWriter& Rgb(Rgba c);
  BitWriter& WriteRgba(Rgba c);
  Bytes Take();

  // The fewest bits an SB or UB field needs for all of `values`.
  static unsigned SignedBits(std::initializer_list<std::int64_t> values);
  static unsigned UnsignedBits(std::uint64_t value);

 private:
  Bytes bytes_;
  unsigned bit_ = 0;  // bits used of the last byte; 0: it is whole
};

// A tag with its header: short when the body is under 63 bytes, unless
// `longHeader`.
Bytes Tag(std::uint16_t code, std::span<const std::uint8_t> body, bool longHeader = false);
Bytes Concat(std::initializer_list<std::span<const std::uint8_t>> parts);

struct Header {
  std::uint8_t version = 8;
  TwipRect stage{0, 11000, 0, 8000};
  std::uint16_t frameRate = 12 << 8;  // 8.8
  std::uint16_t frameCount = 1;
};
// A whole movie: the header, `tags`, and an End tag when `endTag`.
Bytes Fws(const Header& header, std::span<const std::uint8_t> tags, bool endTag = true);
// The same movie compressed with zlib, its length field the uncompressed one.
Bytes Cws(const Header& header, std::span<const std::uint8_t> tags, bool endTag = true);
Bytes Zlib(std::span<const std::uint8_t> bytes);

// Shapes. Styles are written from the player's own structs; indices in
// records are the file's (1-based, 0 for none).
struct ShapeStyles {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
};
struct StyleChange {
  std::optional<std::pair<std::int32_t, std::int32_t>> moveTo;
  std::optional<std::uint32_t> fill0, fill1, line;
  std::optional<ShapeStyles> newStyles;
};
struct LineTo {  // written as a horizontal, vertical or general line
  std::int32_t dx = 0, dy = 0;
};
struct CurveTo {
  std::int32_t controlDx = 0, controlDy = 0, anchorDx = 0, anchorDy = 0;
};
using ShapeRecord = std::variant<StyleChange, LineTo, CurveTo>;

// DefineShape (1), 2, 3 or 4 (`version`), with its tag header.
Bytes DefineShape(int version, std::uint16_t id, const TwipRect& bounds, const ShapeStyles& styles,
                  const std::vector<ShapeRecord>& records);
// DefineMorphShape (`version` 1) or DefineMorphShape2 (2): the styles as
// start and end pairs (the end's arrays as long as the start's; what does
// not tween is the start's), the start's records, then the end's, which
// should hold positions only.
Bytes DefineMorphShape(int version, std::uint16_t id, const TwipRect& startBounds, const TwipRect& endBounds,
                       const ShapeStyles& start, const ShapeStyles& end, const std::vector<ShapeRecord>& startRecords,
                       const std::vector<ShapeRecord>& endRecords);
// A glyph's SHAPE: one fill bit, no line bits, the records, the end.
Bytes GlyphShape(const std::vector<ShapeRecord>& records);

// Placements: PlaceObject2 (`version` 2) or PlaceObject3 (3) of every
// field that is set; clip actions with the flag width of `swfVersion`.
Bytes PlaceObjectTag(const PlaceObject& place, int version, std::uint8_t swfVersion);
// A new placement of character `id` at `depth`, named when `name` is given.
PlaceObject Placed(std::uint16_t depth, std::uint16_t id, const char* name = nullptr, Matrix m = {});
Bytes RemoveObject2(std::uint16_t depth);
Bytes ShowFrame();
Bytes FrameLabel(std::string_view label);
Bytes DoActionTag(std::span<const std::uint8_t> actions);
Bytes DefineSprite(std::uint16_t id, std::uint16_t frameCount, std::span<const std::uint8_t> tags);
Bytes SetBackgroundColor(Rgba c);

// Bitmaps. Lossless pixels are the file's bytes before zlib, rows padded
// as the format wants.
Bytes DefineBitsLossless(bool withAlpha, std::uint16_t id, std::uint8_t format, std::uint16_t width,
                         std::uint16_t height, std::span<const std::uint8_t> pixels, std::uint8_t colorTableSize = 0);
Bytes DefineBitsJpeg2(std::uint16_t id, std::span<const std::uint8_t> image);
// JPEG3 with an alpha plane given uncompressed (empty: none).
Bytes DefineBitsJpeg3(std::uint16_t id, std::span<const std::uint8_t> image, std::span<const std::uint8_t> alpha);
Bytes DefineBits(std::uint16_t id, std::span<const std::uint8_t> image);
Bytes JpegTables(std::span<const std::uint8_t> tables);

// Fonts and texts.
struct GlyphSpec {
  std::vector<ShapeRecord> shape;
  std::uint16_t code = 0;
  std::int16_t advance = 0;
};
struct FontSpec {
  std::string name;
  bool bold = false, italic = false, wideOffsets = false, wideCodes = true, hasLayout = true;
  std::int16_t ascent = 0, descent = 0, leading = 0;
  std::vector<GlyphSpec> glyphs;
};
// DefineFont2 (`font3` false) or DefineFont3.
Bytes DefineFont2(std::uint16_t id, const FontSpec& font, bool font3 = false);
// DefineFont with its glyphs, and DefineFontInfo with the name and codes.
Bytes DefineFont(std::uint16_t id, const FontSpec& font);
Bytes DefineFontInfo(std::uint16_t id, const FontSpec& font);

// One DefineText record; unset fields are left out of the file.
struct TextRecordSpec {
  std::optional<std::uint16_t> fontId;
  std::optional<Rgba> color;
  std::optional<std::int16_t> x, y;
  std::uint16_t height = 0;                                    // written with fontId
  std::vector<std::pair<std::uint32_t, std::int32_t>> glyphs;  // index, advance
};
Bytes DefineText(bool text2, std::uint16_t id, const TwipRect& bounds, const Matrix& matrix,
                 const std::vector<TextRecordSpec>& records);

// DefineEditText of the fields a field sets (a colour is always written).
Bytes DefineEditText(std::uint16_t id, const EditText& field);
Bytes ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& names);

}  // namespace dc::swf::test

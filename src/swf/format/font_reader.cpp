// Fonts: glyph outlines cut out of the tag by their offset table, the
// character of each glyph, and the layout for text fields.
#include "swf/format/font_reader.h"

#include <vector>

#include "swf/format/shape_reader.h"
#include "swf/format/swf_strings.h"

namespace dc::swf {
namespace {

constexpr double kUnitsPerEm = 1024, kUnitsPerEmFont3 = 20480;

// The name as the tag gives it, without the 0 bytes some tools end it with.
std::string FontName(BitReader& r, ReadContext& context) {
  auto name = r.Bytes(r.U8());
  while (!name.empty() && name.back() == 0) name = name.first(name.size() - 1);
  return context.Text(name);
}

// Reads glyph i from starts[i] of `table` to its end record. The offsets
// need not be in order, and glyphs may share bytes: each is read from
// where its offset points, as far as `end` at most.
void ReadGlyphs(std::span<const std::uint8_t> table, const std::vector<std::uint64_t>& starts, std::uint64_t end,
                Font& font, ReadContext& context) {
  if (end > table.size()) throw DamagedData("the glyphs run past the tag");
  for (const std::uint64_t start : starts) {
    if (start > end) throw DamagedData("a glyph starts past the glyph table");
    BitReader glyphReader(table.subspan(start, end - start));
    context.Spend(sizeof(Glyph));
    font.glyphs.push_back(Glyph{ReadGlyphShape(glyphReader, context), 0, 0});
  }
}

std::uint16_t ReadCode(BitReader& r, bool wide, bool shiftJis) {
  if (wide) return r.U16();
  const std::uint8_t code = r.U8();
  return shiftJis ? code : CharFromByte(code);
}

}  // namespace

Font ReadDefineFont(BitReader& r, ReadContext& context) {
  Font font;
  font.unitsPerEm = kUnitsPerEm;
  const std::span<const std::uint8_t> table = r.Rest();
  if (table.empty()) {
    font.hasOutlines = false;
    return font;
  }
  BitReader offsets(table);
  const std::uint16_t first = offsets.U16();
  const std::size_t count = first / 2;
  if (count > context.limits.maxGlyphs) throw OverLimit(context.GlyphLimitText());
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < count; ++i) starts.push_back(i == 0 ? first : offsets.U16());
  ReadGlyphs(table, starts, table.size(), font, context);
  font.hasOutlines = !font.glyphs.empty();
  return font;
}

void ReadFontInfo(BitReader& r, bool info2, Font& font, ReadContext& context) {
  std::string name = FontName(r, context);
  const std::uint8_t flags = r.U8();
  if (info2) (void)r.U8();  // language
  const bool shiftJis = flags & 0x10, wide = info2 || (flags & 0x01);
  std::vector<std::uint16_t> codes;
  for (std::size_t i = 0; i < font.glyphs.size(); ++i) codes.push_back(ReadCode(r, wide, shiftJis));
  font.name = std::move(name);
  font.italic = flags & 0x04;
  font.bold = flags & 0x02;
  for (std::size_t i = 0; i < codes.size(); ++i) font.glyphs[i].code = codes[i];
}

Font ReadDefineFont2(BitReader& r, bool font3, ReadContext& context) {
  Font font;
  font.unitsPerEm = font3 ? kUnitsPerEmFont3 : kUnitsPerEm;
  const std::uint8_t flags = r.U8();
  font.hasLayout = flags & 0x80;
  const bool shiftJis = flags & 0x40, wideOffsets = flags & 0x08, wideCodes = font3 || (flags & 0x04);
  font.italic = flags & 0x02;
  font.bold = flags & 0x01;
  (void)r.U8();  // language
  font.name = FontName(r, context);
  const std::size_t count = r.U16();
  if (count > context.limits.maxGlyphs) throw OverLimit(context.GlyphLimitText());
  const std::span<const std::uint8_t> table = r.Rest();
  BitReader offsets(table);
  const auto readOffset = [&] { return wideOffsets ? std::uint64_t{offsets.U32()} : offsets.U16(); };
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < count; ++i) starts.push_back(readOffset());
  // A font without glyphs is a device font; tools disagree on whether its
  // code table offset is written, so it is taken when the bytes are there.
  const std::size_t offsetBytes = wideOffsets ? 4 : 2, emptyLayoutBytes = 8;
  std::uint64_t codeTable = offsets.Position();
  if (count > 0 || (font.hasLayout && offsets.Remaining() >= offsetBytes + emptyLayoutBytes)) {
    codeTable = readOffset();
  }
  if (codeTable < offsets.Position()) throw DamagedData("the code table overlaps the offsets");
  ReadGlyphs(table, starts, codeTable, font, context);
  font.hasOutlines = count > 0;

  BitReader rest(table.subspan(codeTable));
  for (Glyph& glyph : font.glyphs) glyph.code = ReadCode(rest, wideCodes, shiftJis);
  if (font.hasLayout) {
    font.ascent = rest.U16();
    font.descent = rest.U16();
    font.leading = rest.S16();
    // Advances are read unsigned, as the original player reads them: one
    // past 32767 moves the pen that far on, not back.
    for (Glyph& glyph : font.glyphs) glyph.advance = rest.U16();
    // The glyphs' bounds and the kerning pairs follow; the player measures
    // glyphs itself and does not kern.
  }
  return font;
}

}  // namespace dc::swf

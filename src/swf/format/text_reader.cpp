// Static text records, each taking the font, colour, height and position
// the one before left; edit text fields with every flag and field.
#include "swf/format/text_reader.h"

namespace dc::swf {

StaticText ReadDefineText(BitReader& r, bool withAlpha, ReadContext& context) {
  StaticText text;
  text.bounds = r.Rect();
  text.matrix = r.ReadMatrix();
  const unsigned glyphBits = r.U8(), advanceBits = r.U8();
  if (glyphBits > 32 || advanceBits > 32) throw DamagedData("glyph fields wider than 32 bits");
  TextRecord style;  // what the next record starts from
  std::uint64_t counted = 0;
  for (;;) {
    const std::uint8_t flags = r.U8();
    if (flags == 0) break;
    if (!(flags & 0x80)) throw DamagedData("a text record of unknown type");
    TextRecord record = style;
    record.glyphs.clear();
    if (flags & 0x08) record.fontId = r.U16();
    if (flags & 0x04) record.color = withAlpha ? r.ReadRgba() : r.Rgb();
    if (flags & 0x01) record.x = r.S16();
    if (flags & 0x02) record.y = r.S16();
    if (flags & 0x08) record.height = r.U16();
    const std::uint8_t count = r.U8();
    counted += 1 + std::uint64_t{count};
    if (counted > context.limits.maxGlyphs) throw OverLimit(context.GlyphLimitText());
    context.Spend(sizeof(TextRecord) + count * sizeof(GlyphEntry));
    double x = record.x;
    for (std::uint8_t i = 0; i < count; ++i) {
      GlyphEntry glyph;
      glyph.index = r.UB(glyphBits);
      glyph.advance = r.SB(advanceBits);
      x += glyph.advance;
      record.glyphs.push_back(glyph);
    }
    r.Align();
    style = record;
    style.x = x;  // a record without an x offset goes on where this one ends
    style.glyphs.clear();
    text.records.push_back(std::move(record));
  }
  return text;
}

EditText ReadDefineEditText(BitReader& r, ReadContext& context) {
  EditText field;
  field.bounds = r.Rect();
  const std::uint8_t flags1 = r.U8(), flags2 = r.U8();
  const bool hasText = flags1 & 0x80, hasColor = flags1 & 0x04, hasMaxLength = flags1 & 0x02, hasFont = flags1 & 0x01;
  const bool hasFontClass = flags2 & 0x80, hasLayout = flags2 & 0x20;
  field.wordWrap = flags1 & 0x40;
  field.multiline = flags1 & 0x20;
  field.password = flags1 & 0x10;
  field.readOnly = flags1 & 0x08;
  field.autoSize = flags2 & 0x40;
  field.noSelect = flags2 & 0x10;
  field.border = field.background = flags2 & 0x08;
  field.html = flags2 & 0x02;
  field.useOutlines = flags2 & 0x01;
  if (hasFont) field.fontId = r.U16();
  if (hasFontClass) field.fontClass = context.Text(r.String());
  if (hasFont || hasFontClass) field.height = r.U16();
  if (hasColor) field.color = r.ReadRgba();
  if (hasMaxLength) field.maxLength = r.U16();
  if (hasLayout) {
    const std::uint8_t align = r.U8();
    field.align = align == 1   ? TextAlign::Right
                  : align == 2 ? TextAlign::Center
                  : align == 3 ? TextAlign::Justify
                               : TextAlign::Left;
    field.leftMargin = r.U16();
    field.rightMargin = r.U16();
    field.indent = r.S16();  // signed, as the player reads it
    field.leading = r.S16();
  }
  field.variableName = context.Text(r.String());
  if (hasText) field.initialText = context.Text(r.String());
  context.Spend(field.variableName.size() + field.initialText.size() + field.fontClass.size());
  return field;
}

}  // namespace dc::swf

// Placing the glyphs of static texts and edit text fields.
#include "swf/text/text_layout.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "swf/model/rectangle_edges.h"
#include "swf/text/device_fonts.h"
#include "swf/text/fallback_font.h"
#include "swf/text/field_text.h"
#include "swf/limits.h"

namespace dc::swf {
namespace {

bool IsBlank(char32_t code) {
  return code == ' ' || code == '\t' || code == 0xA0 || code == 0x3000 || (code >= 0x2000 && code <= 0x200B);
}

// A glyph the font holds, but with no outline, stands for a character the
// movie did not embed, unless the character is a space anyway. Code 0 is
// a glyph of a font that gives no codes (DefineFont alone): nothing to
// stand in for.
bool OutlineMissing(const Glyph& glyph) {
  return glyph.shape.paths.empty() && glyph.code != 0 && !IsBlank(glyph.code);
}

const Glyph& FallbackGlyph(char32_t code) {
  return FallbackFont().glyphs[FallbackGlyphIndex(code == '\t' ? U' ' : code)];
}

Matrix GlyphMatrix(double x, double y, double scale) { return {scale, 0, 0, scale, x, y}; }

// ---- Static text ----

void PlaceRecord(const TextRecord& record, const Font& font, const Matrix& textMatrix, std::size_t budget,
                 DeviceFonts* device, std::vector<PlacedGlyph>& out) {
  const double scale = record.height / font.unitsPerEm;
  const double fallbackScale = record.height / FallbackFont().unitsPerEm;
  const double deviceScale = record.height / kDeviceUnitsPerEm;
  const DeviceFonts::Face* face =
      device != nullptr && !font.hasOutlines ? device->FaceFor(font.name, font.bold, font.italic) : nullptr;
  double x = record.x;
  for (const GlyphEntry& entry : record.glyphs) {
    if (out.size() >= budget) return;
    const Glyph* glyph = entry.index < font.glyphs.size() ? &font.glyphs[entry.index] : nullptr;
    std::shared_ptr<const Glyph> system =
        face != nullptr && glyph != nullptr && glyph->code != 0 ? device->GlyphOf(*face, glyph->code) : nullptr;
    if (glyph != nullptr && font.hasOutlines && !OutlineMissing(*glyph)) {
      if (!glyph->shape.paths.empty())
        out.push_back({&glyph->shape, textMatrix * GlyphMatrix(x, record.y, scale), record.color});
    } else if (system) {
      if (!system->shape.paths.empty()) {
        const Shape* shape = &system->shape;
        out.push_back({shape, textMatrix * GlyphMatrix(x, record.y, deviceScale), record.color, std::move(system)});
      }
    } else if (glyph != nullptr && glyph->code != 0) {
      const Glyph& stand = FallbackGlyph(glyph->code);
      if (!stand.shape.paths.empty())
        out.push_back({&stand.shape, textMatrix * GlyphMatrix(x, record.y, fallbackScale), record.color});
    }
    x += entry.advance;
  }
}

// ---- Edit text ----

// The font a field's text is set in and its measures, in twips.
class FieldFont {
 public:
  FieldFont(const EditText& field, const Font* font, DeviceFonts* device) {
    const Font& fallback = FallbackFont();
    fallbackScale_ = field.height / fallback.unitsPerEm;
    if (font != nullptr && font->hasOutlines && field.useOutlines && font->unitsPerEm > 0) {
      font_ = font;
      scale_ = field.height / font->unitsPerEm;
      codes_.reserve(font->glyphs.size());
      for (std::size_t i = 0; i < font->glyphs.size(); ++i) codes_.emplace_back(font->glyphs[i].code, i);
      std::sort(codes_.begin(), codes_.end());
    } else if (device != nullptr) {
      if (!field.deviceFont.empty())
        face_ = device->FaceFor(field.deviceFont, field.deviceBold, field.deviceItalic);
      else if (font != nullptr)
        face_ = device->FaceFor(font->name, font->bold, font->italic);
      else
        face_ = device->FaceFor("Times New Roman", false, false);
      if (face_ != nullptr) {
        device_ = device;
        scale_ = field.height / kDeviceUnitsPerEm;
        ascent_ = face_->metrics.ascent * scale_;
        descent_ = face_->metrics.descent * scale_;
        return;
      }
    }
    const bool ownLayout = font_ != nullptr && font_->hasLayout;
    // A font's own measures are kept in whole twips: Flash drops the rest.
    ascent_ = ownLayout ? std::floor(font_->ascent * scale_ + 1e-7) : fallback.ascent * fallbackScale_;
    descent_ = ownLayout ? std::floor(font_->descent * scale_ + 1e-7) : fallback.descent * fallbackScale_;
  }

  double Ascent() const { return ascent_; }
  double Descent() const { return descent_; }

  struct Placed {
    const Shape* shape;  // null: nothing to draw
    double scale;        // font units to twips
    double advance;      // twips
    std::shared_ptr<const Glyph> held;  // holds `shape` when a device font's
  };
  Placed Place(char32_t code) const {
    if (face_ != nullptr) {
      if (std::shared_ptr<const Glyph> glyph = device_->GlyphOf(*face_, code == '\t' ? U' ' : code)) {
        const Shape* shape = Drawable(glyph->shape);
        const double advance = glyph->advance * scale_;
        return {shape, scale_, advance, std::move(glyph)};
      }
    }
    if (font_ != nullptr) {
      const Glyph* glyph = Find(code == '\t' ? U' ' : code);
      if (glyph != nullptr && !OutlineMissing(*glyph)) {
        const double advance = font_->hasLayout ? glyph->advance : AdvanceFromOutline(glyph->shape);
        // The pen moves on by whole twips: Flash drops what is left of one.
        return {Drawable(glyph->shape), scale_, std::floor(advance * scale_ + 1e-7)};
      }
    }
    const Glyph& glyph = FallbackGlyph(code);
    return {Drawable(glyph.shape), fallbackScale_, glyph.advance * fallbackScale_};
  }

 private:
  static const Shape* Drawable(const Shape& shape) { return shape.paths.empty() ? nullptr : &shape; }
  const Glyph* Find(char32_t code) const {
    if (code > 0xFFFF) return nullptr;
    const auto it = std::lower_bound(codes_.begin(), codes_.end(), std::pair{static_cast<std::uint16_t>(code), std::size_t{0}});
    return it != codes_.end() && it->first == code ? &font_->glyphs[it->second] : nullptr;
  }
  // A font without a layout: the outline's right edge plus as much again
  // as it stands off the origin on the left; a quarter em when it is empty.
  double AdvanceFromOutline(const Shape& shape) const {
    double left = 0, right = 0;
    bool any = false;
    for (const Path& path : shape.paths) {
      for (const Edge& e : path.edges) {
        for (const Point& p : {e.from, e.to}) {
          left = any ? std::min(left, p.x) : p.x;
          right = any ? std::max(right, p.x) : p.x;
          any = true;
        }
      }
    }
    return any ? std::max(0.0, right + std::max(0.0, left)) : font_->unitsPerEm / 4;
  }

  const Font* font_ = nullptr;
  DeviceFonts* device_ = nullptr;
  const DeviceFonts::Face* face_ = nullptr;
  double scale_ = 0, fallbackScale_ = 0, ascent_ = 0, descent_ = 0;
  std::vector<std::pair<std::uint16_t, std::size_t>> codes_;  // sorted
};

struct FieldChar {
  char32_t code;
  Rgba color;
  FieldFont::Placed glyph;
};

// One line: characters [begin, end) of the text, `width` without the
// spaces it ends in.
struct Line {
  std::size_t begin = 0, end = 0;
  double width = 0;
  bool firstOfParagraph = false, lastOfParagraph = false;
};

// The characters the field shows: HTML reduced, breaks normalised to '\n' (dropped unless multiline), other control characters dropped, read no
// further than kMaxShownTextBytes, cut to maxLength and the glyph limit,
// masked for a password.
std::vector<StyledChar> ShownText(const EditText& field, std::string_view text, std::size_t maxGlyphs) {
  if (text.size() > kMaxShownTextBytes) {
    // Cut between characters, not inside one.
    std::size_t cut = kMaxShownTextBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  std::vector<StyledChar> raw = field.html ? ReduceFieldHtml(text, field.color) : DecodeFieldText(text, field.color);
  std::vector<StyledChar> shown;
  shown.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    StyledChar c = raw[i];
    if (c.code == '\r' || c.code == '\n') {
      if (c.code == '\r' && i + 1 < raw.size() && raw[i + 1].code == '\n') ++i;
      if (!field.multiline) continue;
      c.code = '\n';
    } else if ((c.code < 0x20 && c.code != '\t') || c.code == 0xFEFF) {
      continue;
    }
    shown.push_back(c);
  }
  std::size_t keep = maxGlyphs;
  if (field.maxLength > 0) keep = std::min<std::size_t>(keep, field.maxLength);
  if (shown.size() > keep) shown.resize(keep);
  if (field.password) {
    for (StyledChar& c : shown) {
      if (c.code != '\n') c.code = '*';
    }
  }
  return shown;
}

// Breaks the text into lines: at each '\n', and when `wrapWidth` is set,
// before the word that would cross it, or inside a word that is longer
// than the line by itself. Spaces never cross the width: they hang past
// the line's end unseen.
std::vector<Line> BreakLines(const std::vector<FieldChar>& chars, std::optional<double> wrapWidth, double indent) {
  std::vector<Line> lines;
  std::size_t paragraph = 0;
  while (paragraph <= chars.size()) {
    std::size_t paragraphEnd = paragraph;
    while (paragraphEnd < chars.size() && chars[paragraphEnd].code != '\n') ++paragraphEnd;
    std::size_t pos = paragraph;
    bool first = true;
    do {
      const double available = wrapWidth ? *wrapWidth - (first ? indent : 0) : 0;
      double pen = 0;
      std::size_t end = pos, lastWord = pos;
      for (; end < paragraphEnd; ++end) {
        const FieldChar& c = chars[end];
        const bool blank = IsBlank(c.code);
        if (wrapWidth && !blank && end > pos && pen + c.glyph.advance > available) break;
        if (!blank && end > pos && IsBlank(chars[end - 1].code)) lastWord = end;
        pen += c.glyph.advance;
      }
      const std::size_t next = end == paragraphEnd ? end : (lastWord > pos ? lastWord : end);
      Line line{pos, next, 0, first, next == paragraphEnd};
      double width = 0;
      for (std::size_t i = pos; i < next; ++i) {
        width += chars[i].glyph.advance;
        if (!IsBlank(chars[i].code)) line.width = width;
      }
      lines.push_back(line);
      pos = next;
      first = false;
    } while (pos < paragraphEnd);
    paragraph = paragraphEnd + 1;
  }
  return lines;
}

// A measure as a twip coordinate, `otherwise` when it is not a number (a
// script may size a field so).
std::int32_t Twips(double v, std::int32_t otherwise) {
  return std::isfinite(v) ? static_cast<std::int32_t>(std::clamp(v, -1e9, 1e9)) : otherwise;
}

}  // namespace

Shape FieldBoxShape(const TwipRect& r, std::optional<Rgba> fill, std::optional<Rgba> line) {
  Shape box;
  box.bounds = r;
  Path path;
  if (fill) {
    box.fills.push_back(FillStyle{FillKind::Solid, *fill});
    path.fill1 = 0;
  }
  if (line) {
    LineStyle hairline;
    hairline.width = 0;  // one pixel at any scale
    hairline.color = *line;
    hairline.join = JoinStyle::Miter;  // square corners
    box.lines.push_back(hairline);
    path.line = 0;
  }
  path.edges = RectangleEdges(r.xMin, r.yMin, r.xMax, r.yMax);
  box.paths.push_back(std::move(path));
  return box;
}

std::vector<PlacedGlyph> LayOutStaticText(const StaticText& text, const FontLookup& fonts, std::size_t maxGlyphs,
                                          DeviceFonts* device) {
  std::vector<PlacedGlyph> out;
  const std::size_t budget = maxGlyphs;
  for (const TextRecord& record : text.records) {
    const Font* font = fonts ? fonts(record.fontId) : nullptr;
    if (font == nullptr || !(font->unitsPerEm > 0)) continue;
    PlaceRecord(record, *font, text.matrix, budget, device, out);
  }
  return out;
}

EditTextLayout LayOutEditText(const EditText& field, std::string_view text, const FontLookup& fonts,
                              std::size_t maxGlyphs, DeviceFonts* device) {
  const Font* own = field.fontId && fonts ? fonts(*field.fontId) : nullptr;
  const FieldFont font(field, own, device);
  std::vector<FieldChar> chars;
  for (const StyledChar& c : ShownText(field, text, maxGlyphs)) {
    chars.push_back({c.code, c.color, c.code == '\n' ? FieldFont::Placed{nullptr, 0, 0, nullptr} : font.Place(c.code)});
  }

  const TwipRect& b = field.bounds;
  const double left = b.xMin + kEditTextGutter + field.leftMargin;
  const double right = b.xMax - kEditTextGutter - field.rightMargin;
  std::optional<double> wrapWidth;
  if (field.wordWrap && field.multiline) wrapWidth = right - left;
  const std::vector<Line> lines = BreakLines(chars, wrapWidth, field.indent);

  EditTextLayout layout;
  const double lineHeight = font.Ascent() + font.Descent() + field.leading;
  double baseline = b.yMin + kEditTextGutter + font.Ascent();
  double inkLeft = b.xMin, inkRight = b.xMax, inkBottom = b.yMax;
  for (const Line& line : lines) {
    if (!field.autoSize && baseline - font.Ascent() >= b.yMax) break;
    const double start = left + (line.firstOfParagraph ? field.indent : 0);
    const double slack = right - start - line.width;
    double x = start, spread = 0;
    if (field.align == TextAlign::Right) {
      x = start + slack;
    } else if (field.align == TextAlign::Center) {
      x = start + slack / 2;
    } else if (field.align == TextAlign::Justify && !line.lastOfParagraph && slack > 0) {
      std::size_t gaps = 0, inkedEnd = line.begin;
      for (std::size_t i = line.begin; i < line.end; ++i) {
        if (!IsBlank(chars[i].code)) inkedEnd = i + 1;
      }
      for (std::size_t i = line.begin; i < inkedEnd; ++i) gaps += IsBlank(chars[i].code) ? 1 : 0;
      if (gaps > 0) spread = slack / static_cast<double>(gaps);
    }
    inkLeft = std::min(inkLeft, x - field.leftMargin - kEditTextGutter);
    inkRight = std::max(inkRight, x + line.width + field.rightMargin + kEditTextGutter);
    for (std::size_t i = line.begin; i < line.end; ++i) {
      const FieldChar& c = chars[i];
      const bool beside = x + c.glyph.advance <= b.xMin || x >= b.xMax;
      if (c.glyph.shape != nullptr && (field.autoSize || !beside))
        layout.glyphs.push_back({c.glyph.shape, GlyphMatrix(x, baseline, c.glyph.scale), c.color, c.glyph.held});
      x += c.glyph.advance + (IsBlank(c.code) ? spread : 0);
    }
    inkBottom = std::max(inkBottom, baseline + font.Descent() + kEditTextGutter);
    baseline += lineHeight;
  }
  if (field.border || field.background) {
    TwipRect frame = b;
    if (field.autoSize) {
      frame.xMin = Twips(std::floor(inkLeft), frame.xMin);
      frame.xMax = Twips(std::ceil(inkRight), frame.xMax);
      frame.yMax = Twips(std::ceil(inkBottom), frame.yMax);
    }
    if (field.background) layout.background = FieldBoxShape(frame, field.backgroundColor, std::nullopt);
    if (field.border) layout.border = FieldBoxShape(frame, std::nullopt, field.borderColor);
  }
  return layout;
}

}  // namespace dc::swf

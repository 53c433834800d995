// The LED display's properties, render pass and automatic size.
#include "led/led_model.h"

namespace dc::led {

std::uint32_t NoSystemColours(std::uint32_t colour) { return colour & 0x00FFFFFF; }

Effect LedModel::SetWordWidth(std::int32_t v) {
  if (v == wordWidth_ || v <= 2 * thick_) return Effect::None;
  wordWidth_ = v;
  return Effect::Repaint;
}

Effect LedModel::SetWordHeight(std::int32_t v) {
  if (v == wordHeight_ || v < 4 * thick_) return Effect::None;
  // The middle row of an odd height is (h - 1) / 2.
  wordHeight_ = v % 2 == 0 ? v + 1 : v;
  return Effect::Repaint;
}

Effect LedModel::SetThick(std::int32_t v) {
  if (v == thick_ || 2 * v >= wordWidth_ || 4 * v > wordHeight_ || wordHeight_ % 2 == 0) return Effect::None;
  thick_ = v;
  return Effect::Repaint;
}

Effect LedModel::SetText(const std::string& v) {
  if (v == text_) return Effect::None;
  text_ = v;
  return Effect::DrawNow;
}

std::optional<Size> LedModel::SetAutoSize(bool v) {
  if (v == autoSize_) return std::nullopt;
  autoSize_ = v;
  const std::int32_t cw = TextWidth();
  if (!v || size.width == cw) return std::nullopt;
  return Size{cw, 2 * offSetY_ + wordHeight_};
}

CellText SplitDecimalPoint(const std::string& text) {
  CellText out{text, -1};
  std::size_t dot = text.find('.');
  if (dot != std::string::npos) {
    out.cells.erase(dot, 1);
    out.pointAfter = static_cast<std::int32_t>(dot) - 1;  // -1 for a leading "."
  }
  return out;
}

std::int32_t LedModel::TextWidth() const {
  const auto n = static_cast<std::int32_t>(SplitDecimalPoint(text_).cells.size());
  return n * wordWidth_ + (n - 1) * space_ + 2 * offSetX_;
}

std::optional<Size> LedModel::SizeAfterPass() const {
  if (!autoSize_ || !visible) return std::nullopt;
  const std::int32_t cw = TextWidth();
  // The comparison is with cw + 1 while the width set is cw.
  if (size.width == cw + 1) return std::nullopt;
  Size next{cw, 2 * offSetY_ + wordHeight_};
  if (next == size) return std::nullopt;
  return next;
}

void DrawCell(PixelTarget& target, const LedModel& m, std::int32_t x0, std::int32_t y0, char c, bool point,
              ColourResolver resolve) {
  const CellShapes shapes = CalcCellShapes(x0, y0, m.WordWidth(), m.WordHeight(), m.Thick());
  auto draw = [&](int shape, std::uint32_t colour) { FillPolygon(target, shapes[shape], ColourToPixel(resolve(colour))); };
  if (m.DarkColor() != m.BGColor()) {
    if (c == ':') {
      draw(kUpperDot, m.DarkColor());
      draw(kLowerDot, m.DarkColor());
    } else {
      for (char s : kAllSegments) draw(s - '0', m.DarkColor());
      draw(kPoint, m.DarkColor());
    }
  }
  if (c == ' ' || m.LightColor() == m.BGColor()) return;
  if (c == ':') {
    draw(kUpperDot, m.LightColor());
    draw(kLowerDot, m.LightColor());
    return;
  }
  for (char s : SegmentList(c)) draw(s - '0', m.LightColor());
  if (point && c >= '0' && c <= '9') draw(kPoint, m.LightColor());
}

void LedModel::Render(PixelTarget& target, ColourResolver resolve) const {
  if (!visible) return;
  target.Fill(ColourToPixel(resolve(bgColor_)));
  const CellText t = SplitDecimalPoint(text_);
  for (std::size_t k = 0; k < t.cells.size(); ++k) {
    const auto x = offSetX_ + static_cast<std::int32_t>(k) * (wordWidth_ + space_);
    DrawCell(target, *this, x, offSetY_, t.cells[k], static_cast<std::int32_t>(k) == t.pointAfter, resolve);
  }
}

}  // namespace dc::led

// The LED display's properties, render pass and automatic size.
#include "led/led_model.h"

namespace dc::led {
namespace {

void CheckRange(const char* what, std::int32_t v) {
  if (v < 0 || v > kMaxPixels) {
    throw LedValueError("The LED display's " + std::string(what) + " " + std::to_string(v) + " is outside 0 to " +
                        std::to_string(kMaxPixels) + ".");
  }
}

}  // namespace

Effect LedModel::SetMarginX(std::int32_t v) {
  CheckRange("left margin", v);
  return Store(marginX_, v);
}

Effect LedModel::SetMarginY(std::int32_t v) {
  CheckRange("top margin", v);
  return Store(marginY_, v);
}

Effect LedModel::SetGap(std::int32_t v) {
  CheckRange("digit gap", v);
  return Store(gap_, v);
}

Effect LedModel::SetCellWidth(std::int32_t v) {
  CheckRange("digit width", v);
  if (v == cellWidth_ || v <= 2 * thickness_) return Effect::None;
  cellWidth_ = v;
  return Effect::Repaint;
}

Effect LedModel::SetCellHeight(std::int32_t v) {
  CheckRange("digit height", v);
  if (v == cellHeight_ || v < 4 * thickness_) return Effect::None;
  // The middle row of an odd height is (h - 1) / 2.
  cellHeight_ = v % 2 == 0 ? v + 1 : v;
  return Effect::Repaint;
}

Effect LedModel::SetThickness(std::int32_t v) {
  CheckRange("segment thickness", v);
  if (v == thickness_ || 2 * v >= cellWidth_ || 4 * v > cellHeight_ || cellHeight_ % 2 == 0) return Effect::None;
  thickness_ = v;
  return Effect::Repaint;
}

Effect LedModel::SetText(const std::string& v) {
  if (v.size() > kMaxTextLength) {
    throw LedValueError("The LED display cannot show a text of " + std::to_string(v.size()) +
                        " characters (at most " + std::to_string(kMaxTextLength) + ").");
  }
  if (v == text_) return Effect::None;
  text_ = v;
  return Effect::DrawNow;
}

std::optional<Size> LedModel::SetAutoSize(bool v) {
  if (v == autoSize_) return std::nullopt;
  autoSize_ = v;
  const std::int32_t cw = TextWidth();
  if (!v || size.width == cw) return std::nullopt;
  return Size{cw, 2 * marginY_ + cellHeight_};
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
  // Every term is at most kMaxTextLength x kMaxPixels: no overflow.
  const auto n = static_cast<std::int32_t>(SplitDecimalPoint(text_).cells.size());
  return n * cellWidth_ + (n - 1) * gap_ + 2 * marginX_;
}

std::optional<Size> LedModel::SizeAfterPass() const {
  if (!autoSize_ || !visible) return std::nullopt;
  const std::int32_t cw = TextWidth();
  // The comparison is with cw + 1 while the width set is cw.
  if (size.width == cw + 1) return std::nullopt;
  Size next{cw, 2 * marginY_ + cellHeight_};
  if (next == size) return std::nullopt;
  return next;
}

void DrawCell(PixelTarget& target, const LedModel& m, std::int32_t x0, std::int32_t y0, char c, bool point,
              ColourResolver resolve) {
  const CellShapes shapes = CalcCellShapes(x0, y0, m.CellWidth(), m.CellHeight(), m.Thickness());
  auto draw = [&](int shape, std::uint32_t colour) { FillPolygon(target, shapes[shape], ColourToPixel(resolve(colour))); };
  if (m.UnlitColour() != m.Background()) {
    if (c == ':') {
      draw(kUpperDot, m.UnlitColour());
      draw(kLowerDot, m.UnlitColour());
    } else {
      for (char s : kAllSegments) draw(s - '0', m.UnlitColour());
      draw(kPoint, m.UnlitColour());
    }
  }
  if (c == ' ' || m.LitColour() == m.Background()) return;
  if (c == ':') {
    draw(kUpperDot, m.LitColour());
    draw(kLowerDot, m.LitColour());
    return;
  }
  for (char s : SegmentList(c)) draw(s - '0', m.LitColour());
  if (point && c >= '0' && c <= '9') draw(kPoint, m.LitColour());
}

void LedModel::Render(PixelTarget& target, ColourResolver resolve) const {
  if (!visible) return;
  target.Fill(ColourToPixel(resolve(background_)));
  if (marginY_ >= target.height) return;  // every cell lies below the surface
  const CellText t = SplitDecimalPoint(text_);
  for (std::size_t k = 0; k < t.cells.size(); ++k) {
    const std::int64_t x = marginX_ + static_cast<std::int64_t>(k) * (cellWidth_ + gap_);
    if (x >= target.width) break;  // this cell and every later one lie right of the surface
    DrawCell(target, *this, static_cast<std::int32_t>(x), marginY_, t.cells[k], static_cast<std::int32_t>(k) == t.pointAfter,
             resolve);
  }
}

}  // namespace dc::led

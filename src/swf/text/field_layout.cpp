// Breaking a field's runs into measured lines.
#include "swf/text/field_layout.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace dc::swf {
namespace {

std::int32_t Twips(double px) {
  if (!std::isfinite(px)) return 0;
  return static_cast<std::int32_t>(std::lround(std::clamp(px, -1e7, 1e7) * 20));
}

bool IsSpace(char32_t c) { return c == U' '; }

const Font* FontOf(const TextFormat& f, const FieldFrame& frame, const FontLibrary& fonts) {
  return frame.embedFonts ? fonts.FindForEmbedding(f.font, f.bold, f.italic) : nullptr;
}

// The next tab stop past `pen` (twips from the paragraph's margin): the
// paragraph's own stops, then none (a tab past the last stop moves the pen
// no further); without stops, every kDefaultTabInterval.
std::int32_t NextTabStop(const std::vector<double>& stops, std::int32_t pen) {
  if (stops.empty()) return (pen / kDefaultTabInterval + 1) * kDefaultTabInterval;
  for (double stop : stops) {
    const std::int32_t at = Twips(stop);
    if (at > pen) return at;
  }
  return pen;
}

class Breaker {
 public:
  Breaker(const FieldDocument& doc, const TextFormat& empty, const FieldFrame& frame, const FontLibrary& fonts)
      : doc_(doc), text_(doc.Text()), empty_(empty), frame_(frame) {
    const auto& runs = doc.Runs();
    faces_.reserve(runs.size());
    runStart_.reserve(runs.size() + 1);
    std::size_t pos = 0;
    for (const auto& run : runs) {
      faces_.emplace_back(fonts, FontOf(run.format, frame, fonts), run.format.size, run.format.font, run.format.bold,
                          run.format.italic);
      runStart_.push_back(pos);
      pos += run.length;
    }
    runStart_.push_back(pos);
    emptyFace_.emplace(fonts, FontOf(empty, frame, fonts), empty.size, empty.font, empty.bold, empty.italic);
    out_.advances.resize(text_.size(), 0);
    // Each character's own advance; tabs are set per line.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      while (run + 1 < runs.size() && i >= runStart_[run + 1]) ++run;
      const char32_t c = text_[i];
      if (c == U'\r' || c == U'\t') continue;
      out_.advances[i] = faces_[run].Advance(frame.password ? U'*' : c) + Twips(runs[run].format.letterSpacing);
    }
  }

  FieldLayout Run() {
    std::size_t pos = 0;
    std::size_t run = 0;
    do {
      std::size_t end = pos;
      while (end < text_.size() && text_[end] != U'\r') ++end;
      LayParagraph(pos, end, run);
      pos = end + 1;
    } while (pos <= text_.size());
    Finish();
    return std::move(out_);
  }

 private:
  const TextFormat& FormatAt(std::size_t i, std::size_t& run) const {
    const auto& runs = doc_.Runs();
    if (runs.empty()) return empty_;
    while (run + 1 < runs.size() && i >= runStart_[run + 1]) ++run;
    return runs[run].format;
  }

  // Characters [begin, end) and the '\r' at `end`, if there is one.
  void LayParagraph(std::size_t begin, std::size_t end, std::size_t& run) {
    const TextFormat& para = FormatAt(begin, run);
    const std::int32_t margin =
        Twips(para.leftMargin) + Twips(para.blockIndent) + (para.bullet ? kBulletIndent : 0);
    const std::int32_t room = frame_.width - 2 * kFieldGutter - margin - Twips(para.rightMargin);
    const std::size_t stop = std::min(end + 1, text_.size());  // past the '\r'
    std::size_t pos = begin;
    bool first = true;
    do {
      const std::int32_t indent = first ? Twips(para.indent) : 0;
      const std::int32_t avail = room - indent;
      std::int32_t pen = 0;
      std::size_t breakAt = pos, lineEnd = end;
      for (std::size_t i = pos; i < end; ++i) {
        const char32_t c = text_[i];
        if (c == U'\t') {
          std::size_t r = run;
          const TextFormat& f = FormatAt(i, r);
          out_.advances[i] = NextTabStop(para.tabStops, pen + indent) - (pen + indent) + Twips(f.letterSpacing);
        }
        const std::int32_t advance = out_.advances[i];
        if (!IsSpace(c) && i > pos) {
          if (IsSpace(text_[i - 1])) breakAt = i;
          if (frame_.wordWrap && pen + advance > avail) {
            lineEnd = breakAt > pos ? breakAt : i;
            break;
          }
        }
        pen += advance;
      }
      const std::size_t next = lineEnd == end ? stop : lineEnd;
      AddLine(pos, next, lineEnd, para, margin + indent, margin + indent + Twips(para.rightMargin), lineEnd == end);
      out_.lines.back().bullet = first && para.bullet;
      pos = next;
      first = false;
    } while (pos < end);
  }

  // A line of characters [begin, next) whose text ends at `inkEnd`.
  void AddLine(std::size_t begin, std::size_t next, std::size_t inkEnd, const TextFormat& para, std::int32_t left,
               std::int32_t inset, bool lastOfParagraph) {
    LaidLine line;
    line.begin = begin;
    line.end = next;
    line.align = para.align;
    line.lastOfParagraph = lastOfParagraph;
    line.left = left;
    line.inset = inset;
    line.leading = Twips(para.leading);
    std::int32_t width = 0;
    for (std::size_t i = begin; i < inkEnd; ++i) {
      width += out_.advances[i];
      if (!IsSpace(text_[i])) line.inked = width;
    }
    for (std::size_t i = begin, seen = 0; i < inkEnd; ++i) {
      seen += static_cast<std::size_t>(std::max(0, out_.advances[i]));
      if (IsSpace(text_[i]) && static_cast<std::int64_t>(seen) < line.inked) ++line.gaps;
    }
    line.width = para.align == TextAlign::Left || frame_.trailingSpacesAlways ? width : line.inked;
    // The tallest font of the line's characters sets its height.
    if (begin < text_.size()) {
      std::size_t r = RunOf(begin);
      line.run = r;
      const std::size_t last = std::max(begin + 1, next);
      for (; r < faces_.size() && runStart_[r] < last; ++r) {
        line.ascent = std::max(line.ascent, faces_[r].Ascent());
        line.descent = std::max(line.descent, faces_[r].Descent());
      }
    } else {
      const FontFace& face = faces_.empty() ? *emptyFace_ : faces_.back();
      line.run = faces_.empty() ? 0 : faces_.size() - 1;
      line.ascent = face.Ascent();
      line.descent = face.Descent();
    }
    out_.lines.push_back(line);
  }

  std::size_t RunOf(std::size_t i) const {
    const auto it = std::upper_bound(runStart_.begin(), runStart_.end() - 1, i);
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, it - runStart_.begin() - 1));
  }

  void Finish() {
    std::int32_t top = 0;
    for (LaidLine& line : out_.lines) {
      line.top = top;
      top += line.Height();
      out_.textWidth = std::max(out_.textWidth, line.width);
    }
    if (!text_.empty() && !out_.lines.empty())
      out_.textHeight = top - (out_.lines.size() > 1 ? out_.lines.back().leading : 0);
  }

  const FieldDocument& doc_;
  const std::u32string& text_;
  const TextFormat& empty_;
  const FieldFrame& frame_;
  std::vector<FontFace> faces_;
  std::optional<FontFace> emptyFace_;
  std::vector<std::size_t> runStart_;
  FieldLayout out_;
};

}  // namespace

FieldLayout LayOutField(const FieldDocument& doc, const TextFormat& empty, const FieldFrame& frame,
                        const FontLibrary& fonts) {
  FieldLayout layout = Breaker(doc, empty, frame, fonts).Run();
  AlignLines(layout, frame.width);
  return layout;
}

void AlignLines(FieldLayout& layout, std::int32_t width) {
  for (LaidLine& line : layout.lines) {
    const std::int32_t slack = width - 2 * kFieldGutter - line.inset - line.inked;
    line.x = line.left;
    line.spread = 0;
    switch (line.align) {
      case TextAlign::Left: break;
      case TextAlign::Right: line.x += slack; break;
      case TextAlign::Center: line.x += slack / 2; break;
      case TextAlign::Justify:
        if (!line.lastOfParagraph && slack > 0 && line.gaps > 0) line.spread = slack / line.gaps;
        break;
    }
  }
}

}  // namespace dc::swf

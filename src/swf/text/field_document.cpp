// Runs of formatted characters: replaced, read and formatted by range.
#include "swf/text/field_document.h"

#include <algorithm>

#include "base/utf8.h"
#include "swf/text/field_text.h"

namespace dc::swf {

PartialTextFormat PartialTextFormat::Of(const TextFormat& f) {
  PartialTextFormat p;
  p.font = f.font, p.size = f.size, p.color = f.color, p.bold = f.bold, p.italic = f.italic;
  p.underline = f.underline, p.url = f.url, p.target = f.target, p.letterSpacing = f.letterSpacing;
  p.kerning = f.kerning, p.align = f.align, p.leftMargin = f.leftMargin, p.rightMargin = f.rightMargin;
  p.indent = f.indent, p.blockIndent = f.blockIndent, p.leading = f.leading, p.bullet = f.bullet;
  p.tabStops = f.tabStops;
  return p;
}

TextFormat PartialTextFormat::Over(TextFormat f) const {
  const auto put = [](auto& field, const auto& given) {
    if (given) field = *given;
  };
  put(f.font, font), put(f.size, size), put(f.color, color), put(f.bold, bold), put(f.italic, italic);
  put(f.underline, underline), put(f.url, url), put(f.target, target), put(f.letterSpacing, letterSpacing);
  put(f.kerning, kerning), put(f.align, align), put(f.leftMargin, leftMargin), put(f.rightMargin, rightMargin);
  put(f.indent, indent), put(f.blockIndent, blockIndent), put(f.leading, leading), put(f.bullet, bullet);
  put(f.tabStops, tabStops);
  return f;
}

void PartialTextFormat::Intersect(const TextFormat& f) {
  const auto keep = [](auto& field, const auto& other) {
    if (field && !(*field == other)) field.reset();
  };
  keep(font, f.font), keep(size, f.size), keep(color, f.color), keep(bold, f.bold), keep(italic, f.italic);
  keep(underline, f.underline), keep(url, f.url), keep(target, f.target), keep(letterSpacing, f.letterSpacing);
  keep(kerning, f.kerning), keep(align, f.align), keep(leftMargin, f.leftMargin), keep(rightMargin, f.rightMargin);
  keep(indent, f.indent), keep(blockIndent, f.blockIndent), keep(leading, f.leading), keep(bullet, f.bullet);
  keep(tabStops, f.tabStops);
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::string FieldDocument::Utf8() const { return EncodeUtf8(text_); }

void FieldDocument::Set(std::u32string text, const TextFormat& format) {
  text_ = std::move(text);
  runs_.clear();
  if (!text_.empty()) runs_.push_back({text_.size(), format});
}

void FieldDocument::Append(std::u32string_view text, const TextFormat& format) {
  if (text.empty()) return;
  text_.append(text);
  if (!runs_.empty() && runs_.back().format == format) runs_.back().length += text.size();
  else runs_.push_back({text.size(), format});
}

void FieldDocument::Replace(std::size_t begin, std::size_t end, std::u32string_view text, const TextFormat& format) {
  end = std::min(end, text_.size());
  begin = std::min(begin, end);
  text_.replace(begin, end - begin, text);
  // The runs: what lies before `begin`, the new run, what lies after `end`.
  std::vector<Run> out;
  std::size_t pos = 0;
  bool placed = false;
  for (const Run& run : runs_) {
    const std::size_t runEnd = pos + run.length;
    if (pos < begin) out.push_back({std::min(runEnd, begin) - pos, run.format});
    if (!placed && runEnd >= begin) {
      if (!text.empty()) out.push_back({text.size(), format});
      placed = true;
    }
    if (runEnd > end) out.push_back({runEnd - std::max(pos, end), run.format});
    pos = runEnd;
  }
  if (!placed && !text.empty()) out.push_back({text.size(), format});
  runs_ = std::move(out);
  Normalize();
}

const TextFormat* FieldDocument::FormatAt(std::size_t index) const {
  if (runs_.empty()) return nullptr;
  std::size_t pos = 0;
  for (const Run& run : runs_) {
    pos += run.length;
    if (index < pos) return &run.format;
  }
  return &runs_.back().format;
}

PartialTextFormat FieldDocument::FormatOf(std::size_t begin, std::size_t end) const {
  end = std::min(end, text_.size());
  if (begin >= end) return {};
  std::optional<PartialTextFormat> out;
  std::size_t pos = 0;
  for (const Run& run : runs_) {
    const std::size_t runEnd = pos + run.length;
    if (runEnd > begin && pos < end) {
      if (!out) out = PartialTextFormat::Of(run.format);
      else out->Intersect(run.format);
    }
    pos = runEnd;
  }
  return out.value_or(PartialTextFormat{});
}

void FieldDocument::Apply(std::size_t begin, std::size_t end, const PartialTextFormat& format) {
  end = std::min(end, text_.size());
  if (begin >= end) return;
  // Paragraph fields cover the whole paragraphs the range touches.
  PartialTextFormat paragraph;
  paragraph.align = format.align, paragraph.leftMargin = format.leftMargin;
  paragraph.rightMargin = format.rightMargin, paragraph.indent = format.indent;
  paragraph.blockIndent = format.blockIndent, paragraph.leading = format.leading;
  paragraph.bullet = format.bullet, paragraph.tabStops = format.tabStops;
  std::size_t paraBegin = begin, paraEnd = end;
  if (format.HasParagraphFields()) {
    while (paraBegin > 0 && text_[paraBegin - 1] != U'\r') --paraBegin;
    while (paraEnd < text_.size() && text_[paraEnd - 1] != U'\r') ++paraEnd;
  }
  // Split the runs at the four points, then apply.
  std::vector<Run> out;
  out.reserve(runs_.size() + 4);
  std::size_t pos = 0;
  const std::size_t cuts[] = {paraBegin, begin, end, paraEnd};
  for (const Run& run : runs_) {
    std::size_t from = pos;
    const std::size_t runEnd = pos + run.length;
    while (from < runEnd) {
      std::size_t to = runEnd;
      for (std::size_t c : cuts)
        if (c > from && c < to) to = c;
      TextFormat f = run.format;
      if (from >= begin && to <= end) f = format.Over(f);
      else if (from >= paraBegin && to <= paraEnd) f = paragraph.Over(f);
      out.push_back({to - from, std::move(f)});
      from = to;
    }
    pos = runEnd;
  }
  runs_ = std::move(out);
  Normalize();
}

void FieldDocument::Normalize() {
  std::vector<Run> out;
  out.reserve(runs_.size());
  for (Run& run : runs_) {
    if (run.length == 0) continue;
    if (!out.empty() && out.back().format == run.format) out.back().length += run.length;
    else out.push_back(std::move(run));
  }
  runs_ = std::move(out);
}

}  // namespace dc::swf

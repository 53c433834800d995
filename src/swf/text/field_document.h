// A text field's characters with their formats, as runs. Paragraphs end in
// '\r' (the break Flash keeps); a paragraph's format is its first
// character's, and setting a paragraph field on a range sets it on the
// whole paragraphs the range touches. Every change costs the length of the
// text and the number of runs, never more.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "swf/text/text_format.h"

namespace dc::swf {

class FieldDocument {
 public:
  struct Run {
    std::size_t length = 0;
    TextFormat format;
  };

  const std::u32string& Text() const { return text_; }
  std::size_t Length() const { return text_.size(); }
  const std::vector<Run>& Runs() const { return runs_; }
  std::string Utf8() const;

  // The whole text, every character in `format`.
  void Set(std::u32string text, const TextFormat& format);
  // Characters [begin, end) replaced by `text` in `format` (indices clamped).
  void Replace(std::size_t begin, std::size_t end, std::u32string_view text, const TextFormat& format);
  // Appends in `format` (the HTML reader builds a document this way).
  void Append(std::u32string_view text, const TextFormat& format);

  // The format at `index` (the last character's past the end); null when
  // the text is empty.
  const TextFormat* FormatAt(std::size_t index) const;
  // What [begin, end) agrees on; every field unset for an empty range.
  PartialTextFormat FormatOf(std::size_t begin, std::size_t end) const;
  void Apply(std::size_t begin, std::size_t end, const PartialTextFormat& format);

 private:
  void Normalize();
  std::u32string text_;
  std::vector<Run> runs_;
};

// Characters to UTF-8 (DecodeUtf8 in field_text.h reads them back).
std::string EncodeUtf8(std::u32string_view text);

}  // namespace dc::swf

// clockpack preview: the clock drawn as it shows on a desktop, at a chosen
// time, frame and screen scale, without Windows: the face (picture or
// movie) and the LED digits where the window puts them, cut to the window's
// shape, at the window's opacity.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/time_text.h"

namespace clockpack {

struct PreviewOptions {
  dc::CivilDateTime time{2026, 12, 9, 10, 8, 30};
  // The movie's frame, from 1; 0 is what a user sees after one second of
  // play (a frame-1 script that turns the hands in onEnterFrame has not
  // turned them yet on frame 1).
  std::uint32_t frame = 0;
  dc::TimeFormat format;    // the digits' time format (the Windows default: "h:mm:ss tt")
  int dpi = 96;             // the screen's scale: 96 is 100 %, 144 is 150 %
};

struct PreviewImage {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // rows top-down; alpha 0 outside the shape, the opacity inside
  std::vector<std::string> warnings;  // what the clock would show in a box or leave out
};

// Throws ToolError for bytes that are no clock package the player shows.
PreviewImage RenderPreview(std::span<const std::uint8_t> package, const PreviewOptions& options);

std::vector<std::uint8_t> EncodePng(const PreviewImage& image);

// A Windows long time picture as the digits use it: "h:mm:ss tt",
// "HH:mm:ss", "tt hh:mm:ss" and the like (the hour's h or H, one or two;
// the separator after it; tt before or after). Throws ToolError.
dc::TimeFormat ParseTimeFormat(const std::string& picture);

// A screen's scale as "1.5" or "150%" (50 % to 500 %), as the DPI of
// such a screen (96 x the scale, to the nearest); throws ToolError.
int ParsePreviewScale(const std::string& text);

// "HH:MM:SS" (24-hour) onto a date; throws ToolError for anything else.
dc::CivilDateTime ParsePreviewTime(const std::string& text, dc::CivilDateTime date);

}  // namespace clockpack

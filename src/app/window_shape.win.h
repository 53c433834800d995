// The clock window's shape: the face picture without its key-colour
// pixels (or the Flash face's rectangle), joined with the LED display's
// rectangle, which belongs to the shape even while the digits are hidden.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "ui/handles.win.h"

namespace dc {

class WindowShape {
 public:
  // The picture's non-key pixels at the screen's scale (each pixel of the
  // scaled shape is the picture's pixel under its centre), kept at (0, 0),
  // built once per scale: the window's shape is a copy moved to wherever
  // the picture lies. Throws UserError when the system cannot make the
  // region.
  void SetPicture(std::span<const std::uint32_t> colours, std::int32_t width, std::int32_t height,
                  std::uint32_t keyColour, int dpi);

  // Cuts the window: the picture's shape at `face` (or the whole face for
  // a Flash face) and the `led` rectangle. A picture face without the shape
  // flag keeps its shape. Throws UserError when the region cannot be made.
  enum class Face { Picture, ShapedPicture, Flash };
  void Apply(HWND window, Face face, const RECT& faceBounds, const RECT& ledBounds) const;

 private:
  ui::UniqueRegion picture_;
};

}  // namespace dc

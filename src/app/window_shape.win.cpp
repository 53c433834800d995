// Building and applying the shape.
#include "app/window_shape.win.h"

#include <vector>

#include "layout/picture_scale.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "ui/region.win.h"

namespace dc {
namespace {

UserError ShapeError() { return UserError("The clock's shape cannot be made: " + SystemErrorText(GetLastError())); }

}  // namespace

void WindowShape::SetPicture(std::span<const std::uint32_t> colours, std::int32_t width, std::int32_t height,
                             std::uint32_t keyColour, int dpi) {
  const std::vector<Rect> rects = ScaledPictureRegionRects(colours, width, height, keyColour, dpi, 0, 0);
  picture_ = ui::RegionFromRects(rects);
  if (!picture_) throw ShapeError();
}

void WindowShape::Apply(HWND window, Face face, const RECT& faceBounds, const RECT& ledBounds) const {
  ui::UniqueRegion shape;
  switch (face) {
    case Face::Picture:
      return;  // no shape flag: the window keeps its shape
    case Face::Flash:
      shape.reset(CreateRectRgnIndirect(&faceBounds));
      break;
    case Face::ShapedPicture:
      if (!picture_) return;  // the picture's shape could not be made; that was said
      shape.reset(CreateRectRgn(0, 0, 0, 0));
      if (!shape || CombineRgn(shape.get(), picture_.get(), nullptr, RGN_COPY) == ERROR) throw ShapeError();
      OffsetRgn(shape.get(), faceBounds.left, faceBounds.top);
      break;
  }
  ui::UniqueRegion led(CreateRectRgnIndirect(&ledBounds));
  if (!shape || !led || CombineRgn(shape.get(), shape.get(), led.get(), RGN_OR) == ERROR) throw ShapeError();
  if (SetWindowRgn(window, shape.get(), TRUE)) shape.release();  // the window owns it now
}

}  // namespace dc

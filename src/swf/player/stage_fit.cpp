// The stage on the face.
#include "swf/player/stage_fit.h"

#include <algorithm>
#include <cmath>

namespace dc::swf {

Matrix StageToFace(const TwipRect& stage, std::int32_t faceWidth, std::int32_t faceHeight) {
  if (stage.Empty() || faceWidth <= 0 || faceHeight <= 0) return Matrix::Scale(0, 0);
  const double sw = static_cast<double>(stage.Width()), sh = static_cast<double>(stage.Height());
  const double scale = std::min(faceWidth / sw, faceHeight / sh);
  const double left = (faceWidth - sw * scale) / 2, top = (faceHeight - sh * scale) / 2;
  return Matrix{scale, 0, 0, scale, left - stage.xMin * scale, top - stage.yMin * scale};
}

double PlayableFrameRate(double fileRate) {
  if (!std::isfinite(fileRate) || fileRate < 1) return 1;
  return std::min(fileRate, 60.0);
}

}  // namespace dc::swf

// The stage on the face: uniform scale, centred; the frame rate kept.
#include "swf/player/stage_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace dc::swf {
namespace {

struct FitCase {
  TwipRect stage;
  int faceW, faceH;
  Point topLeft, bottomRight;  // where the stage's corners land, in face pixels
};

TEST(StageFit, WholeStageScaledUniformlyAndCentred) {
  const FitCase cases[] = {
      {{0, 4000, 0, 4000}, 200, 200, {0, 0}, {200, 200}},      // 200 × 200 px stage, same face
      {{0, 4000, 0, 2000}, 100, 100, {0, 25}, {100, 75}},      // wide stage: bands above and below
      {{0, 2000, 0, 4000}, 100, 100, {25, 0}, {75, 100}},      // tall stage: bands at the sides
      {{-200, 1800, 400, 2400}, 50, 50, {0, 0}, {50, 50}},     // a stage not at the origin
      {{0, 5500, 0, 4000}, 131, 112, {0, (112 - 200 * 131 / 275.0) / 2}, {131, (112 + 200 * 131 / 275.0) / 2}},
  };
  for (const FitCase& c : cases) {
    const Matrix m = StageToFace(c.stage, c.faceW, c.faceH);
    const Point tl = m.Apply({double(c.stage.xMin), double(c.stage.yMin)});
    const Point br = m.Apply({double(c.stage.xMax), double(c.stage.yMax)});
    EXPECT_NEAR(tl.x, c.topLeft.x, 1e-9);
    EXPECT_NEAR(tl.y, c.topLeft.y, 1e-9);
    EXPECT_NEAR(br.x, c.bottomRight.x, 1e-9);
    EXPECT_NEAR(br.y, c.bottomRight.y, 1e-9);
  }
}

TEST(StageFit, EmptyStageOrFaceShowsNothing) {
  EXPECT_EQ(StageToFace({0, 0, 0, 4000}, 100, 100).a, 0);
  EXPECT_EQ(StageToFace({0, 4000, 0, 4000}, 0, 100).a, 0);
}

TEST(StageFit, FrameRateClampedToWhatAClockKeeps) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<double, double> cases[] = {{12, 12}, {0, 1}, {0.25, 1}, {60, 60}, {120, 60}, {nan, 1}, {30.5, 30.5}};
  for (auto [in, out] : cases) EXPECT_EQ(PlayableFrameRate(in), out) << in;
}

}  // namespace
}  // namespace dc::swf

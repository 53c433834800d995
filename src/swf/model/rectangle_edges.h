// A rectangle as the straight edges of a closed outline, for the boxes the
// player draws itself (a bitmap's rectangle, a text field's frame, an
// opaque background).
#pragma once

#include <vector>

#include "swf/model/shape.h"

namespace dc::swf {

// The four sides from (x0, y0) round to (x1, y1) and back.
inline std::vector<Edge> RectangleEdges(double x0, double y0, double x1, double y1) {
  const Point corners[] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  std::vector<Edge> edges;
  for (int i = 0; i < 4; ++i) edges.push_back(Edge{corners[i], corners[i], corners[(i + 1) % 4], false});
  return edges;
}

}  // namespace dc::swf

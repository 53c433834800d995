// A movie clip's drawing API canvas: the pen, the open fill and the line
// style, building a Shape in twips as the Flash player did. A fill is
// closed back to the point it started from at endFill, at the next
// beginFill and at a moveTo; the closing edge is stroked with the open line
// style too. Fills go into fill0 of their paths; strokes are paths
// of their own. A fill begun after strokes starts a new layer, so that it
// draws above them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "swf/limits.h"
#include "swf/model/shape.h"
#include "swf/model/swf_types.h"

namespace dc::swf {

// The edges of all drawings of a movie together, against
// Limits::maxDrawnEdges: one drawing may be copied onto thousands of clips.
struct EdgePool {
  std::uint64_t used = 0;
  std::uint64_t max = kDefaultLimits.maxDrawnEdges;
  bool refused = false;  // an edge or a copy was left out
  bool Allows(std::uint64_t more) const { return more <= max && used <= max - more; }
};

class Drawing {
 public:
  // Each drawing keeps to `maxEdges` edges, and all of a `pool` to its
  // total (no pool: only the first limit).
  explicit Drawing(std::uint32_t maxEdges = kDefaultLimits.maxEdgesPerShape, EdgePool* pool = nullptr)
      : maxEdges_(maxEdges), pool_(pool) {}
  // A copy charged to the same pool; empty when the pool has no room.
  Drawing(const Drawing& other);
  Drawing& operator=(const Drawing&) = delete;
  ~Drawing();
  std::size_t Edges() const { return edges_; }

  void Clear();
  // A fill with this style from the pen on (a gradient's matrix maps the
  // gradient square to twips).
  void BeginFill(const FillStyle& fill);
  void EndFill();
  void SetLineStyle(const LineStyle& line);
  void ClearLineStyle();
  // The open line style, if any, strokes with `fill` from the pen on.
  void SetLineFill(const FillStyle& fill);
  // Coordinates in pixels, as scripts give them; non-finite ones are
  // ignored.
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void CurveTo(double controlX, double controlY, double x, double y);

  // What is drawn so far, with the open fill closed, and its bounds.
  Shape Current() const;
  bool Empty() const { return shape_.paths.empty(); }

 private:
  void AddEdge(const Edge& edge);
  // Room for one more edge, taken from the pool when there is.
  bool TakeEdge();
  void CloseContour();
  static bool ToTwips(double x, double y, Point& out);

  Shape shape_;
  Point pen_, contourStart_;
  std::int32_t fill_ = -1, line_ = -1;  // open styles
  std::int32_t fillPath_ = -1, linePath_ = -1;  // paths edges go to now
  std::uint32_t layer_ = 0;
  bool strokedInLayer_ = false;
  std::size_t edges_ = 0;
  std::uint32_t maxEdges_;
  EdgePool* pool_;
};

}  // namespace dc::swf

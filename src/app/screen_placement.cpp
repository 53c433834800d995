// The clock's place across changes of the screens.
#include "app/screen_placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace dc {
namespace {

bool Overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The gap between two rectangles along one axis, 0 when they overlap on it.
std::int64_t Gap(std::int32_t aLow, std::int32_t aHigh, std::int32_t bLow, std::int32_t bHigh) {
  if (aHigh <= bLow) return static_cast<std::int64_t>(bLow) - aHigh;
  if (bHigh <= aLow) return static_cast<std::int64_t>(aLow) - bHigh;
  return 0;
}

std::int64_t DistanceSquared(const Rect& a, const Rect& b) {
  const std::int64_t dx = Gap(a.left, a.right, b.left, b.right), dy = Gap(a.top, a.bottom, b.top, b.bottom);
  return dx * dx + dy * dy;
}

// The window moved the least that puts it inside `area`; its top left
// corner wins when it is larger than the area.
Rect MovedInto(const Rect& window, const Rect& area) {
  const std::int32_t w = window.Width(), h = window.Height();
  const std::int32_t left = std::max(area.left, std::min(window.left, area.right - w));
  const std::int32_t top = std::max(area.top, std::min(window.top, area.bottom - h));
  return {left, top, left + w, top + h};
}

std::int64_t OverlapArea(const Rect& a, const Rect& b) {
  if (!Overlaps(a, b)) return 0;
  return (std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left)) *
         (std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top));
}

const Monitor* Nearest(const Rect& window, const std::vector<Monitor>& monitors) {
  const Monitor* nearest = nullptr;
  std::int64_t best = std::numeric_limits<std::int64_t>::max();
  for (const Monitor& m : monitors) {
    const std::int64_t d = DistanceSquared(window, m.bounds);
    if (d < best) {
      best = d;
      nearest = &m;
    }
  }
  return nearest;
}

}  // namespace

const Monitor* PrimaryMonitor(const std::vector<Monitor>& monitors) {
  for (const Monitor& m : monitors)
    if (m.primary) return &m;
  return monitors.empty() ? nullptr : &monitors.front();
}

const Monitor* MonitorOf(const Rect& window, const std::vector<Monitor>& monitors) {
  const Monitor* most = nullptr;
  std::int64_t best = 0;
  for (const Monitor& m : monitors) {
    const std::int64_t area = OverlapArea(window, m.bounds);
    if (area > best) {
      best = area;
      most = &m;
    }
  }
  return most ? most : Nearest(window, monitors);
}

Rect HomePlace(const Rect& window, const std::vector<Monitor>& monitors) {
  const Monitor* primary = PrimaryMonitor(monitors);
  if (!primary) return window;
  const std::int32_t w = window.Width(), h = window.Height();
  const std::int32_t left = primary->bounds.right - w,
                     top = primary->bounds.bottom - h - ScaleLength(kHomeBottomMargin, primary->dpi);
  return {left, top, left + w, top + h};
}

Rect PlaceAfterScreenChange(const Rect& window, bool atHome, const std::vector<Monitor>& monitors) {
  if (monitors.empty()) return window;  // nothing to measure against: stay
  if (atHome) return HomePlace(window, monitors);
  for (const Monitor& m : monitors)
    if (Overlaps(window, m.bounds)) return window;
  return MovedInto(window, Nearest(window, monitors)->work);
}

}  // namespace dc

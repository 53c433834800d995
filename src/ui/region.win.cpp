// Building large regions.
#include "ui/region.h"

#include <vector>

namespace dc::ui {
namespace {

HRGN OneCall(std::span<const Rect> rects) {
  if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
  std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
  RECT bound{rects[0].left, rects[0].top, rects[0].right, rects[0].bottom};
  auto* out = reinterpret_cast<RECT*>(rgn->Buffer);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    out[i] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    UnionRect(&bound, &bound, &out[i]);
  }
  rgn->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(rects.size()),
              static_cast<DWORD>(rects.size() * sizeof(RECT)), bound};
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgn);
}

}  // namespace

HRGN RegionFromRects(std::span<const Rect> rects, std::size_t rectsPerCall) {
  if (rects.size() <= rectsPerCall) return OneCall(rects);
  std::vector<HRGN> parts;
  for (std::size_t at = 0; at < rects.size(); at += rectsPerCall) {
    HRGN part = OneCall(rects.subspan(at, std::min(rectsPerCall, rects.size() - at)));
    if (!part) {
      for (HRGN p : parts) DeleteObject(p);
      return nullptr;
    }
    parts.push_back(part);
  }
  // Pairwise joins: every rectangle is copied about log2(parts) times.
  while (parts.size() > 1) {
    std::vector<HRGN> next;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
      CombineRgn(parts[i], parts[i], parts[i + 1], RGN_OR);
      DeleteObject(parts[i + 1]);
      next.push_back(parts[i]);
    }
    if (parts.size() % 2) next.push_back(parts.back());
    parts.swap(next);
  }
  return parts[0];
}

}  // namespace dc::ui

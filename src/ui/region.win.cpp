// Building large regions.
#include "ui/region.win.h"

#include <vector>

namespace dc::ui {
namespace {

UniqueRegion OneCall(std::span<const Rect> rects) {
  if (rects.empty()) return UniqueRegion(CreateRectRgn(0, 0, 0, 0));
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
  return UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgn));
}

}  // namespace

UniqueRegion RegionFromRects(std::span<const Rect> rects, std::size_t rectsPerCall) {
  if (rects.size() <= rectsPerCall) return OneCall(rects);
  std::vector<UniqueRegion> parts;
  parts.reserve((rects.size() + rectsPerCall - 1) / rectsPerCall);
  for (std::size_t at = 0; at < rects.size(); at += rectsPerCall) {
    UniqueRegion part = OneCall(rects.subspan(at, std::min(rectsPerCall, rects.size() - at)));
    if (!part) return {};
    parts.push_back(std::move(part));
  }
  // Pairwise joins: every rectangle is copied about log2(parts) times.
  while (parts.size() > 1) {
    std::vector<UniqueRegion> next;
    next.reserve(parts.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
      if (CombineRgn(parts[i].get(), parts[i].get(), parts[i + 1].get(), RGN_OR) == ERROR) return {};
      next.push_back(std::move(parts[i]));
    }
    if (parts.size() % 2) next.push_back(std::move(parts.back()));
    parts.swap(next);
  }
  return std::move(parts[0]);
}

}  // namespace dc::ui

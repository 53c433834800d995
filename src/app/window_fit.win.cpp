// Fitting the window to its children, over the core's rule.
#include "app/window_fit.win.h"

#include <vector>

#include "layout/window_layout.h"

namespace dc {

RECT BoundsIn(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void FitWindowToChildren(HWND window, std::initializer_list<HWND> handles) {
  std::vector<HWND> kids;
  std::vector<Child> children;
  for (HWND h : handles) {
    if (!h) continue;
    const RECT r = BoundsIn(h, window);
    kids.push_back(h);
    children.push_back({{r.left, r.top, r.right, r.bottom}, (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0});
  }
  const FitResult fit = FitToChildren(children);
  if (fit.width <= 0 || fit.height <= 0) return;
  if (fit.dx || fit.dy) {
    for (std::size_t i = 0; i < kids.size(); ++i) {
      if (!children[i].visible) continue;  // hidden children are not moved
      SetWindowPos(kids[i], nullptr, children[i].bounds.left + fit.dx, children[i].bounds.top + fit.dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  RECT client{};
  GetClientRect(window, &client);
  if (client.right != fit.width || client.bottom != fit.height)
    SetWindowPos(window, nullptr, 0, 0, fit.width, fit.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace dc

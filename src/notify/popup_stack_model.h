// The pile of open popups along a corner of the work area, as a model over
// window rectangles: the Windows side moves the real windows to where this
// says.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/geometry.h"
#include "notify/popup_config.h"

namespace dc::notify {

struct StackWindow {
  int id;
  std::int32_t left, top, width, height;
  bool visible = true;
  bool pointerInside = false;
};

class PopupStackModel {
 public:
  PopupPosition position = PopupPosition::BottomRight;

  // Appends the window and arranges.
  void AddAlert(const StackWindow& w, const Rect& work);
  // Leaves an empty slot, moves later windows without the pointer down into
  // the nearest empty slots below them, drops empty slots at the end, then
  // arranges. Unknown ids are ignored.
  void RemoveAlert(int id, const Rect& work);
  // Places the visible windows from the corner outward; windows with the
  // pointer inside or already in place are not moved. Other positions move
  // nothing.
  void ArrangeAlerts(const Rect& work);

  // The window's current rectangle, kept by the model, and the pointer flag
  // the Windows side updates.
  StackWindow* Find(int id);
  const std::vector<std::optional<StackWindow>>& Slots() const { return slots_; }

 private:
  std::vector<std::optional<StackWindow>> slots_;
};

}  // namespace dc::notify

// The clock's popup menu, built once and updated from the clock's state.
#pragma once

#include <windows.h>

#include "app/clock_menu.h"
#include "ui/handles.win.h"

namespace dc {

class ClockMenu {
 public:
  // Throws UserError when the menu cannot be made.
  ClockMenu();
  HMENU Handle() const { return menu_.get(); }
  // The caption of the show/hide item and the two check marks.
  void Show(const ClockState& state);

 private:
  ui::UniqueMenu menu_;
};

}  // namespace dc

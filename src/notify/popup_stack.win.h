// The shared pile of open popups: the windows follow where the stack model
// places them along a corner of the work area.
#pragma once

#include <windows.h>

#include <vector>

#include "notify/popup_stack_model.h"

namespace dc::notify {

class AlarmPopupWindow;

// The desktop work area, or the screen when the platform refuses.
RECT WorkArea();

class PopupStack {
 public:
  static PopupStack& Shared();
  void AddAlert(AlarmPopupWindow& window);
  void RemoveAlert(AlarmPopupWindow& window);
  void ArrangeAlerts();
  PopupPosition Position() const { return model_.position; }
  void SetPosition(PopupPosition p) { model_.position = p; }

 private:
  void Sync();   // the windows' sizes, visibility and pointer flags into the model
  void Apply();  // the model's places onto the windows
  PopupStackModel model_;
  std::vector<AlarmPopupWindow*> windows_;
};

}  // namespace dc::notify

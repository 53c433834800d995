// AlarmEditorDialog: the modal editor of one alarm, its kind, title, to-do
// text, time, and the date or weekday its kind needs. It works on its own
// record and never touches the store.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "alarms/alarm_editing.h"
#include "alarms/alarm_record.h"
#include "ui/dialog.win.h"

namespace dc {

class AlarmEditorDialog : public ui::Dialog {
 public:
  enum Id : int { kKind = 201, kTitle, kTodo, kTime, kDateOnce, kWeek, kDateMonth, kDateYear };

  AlarmEditorDialog(HWND owner, const std::wstring& caption);

  AlarmRecord Record{};  // all zero at creation
  // true: controls to Record; false: Record to controls.
  void TransferRecord(bool store);
  // Runs modally; true when closed with OK.
  bool ShowModal();
  // Brings the selected kind's panel to the front.
  void ShowPanelOfKind();

  // The kind whose panel is in front.
  int PanelInFront() const { return panel_; }
  // Whether the last close was by OK.
  bool ClosedWithOk() const { return ok_; }

 private:
  std::optional<LRESULT> DialogMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCancel() override;
  void BuildControls();
  EditorValues Values() const;
  void Show(const EditorValues& v);

  std::vector<HWND> panels_[5];  // the controls of each kind's panel
  int panel_ = 0;
  bool ok_ = false;
};

}  // namespace dc

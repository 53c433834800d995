// AlarmListDialog: every alarm of the store as a row (title, time, to-do),
// with Add, Delete, Edit and Exit. Each change is saved to the store's file
// at once; the rows always follow the store.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "alarms/alarm_editor_dialog.win.h"
#include "alarms/alarm_store.h"
#include "base/time_text.h"
#include "ui/dialog.win.h"

namespace dc {

// Saves the store; an error goes to the error box and the store in memory
// stays as it is.
void SaveAlarmStore(AlarmStore& store, const std::filesystem::path& path);

class AlarmListDialog : public ui::Dialog {
 public:
  enum Id : int { kList = 301, kAdd, kDelete, kEdit, kExit };

  AlarmListDialog(HWND owner, AlarmStore& store, std::filesystem::path storePath, TimeFormat format);
  void ShowModal() { RunModal(); }

  // Seams: the question box, and the editor's modal run (true for OK).
  std::function<bool(HWND owner, const std::string& question)> ask;
  std::function<bool(AlarmEditorDialog& editor)> runEditor;

  void AddAlarm();
  void DeleteSelected();
  void EditSelected();
  HWND List() const { return Control(kList); }
  int Rows() const;
  std::wstring Cell(int row, int column) const;

 private:
  std::optional<LRESULT> DialogMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDpiChanged(int dpi) override;
  void SetRow(int row, const AlarmRecord& r, bool insert);
  void Save();
  int Selected() const;

  AlarmStore& store_;
  std::filesystem::path storePath_;
  TimeFormat format_;
};

}  // namespace dc

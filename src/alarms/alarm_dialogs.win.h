// The alarm dialogs: TfrmModifyAlarm, the modal editor of one alarm, and
// TfrmAlarmList, the list of all alarms with Add, Delete, Edit and Exit.
// Both are laid out in pixels and saved nothing but through the store.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "alarms/alarm_db.h"
#include "alarms/alarm_editing.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace dc {

// Saves the store; an error goes to the error box and the store in memory
// stays as it is.
void SaveAlarmStore(TAlarmDB& store, const std::filesystem::path& path);

class TfrmModifyAlarm : public ui::Window {
 public:
  enum Id : int { kKind = 201, kTitle, kTodo, kTime, kDateOnce, kWeek, kDateMonth, kDateYear };

  TfrmModifyAlarm(HWND owner, const std::wstring& caption);

  TAlarmRecord Record{};  // all zero at creation
  // true: controls to Record; false: Record to controls.
  void TransferRecord(bool store);
  // Runs modally; true when closed with OK.
  bool ShowModal();
  // Brings the selected kind's panel to the front.
  void CbbAlarmTypeChange();

  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  // The kind whose panel is in front.
  int PanelInFront() const { return panel_; }
  // Whether the last close was by OK.
  bool ClosedWithOk() const { return ok_; }

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h);
  EditorValues Values() const;
  void Show(const EditorValues& v);

  HWND owner_;
  ui::UniqueFont font_;
  std::vector<HWND> panels_[5];
  int panel_ = 0;
  bool ok_ = false;
};

class TfrmAlarmList : public ui::Window {
 public:
  enum Id : int { kList = 301, kAdd, kDelete, kEdit, kExit };

  TfrmAlarmList(HWND owner, TAlarmDB& store, std::filesystem::path storePath, TimeFormat format);
  void ShowModal();

  // Seams: the question box, and the editor's modal run (true for OK).
  std::function<bool(HWND owner, const std::string& question)> ask;
  std::function<bool(TfrmModifyAlarm& editor)> runEditor;

  void Button1Click();  // Add
  void Button2Click();  // Delete
  void Button3Click();  // Edit
  HWND ListView1() const { return GetDlgItem(hwnd(), kList); }
  int Rows() const;
  std::wstring Cell(int row, int column) const;

 private:
  std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void SetRow(int row, const TAlarmRecord& r, bool insert);
  void Save();
  int Selected() const;

  HWND owner_;
  TAlarmDB& store_;
  std::filesystem::path storePath_;
  TimeFormat format_;
  ui::UniqueFont font_;
};

}  // namespace dc

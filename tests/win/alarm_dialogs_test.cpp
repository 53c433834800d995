// The alarm editor and the alarm list as real dialogs under Wine, checked
// against the records and the bytes of Alarm.sav.
#include <gtest/gtest.h>

#include <cstring>

#include "alarms/alarm_list_dialog.win.h"

#include <commctrl.h>
#include "base/date_time.h"
#include "base/fixed_text.h"
#include "test_support.h"

using namespace dc;
using dctest::Bytes;
using dctest::TempDir;

namespace {

double Today() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return *EncodeDateTime({st.wYear, st.wMonth, st.wDay});
}

bool Visible(HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

AlarmRecord Record(AlarmKind kind, const char* title) {
  return dctest::MakeAlarm({.kind = kind, .title = title, .todo = "todo", .date = CivilDateTime{2026, 1, 31},
                            .weekday = 2, .timeDay = {2020, 3, 4}});
}

TimeFormat TwentyFour() {
  TimeFormat f;
  f.twelveHour = false;
  f.leadingZero = true;
  return f;
}

}  // namespace

TEST(AlarmEditorDialog, OkAtOnceGivesTheNewAlarmWithTheOnceDateInFront) {
  AlarmEditorDialog editor(nullptr, L"Add Alarm");
  wchar_t caption[32] = {};
  GetWindowTextW(editor.hwnd(), caption, 32);
  EXPECT_STREQ(caption, L"Add Alarm");
  EXPECT_EQ(editor.PanelInFront(), 0);
  EXPECT_TRUE(Visible(editor.Control(AlarmEditorDialog::kDateOnce)));
  EXPECT_FALSE(Visible(editor.Control(AlarmEditorDialog::kWeek)));
  editor.TransferRecord(true);
  const AlarmRecord& r = editor.Record;
  EXPECT_EQ(+r.Kind, 0);
  EXPECT_EQ(ReadFixedText(r.Title), "Alarm1");
  EXPECT_EQ(ReadFixedText(r.ToDo), "Don't forget......");
  auto time = DecodeDateTime(r.Time);
  EXPECT_EQ(time->Hour, 12);
  EXPECT_EQ(time->Minute, 0);
  EXPECT_EQ(time->Second, 0);
  EXPECT_EQ(static_cast<int>(r.Date), static_cast<int>(Today()));
  EXPECT_EQ(+r.Weekday, 0);
  RECT client;
  GetClientRect(editor.hwnd(), &client);
  EXPECT_EQ(client.right, 359);
  EXPECT_EQ(client.bottom, 393);
}

TEST(AlarmEditorDialog, EditingSwitchesPanelsAndKeepsUnusedFields) {
  AlarmEditorDialog editor(nullptr, L"Edit Alarm");
  editor.Record = Record(AlarmKind::EveryMonth, "monthly");
  editor.TransferRecord(false);
  EXPECT_EQ(editor.PanelInFront(), 3);
  EXPECT_TRUE(Visible(editor.Control(AlarmEditorDialog::kDateMonth)));
  EXPECT_FALSE(Visible(editor.Control(AlarmEditorDialog::kDateOnce)));
  SYSTEMTIME st{};
  SendMessageW(editor.Control(AlarmEditorDialog::kDateMonth), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(st.wDay, 31);
  // To "Every day" as the user picks it.
  SendMessageW(editor.Control(AlarmEditorDialog::kKind), CB_SETCURSEL, 1, 0);
  SendMessageW(editor.hwnd(), WM_COMMAND, MAKEWPARAM(AlarmEditorDialog::kKind, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(editor.Control(AlarmEditorDialog::kKind)));
  EXPECT_EQ(editor.PanelInFront(), 1);
  const double oldDate = editor.Record.Date;
  editor.TransferRecord(true);
  EXPECT_EQ(+editor.Record.Kind, 1);
  EXPECT_EQ(+editor.Record.Date, oldDate);
  EXPECT_EQ(ReadFixedText(editor.Record.Title), "monthly");
  EXPECT_EQ(+DecodeDateTime(editor.Record.Time)->Minute, 30);

  // "Every week" without a day picked.
  SendMessageW(editor.Control(AlarmEditorDialog::kKind), CB_SETCURSEL, 2, 0);
  SendMessageW(editor.Control(AlarmEditorDialog::kWeek), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  editor.TransferRecord(true);
  EXPECT_EQ(+editor.Record.Weekday, 65535);
  // Long texts are cut to their fields.
  SetWindowTextW(editor.Control(AlarmEditorDialog::kTitle), std::wstring(70, L'x').c_str());
  editor.TransferRecord(true);
  EXPECT_EQ(ReadFixedText(editor.Record.Title), std::string(64, 'x'));
}

TEST(AlarmEditorDialog, KeyboardEnterIsOkExceptInTheToDoBoxAndEscapeIsCancel) {
  auto key = [](AlarmEditorDialog& e, int id, WPARAM vk) {
    HWND target = e.Control(id);
    SetFocus(target);
    MSG msg{target, WM_KEYDOWN, vk, 0};
    return IsDialogMessageW(e.hwnd(), &msg) != 0;
  };
  {
    AlarmEditorDialog editor(nullptr, L"Add Alarm");
    ShowWindow(editor.hwnd(), SW_SHOW);
    // In the to-do box Enter starts a new line and the editor stays.
    SendMessageW(editor.Control(AlarmEditorDialog::kTodo), EM_SETSEL, 0, 0);
    key(editor, AlarmEditorDialog::kTodo, VK_RETURN);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(editor.hwnd(), &m)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
    EXPECT_TRUE(IsWindowVisible(editor.hwnd()));
    wchar_t todo[64] = {};
    GetWindowTextW(editor.Control(AlarmEditorDialog::kTodo), todo, 64);
    EXPECT_STREQ(todo, L"\r\nDon't forget......");
    EXPECT_TRUE(key(editor, AlarmEditorDialog::kTitle, VK_RETURN));
    EXPECT_FALSE(IsWindowVisible(editor.hwnd()));
    EXPECT_TRUE(editor.ClosedWithOk());
  }
  {
    AlarmEditorDialog editor(nullptr, L"Add Alarm");
    ShowWindow(editor.hwnd(), SW_SHOW);
    EXPECT_TRUE(key(editor, AlarmEditorDialog::kTitle, VK_ESCAPE));
    EXPECT_FALSE(IsWindowVisible(editor.hwnd()));
    EXPECT_FALSE(editor.ClosedWithOk());
  }
}

TEST(AlarmListDialog, RowsCommandsAndTheFileStayInStep) {
  TempDir dir;
  AlarmStore store;
  store.ResetDefaults();
  store.AddAlarm(Record(AlarmKind::Once, "first"));
  store.AddAlarm(Record(AlarmKind::EveryWeek, "second"));
  store.SaveToFile(dir / "Alarm.sav");
  const Bytes saved = dctest::ReadBytes(dir / "Alarm.sav");

  AlarmListDialog list(nullptr, store, dir / "Alarm.sav", TwentyFour());
  int asked = 0;
  bool answer = false;
  list.ask = [&](HWND, const std::string& q) {
    ++asked;
    EXPECT_EQ(q, "Are you sure delete the alarm?");
    return answer;
  };
  ASSERT_EQ(list.Rows(), 2);
  EXPECT_EQ(list.Cell(0, 0), L"first");
  EXPECT_EQ(list.Cell(0, 1), L"07:30:00");
  EXPECT_EQ(list.Cell(1, 1), L"07:30:00") << "the same time text for every kind";
  EXPECT_EQ(list.Cell(1, 2), L"todo");

  list.DeleteSelected();  // nothing selected
  list.EditSelected();
  EXPECT_EQ(asked, 0);
  ListView_SetItemState(list.List(), 0, LVIS_SELECTED, LVIS_SELECTED);
  list.DeleteSelected();  // No
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(store.Count(), 2);
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav"), saved);

  // Edit keeps the position: the editor here changes the title and says OK.
  list.runEditor = [](AlarmEditorDialog& e) {
    SetWindowTextW(e.Control(AlarmEditorDialog::kTitle), L"changed");
    return true;
  };
  list.EditSelected();
  EXPECT_EQ(list.Cell(0, 0), L"changed");
  EXPECT_EQ(ReadFixedText(store.GetAlarm(0).Title), "changed");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 2 * 344);
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav")[10 + 22], 'c');

  // Cancel changes nothing; OK adds the new alarm as the last row.
  list.runEditor = [](AlarmEditorDialog&) { return false; };
  list.AddAlarm();
  EXPECT_EQ(store.Count(), 2);
  list.runEditor = [](AlarmEditorDialog&) { return true; };
  list.AddAlarm();
  ASSERT_EQ(list.Rows(), 3);
  EXPECT_EQ(list.Cell(2, 0), L"Alarm1");
  EXPECT_EQ(list.Cell(2, 1), L"12:00:00");
  EXPECT_EQ(dctest::ReadBytes(dir / "Alarm.sav").size(), 10u + 3 * 344);

  // Yes removes the row and the alarm at the same index.
  ListView_SetItemState(list.List(), 1, LVIS_SELECTED, LVIS_SELECTED);
  answer = true;
  list.DeleteSelected();
  ASSERT_EQ(list.Rows(), 2);
  EXPECT_EQ(list.Cell(1, 0), L"Alarm1");
  EXPECT_EQ(ReadFixedText(store.GetAlarm(1).Title), "Alarm1");
  const Bytes after = dctest::ReadBytes(dir / "Alarm.sav");
  ASSERT_EQ(after.size(), 10u + 2 * 344);
  EXPECT_EQ(after[6], 2);
}

// The alarm list.
#include "alarms/alarm_list_dialog.win.h"

#include <commctrl.h>

#include "base/ansi_text.h"
#include "base/scale.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "ui/error_handler.h"
#include "ui/message_box.h"
#include "ui/window_classes.h"

namespace dc {
namespace {

constexpr int kClientWidth = 538, kClientHeight = 317;
constexpr RECT kFrame{32, 16, 32 + 481, 16 + 241};  // the frame around the list
constexpr int kButtonTop = 264, kButtonWidth = 75, kButtonHeight = 25;
constexpr std::pair<const wchar_t*, int> kColumns[] = {{L"Title", 100}, {L"Alarm time", 80}, {L"To do", 250}};

std::wstring Wide(const std::string& ansi) { return Utf8ToWide(AnsiToUtf8(ansi)); }

}  // namespace

AlarmListDialog::AlarmListDialog(HWND owner, AlarmStore& store, std::filesystem::path storePath, TimeFormat format)
    : Dialog(owner), store_(store), storePath_(std::move(storePath)), format_(std::move(format)) {
  static const bool listViews = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != 0;
  }();
  (void)listViews;
  ask = [](HWND o, const std::string& q) { return ui::AskQuestion(o, q); };
  runEditor = [](AlarmEditorDialog& e) { return e.ShowModal(); };
  CreateDialogWindow(ui::kAlarmListClass, L"Alarm List", kClientWidth, kClientHeight);
  const ui::ControlBuilder controls = Controls();
  controls.Add({L"BUTTON", L"", BS_GROUPBOX, 0, kFrame.left, kFrame.top, kFrame.right - kFrame.left,
                kFrame.bottom - kFrame.top});
  HWND list = controls.Add({WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, kList,
                            kFrame.left + 8, kFrame.top + 16, 457, 217, WS_EX_CLIENTEDGE});
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.pszText = const_cast<wchar_t*>(kColumns[i].first);
    col.cx = ScaleLength(kColumns[i].second, Dpi());
    ListView_InsertColumn(list, i, &col);
  }
  const std::pair<const wchar_t*, int> buttons[] = {{L"&Add", 32}, {L"&Delete", 128}, {L"&Edit", 224}, {L"&Exit", 328}};
  for (int i = 0; i < 4; ++i) {
    controls.Add({L"BUTTON", buttons[i].first, BS_PUSHBUTTON | WS_TABSTOP, kAdd + i, buttons[i].second, kButtonTop,
                  kButtonWidth, kButtonHeight});
  }
  // One row per alarm, in store order.
  for (int i = 0; i < store_.Count(); ++i) SetRow(i, store_.GetAlarm(i), true);
  SetInitialFocus(list);
}

int AlarmListDialog::Rows() const { return ListView_GetItemCount(List()); }

std::wstring AlarmListDialog::Cell(int row, int column) const {
  wchar_t buf[512] = {};
  ListView_GetItemText(List(), row, column, buf, 512);
  return buf;
}

int AlarmListDialog::Selected() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

void AlarmListDialog::SetRow(int row, const AlarmRecord& r, bool insert) {
  const AlarmRow cells = RowOf(r, format_);
  const std::wstring texts[] = {Wide(cells.title), Wide(cells.time), Wide(cells.todo)};
  if (insert) {
    LVITEMW item{LVIF_TEXT};
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(texts[0].c_str());
    ListView_InsertItem(List(), &item);
  }
  for (int c = 0; c < 3; ++c) ListView_SetItemText(List(), row, c, const_cast<wchar_t*>(texts[c].c_str()));
}

void SaveAlarmStore(AlarmStore& store, const std::filesystem::path& path) {
  try {
    store.SaveToFile(path);
  } catch (const UserError& e) {
    ui::ReportError(e.what());
  }
}

void AlarmListDialog::Save() { SaveAlarmStore(store_, storePath_); }

void AlarmListDialog::AddAlarm() {
  AlarmEditorDialog editor(hwnd(), L"Add Alarm");
  if (!runEditor(editor)) return;
  editor.TransferRecord(true);
  store_.AddAlarm(editor.Record);  // throws when the list is full: nothing changes
  SetRow(Rows(), editor.Record, true);
  Save();
}

void AlarmListDialog::DeleteSelected() {
  const int row = Selected();
  if (Rows() == 0 || row < 0) return;
  if (!ask(hwnd(), "Are you sure delete the alarm?")) return;
  store_.DeleteAlarm(row);
  Save();
  ListView_DeleteItem(List(), row);  // also when the save failed: rows follow the store
}

void AlarmListDialog::EditSelected() {
  const int row = Selected();
  if (Rows() == 0 || row < 0) return;
  AlarmEditorDialog editor(hwnd(), L"Edit Alarm");
  editor.Record = store_.GetAlarm(row);
  editor.TransferRecord(false);
  if (!runEditor(editor)) return;
  editor.TransferRecord(true);
  store_.SetAlarm(editor.Record, row);
  SetRow(row, editor.Record, false);
  Save();
}

void AlarmListDialog::OnDpiChanged(int dpi) {
  for (int i = 0; i < 3; ++i) ListView_SetColumnWidth(List(), i, ScaleLength(kColumns[i].second, dpi));
}

std::optional<LRESULT> AlarmListDialog::DialogMessage(UINT msg, WPARAM wp, LPARAM) {
  if (msg != WM_COMMAND) return std::nullopt;
  switch (LOWORD(wp)) {
    case kAdd: AddAlarm(); return 0;
    case kDelete: DeleteSelected(); return 0;
    case kEdit: EditSelected(); return 0;
    case kExit: EndModal(); return 0;
  }
  return std::nullopt;
}

}  // namespace dc

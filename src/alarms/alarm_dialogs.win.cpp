// The alarm editor and the alarm list.
#include "alarms/alarm_dialogs.win.h"

#include <commctrl.h>

#include "alarms/date_time.h"
#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/win_text.h"
#include "ui/error_handler.h"
#include "ui/message_box.h"
#include "ui/modal.h"
#include "ui/text_size.h"

namespace dc {
namespace {

constexpr wchar_t kEditorClass[] = L"TfrmModifyAlarm";
constexpr wchar_t kListClass[] = L"TfrmAlarmList";
// Controls on the "Alarm" page sit at the page's client origin.
constexpr int kPageX = 10 + 4, kPageY = 8 + 24;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;

HFONT DialogFont() {
  return CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, DEFAULT_PITCH | FF_SWISS,
                     L"MS Sans Serif");
}

void CenteredDialog(ui::Window&, int clientW, int clientH, int& x, int& y, int& w, int& h) {
  RECT r{0, 0, clientW, clientH};
  AdjustWindowRectEx(&r, kDialogStyle, FALSE, WS_EX_DLGMODALFRAME);
  w = r.right - r.left;
  h = r.bottom - r.top;
  x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
}

void InitControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != 0;
  }();
  (void)done;
}

// Date-time values and SYSTEMTIME, at the picker boundary.
SYSTEMTIME ToSystemTime(double value) {
  SYSTEMTIME st{};
  std::optional<CivilDateTime> t = DecodeDateTime(value);
  if (!t || t->Year < 1601) t = DecodeDateTime(0.0 + 36526);  // pickers start in 1601
  st.wYear = static_cast<WORD>(t->Year);
  st.wMonth = static_cast<WORD>(t->Month);
  st.wDay = static_cast<WORD>(t->Day);
  st.wHour = static_cast<WORD>(t->Hour);
  st.wMinute = static_cast<WORD>(t->Minute);
  st.wSecond = static_cast<WORD>(t->Second);
  st.wMilliseconds = static_cast<WORD>(t->Millisecond);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(*t));
  return st;
}

double FromSystemTime(const SYSTEMTIME& st) {
  return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds})
      .value_or(0);
}

std::wstring TextOf(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(h, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

// 8-bit texts of the system code page to and from the controls' UTF-16.
std::wstring Wide(const std::string& ansi) { return Utf8ToWide(AnsiToUtf8(ansi)); }
std::string Ansi(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

double Today() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDateTime({st.wYear, st.wMonth, st.wDay}).value_or(0);
}

}  // namespace

// ---- the editor --------------------------------------------------------------

TfrmModifyAlarm::TfrmModifyAlarm(HWND owner, const std::wstring& caption) : owner_(owner) {
  InitControls();
  RegisterWindowClass(kEditorClass, 0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
  int x, y, w, h;
  CenteredDialog(*this, 359, 393, x, y, w, h);
  Create(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kEditorClass, caption.c_str(), kDialogStyle, x, y, w, h, owner);
  font_.reset(DialogFont());

  HWND tab = Add(WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, 0, 10, 8, 337, 337);
  TCITEMW item{TCIF_TEXT};
  item.pszText = const_cast<wchar_t*>(L"Alarm");
  TabCtrl_InsertItem(tab, 0, &item);
  auto page = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int px, int py, int pw, int ph) {
    HWND c = Add(cls, text, style, id, kPageX + px, kPageY + py, pw, ph);
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // above the page control
    return c;
  };
  page(L"STATIC", L"Run this alarm", 0, 0, 34, 13, 80, 13);
  HWND kind = page(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kKind, 112, 9, 145, 200);
  for (const wchar_t* k : {L"Once", L"Every day", L"Every week", L"Every month", L"Every year"})
    SendMessageW(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(k));
  page(L"STATIC", L"", SS_ETCHEDHORZ, 0, 8, 37, 310, 2);
  page(L"STATIC", L"Title", 0, 0, 32, 50, 30, 13);
  page(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, kTitle, 64, 46, 217, 21);
  page(L"STATIC", L"To do", 0, 0, 24, 82, 36, 13);
  page(L"EDIT", L"", WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, kTodo, 64, 80,
       217, 73);
  page(L"STATIC", L"", SS_ETCHEDHORZ, 0, 8, 160, 310, 2);
  page(L"STATIC", L"Run this alarm at", 0, 0, 16, 168, 100, 13);
  page(L"STATIC", L"Time", 0, 0, 32, 192, 30, 13);
  page(DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | WS_TABSTOP, kTime, 64, 188, 217, 21);
  // The five kind panels in PnContain at (24, 216), one in front.
  const int px = 24, py = 216;
  for (int k : {0, 2, 3, 4}) panels_[k].push_back(page(L"STATIC", L"Date", 0, 0, px + 8, py + 4, 30, 13));
  panels_[0].push_back(page(DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateOnce, px + 40, py, 217, 21));
  HWND week = page(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kWeek, px + 40, py, 217, 200);
  for (const wchar_t* d : {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"})
    SendMessageW(week, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
  panels_[2].push_back(week);
  HWND month = page(DATETIMEPICK_CLASSW, L"", WS_TABSTOP, kDateMonth, px + 40, py, 217, 21);
  SendMessageW(month, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd"));
  panels_[3].push_back(month);
  panels_[4].push_back(page(DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateYear, px + 40, py, 217, 21));
  Add(L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 176, 352, 75, 25);
  Add(L"BUTTON", L"&Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 264, 352, 75, 25);

  Show(NewAlarmValues(Today()));
  SetFocus(kind);
}

HWND TfrmModifyAlarm::Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h) {
  if (wcscmp(cls, L"STATIC") == 0 && *text) {
    // A label takes the size of its text.
    const SIZE size = ui::TextSize(hwnd(), font_.get(), text);
    w = size.cx;
    h = size.cy;
  }
  HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return c;
}

void TfrmModifyAlarm::Show(const EditorValues& v) {
  SendMessageW(Control(kKind), CB_SETCURSEL, static_cast<WPARAM>(v.kind), 0);
  SetWindowTextW(Control(kTitle), Wide(v.title).c_str());
  // The multi-line edit shows CR LF line breaks as they are.
  SetWindowTextW(Control(kTodo), Wide(v.todo).c_str());
  for (auto [id, value] : {std::pair{kTime, v.time}, std::pair{kDateOnce, v.dateOnce},
                           std::pair{kDateMonth, v.dateMonth}, std::pair{kDateYear, v.dateYear}}) {
    SYSTEMTIME st = ToSystemTime(value);
    SendMessageW(Control(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }
  SendMessageW(Control(kWeek), CB_SETCURSEL, static_cast<WPARAM>(v.weekday), 0);
  CbbAlarmTypeChange();
}

EditorValues TfrmModifyAlarm::Values() const {
  EditorValues v;
  v.kind = static_cast<int>(SendMessageW(Control(kKind), CB_GETCURSEL, 0, 0));
  v.title = Ansi(TextOf(Control(kTitle)));
  v.todo = Ansi(TextOf(Control(kTodo)));
  auto picked = [&](int id) {
    SYSTEMTIME st{};
    SendMessageW(Control(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return FromSystemTime(st);
  };
  v.time = picked(kTime);
  v.dateOnce = picked(kDateOnce);
  v.dateMonth = picked(kDateMonth);
  v.dateYear = picked(kDateYear);
  v.weekday = static_cast<int>(SendMessageW(Control(kWeek), CB_GETCURSEL, 0, 0));  // CB_ERR is -1
  return v;
}

void TfrmModifyAlarm::TransferRecord(bool store) {
  if (store) {
    StoreControls(Values(), Record, [](unsigned char b) { return IsDBCSLeadByte(b) != 0; });
  } else {
    EditorValues v = Values();
    LoadControls(Record, v);
    Show(v);
  }
}

void TfrmModifyAlarm::CbbAlarmTypeChange() {
  const int kind = static_cast<int>(SendMessageW(Control(kKind), CB_GETCURSEL, 0, 0));
  if (kind < 0 || kind > 4) return;
  panel_ = kind;
  for (int k = 0; k < 5; ++k)
    for (HWND c : panels_[k]) ShowWindow(c, k == kind ? SW_SHOWNA : SW_HIDE);
}

bool TfrmModifyAlarm::ShowModal() {
  ok_ = false;
  ui::RunModal(hwnd(), owner_);
  return ok_;
}

std::optional<LRESULT> TfrmModifyAlarm::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == kKind && HIWORD(wp) == CBN_SELCHANGE) CbbAlarmTypeChange();
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        // Hidden, the modal run ends; the caller reads the controls, then
        // the editor goes with its object.
        ok_ = LOWORD(wp) == IDOK;
        ShowWindow(hwnd(), SW_HIDE);
      }
      return 0;
    case WM_CLOSE:
      ok_ = false;
      ShowWindow(hwnd(), SW_HIDE);
      return 0;
  }
  return std::nullopt;
}

// ---- the list --------------------------------------------------------------

TfrmAlarmList::TfrmAlarmList(HWND owner, TAlarmDB& store, std::filesystem::path storePath, TimeFormat format)
    : owner_(owner), store_(store), storePath_(std::move(storePath)), format_(std::move(format)) {
  InitControls();
  ask = [](HWND o, const std::string& q) { return ui::AskQuestion(o, q); };
  runEditor = [](TfrmModifyAlarm& e) { return e.ShowModal(); };
  RegisterWindowClass(kListClass, 0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
  int x, y, w, h;
  CenteredDialog(*this, 538, 317, x, y, w, h);
  Create(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kListClass, L"Alarm List", kDialogStyle, x, y, w, h, owner);
  font_.reset(DialogFont());
  auto add = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int cx, int cy, int cw, int ch) {
    HWND c = CreateWindowExW(id == kList ? WS_EX_CLIENTEDGE : 0, cls, text, WS_CHILD | WS_VISIBLE | style, cx, cy, cw,
                             ch, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return c;
  };
  add(L"BUTTON", L"", BS_GROUPBOX, 0, 32, 16, 481, 241);
  HWND list = add(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, kList, 32 + 8,
                  16 + 16, 457, 217);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const std::pair<const wchar_t*, int> columns[] = {{L"Title", 100}, {L"Alarm time", 80}, {L"To do", 250}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH};
    col.pszText = const_cast<wchar_t*>(columns[i].first);
    col.cx = columns[i].second;
    ListView_InsertColumn(list, i, &col);
  }
  add(L"BUTTON", L"&Add", BS_PUSHBUTTON | WS_TABSTOP, kAdd, 32, 264, 75, 25);
  add(L"BUTTON", L"&Delete", BS_PUSHBUTTON | WS_TABSTOP, kDelete, 128, 264, 75, 25);
  add(L"BUTTON", L"&Edit", BS_PUSHBUTTON | WS_TABSTOP, kEdit, 224, 264, 75, 25);
  add(L"BUTTON", L"&Exit", BS_PUSHBUTTON | WS_TABSTOP, kExit, 328, 264, 75, 25);
  // FormShow: one row per alarm, in store order.
  for (int i = 0; i < store_.Count(); ++i) SetRow(i, store_.GetAlarm(i), true);
}

void TfrmAlarmList::ShowModal() { ui::RunModal(hwnd(), owner_); }

int TfrmAlarmList::Rows() const { return ListView_GetItemCount(ListView1()); }

std::wstring TfrmAlarmList::Cell(int row, int column) const {
  wchar_t buf[512] = {};
  ListView_GetItemText(ListView1(), row, column, buf, 512);
  return buf;
}

int TfrmAlarmList::Selected() const { return ListView_GetNextItem(ListView1(), -1, LVNI_SELECTED); }

void TfrmAlarmList::SetRow(int row, const TAlarmRecord& r, bool insert) {
  const AlarmRow cells = RowOf(r, format_);
  const std::wstring texts[] = {Wide(cells.title), Wide(cells.time), Wide(cells.todo)};
  if (insert) {
    LVITEMW item{LVIF_TEXT};
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(texts[0].c_str());
    ListView_InsertItem(ListView1(), &item);
  }
  for (int c = 0; c < 3; ++c) ListView_SetItemText(ListView1(), row, c, const_cast<wchar_t*>(texts[c].c_str()));
}

void SaveAlarmStore(TAlarmDB& store, const std::filesystem::path& path) {
  try {
    store.SaveToFile(path);
  } catch (const UserError& e) {
    ui::ReportError(e.what());
  }
}

void TfrmAlarmList::Save() { SaveAlarmStore(store_, storePath_); }

void TfrmAlarmList::Button1Click() {
  TfrmModifyAlarm editor(hwnd(), L"Add Alarm");
  if (!runEditor(editor)) return;
  editor.TransferRecord(true);
  store_.AddAlarm(editor.Record);  // throws when the list is full: nothing changes
  SetRow(Rows(), editor.Record, true);
  Save();
}

void TfrmAlarmList::Button2Click() {
  const int row = Selected();
  if (Rows() == 0 || row < 0) return;
  if (!ask(hwnd(), "Are you sure delete the alarm?")) return;
  store_.DeleteAlarm(row);
  Save();
  ListView_DeleteItem(ListView1(), row);  // also when the save failed: rows follow the store
}

void TfrmAlarmList::Button3Click() {
  const int row = Selected();
  if (Rows() == 0 || row < 0) return;
  TfrmModifyAlarm editor(hwnd(), L"Edit Alarm");
  editor.Record = store_.GetAlarm(row);
  editor.TransferRecord(false);
  if (!runEditor(editor)) return;
  editor.TransferRecord(true);
  store_.SetAlarm(editor.Record, row);
  SetRow(row, editor.Record, false);
  Save();
}

std::optional<LRESULT> TfrmAlarmList::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kAdd: Button1Click(); return 0;
        case kDelete: Button2Click(); return 0;
        case kEdit: Button3Click(); return 0;
        case kExit:
        case IDCANCEL:
          DestroyWindow(hwnd());
          return 0;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
  }
  return std::nullopt;
}

}  // namespace dc

// The alarm editor: one "Alarm" page with the kind, title, to-do and time,
// the kind's panel of date controls, and OK and Cancel.
#include "alarms/alarm_editor_dialog.win.h"

#include <commctrl.h>

#include "alarms/picker_time.win.h"
#include "base/ansi_text.h"
#include "base/win_text.win.h"
#include "ui/window_classes.h"

namespace dc {
namespace {

constexpr int kClientWidth = 359, kClientHeight = 393;
// The page control, and where its page's controls are measured from (the
// page's client origin inside the tab control's frame).
constexpr RECT kPage{10, 8, 10 + 337, 8 + 337};
constexpr POINT kPageOrigin{kPage.left + 4, kPage.top + 24};
// The panel that holds each kind's date control, on the page.
constexpr POINT kPanel{24, 216};
constexpr int kButtonWidth = 75, kButtonHeight = 25;

void InitPickerControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != 0;
  }();
  (void)done;
}

// 8-bit texts of the system code page to and from the controls' UTF-16.
std::wstring Wide(const std::string& ansi) { return Utf8ToWide(AnsiToUtf8(ansi)); }
std::string Ansi(const std::wstring& wide) { return *Utf8ToAnsi(WideToUtf8(wide), Unmappable::Substitute); }

}  // namespace

AlarmEditorDialog::AlarmEditorDialog(HWND owner, const std::wstring& caption) : Dialog(owner) {
  InitPickerControls();
  CreateDialogWindow(ui::kAlarmEditorClass, caption.c_str(), kClientWidth, kClientHeight);
  BuildControls();
  Show(NewAlarmValues(Today()));
  SetInitialFocus(Control(kKind));
}

void AlarmEditorDialog::BuildControls() {
  const ui::ControlBuilder dialog = Controls();
  HWND tab = dialog.Add({WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, 0, kPage.left, kPage.top, kPage.right - kPage.left,
                         kPage.bottom - kPage.top});
  TCITEMW item{TCIF_TEXT};
  item.pszText = const_cast<wchar_t*>(L"Alarm");
  TabCtrl_InsertItem(tab, 0, &item);
  const ui::ControlBuilder builder = Controls(kPageOrigin);
  auto page = [&](ui::ControlBuilder::Item item) {
    HWND c = builder.Add(item);
    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // above the page control
    return c;
  };
  constexpr DWORD kList = CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL;
  page({L"STATIC", L"Run this alarm", 0, 0, 34, 13});
  HWND kind = page({L"COMBOBOX", L"", kList, kKind, 112, 9, 145, 200});
  for (const wchar_t* k : {L"Once", L"Every day", L"Every week", L"Every month", L"Every year"})
    SendMessageW(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(k));
  page({L"STATIC", L"", SS_ETCHEDHORZ, 0, 8, 37, 310, 2});
  page({L"STATIC", L"Title", 0, 0, 32, 50});
  page({L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, kTitle, 64, 46, 217, 21});
  page({L"STATIC", L"To do", 0, 0, 24, 82});
  page({L"EDIT", L"", WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, kTodo, 64,
        80, 217, 73});
  page({L"STATIC", L"", SS_ETCHEDHORZ, 0, 8, 160, 310, 2});
  page({L"STATIC", L"Run this alarm at", 0, 0, 16, 168});
  page({L"STATIC", L"Time", 0, 0, 32, 192});
  page({DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | WS_TABSTOP, kTime, 64, 188, 217, 21});
  // The five kind panels lie on top of each other; one is in front.
  const int x = kPanel.x, y = kPanel.y;
  for (int k : {0, 2, 3, 4}) panels_[k].push_back(page({L"STATIC", L"Date", 0, 0, x + 8, y + 4}));
  panels_[0].push_back(page({DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateOnce, x + 40, y, 217, 21}));
  HWND week = page({L"COMBOBOX", L"", kList, kWeek, x + 40, y, 217, 200});
  for (const wchar_t* d : {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"})
    SendMessageW(week, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
  panels_[2].push_back(week);
  HWND month = page({DATETIMEPICK_CLASSW, L"", WS_TABSTOP, kDateMonth, x + 40, y, 217, 21});
  SendMessageW(month, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd"));
  panels_[3].push_back(month);
  panels_[4].push_back(page({DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateYear, x + 40, y, 217, 21}));
  dialog.Add({L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 176, 352, kButtonWidth, kButtonHeight});
  dialog.Add({L"BUTTON", L"&Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 264, 352, kButtonWidth, kButtonHeight});
}

void AlarmEditorDialog::Show(const EditorValues& v) {
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
  ShowPanelOfKind();
}

EditorValues AlarmEditorDialog::Values() const {
  EditorValues v;
  v.kind = static_cast<int>(SendMessageW(Control(kKind), CB_GETCURSEL, 0, 0));
  v.title = Ansi(ui::ControlText(Control(kTitle)));
  v.todo = Ansi(ui::ControlText(Control(kTodo)));
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

void AlarmEditorDialog::TransferRecord(bool store) {
  if (store) {
    StoreControls(Values(), Record, [](unsigned char b) { return IsDBCSLeadByte(b) != 0; });
  } else {
    EditorValues v = Values();
    LoadControls(Record, v);
    Show(v);
  }
}

void AlarmEditorDialog::ShowPanelOfKind() {
  const int kind = static_cast<int>(SendMessageW(Control(kKind), CB_GETCURSEL, 0, 0));
  if (kind < 0 || kind > 4) return;
  panel_ = kind;
  for (int k = 0; k < 5; ++k)
    for (HWND c : panels_[k]) ShowWindow(c, k == kind ? SW_SHOWNA : SW_HIDE);
}

bool AlarmEditorDialog::ShowModal() {
  ok_ = false;
  RunModal();
  return ok_;
}

void AlarmEditorDialog::OnCancel() {
  ok_ = false;
  EndModal();
}

std::optional<LRESULT> AlarmEditorDialog::DialogMessage(UINT msg, WPARAM wp, LPARAM) {
  if (msg != WM_COMMAND) return std::nullopt;
  if (LOWORD(wp) == kKind && HIWORD(wp) == CBN_SELCHANGE) ShowPanelOfKind();
  if (LOWORD(wp) == IDOK) {
    // Hidden, the modal run ends; the caller reads the controls, then the
    // editor goes with its object.
    ok_ = true;
    EndModal();
  }
  if (LOWORD(wp) == IDCANCEL) OnCancel();
  return 0;
}

}  // namespace dc

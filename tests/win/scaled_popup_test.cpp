// The popup, the dialogs and the tray icon at other scales under Wine:
// their parts where the core's layout puts them, fonts at the DPI, every
// text inside its control, and the icon at the size the system asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "alarms/alarm_editor_dialog.win.h"
#include "alarms/alarm_list_dialog.win.h"
#include "app/about_dialog.win.h"
#include "base/fixed_text.h"
#include "base/win_text.win.h"
#include "notify/popup_layout.h"
#include "pixels.h"
#include "popup_fixture.h"
#include "ui/control_builder.win.h"
#include "ui/dpi.win.h"

using namespace dc;

namespace {

void SendDpiChanged(HWND window, int dpi) {
  RECT r{};
  GetWindowRect(window, &r);
  const RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, 96), r.top + MulDiv(r.bottom - r.top, dpi, 96)};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  dctest::Pump();
}

// A text's extent in a font: one line, or wrapped at `width`.
SIZE TextExtent(HFONT font, const std::wstring& text, UINT flags, int width = 0) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &r, flags | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {r.right, r.bottom};
}

// The popup of FiringClock with the demo's fonts (Tahoma, 9 points).
dctest::PackageParts PopupParts() {
  dctest::PackageParts p = dctest::Popups(0, false, 0);
  for (FontRecord* f : {&p.alert.Font, &p.alert.HeaderFont}) {
    WriteFixedText(f->Name, "Tahoma");
    f->Size = 9;
  }
  p.alert.HeaderFont.Style = 1;
  return p;
}

// The popup at `dpi`: its size and buttons from the core's layout, its
// fonts 9 points at the DPI, the header on its line and the message wrapped
// below it inside the popup and left of the buttons, the glyphs drawn.
void ExpectPopupAt(notify::AlarmPopup& popup, int dpi) {
  SCOPED_TRACE(dpi);
  notify::AlarmPopupWindow& w = *popup.Window();
  const notify::PopupLayout want = notify::LayOutPopup(0, 0, dpi);
  const RECT r = w.Bounds();
  EXPECT_EQ(r.right - r.left, want.width);
  EXPECT_EQ(r.bottom - r.top, want.height);
  const RECT close = w.CloseButton(), drop = w.DropDownButton();
  EXPECT_EQ((Rect{close.left, close.top, close.right, close.bottom}), want.close);
  EXPECT_EQ((Rect{drop.left, drop.top, drop.right, drop.bottom}), want.dropDown);
  const LOGFONTW header = popup.HeaderFont.At(dpi), message = popup.Font.At(dpi);
  EXPECT_EQ(header.lfHeight, -MulDiv(9, dpi, 72));
  EXPECT_EQ(message.lfHeight, -MulDiv(9, dpi, 72));
  ui::UniqueFont headerFont(CreateFontIndirectW(&header)), messageFont(CreateFontIndirectW(&message));
  const SIZE headerSize = TextExtent(headerFont.get(), popup.HeaderText, DT_SINGLELINE);
  const SIZE messageSize =
      TextExtent(messageFont.get(), popup.MessageText, DT_WORDBREAK, want.messageRight - want.messageLeft);
  EXPECT_LE(want.headerLeft + headerSize.cx, want.dropDown.left) << "the header clear of the buttons";
  EXPECT_LE(want.headerTop + headerSize.cy + messageSize.cy, want.messageBottom) << "the message inside the popup";
  HDC dc = GetDC(w.hwnd());
  for (const Rect& b : {want.close, want.dropDown}) {
    const std::vector<std::uint32_t> px = dctest::ReadPixels(dc, b.left, b.top, b.Width(), b.Height());
    int dark = 0;
    for (std::uint32_t p : px) dark += p == 0;
    EXPECT_GE(dark, ScaleLength(4, dpi)) << "a glyph in the button at " << b.left;
  }
  ReleaseDC(w.hwnd(), dc);
}

TEST(ScaledPopup, OnAMonitorOfAnotherScaleThePopupTakesItsLayoutAndFonts) {
  dctest::FiringClock c(PopupParts(), {dctest::EveryDay("Tea time", "Put the kettle on and warm the pot")});
  c.Fire();
  ASSERT_EQ(c.form->Popups().OpenPopups(), 1u);
  notify::AlarmPopup& popup = *c.form->Popups().Popup(0);
  for (int dpi : {192, 120, 144, 96}) {
    SendDpiChanged(popup.Window()->hwnd(), dpi);
    ExpectPopupAt(popup, dpi);
  }
}

TEST(SystemDpiPopup, ThePopupShowsAtTheScreensScale) {
  dctest::FiringClock c(PopupParts(), {dctest::EveryDay("Tea time", "Put the kettle on and warm the pot")});
  c.Fire();
  ASSERT_EQ(c.form->Popups().OpenPopups(), 1u);
  dctest::Pump();
  ExpectPopupAt(*c.form->Popups().Popup(0), ui::SystemDpi());
}

// Every control of a dialog at `dpi`: inside the dialog, in a font of the
// design's height scaled, and a text that fits it (a push button's with
// room for its frame).
void ExpectDialogAt(HWND dialog, int dpi) {
  SCOPED_TRACE(dpi);
  RECT client{};
  GetClientRect(dialog, &client);
  int texts = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    const std::wstring text = ui::ControlText(c);
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << cls;
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    const bool line = _wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ETCHEDHORZ;
    if (line) continue;  // a rule: no text, no font
    const auto font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
    LOGFONTW f{};
    ASSERT_TRUE(GetObjectW(font, sizeof f, &f)) << dc::WideToUtf8(cls) << " " << dc::WideToUtf8(text);
    EXPECT_TRUE(f.lfHeight == -ScaleLength(11, dpi) || f.lfHeight == -ScaleLength(16, dpi)) << f.lfHeight;
    const bool label = _wcsicmp(cls, L"Static") == 0;
    const bool push = _wcsicmp(cls, L"Button") == 0 && (style & BS_TYPEMASK) != BS_GROUPBOX;
    if (text.empty() || (!label && !push)) continue;
    ++texts;
    const SIZE size = TextExtent(font, text, DT_SINGLELINE);
    const int frame = push ? ScaleLength(4, dpi) : 0;
    EXPECT_LE(size.cx + 2 * frame, r.right - r.left) << dc::WideToUtf8(text);
    EXPECT_LE(size.cy + 2 * frame, r.bottom - r.top) << dc::WideToUtf8(text);
  }
  EXPECT_GT(texts, 2);
}

AlarmRecord AnAlarm() {
  return dctest::MakeAlarm({.kind = AlarmKind::Once, .title = "first", .todo = "todo",
                            .date = CivilDateTime{2026, 1, 31}, .weekday = 2, .timeDay = {2020, 3, 4}});
}

TEST(ScaledDialogs, EachDialogLaysItselfOutAgainAtItsNewScale) {
  dctest::Clock c;
  dctest::TempDir dir;
  AlarmStore store;
  store.ResetDefaults();
  store.AddAlarm(AnAlarm());
  AboutDialog about(c.hwnd(), {"Test Clock", "Tester", "www.example.com", "someone@example.com"});
  AlarmListDialog list(nullptr, store, dir / "Alarm.sav", {});
  AlarmEditorDialog editor(nullptr, L"Edit Alarm");
  for (int dpi : {192, 144, 120}) {
    for (HWND d : {about.hwnd(), list.hwnd(), editor.hwnd()}) {
      SendDpiChanged(d, dpi);
      ExpectDialogAt(d, dpi);
    }
    EXPECT_EQ(ListView_GetColumnWidth(list.List(), 2), ScaleLength(250, dpi));
  }
}

TEST(SystemDpiDialogs, EachDialogIsLaidOutAtTheScreensScale) {
  dctest::Clock c;
  dctest::TempDir dir;
  AlarmStore store;
  store.ResetDefaults();
  store.AddAlarm(AnAlarm());
  AboutDialog about(c.hwnd(), {"Test Clock", "Tester", "www.example.com", "someone@example.com"});
  AlarmListDialog list(nullptr, store, dir / "Alarm.sav", {});
  AlarmEditorDialog editor(nullptr, L"Edit Alarm");
  const int dpi = ui::SystemDpi();
  for (HWND d : {about.hwnd(), list.hwnd(), editor.hwnd()}) {
    RECT client{};
    GetClientRect(d, &client);
    EXPECT_GE(client.right, ScaleLength(309, dpi) - 2);
    ExpectDialogAt(d, dpi);
  }
}

TEST(ScaledTrayIcon, TheIconIsLoadedAtTheSizeTheTaskBarsScaleAsksFor) {
  std::vector<SIZE> asked;
  notify::TrayIcon tray(
      [&asked](int w, int h) {
        asked.push_back({w, h});
        return ui::UniqueIcon();  // none: the tray shows the system's
      },
      nullptr, nullptr);
  for (int dpi : {120, 144, 192, 96}) SendDpiChanged(tray.hwnd(), dpi);
  ASSERT_EQ(asked.size(), 5u);
  const int sizes[] = {MulDiv(16, ui::SystemDpi(), 96), 20, 24, 32, 16};
  for (std::size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i].cx, sizes[i]) << i;
}

}  // namespace

// At 100 % the popup and the dialogs show the very pixels they showed
// before they learnt to scale: each window's client area against a picture
// of it taken then (golden/*.png). Their text is the system's, so no core
// geometry gives these pixels; the clock's own are checked against the core
// at 96 DPI in scaled_clock_test.cpp.
#include <gtest/gtest.h>

#include "alarms/alarm_editor_dialog.win.h"
#include "alarms/alarm_list_dialog.win.h"
#include "app/about_dialog.win.h"
#include "base/fixed_text.h"
#include "pixels.h"
#include "popup_fixture.h"
#include "swf/format/image_decoder.h"

using namespace dc;

namespace {

// The window's pixels against the picture, with the first difference.
void ExpectSamePixels(HWND window, const char* name) {
  SCOPED_TRACE(name);
  dctest::Pump();
  RECT r{};
  GetClientRect(window, &r);
  HDC dc = GetDC(window);
  const std::vector<std::uint32_t> shown = dctest::ReadPixels(dc, 0, 0, r.right, r.bottom);
  ReleaseDC(window, dc);
  const dctest::Bytes png =
      dctest::ReadBytes(std::filesystem::path(DC_SOURCE_DIR) / "tests/win/golden" / (std::string(name) + ".png"));
  const std::optional<swf::ImageSize> size = swf::SizeOfImage(png);
  ASSERT_TRUE(size);
  ASSERT_EQ(size->width, r.right);
  ASSERT_EQ(size->height, r.bottom);
  const std::optional<std::vector<std::uint8_t>> rgba = swf::DecodeImage(png, *size);
  ASSERT_TRUE(rgba);
  int differ = 0;
  std::string first;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::uint8_t* p = rgba->data() + i * 4;
    const std::uint32_t want = static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
    if (shown[i] == want) continue;
    if (differ++ == 0) {
      char text[96];
      std::snprintf(text, sizeof text, "(%d, %d): 0x%06X, was 0x%06X", static_cast<int>(i % r.right),
                    static_cast<int>(i / r.right), shown[i], want);
      first = text;
    }
  }
  EXPECT_EQ(differ, 0) << "pixels differ, the first at " << first;
}

TimeFormat TwentyFour() {
  TimeFormat f;
  f.twelveHour = false;
  f.leadingZero = true;
  return f;
}

TEST(SamePixels, AtOneHundredPercentEveryWindowShowsWhatItShowedBefore) {
  SetCursorPos(0, 0);
  {
    dctest::PackageParts p = dctest::Popups(0, false, 0);
    p.alert.WindowFrom = 0xFFFFFF;
    p.alert.WindowTo = 0xF0E6DC;
    p.alert.CaptionFrom = 0x8C5A3C;
    p.alert.CaptionTo = 0x462D1E;
    for (FontRecord* f : {&p.alert.Font, &p.alert.HeaderFont}) {
      WriteFixedText(f->Name, "Tahoma");
      f->Size = 9;
      f->Color = 0x202020;
      f->Charset = 1;
    }
    p.alert.HeaderFont.Style = 1;
    dctest::FiringClock c(p, {dctest::EveryDay("Tea time", "Put the kettle on and warm the pot")});
    c.Fire();
    ExpectSamePixels(c.form->Popups().Popup(0)->Window()->hwnd(), "popup");
  }
  dctest::Clock c;
  AboutDialog about(c.hwnd(), {"Test Clock", "Tester", "www.example.com", "someone@example.com"});
  // The picture was taken at version 0.2.0: the label says that whatever
  // the version is now.
  ASSERT_TRUE(SetDlgItemTextW(about.hwnd(), AboutDialog::kVersionId, L"Deskclock 0.2.0"));
  ShowWindow(about.hwnd(), SW_SHOW);
  ExpectSamePixels(about.hwnd(), "about");
  ShowWindow(about.hwnd(), SW_HIDE);
  dctest::TempDir dir;
  AlarmStore store;
  store.ResetDefaults();
  store.AddAlarm(dctest::MakeAlarm({.kind = AlarmKind::Once, .title = "first", .todo = "todo",
                                    .date = CivilDateTime{2026, 1, 31}, .weekday = 2, .timeDay = {2020, 3, 4}}));
  AlarmListDialog list(nullptr, store, dir / "Alarm.sav", TwentyFour());
  ShowWindow(list.hwnd(), SW_SHOW);
  ExpectSamePixels(list.hwnd(), "alarm-list");
  ShowWindow(list.hwnd(), SW_HIDE);
  AlarmEditorDialog editor(nullptr, L"Edit Alarm");
  editor.Record = store.GetAlarm(0);
  editor.TransferRecord(false);
  ShowWindow(editor.hwnd(), SW_SHOW);
  ExpectSamePixels(editor.hwnd(), "alarm-editor");
  ShowWindow(editor.hwnd(), SW_HIDE);
}

}  // namespace

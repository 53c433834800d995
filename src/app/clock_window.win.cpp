// TForm1: start-up, commands, tick, size and shape of the clock window.
#include "app/clock_window.win.h"

#include <vector>

#include "alarms/alarm_due.h"
#include "alarms/alarm_startup.h"
#include "app/message_filter.h"
#include "app/registry_run_keys.win.h"
#include "app/resource.h"
#include "app/single_instance.win.h"
#include "app/window_layout.h"
#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "base/win_text.h"
#include "ui/app_info.h"
#include "ui/error_handler.h"
#include "ui/menu.h"
#include "ui/modal.h"
#include "ui/region.h"

namespace dc {
namespace {

constexpr wchar_t kClass[] = L"DeskClockWindow";

std::wstring LocaleText(LCTYPE type) {
  wchar_t buf[32] = {};
  return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 32) ? std::wstring(buf) : std::wstring();
}

std::string ToAnsi(const std::wstring& text) {
  return Utf8ToAnsi(WideToUtf8(text)).value_or(std::string());
}

LocalTime SystemNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

HICON ClockIcon() {
  auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DESKCLOCK), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

template <std::size_t N>
std::wstring AnsiField(const char (&field)[N]) {
  return Utf8ToWide(AnsiToUtf8(ReadFixedText(field)));
}

RECT BoundsIn(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool HasVisibleStyle(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

ClockSeams SystemSeams() {
  ClockSeams seams;
  seams.now = SystemNow;
  TimeFormat& f = seams.timeFormat;
  f.leadingZero = LocaleText(LOCALE_ITLZERO) == L"1";
  f.separator = ToAnsi(LocaleText(LOCALE_STIME));
  if (f.separator.empty()) f.separator = ":";
  f.twelveHour = LocaleText(LOCALE_ITIME) != L"1";
  f.designatorFirst = LocaleText(LOCALE_ITIMEMARKPOSN) == L"1";
  f.am = ToAnsi(LocaleText(LOCALE_S1159));
  f.pm = ToAnsi(LocaleText(LOCALE_S2359));
  seams.runKeys = std::make_shared<RegistryRunKeys>();
  return seams;
}

TForm1::TForm1(PackageStart package, std::filesystem::path exePath, ClockSeams seams)
    : package_(std::move(package)),
      exePath_(std::move(exePath)),
      storePath_(exePath_.parent_path() / L"Alarm.sav"),
      seams_(std::move(seams)) {
  if (!seams_.runKeys) seams_.runKeys = std::make_shared<RegistryRunKeys>();
  if (!seams_.now) seams_.now = SystemNow;

  // The design: a borderless layered window of 253 x 128 at opacity 120,
  // the hidden picture, the digits, the menu, the tray icon and the timer.
  RegisterWindowClass(kClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr, ClockIcon());
  Create(WS_EX_LAYERED, kClass, ui::ApplicationTitle().c_str(), WS_POPUP | WS_CLIPCHILDREN, 0, 0, 253, 128, nullptr);
  SetLayeredWindowAttributes(hwnd(), 0, 120, LWA_ALPHA);
  ui::SetErrorOwner(hwnd());
  SingleInstance::MarkWindow(hwnd(), exePath_.parent_path());
  BuildMenu();
  image_ = std::make_unique<TImage>(hwnd(), 40, 16, 131, 112, false);
  image_->OnMouseDown = [this](UINT m) { ChildMouseDown(m); };
  led_ = std::make_unique<led::TLEDFontNum>(hwnd(), 56, 0, 46, 37);
  led_->SetThick(3);
  led_->SetSpace(4);
  led_->OnMouseDown = [this](UINT m, POINT) { ChildMouseDown(m); };
  led_->OnBoundsChanged = [this] {
    FitToChildren();
    if (built_) ApplyWindowShape();  // the digits grew or shrank: the shape follows
  };
  tray_ = std::make_unique<notify::TJvTrayIcon>(ClockIcon(), menu_.get(), hwnd());
  tray_->OnDblClick = [this](UINT) { Hide1Click(); };
  tray_->SetActive(true);
  mediaPlayer_ = std::make_unique<notify::TMediaPlayer>();

  // FormCreate, from the package's records on.
  if (!SetLayeredWindowAttributes(hwnd(), 0, package_.display.Opacity, LWA_ALPHA))
    ui::ReportError("The clock's opacity cannot be set: " + SystemErrorText(GetLastError()));
  if (package_.alert.AlertStyle > notify::asCenterGrow) {
    ui::ReportError("The clock package's alert style " + std::to_string(package_.alert.AlertStyle) +
                    " is not known (0 fades, 1 grows from the centre); the alarm popups fade.");
  }
  BuildFace();
  tray_->SetHint(AnsiField(package_.header.ClockName));
  const TDisplaySettings& d = package_.display;
  SetWindowPos(FaceWindow(), nullptr, d.FaceLeft, d.FaceTop, d.FaceWidth, d.FaceHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  FitToChildren();
  ConfigureLed();
  OpenStore();
  ApplyStayOnTop();
  SetChecked(kAutoRun, store_.AutoRun());
  SetChecked(kShowOnTip, store_.StayOnTop());
  const LocalTime now = seams_.now();
  led_->SetText(FormatLongTime(seams_.timeFormat, now));
  const bool checkNow = minutes_.StartupTick(seams_.now());
  built_ = true;
  ApplyWindowShape();
  if (checkNow) RunMinuteCheck();
  StartTimer(kTimer1, 1000, [this] { Timer1Timer(); });
}

TForm1::~TForm1() {
  // Timers first, then the tray icon, the popups and the sound (closed
  // before its file is deleted), the children, and the window last.
  if (hwnd()) StopTimer(kTimer1);
  tray_.reset();
  alerts_.clear();
  if (mediaPlayer_) mediaPlayer_->Close();
  mediaPlayer_.reset();
  flash_.reset();
  led_.reset();
  image_.reset();
  if (!package_.soundPath.empty()) DeleteFileQuietly(package_.soundPath);
}

void TForm1::BuildMenu() {
  menu_.reset(CreatePopupMenu());
  if (!menu_) throw UserError("The clock's menu cannot be created: " + SystemErrorText(GetLastError()));
  HMENU m = menu_.get();
  AppendMenuW(m, MF_STRING, kSetup1, L"&Alarms");
  AppendMenuW(m, MF_STRING, kHide1, L"&Hide");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, kShowOnTip, L"Always On &Tip");
  AppendMenuW(m, MF_STRING, kAutoRun, L"Auto &Run");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, kAbout1, L"A&bout");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, kExit1, L"&Exit");
}

void TForm1::BuildFace() {
  if (!package_.flashFace) {
    ShowWindow(image_->hwnd(), SW_SHOWNA);
    FitToChildren();
    if (!package_.faceBitmap.empty()) {
      try {
        image_->LoadFromBytes(package_.faceBitmap);
      } catch (const UserError& e) {
        ui::ReportError(e.what());
      }
    }
    // The shape of the picture's non-key pixels, kept at (0, 0).
    std::int32_t w = 0, h = 0;
    std::vector<std::uint32_t> colours = image_->PictureColours(w, h);
    std::vector<Rect> rects = PictureRegionRects(colours, w, h, package_.display.KeyColor, 0, 0);
    pictureShape_.reset(ui::RegionFromRects(rects));
    if (!pictureShape_) ui::ReportError("The clock's shape cannot be made: " + SystemErrorText(GetLastError()));
    return;
  }
  // A Flash face: the hosted control, or an empty placeholder keeping its place.
  const TDisplaySettings& d = package_.display;
  try {
    flash_ = std::make_unique<FlashFace>(hwnd(), package_.moviePath.native(), d.FaceLeft, d.FaceTop, d.FaceWidth,
                                         d.FaceHeight);
    image_.reset();
  } catch (const UserError& e) {
    ui::ReportError(e.what());
    ShowWindow(image_->hwnd(), SW_SHOWNA);
  }
  FitToChildren();
}

HWND TForm1::FaceWindow() const { return flash_ ? flash_->hwnd() : image_->hwnd(); }

void TForm1::ConfigureLed() {
  const TDisplaySettings& d = package_.display;
  // The digits lie over the face (a new child window starts below its siblings).
  SetWindowPos(led_->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (d.HideLed) {
    led_->SetVisible(false);
    FitToChildren();
    return;
  }
  // Left and top one after the other, as the window fits itself after each.
  RECT r = led_->Bounds();
  led_->SetBounds(d.LedLeft, r.top, r.right - r.left, r.bottom - r.top);
  r = led_->Bounds();
  led_->SetBounds(r.left, d.LedTop, r.right - r.left, r.bottom - r.top);
  led_->SetWordWidth(d.WordWidth);
  led_->SetWordHeight(d.WordHeight);
  led_->SetSpace(d.Space);
  led_->SetBGColor(d.LedBackColor);
  led_->SetDarkColor(d.LedBackColor);
  led_->SetLightColor(d.LedLightColor);
  led_->SetThick(d.Thick);
  led_->SetOffSetX(d.OffSetX);
  led_->SetOffSetY(d.OffSetY);
}

void TForm1::OpenStore() {
  for (const std::string& error : OpenAlarmStore(store_, storePath_)) ui::ReportError(error);
}

void TForm1::Show() {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd(), nullptr, GetSystemMetrics(SM_CXSCREEN) - w, GetSystemMetrics(SM_CYSCREEN) - h - 30, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void TForm1::Timer1Timer() {
  led_->SetText(FormatLongTime(seams_.timeFormat, seams_.now()));
  // A second reading of the clock decides the minute check.
  if (minutes_.Tick(seams_.now())) RunMinuteCheck();
}

void TForm1::RunMinuteCheck() {
  if (seams_.minuteCheck) {
    seams_.minuteCheck();
    return;
  }
  const LocalTime t = seams_.now();
  passErrors_.clear();
  dc::RunMinuteCheck(store_, {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond},
                     [this](const TAlarmRecord& alarm) { FireAlarm(alarm); });
  // Shown after the pass, so no box holds back the later popups.
  std::vector<std::string> errors;
  errors.swap(passErrors_);
  for (const std::string& e : errors) ui::ReportError(e);
}

void TForm1::ApplyFontRecord(const TFontRecord& record, notify::AlertFont& font) {
  LOGFONTW& f = font.log;
  f.lfCharSet = record.Charset;
  font.color = record.Color;
  f.lfHeight = record.Height;
  const std::wstring name = AnsiField(record.Name).substr(0, LF_FACESIZE - 1);
  wcsncpy(f.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  f.lfFaceName[LF_FACESIZE - 1] = 0;
  f.lfPitchAndFamily = record.Pitch == 1 ? VARIABLE_PITCH : record.Pitch == 2 ? FIXED_PITCH : DEFAULT_PITCH;
  f.lfHeight = -MulDiv(record.Size, 96, 72);  // the size decides the height
  f.lfWeight = record.Style & 1 ? FW_BOLD : FW_NORMAL;
  f.lfItalic = (record.Style & 2) != 0;
  f.lfUnderline = (record.Style & 4) != 0;
  f.lfStrikeOut = (record.Style & 8) != 0;
}

void TForm1::FireAlarm(const TAlarmRecord& alarm) {
  const TAlertSettings& a = package_.alert;
  auto alert = std::make_unique<notify::TJvDesktopAlert>(hwnd());
  alert->OnClose = [this](notify::TJvDesktopAlert& closed) { JvDesktopAlert1Close(closed); };
  alert->AutoFree = true;
  alert->freeAlert = [this](notify::TJvDesktopAlert* done) {
    PostMessageW(hwnd(), kFreeAlert, 0, reinterpret_cast<LPARAM>(done));
  };
  alert->HeaderText = AnsiField(alarm.Title);
  alert->MessageText = AnsiField(alarm.ToDo);
  // An unknown style was reported at start-up; such popups fade.
  alert->SetAlertStyle(a.AlertStyle > notify::asCenterGrow ? std::uint8_t{notify::asFade} : a.AlertStyle);
  alert->Colors.WindowFrom = a.WindowFrom;
  alert->Colors.WindowTo = a.WindowTo;
  alert->Colors.CaptionFrom = a.CaptionFrom;
  alert->Colors.CaptionTo = a.CaptionTo;
  ApplyFontRecord(a.Font, alert->Font);
  ApplyFontRecord(a.HeaderFont, alert->HeaderFont);
  alert->StyleOptions().options.displayDuration = notify::DisplayDurationOf(a.Timed != 0, a.DisplaySeconds);
  alert->Location.Position = a.Position;
  alert->LocationChanged();
  alert->Location.Left = a.Left;
  alert->Location.Top = a.Top;
  alert->Location.Width = a.Width;
  alert->Location.Height = a.Height;
  if (!package_.soundPath.empty() && FileExists(package_.soundPath)) {
    mediaPlayer_->FileName = package_.soundPath.native();
    try {
      mediaPlayer_->Open();
      mediaPlayer_->Play();
    } catch (const notify::EMCIDeviceError& e) {
      // The alarm still shows, silently; the error is shown after the pass.
      const std::string text = "The alarm sound cannot be played: " + std::string(e.what());
      if (std::find(passErrors_.begin(), passErrors_.end(), text) == passErrors_.end()) passErrors_.push_back(text);
    }
  }
  notify::TJvDesktopAlert* shown = alert.get();
  alerts_.push_back(std::move(alert));
  shown->ShowAlert();
}

void TForm1::JvDesktopAlert1Close(notify::TJvDesktopAlert&) { mediaPlayer_->Close(); }

void TForm1::FitToChildren() {
  if (fitting_) return;
  fitting_ = true;
  struct Entry {
    HWND hwnd;
    Child child;
  };
  std::vector<Entry> kids;
  for (HWND h : {image_ ? image_->hwnd() : nullptr, flash_ ? flash_->hwnd() : nullptr, led_ ? led_->hwnd() : nullptr}) {
    if (!h) continue;
    RECT r = BoundsIn(h, hwnd());
    kids.push_back({h, {{r.left, r.top, r.right, r.bottom}, HasVisibleStyle(h)}});
  }
  std::vector<Child> children;
  for (const Entry& e : kids) children.push_back(e.child);
  const FitResult fit = dc::FitToChildren(children);
  if (fit.width > 0 && fit.height > 0) {
    if (fit.dx || fit.dy) {
      for (const Entry& e : kids) {
        if (!e.child.visible) continue;  // hidden children are not moved
        SetWindowPos(e.hwnd, nullptr, e.child.bounds.left + fit.dx, e.child.bounds.top + fit.dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (client.right != fit.width || client.bottom != fit.height)
      SetWindowPos(hwnd(), nullptr, 0, 0, fit.width, fit.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  fitting_ = false;
}

void TForm1::ApplyWindowShape() {
  const RECT led = led_->Bounds();  // part of the shape also when hidden
  ui::UniqueRegion shape;
  if (package_.flashFace) {
    RECT face = BoundsIn(FaceWindow(), hwnd());
    shape.reset(CreateRectRgnIndirect(&face));
  } else if (package_.display.ShapeToPicture && pictureShape_) {
    shape.reset(CreateRectRgn(0, 0, 0, 0));
    if (shape) {
      CombineRgn(shape.get(), pictureShape_.get(), nullptr, RGN_COPY);
      RECT face = BoundsIn(image_->hwnd(), hwnd());
      OffsetRgn(shape.get(), face.left, face.top);
    }
  } else {
    return;  // no shape flag: the window keeps its shape
  }
  ui::UniqueRegion ledRegion(CreateRectRgnIndirect(&led));
  if (!shape || !ledRegion || CombineRgn(shape.get(), shape.get(), ledRegion.get(), RGN_OR) == ERROR) {
    ui::ReportError("The clock's shape cannot be made: " + SystemErrorText(GetLastError()));
    return;
  }
  if (SetWindowRgn(hwnd(), shape.get(), TRUE)) shape.release();  // the window owns it now
}

void TForm1::ChildMouseDown(UINT message) {
  // The system's move command: the window follows the mouse until the
  // button is released; a right press then opens the menu.
  ReleaseCapture();
  SendMessageW(hwnd(), WM_SYSCOMMAND, 0xF011, 0);
  if (message == WM_RBUTTONDOWN) {
    POINT p{};
    GetCursorPos(&p);
    OpenMenuAt(p);
  }
}

void TForm1::OpenMenuAt(POINT screen) { ui::TrackMenu(menu_.get(), hwnd(), screen, hwnd()); }

bool TForm1::FilterMessage(const MSG& msg) {
  const bool toFlash = flash_ && (msg.hwnd == flash_->hwnd() || IsChild(flash_->hwnd(), msg.hwnd));
  switch (FlashMessageAction(flash_ != nullptr, toFlash, msg.message)) {
    case FilterAction::MoveThenPass:
      ReleaseCapture();
      SendMessageW(hwnd(), WM_SYSCOMMAND, 0xF011, 0);
      return false;
    case FilterAction::OpenMenuAndDrop:
      OpenMenuAt(msg.pt);
      return true;
    case FilterAction::Pass:
      break;
  }
  return false;
}

void TForm1::SetChecked(UINT id, bool checked) {
  CheckMenuItem(menu_.get(), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool TForm1::Checked(UINT id) const { return (GetMenuState(menu_.get(), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

void TForm1::SaveStore() { SaveAlarmStore(store_, storePath_); }

void TForm1::ApplyStayOnTop() {
  SetWindowPos(hwnd(), store_.StayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm1::OnCommand(UINT id) {
  switch (id) {
    case kSetup1:
      Setup1Click();
      break;
    case kHide1:
      Hide1Click();
      break;
    case kShowOnTip:
      SetChecked(kShowOnTip, !Checked(kShowOnTip));  // an auto-check item flips first
      muShowOnTipClick();
      break;
    case kAutoRun:
      SetChecked(kAutoRun, !Checked(kAutoRun));
      muAutoRunClick();
      break;
    case kAbout1:
      About1Click();
      break;
    case kExit1:
      Exit1Click();
      break;
  }
}

void TForm1::Hide1Click() {
  wchar_t caption[32] = {};
  GetMenuStringW(menu_.get(), kHide1, caption, 32, MF_BYCOMMAND);
  const bool hiding = std::wstring(caption) == L"&Hide";
  ModifyMenuW(menu_.get(), kHide1, MF_BYCOMMAND | MF_STRING, kHide1, hiding ? L"&Show" : L"&Hide");
  if (IsWindowVisible(hwnd())) {
    ShowWindow(hwnd(), SW_HIDE);
  } else {
    Show();
  }
}

void TForm1::muShowOnTipClick() {
  const bool on = Checked(kShowOnTip);
  SetWindowPos(hwnd(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyWindowShape();
  store_.SetStayOnTop(on);
  SaveStore();
}

void TForm1::muAutoRunClick() {
  const bool want = Checked(kAutoRun);
  store_.SetAutoRun(want);
  SaveStore();
  AutoRunOutcome outcome =
      ApplyAutoRun(*seams_.runKeys, want, AnsiField(package_.header.ClockName), exePath_.native());
  if (outcome.inEffect != want) {
    // The option, its check mark and the saved store say what is in effect.
    SetChecked(kAutoRun, outcome.inEffect);
    store_.SetAutoRun(outcome.inEffect);
    SaveStore();
  }
  if (!outcome.error.empty()) ui::ReportError(outcome.error);
}

void TForm1::Setup1Click() {
  if (ui::BringModalToFront()) return;
  TfrmAlarmList list(hwnd(), store_, storePath_, seams_.timeFormat);
  list.ShowModal();
}

void TForm1::About1Click() {
  if (ui::BringModalToFront()) return;
  AboutTexts texts{AnsiToUtf8(ReadFixedText(package_.header.ClockName)), AnsiToUtf8(ReadFixedText(package_.header.Author)),
                   AnsiToUtf8(ReadFixedText(package_.header.Website)), AnsiToUtf8(ReadFixedText(package_.header.Email))};
  TfrmAbout about(hwnd(), texts);
  if (seams_.openAddress) about.openAddress = seams_.openAddress;
  about.ShowModal();
}

void TForm1::Exit1Click() {
  if (ui::TopModalDialog()) {
    // Close the open dialogs first; the exit comes back once they are gone.
    ui::CloseModalDialogs();
    PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kExit1, 0), 0);
    return;
  }
  DestroyWindow(hwnd());
}

std::optional<LRESULT> TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SingleInstance::ShowMessage()) {
    if (!IsWindowVisible(hwnd())) Hide1Click();
    SetForegroundWindow(hwnd());
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == 0 && lp == 0) OnCommand(LOWORD(wp));
      return 0;
    case kFreeAlert: {
      // A closed popup's release: the alert and its window go now.
      auto* done = reinterpret_cast<notify::TJvDesktopAlert*>(lp);
      std::erase_if(alerts_, [done](const auto& a) { return a.get() == done; });
      return 0;
    }
    case WM_CONTEXTMENU: {
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (p.x == -1 && p.y == -1) GetCursorPos(&p);
      OpenMenuAt(p);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      Exit1Click();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return std::nullopt;
}

}  // namespace dc

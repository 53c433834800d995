// ClockWindow: start-up, commands, tick, size and shape of the clock.
#include "app/clock_window.win.h"

#include <vector>

#include "alarms/alarm_list_dialog.win.h"
#include "alarms/store_startup.h"
#include "app/about_dialog.win.h"
#include "layout/led_setup.h"
#include "app/message_filter.h"
#include "app/popup_style.h"
#include "app/registry_run_keys.win.h"
#include "app/resource.h"
#include "app/single_instance.win.h"
#include "app/tick_schedule.h"
#include "app/window_fit.win.h"
#include "base/ansi_text.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "base/win_text.win.h"
#include "ui/app_info.h"
#include "ui/dpi.win.h"
#include "ui/drag.h"
#include "ui/error_handler.h"
#include "ui/menu.win.h"
#include "ui/modal.h"
#include "ui/window_classes.h"

namespace dc {
namespace {

// The window as designed, before the package sizes it: 253 x 128 at
// opacity 120, the hidden picture at (40, 16) 131 x 112, the digits at
// (56, 0) 46 x 37 with the design's thickness and gap (led_setup.h).
constexpr int kDesignWidth = 253, kDesignHeight = 128;
constexpr BYTE kDesignOpacity = 120;
constexpr RECT kDesignFace{40, 16, 40 + 131, 16 + 112};
constexpr RECT kDesignLed{56, 0, 56 + 46, 0 + 37};
// Private messages: the last modal dialog or box has closed.
constexpr UINT kModalsClosed = WM_APP + 11;
constexpr UINT kBackToPlace = WM_APP + 12;
// How long after it shows the clock keeps the place it asked for.
constexpr ULONGLONG kPlacingMs = 5000;

HICON ClockIcon() {
  auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DESKCLOCK), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

template <std::size_t N>
std::wstring AnsiField(const char (&field)[N]) {
  return Utf8ToWide(AnsiToUtf8(ReadFixedText(field)));
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The primary screen alone, for a clock given no monitors.
std::vector<Monitor> PrimaryScreen() {
  const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = {0, 0, screen.right, screen.bottom};
  return {{screen, ToRect(work), true, ui::DpiAt({0, 0})}};
}

Rect WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return ToRect(r);
}

}  // namespace

ClockWindow::ClockWindow(PackageStart package, std::filesystem::path exePath, ClockSeams seams)
    : package_(std::move(package)), exePath_(std::move(exePath)), seams_(std::move(seams)) {
  if (!seams_.runKeys) seams_.runKeys = std::make_shared<RegistryRunKeys>();
  if (!seams_.now) seams_.now = SystemNow;
  if (!seams_.monitors) seams_.monitors = PrimaryScreen;

  // The design: a borderless layered window, the hidden picture, the
  // digits, the tray icon; then the package's values.
  RegisterWindowClass(ui::kClockClass, 0, LoadCursorW(nullptr, IDC_ARROW), nullptr, ClockIcon());
  Create(WS_EX_LAYERED, ui::kClockClass, ui::ApplicationTitle().c_str(), WS_POPUP | WS_CLIPCHILDREN, 0, 0,
         kDesignWidth, kDesignHeight, nullptr);
  SetLayeredWindowAttributes(hwnd(), 0, kDesignOpacity, LWA_ALPHA);
  ui::SetErrorOwner(hwnd());
  SingleInstance::MarkWindow(hwnd(), exePath_.parent_path());
  // The clock's end, however it comes: the mark goes, the message loop ends.
  AtFinalDestroy([](HWND h) {
    ui::SetModalsClosedHandler(nullptr);
    SingleInstance::UnmarkWindow(h);
    PostQuitMessage(0);
  });
  ui::SetModalsClosedHandler([h = hwnd()] { PostMessageW(h, kModalsClosed, 0, 0); });
  picture_ = std::make_unique<FacePicture>(hwnd(), kDesignFace.left, kDesignFace.top, Width(kDesignFace),
                                           Height(kDesignFace), false);
  picture_->OnMouseDown = [this](UINT m) { ChildMouseDown(m); };
  led_ = std::make_unique<led::LedDisplay>(hwnd(), kDesignLed.left, kDesignLed.top, Width(kDesignLed),
                                           Height(kDesignLed));
  ApplyLedDesign(*led_);
  led_->OnMouseDown = [this](UINT m, POINT) { ChildMouseDown(m); };
  led_->OnBoundsChanged = [this] {
    if (fitting_) return;  // the fit or the scale moving the children: it shapes the window itself
    FitToChildren();
    if (built_) ApplyWindowShape();  // the digits grew or shrank: the shape follows
  };
  tray_ = std::make_unique<notify::TrayIcon>(
      [](int width, int height) {
        // Not shared: the icon is made at this size, and freed when another replaces it.
        return ui::UniqueIcon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DESKCLOCK), IMAGE_ICON, width, height, 0)));
      },
      menu_.Handle(), hwnd());
  tray_->OnDblClick = [this](UINT) { ToggleShown(); };
  // The icon joins the tray after the first paint (timer messages come
  // after paints): the shell's part need not hold up the clock's start.
  StartTimer(kTrayTimer, 1, [this] {
    StopTimer(kTrayTimer);
    if (tray_) tray_->SetActive(true);
  });
  firing_ = std::make_unique<AlarmFiring>(hwnd(), PopupConfigOf(package_.popup), package_.soundPath,
                                          seams_.timeFormat);
  firing_->onSnooze = [this](const AlarmRecord& alarm, int minutes) { scheduler_.Snooze(alarm, seams_.now(), minutes); };

  // From the package's records on.
  if (!SetLayeredWindowAttributes(hwnd(), 0, package_.display.Opacity, LWA_ALPHA))
    ui::ReportError("The clock's opacity cannot be set: " + SystemErrorText(GetLastError()));
  if (std::string warning = UnknownPopupStyleWarning(package_.popup); !warning.empty()) ui::ReportError(warning);
  BuildFace();
  tray_->SetHint(AnsiField(package_.header.ClockName));
  const DisplaySettings& d = package_.display;
  SetWindowPos(FaceWindow(), nullptr, d.FaceLeft, d.FaceTop, d.FaceWidth, d.FaceHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  FitToChildren();
  ConfigureLed();
  for (const std::string& error : OpenAlarmStore(store_, package_.storePath)) ui::ReportError(error);
  state_.stayOnTop = store_.StayOnTop();
  state_.autoRun = store_.AutoRun();
  ApplyStayOnTop();
  menu_.Show(state_);
  const CivilDateTime now = seams_.now();
  led_->SetText(FormatLongTime(seams_.timeFormat, now));
  const std::vector<dc::Firing> due = scheduler_.Start(store_, now);
  built_ = true;
  // Built at 100 %; then at the scale of the monitor the window lies on.
  base_ = {ToRect(BoundsIn(FaceWindow(), hwnd())), ToRect(led_->Bounds()), led_->Visible(), 0, 0};
  RECT client{};
  GetClientRect(hwnd(), &client);
  base_.width = client.right;
  base_.height = client.bottom;
  baseLed_ = led::MetricsOf(led_->Model());
  if (const int dpi = ui::WindowDpi(hwnd()); dpi != dpi_) {
    ApplyScale(dpi);
  } else {
    ApplyWindowShape();
  }
  Fire(due);
  ArmTick();
}

ClockWindow::~ClockWindow() {
  // Timers first, then the tray icon, the popups and the sound (closed
  // before its file is deleted), the children, and the window last.
  if (hwnd()) StopTimer(kTickTimer);
  tray_.reset();
  firing_.reset();
  flash_.reset();
  led_.reset();
  picture_.reset();
  if (!package_.soundPath.empty()) DeleteFileQuietly(package_.soundPath);
}

void ClockWindow::BuildFace() {
  if (!package_.flashFace) {
    ShowWindow(picture_->hwnd(), SW_SHOWNA);
    FitToChildren();
    try {
      if (!package_.faceBitmap.empty()) picture_->LoadFromBytes(package_.faceBitmap);
      shape_.SetPicture(picture_->PictureColours(), picture_->PictureWidth(), picture_->PictureHeight(),
                        package_.display.KeyColor, kBaseDpi);
    } catch (const UserError& e) {
      ui::ReportError(e.what());
    }
    return;
  }
  // A Flash face: our player in its own window, or, for a movie that cannot
  // be played, the empty placeholder keeping its place.
  const DisplaySettings& d = package_.display;
  try {
    if (package_.moviePath.empty())
      throw UserError("The clock's Flash face cannot be shown: the clock package holds no movie. The clock runs "
                      "with its digits only.");
    flash_ = std::make_unique<FlashFace>(hwnd(), package_.moviePath, d.FaceLeft, d.FaceTop, d.FaceWidth,
                                         d.FaceHeight, seams_.now,
                                         [this](int dx, int dy) { MoveFromFace(dx, dy); }, seams_.deviceFonts);
    picture_.reset();
  } catch (const UserError& e) {
    ui::ReportError(e.what());
    ShowWindow(picture_->hwnd(), SW_SHOWNA);
  }
  FitToChildren();
}

HWND ClockWindow::FaceWindow() const { return flash_ ? flash_->hwnd() : picture_->hwnd(); }

void ClockWindow::ConfigureLed() {
  const DisplaySettings& d = package_.display;
  // The digits lie over the face (a new child window starts below its siblings).
  SetWindowPos(led_->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (d.HideLed) {
    led_->SetVisible(false);
    FitToChildren();
    return;
  }
  // Left and top one after the other, as the window fits itself after each.
  RECT r = led_->Bounds();
  led_->SetBounds(d.LedLeft, r.top, Width(r), Height(r));
  r = led_->Bounds();
  led_->SetBounds(r.left, d.LedTop, Width(r), Height(r));
  ApplyLedSettings(*led_, d);
}

void ClockWindow::Show() {
  PlaceAtHome(seams_.monitors());
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  if (flash_) {
    flash_->SetRunning(true);
    if (!timerPaced_ && tickDue_ != kNoTick) flash_->KeepInStepWith(tickDue_);
  }
  GetWindowRect(hwnd(), &home_);
  placingUntil_ = GetTickCount64() + kPlacingMs;
}

void ClockWindow::Moved(const WINDOWPOS& pos) {
  // A window manager that maps the window may report it somewhere else
  // for a moment (Wine under openbox, on a busy machine, reads the frame's
  // corner while the window is being framed); the clock goes back to the
  // place it asked for. Once the user has moved it, it stays where it is.
  if ((pos.flags & SWP_NOMOVE) || GetTickCount64() >= placingUntil_) return;
  if (pos.x != home_.left || pos.y != home_.top) PostMessageW(hwnd(), kBackToPlace, 0, 0);
}

void ClockWindow::PlaceAtHome(const std::vector<Monitor>& monitors) {
  if (const Monitor* primary = PrimaryMonitor(monitors); primary && primary->dpi != dpi_) ApplyScale(primary->dpi);
  const Rect r = WindowRect(hwnd());
  const Rect home = HomePlace(r, monitors);
  if (home.left != r.left || home.top != r.top)
    SetWindowPos(hwnd(), nullptr, home.left, home.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(hwnd(), &home_);
}

void ClockWindow::ApplyScale(int dpi) {
  dpi_ = dpi;
  // The children move first, without fitting the window after each move;
  // the window takes the scaled layout's size once.
  fitting_ = true;
  ApplyLedMetrics(*led_, led::ScaleLedMetrics(baseLed_, dpi));
  const led::Size digits = led_->Model().TextSize();
  const ClockLayout to = ScaleClockLayout(base_, dpi, digits.width, digits.height);
  SetWindowPos(FaceWindow(), nullptr, to.face.left, to.face.top, to.face.Width(), to.face.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  try {
    led_->SetBounds(to.led.left, to.led.top, to.led.Width(), to.led.Height());
  } catch (const UserError& e) {
    ui::ReportError(e.what());
  }
  fitting_ = false;
  SetWindowPos(hwnd(), nullptr, 0, 0, to.width, to.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (picture_ && picture_->HasPicture()) {
    const DisplaySettings& d = package_.display;
    try {
      picture_->SetScale(dpi, d.ShapeToPicture ? std::optional<std::uint32_t>(d.KeyColor) : std::nullopt);
      shape_.SetPicture(picture_->PictureColours(), picture_->PictureWidth(), picture_->PictureHeight(), d.KeyColor, dpi);
    } catch (const UserError& e) {
      ui::ReportError(e.what());
    }
  }
  ApplyWindowShape();
}

bool ClockWindow::TakeMonitorScale(const std::vector<Monitor>& monitors) {
  const Monitor* monitor = MonitorOf(WindowRect(hwnd()), monitors);
  if (!monitor || monitor->dpi == dpi_) return false;
  ApplyScale(monitor->dpi);
  return true;
}

void ClockWindow::DpiChanged(int dpi, const RECT& suggested) {
  if (dpi == dpi_) return;  // laid out for it already (placed at home on that monitor, say)
  const bool atHome = WindowRect(hwnd()) == ToRect(home_);
  ApplyScale(dpi);
  if (atHome) {
    PlaceAtHome(seams_.monitors());
  } else {
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void ClockWindow::OnTick() {
  led_->SetText(FormatLongTime(seams_.timeFormat, seams_.now()));
  // A second reading of the clock decides which alarms are due.
  Fire(scheduler_.Tick(store_, seams_.now()));
  ArmTick();
}

void ClockWindow::ArmTick() {
  const unsigned delay = NextTickDelay(seams_.now().Millisecond);
  tickDue_ = GetTickCount64() + delay;
  if (timerPaced_) {
    StartTimer(kTickTimer, delay, [this] { OnTick(); });
  } else if (flash_) {
    // The frames keep in step with the seconds, which the system's clock
    // and the tick count can pull apart: at a whole frame rate one frame
    // a second then shares the tick's wake.
    flash_->KeepInStepWith(tickDue_);
  }
}

void ClockWindow::SetTimerPaced(bool paced) {
  if (paced == timerPaced_) return;
  timerPaced_ = paced;
  if (flash_) flash_->SetTimerPaced(paced);
  if (!paced) {
    StopTimer(kTickTimer);
    if (flash_ && tickDue_ != kNoTick) flash_->KeepInStepWith(tickDue_);
    return;
  }
  if (tickDue_ == kNoTick) return;
  const ULONGLONG now = GetTickCount64();
  StartTimer(kTickTimer, tickDue_ > now ? static_cast<UINT>(tickDue_ - now) : 1, [this] { OnTick(); });
}

ULONGLONG ClockWindow::NextWakeTick() const {
  return NextWake(tickDue_, flash_ ? flash_->NextFrameTick() : std::nullopt);
}

void ClockWindow::RunDue() {
  // The frame first: the tick counts the frames due by then as played.
  if (flash_) flash_->PlayDueFrames();
  if (const ULONGLONG now = GetTickCount64(); now >= tickDue_) {
    tickDue_ = now + 1000;  // a tick that fails comes again a second later; one that runs sets its own
    OnTick();
  }
}

void ClockWindow::TimeFormatChanged() {
  if (!seams_.readTimeFormat) return;
  seams_.timeFormat = seams_.readTimeFormat();
  if (firing_) firing_->SetTimeFormat(seams_.timeFormat);
  // The digits take the new format at the next tick; their new width
  // refits the window then.
}

void ClockWindow::ScreensChanged() {
  const Rect r = WindowRect(hwnd());
  const std::vector<Monitor> monitors = seams_.monitors();
  if (r == ToRect(home_)) {
    PlaceAtHome(monitors);
    return;
  }
  // A dragged clock stays while a monitor shows part of it; on a monitor
  // of another scale it takes that scale, and stays inside the screens.
  const auto moveTo = [this](const Rect& to) {
    const Rect at = WindowRect(hwnd());
    if (to.left != at.left || to.top != at.top)
      SetWindowPos(hwnd(), nullptr, to.left, to.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  moveTo(PlaceAfterScreenChange(r, false, monitors));
  if (TakeMonitorScale(monitors)) moveTo(PlaceAfterScreenChange(WindowRect(hwnd()), false, monitors));
}

void ClockWindow::Fire(const std::vector<dc::Firing>& firings) {
  if (seams_.fire) {
    if (!firings.empty()) seams_.fire(firings);
    return;
  }
  if (firing_) firing_->Fire(firings);
}

void ClockWindow::FitToChildren() {
  if (fitting_) return;  // moving the children reports their bounds again
  fitting_ = true;
  FitWindowToChildren(hwnd(), {picture_ ? picture_->hwnd() : nullptr, flash_ ? flash_->hwnd() : nullptr,
                               led_ ? led_->hwnd() : nullptr});
  fitting_ = false;
}

void ClockWindow::ApplyWindowShape() {
  const WindowShape::Face face = package_.flashFace             ? WindowShape::Face::Flash
                                 : package_.display.ShapeToPicture ? WindowShape::Face::ShapedPicture
                                                                   : WindowShape::Face::Picture;
  try {
    shape_.Apply(hwnd(), face, BoundsIn(FaceWindow(), hwnd()), led_->Bounds());
  } catch (const UserError& e) {
    ui::ReportError(e.what());
  }
}

void ClockWindow::MoveFromFace(int dx, int dy) {
  placingUntil_ = 0;
  // The pointer's way before the press became a move counts towards it:
  // the system's move follows the pointer from where it is now.
  RECT r{};
  if (GetWindowRect(hwnd(), &r))
    SetWindowPos(hwnd(), nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ui::StartWindowDrag(hwnd());
  TakeMonitorScale(seams_.monitors());
}

void ClockWindow::ChildMouseDown(UINT message) {
  placingUntil_ = 0;
  // Any button drags the clock; the right one's release opens the menu.
  if (message == WM_LBUTTONDOWN) {
    ui::StartWindowDrag(hwnd());
    TakeMonitorScale(seams_.monitors());  // the drag has ended
  } else {
    pointerDrag_.Begin(hwnd());
  }
}

void ClockWindow::EndPointerDrag(UINT message) {
  if (!pointerDrag_.End()) return;
  TakeMonitorScale(seams_.monitors());
  if (message != WM_RBUTTONUP) return;
  POINT p{};
  GetCursorPos(&p);
  OpenMenuAt(p);
}

void ClockWindow::OpenMenuAt(POINT screen) {
  if (const UINT command = ui::TrackMenu(menu_.Handle(), hwnd(), screen))
    PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

bool ClockWindow::FilterMessage(const MSG& msg) {
  const bool toFlash = flash_ && (msg.hwnd == flash_->hwnd() || IsChild(flash_->hwnd(), msg.hwnd));
  switch (FlashMessageAction(flash_ != nullptr, toFlash, msg.message)) {
    case FilterAction::OpenMenuAndDrop:
      OpenMenuAt(msg.pt);
      return true;
    case FilterAction::Pass:
      break;
  }
  return false;
}

void ClockWindow::SaveStore() { SaveAlarmStore(store_, package_.storePath); }

void ClockWindow::ApplyStayOnTop() {
  SetWindowPos(hwnd(), state_.stayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ClockWindow::Command(MenuCommand command) {
  switch (command) {
    case MenuCommand::Alarms: OpenAlarmList(); break;
    case MenuCommand::ShowHide: ToggleShown(); break;
    case MenuCommand::StayOnTop: ToggleStayOnTop(); break;
    case MenuCommand::AutoRun: ToggleAutoRun(); break;
    case MenuCommand::About: OpenAbout(); break;
    case MenuCommand::Exit: Exit(); break;
  }
}

void ClockWindow::ToggleShown() {
  state_.shown = !state_.shown;
  menu_.Show(state_);
  if (state_.shown) {
    Show();
  } else {
    ShowWindow(hwnd(), SW_HIDE);
    if (flash_) flash_->SetRunning(false);  // a hidden clock draws nothing
  }
}

void ClockWindow::ToggleStayOnTop() {
  state_.stayOnTop = !state_.stayOnTop;
  menu_.Show(state_);
  ApplyStayOnTop();
  ApplyWindowShape();
  store_.SetStayOnTop(state_.stayOnTop);
  SaveStore();
}

void ClockWindow::ToggleAutoRun() {
  const bool want = !state_.autoRun;
  state_.autoRun = want;
  menu_.Show(state_);
  store_.SetAutoRun(want);
  SaveStore();
  const AutoRunOutcome outcome =
      ApplyAutoRun(*seams_.runKeys, want, AnsiField(package_.header.ClockName), exePath_.native());
  if (outcome.inEffect != want) {
    // The option, its check mark and the saved store say what is in effect.
    state_.autoRun = outcome.inEffect;
    menu_.Show(state_);
    store_.SetAutoRun(outcome.inEffect);
    SaveStore();
  }
  if (!outcome.error.empty()) ui::ReportError(outcome.error);
}

void ClockWindow::OpenAlarmList() {
  if (ui::BringModalToFront()) return;
  AlarmListDialog list(hwnd(), store_, package_.storePath, seams_.timeFormat);
  list.ShowModal();
}

void ClockWindow::OpenAbout() {
  if (ui::BringModalToFront()) return;
  const PackageHeader& h = package_.header;
  const AboutTexts texts{AnsiToUtf8(ReadFixedText(h.ClockName)), AnsiToUtf8(ReadFixedText(h.Author)),
                         AnsiToUtf8(ReadFixedText(h.Website)), AnsiToUtf8(ReadFixedText(h.Email))};
  AboutDialog about(hwnd(), texts);
  if (seams_.openAddress) about.openAddress = seams_.openAddress;
  about.ShowModal();
}

void ClockWindow::Exit() {
  exitPending_ = true;
  if (ui::TopModalDialog()) {
    // The dialogs and boxes close first; the last one's end brings the exit.
    ui::CloseModalDialogs();
    return;
  }
  DestroyWindow(hwnd());
}

void ClockWindow::ExitIfNoModal() {
  if (exitPending_ && !ui::TopModalDialog()) DestroyWindow(hwnd());
}

void ClockWindow::EndSession() {
  // Every change was saved when it was made; what is left is tidying: the
  // icon out of the tray, the sound closed and its file gone.
  StopTimer(kTickTimer);
  tickDue_ = kNoTick;
  tray_.reset();
  firing_.reset();
  if (!package_.soundPath.empty()) DeleteFileQuietly(package_.soundPath);
  package_.soundPath.clear();
  Exit();
}

std::optional<LRESULT> ClockWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SingleInstance::ShowMessage()) {
    if (!state_.shown) ToggleShown();
    SetForegroundWindow(hwnd());
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == 0 && lp == 0) Command(static_cast<MenuCommand>(LOWORD(wp)));
      return 0;
    case AlarmFiring::kFreePopup:
      if (firing_) firing_->FreePopup(lp);  // a closed popup goes now, after its close returned
      return 0;
    case WM_POWERBROADCAST:
      // Back from sleep: the alarms missed meanwhile show at once.
      if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) OnTick();
      return TRUE;
    case WM_TIMECHANGE:
      OnTick();
      return 0;
    case WM_SETTINGCHANGE:
      if (wp == SPI_SETWORKAREA) ScreensChanged();
      if (lp && std::wstring_view(reinterpret_cast<const wchar_t*>(lp)) == L"intl") TimeFormatChanged();
      return 0;
    case WM_DISPLAYCHANGE:
      ScreensChanged();
      return 0;
    case WM_DPICHANGED:
      DpiChanged(ui::DpiOfMessage(wp), ui::SuggestedRect(lp));
      return 0;
    case kModalsClosed:
      ExitIfNoModal();
      return 0;
    case WM_WINDOWPOSCHANGED:
      Moved(*reinterpret_cast<const WINDOWPOS*>(lp));
      return std::nullopt;  // the system's handling sends WM_MOVE and WM_SIZE
    case kBackToPlace:
      if (state_.shown && GetTickCount64() < placingUntil_)
        SetWindowPos(hwnd(), nullptr, home_.left, home_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // the clock never holds the session up
    case WM_ENDSESSION:
      if (wp) EndSession();
      return 0;
    case WM_MOUSEACTIVATE:
      // A click drags the clock; it takes no activation from the window the
      // user works in.
      return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
      pointerDrag_.Follow();
      return 0;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      EndPointerDrag(msg);
      return 0;
    case WM_CAPTURECHANGED:
      pointerDrag_.End();
      return 0;
    case WM_CONTEXTMENU: {
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (p.x == -1 && p.y == -1) GetCursorPos(&p);
      OpenMenuAt(p);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      Exit();
      return 0;
  }
  return std::nullopt;
}

}  // namespace dc

// The Flash face's window side.
#include "app/flash_face.win.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/tick_schedule.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "ui/window_classes.h"

namespace dc {
namespace {

// A late timer plays the frames it missed, up to this many at once; a
// longer stall (a suspended machine, a busy one) is not made up.
constexpr std::uint64_t kMaxCatchUpFrames = 3;

// Minutes local time is ahead of UTC, as the system's time zone says now.
int UtcOffsetMinutes() {
  TIME_ZONE_INFORMATION tz{};
  const DWORD kind = GetTimeZoneInformation(&tz);
  if (kind == TIME_ZONE_ID_INVALID) return 0;
  LONG bias = tz.Bias;
  if (kind == TIME_ZONE_ID_DAYLIGHT) bias += tz.DaylightBias;
  if (kind == TIME_ZONE_ID_STANDARD) bias += tz.StandardBias;
  return -static_cast<int>(bias);
}

}  // namespace

FlashFace::FlashFace(HWND parent, const std::filesystem::path& moviePath, int left, int top, int width, int height,
                     std::function<CivilDateTime()> now,
                     std::function<void(int dx, int dy)> moveClock,
                     std::shared_ptr<swf::DeviceFontSource> deviceFonts)
    : moveClock_(std::move(moveClock)) {
  swf::PlayerOptions options;
  options.deviceFonts = std::move(deviceFonts);
  // The zone is asked again only when the local minute moved: a script
  // reads the time every frame, and a change of offset moves local time.
  options.now = [now = std::move(now), asked = std::optional<CivilDateTime>(), offset = 0]() mutable {
    const CivilDateTime t = now();
    if (!asked || asked->Minute != t.Minute || asked->Hour != t.Hour || asked->Day != t.Day ||
        asked->Month != t.Month || asked->Year != t.Year) {
      offset = UtcOffsetMinutes();
      asked = t;
    }
    return swf::avm1::LocalTime{t, offset};
  };
  const ULONGLONG start = GetTickCount64();
  options.timerMs = [start] { return static_cast<double>(GetTickCount64() - start); };
  options.viewportWidth = width;
  options.viewportHeight = height;
  options.trace = [](std::string_view text) {
    OutputDebugStringW(Utf8ToWide("DeskClock trace: " + std::string(text) + "\n").c_str());
  };
  try {
    player_ = std::make_unique<swf::Player>(swf::ReadMovieFile(moviePath), std::move(options));
  } catch (const UserError& e) {
    throw UserError(std::string("The clock's Flash face cannot be shown: ") + e.what() +
                    " The clock runs with its digits only.");
  }
  // No class cursor: WM_SETCURSOR sets the hand or the arrow.
  // A DC of its own: a paint a frame does not make and reset a DC each time.
  RegisterWindowClass(ui::kFlashFaceClass, CS_OWNDC, nullptr, nullptr);
  Create(0, ui::kFlashFaceClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top, width, height, parent);
  MakeSurface(width, height);
  frameClock_ = FrameClock(player_->FrameRate());
  PassOnWarnings();
}

void FlashFace::SetRunning(bool running) {
  if (running == running_) return;
  running_ = running;
  if (!running) {
    StopTimer(kFrameTimer);
    return;
  }
  // The frame rate is kept against the tick count: a timer that Windows
  // rounds up to its tick does not slow the movie down.
  startTick_ = GetTickCount64();
  framesPlayed_ = 0;
  if (timerPaced_) StartFrameTimer();
}

void FlashFace::SetTimerPaced(bool paced) {
  if (paced == timerPaced_) return;
  timerPaced_ = paced;
  if (!running_) return;
  if (paced) {
    StartFrameTimer();
  } else {
    StopTimer(kFrameTimer);
  }
}

void FlashFace::StartFrameTimer() {
  const UINT interval = static_cast<UINT>(std::max(1.0, std::floor(1000.0 / player_->FrameRate())));
  StartTimer(kFrameTimer, interval, [this] { PlayDueFrames(); });
}

void FlashFace::KeepInStepWith(ULONGLONG tick) {
  if (!running_ || !frameClock_.WholePerSecond()) return;
  const ULONGLONG now = GetTickCount64();
  startTick_ = FramesAnchoredTo(tick, now);
  framesPlayed_ = frameClock_.DueAt(now - startTick_);
}

std::optional<ULONGLONG> FlashFace::NextFrameTick() const {
  if (!running_) return std::nullopt;
  return startTick_ + frameClock_.NextAfter(framesPlayed_);
}

void FlashFace::PlayDueFrames() {
  if (!running_) return;
  const std::uint64_t due = frameClock_.DueAt(GetTickCount64() - startTick_);
  if (due <= framesPlayed_) return;
  std::uint64_t steps = due - framesPlayed_;
  if (steps > kMaxCatchUpFrames) steps = 1;
  framesPlayed_ = due;
  for (std::uint64_t i = 0; i < steps; ++i) player_->Advance();
  ShowChanges();
}

void FlashFace::PassOnWarnings() {
  for (const std::string& w : player_->TakeWarnings()) {
    OutputDebugStringW(Utf8ToWide("DeskClock: " + w + "\n").c_str());
  }
}

void FlashFace::MakeSurface(int width, int height) {
  surface_.Reset();
  width_ = width;
  height_ = height;
  if (width <= 0 || height <= 0) return;
  surface_.Ensure(width, height, "The clock's Flash face cannot get a bitmap to draw on");
  surfaceStale_ = true;
}

void FlashFace::ShowChanges() {
  PassOnWarnings();
  if (!player_->NeedsRender()) return;
  // A surface not drawn yet is drawn whole when painted.
  if (surface_.Empty() || surfaceStale_) {
    Invalidate(nullptr);
    return;
  }
  // The frame's changes are drawn at once; only their box is shown again.
  GdiFlush();
  PixelTarget face{surface_.Bits(), width_, height_, width_};
  const swf::PixelBox drawn = player_->RenderChanges(face);
  PassOnWarnings();
  if (drawn.Empty()) return;
  ++framesDrawn_;
  const RECT box{drawn.x0, drawn.y0, drawn.x1, drawn.y1};
  Invalidate(&box);
}

void FlashFace::Invalidate(const RECT* box) {
  if (!InvalidateRect(hwnd(), box, FALSE))
    throw UserError("The clock's Flash face cannot be shown again: " + SystemErrorText(GetLastError()));
}

void FlashFace::OnMouse(UINT msg, int x, int y) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      if (press_.Moved(x, y, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG))) {
        // The press moves the clock: the movie never saw it, and sees no
        // release either.
        ReleaseCapture();
        if (moveClock_) moveClock_(x - press_.X(), y - press_.Y());
        return;
      }
      if (!press_.Held()) player_->MouseMove(x, y);
      break;
    case WM_LBUTTONDOWN:
      press_.Press(x, y);
      SetCapture(hwnd());
      return;
    case WM_LBUTTONUP:
      if (!press_.Released()) return;
      ReleaseCapture();
      player_->MouseDown(press_.X(), press_.Y());
      player_->MouseUp(press_.X(), press_.Y());
      // Where the pointer is now, should it have moved within the click.
      player_->MouseMove(x, y);
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      press_.Cancel();
      player_->MouseLeave();
      break;
    default:
      return;
  }
  ShowChanges();
}

bool FlashFace::DrawFrame() {
  if (surface_.Empty() || !surfaceStale_) return false;
  GdiFlush();
  PixelTarget face{surface_.Bits(), width_, height_, width_};
  player_->Render(face);
  surfaceStale_ = false;
  ++framesDrawn_;
  PassOnWarnings();
  return true;
}

std::optional<LRESULT> FlashFace::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // every pixel is the movie's
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnMouse(msg, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_MOUSELEAVE:
      OnMouse(msg, 0, 0);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd()) press_.Cancel();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) != HTCLIENT) return std::nullopt;
      SetCursor(LoadCursorW(nullptr, player_->PointerCursor() == swf::Player::Cursor::Hand ? IDC_HAND : IDC_ARROW));
      return TRUE;
    case WM_PAINT: {
      ui::PaintScope paint(hwnd());
      if (!paint.get()) return 0;
      DrawFrame();
      if (surface_.Empty()) return 0;
      // What was invalidated or uncovered, from the picture drawn.
      const RECT& area = paint.Area();
      BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, surface_.Dc(), area.left,
             area.top, SRCCOPY);
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOSIZE)) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        if (client.right != width_ || client.bottom != height_) {
          // A new size (a new scale): the movie is drawn again, all of it.
          MakeSurface(client.right, client.bottom);
          Invalidate(nullptr);
        }
      }
      return std::nullopt;
    }
  }
  (void)wp;
  return std::nullopt;
}

}  // namespace dc

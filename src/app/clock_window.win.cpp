// The clock window.
#include "app/clock_window.win.h"

#include "alarms/alarm_startup.h"
#include "app/resource.h"
#include "base/file_io.h"
#include "base/win_text.h"
#include "ui/app_info.h"
#include "ui/bitmap.h"
#include "ui/message_box.h"

namespace dc {
namespace {

constexpr wchar_t kClassName[] = L"DeskClockWindow";
constexpr UINT kExitCommand = 1;

}  // namespace

ClockWindow::ClockWindow(HINSTANCE instance, PackageStart package, std::filesystem::path storePath)
    : package_(std::move(package)), storePath_(std::move(storePath)) {
  if (!package_.flashFace && !package_.faceBitmap.empty()) {
    try {
      face_ = ui::BitmapFromBmpBytes(package_.faceBitmap);
    } catch (const UserError& e) {
      ui::ShowError(nullptr, e.what());
    }
  }

  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_DESKCLOCK));
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw UserError("The clock window cannot be registered: " + SystemErrorText(GetLastError()));

  const TDisplaySettings& d = package_.display;
  int width = d.FaceWidth > 0 ? d.FaceWidth : 253;
  int height = d.FaceHeight > 0 ? d.FaceHeight : 128;
  hwnd_ = CreateWindowExW(WS_EX_LAYERED, kClassName, ui::ApplicationTitle().c_str(), WS_POPUP, 0, 0, width,
                          height, nullptr, nullptr, instance, this);
  if (!hwnd_) throw UserError("The clock window cannot be created: " + SystemErrorText(GetLastError()));
  if (!SetLayeredWindowAttributes(hwnd_, 0, d.Opacity, LWA_ALPHA))
    ui::ShowError(hwnd_, "The clock's opacity cannot be set: " + SystemErrorText(GetLastError()));

  for (const std::string& error : OpenAlarmStore(store_, storePath_)) ui::ShowError(nullptr, error);
  SetWindowPos(hwnd_, store_.StayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

ClockWindow::~ClockWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (face_) DeleteObject(face_);
  if (!package_.soundPath.empty()) DeleteFileQuietly(package_.soundPath);
}

void ClockWindow::Show() {
  PlaceBottomRight();
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void ClockWindow::PlaceBottomRight() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd_, nullptr, GetSystemMetrics(SM_CXSCREEN) - w, GetSystemMetrics(SM_CYSCREEN) - h - 30, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK ClockWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<ClockWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<ClockWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    ui::ShowError(hwnd, e.what());
    return 0;
  }
}

LRESULT ClockWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The system's move command: the window follows the mouse.
      ReleaseCapture();
      SendMessageW(hwnd_, WM_SYSCOMMAND, 0xF011, 0);
      return 0;
    case WM_RBUTTONUP: {
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ClientToScreen(hwnd_, &p);
      ShowMenu(p);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == kExitCommand) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void ClockWindow::ShowMenu(POINT screen) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, kExitCommand, L"&Exit");
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void ClockWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  if (face_) {
    HDC mem = CreateCompatibleDC(dc);
    if (mem) {
      HGDIOBJ old = SelectObject(mem, face_);
      BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
    }
  } else {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(hwnd_, &ps);
}

}  // namespace dc

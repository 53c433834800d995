// The window base and its procedure.
#include "ui/window.win.h"

#include "base/unique_handle.h"
#include "base/user_error.h"
#include "base/win_text.win.h"
#include "ui/error_handler.h"
#include "ui/modal.h"

namespace dc::ui {

Window::~Window() {
  if (hwnd_) {
    destroying_ = true;
    DestroyWindow(hwnd_);  // its WM_NCDESTROY does the final work
  }
}

void Window::RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  WNDCLASSEXW wc{sizeof wc};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return;
  wc = WNDCLASSEXW{sizeof wc};
  wc.style = style;
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc)) {
    const DWORD error = GetLastError();  // before the name's conversion can change it
    throw UserError("The window class " + WideToUtf8(name) + " cannot be registered: " + SystemErrorText(error));
  }
}

void Window::Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int w,
                    int h, HWND parent, HMENU idOrMenu) {
  HWND created = CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, idOrMenu,
                                 GetModuleHandleW(nullptr), this);
  if (!created) {
    const DWORD error = GetLastError();  // before the name's conversion can change it
    throw UserError("The window " + WideToUtf8(className) + " cannot be created: " + SystemErrorText(error));
  }
}

void Window::StartTimer(UINT_PTR id, UINT milliseconds, std::function<void()> tick) {
  if (!SetTimer(hwnd_, id, milliseconds, nullptr))
    throw UserError("A timer cannot be started: " + SystemErrorText(GetLastError()));
  if (!timers_.count(id)) CountHandle(HandleKind::Timer, +1);
  timers_[id] = std::move(tick);
}

void Window::StopTimer(UINT_PTR id) {
  if (!timers_.erase(id)) return;
  CountHandle(HandleKind::Timer, -1);
  KillTimer(hwnd_, id);
}

void Window::FinalDestroy() {
  systemLoop_.reset();
  // The system kills a destroyed window's timers; the count follows.
  CountHandle(HandleKind::Timer, -static_cast<long>(timers_.size()));
  timers_.clear();
  std::vector<std::function<void(HWND)>> work;
  work.swap(finalWork_);
  for (auto& w : work) w(hwnd_);
  CountHandle(HandleKind::Window, -1);
  hwnd_ = nullptr;
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    CountHandle(HandleKind::Window, +1);
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    try {
      self->FinalDestroy();
    } catch (...) {
      ReportError("An unexpected error occurred while a window closed.");
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (self->destroying_) return DefWindowProcW(hwnd, msg, wp, lp);  // the derived object is gone
  try {
    switch (msg) {
      case WM_ENTERSIZEMOVE:
      case WM_ENTERMENULOOP:
        if (!self->systemLoop_) self->systemLoop_ = std::make_unique<NestedLoop>();
        break;
      case WM_EXITSIZEMOVE:
      case WM_EXITMENULOOP:
        self->systemLoop_.reset();
        break;
      default:
        break;
    }
    if (msg == WM_TIMER) {
      auto it = self->timers_.find(wp);
      if (it != self->timers_.end()) {
        std::function<void()> tick = it->second;  // the tick may stop its own timer
        tick();
        return 0;
      }
    }
    if (std::optional<LRESULT> handled = self->HandleMessage(msg, wp, lp)) return *handled;
  } catch (const std::exception& e) {
    ReportError(e.what());
    if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);  // a failing paint must not come back at once
    return 0;
  } catch (...) {
    // Nothing crosses into the system's code, whatever was thrown.
    ReportError("An unexpected error occurred in the clock's window.");
    if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace dc::ui

// The window base: the window procedure finds its object through
// GWLP_USERDATA (set at WM_NCCREATE from lpCreateParams) and forwards to a
// virtual HandleMessage; what it does not handle goes to the default
// procedure. No exception crosses into the system: it goes to the central
// error handler, and the program goes on.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>

namespace dc::ui {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

  // A window-message timer whose WM_TIMER runs `tick`; starting an id again
  // replaces it. Ticks also arrive inside modal loops.
  void StartTimer(UINT_PTR id, UINT milliseconds, std::function<void()> tick);
  void StopTimer(UINT_PTR id);

 protected:
  // Registers the class once per process (by name).
  static void RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                                  HICON icon = nullptr);
  // Creates the window bound to this object; throws UserError on failure.
  void Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int w,
              int h, HWND parent, HMENU idOrMenu = nullptr);
  // Handled messages return their result; others fall through.
  virtual std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
  std::map<UINT_PTR, std::function<void()>> timers_;
};

}  // namespace dc::ui

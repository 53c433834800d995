// The window base: the window procedure finds its object through
// GWLP_USERDATA (set at WM_NCCREATE from lpCreateParams) and forwards to a
// virtual HandleMessage; what it does not handle goes to the default
// procedure. No exception crosses into the system: it goes to the central
// error handler, and the program goes on.
//
// A window ends one way, whoever ends it: its WM_NCDESTROY runs the work
// registered with AtFinalDestroy, stops its timers and unbinds the object.
// Destroyed from the object's destructor, the derived parts are already
// gone, so no message reaches HandleMessage then; the final work still runs.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "ui/modal.h"

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
  // Work for the window's very end, on every path: it may use the handle,
  // never the derived object (which may be gone).
  void AtFinalDestroy(std::function<void(HWND)> work) { finalWork_.push_back(std::move(work)); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void FinalDestroy();
  HWND hwnd_ = nullptr;
  bool destroying_ = false;  // the destructor runs: only the base is left
  std::map<UINT_PTR, std::function<void()>> timers_;
  std::vector<std::function<void(HWND)>> finalWork_;
  // The system's move or size loop, or its menu loop, runs for this window
  // (a popup dragged by its face, a dialog's system menu): a nested loop
  // while it lasts, ended with the window at the latest.
  std::unique_ptr<NestedLoop> systemLoop_;
};

}  // namespace dc::ui

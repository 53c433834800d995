// One small move-only owner for the platform's handles, a name per kind,
// and scoped SelectObject and device contexts.
#pragma once

#include <windows.h>

#include <utility>

namespace dc::ui {

template <class T, auto Release, T Null = T{}>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T h) : h_(h) {}
  ~Unique() { reset(); }
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Null)) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Null);
    }
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  T get() const { return h_; }
  T operator->() const { return h_; }  // for owned interface pointers
  explicit operator bool() const { return h_ != Null; }
  // Where a function that makes a handle puts it; the old one is released.
  T* put() {
    reset();
    return &h_;
  }
  // Gives up ownership, for a handle the system now owns (a region after a
  // successful SetWindowRgn).
  T release() { return std::exchange(h_, Null); }
  void reset(T h = Null) {
    if (h_ != Null) Release(h_);
    h_ = h;
  }

 private:
  T h_ = Null;
};

template <class T>
void DeleteGdiObject(T h) {
  DeleteObject(h);
}
inline void DeleteMemoryDC(HDC h) { DeleteDC(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void FreeLocalArgv(LPWSTR* argv) { LocalFree(argv); }

using UniqueBitmap = Unique<HBITMAP, DeleteGdiObject<HBITMAP>>;
using UniqueRegion = Unique<HRGN, DeleteGdiObject<HRGN>>;
using UniqueBrush = Unique<HBRUSH, DeleteGdiObject<HBRUSH>>;
using UniqueFont = Unique<HFONT, DeleteGdiObject<HFONT>>;
using UniqueMemoryDC = Unique<HDC, DeleteMemoryDC>;
using UniqueMenu = Unique<HMENU, DestroyMenuHandle>;
using UniqueKey = Unique<HKEY, CloseKey>;
using UniqueHandle = Unique<HANDLE, CloseKernelHandle>;
// The argument vector CommandLineToArgvW allocates.
using UniqueArgv = Unique<LPWSTR*, FreeLocalArgv>;

// Selects an object into a device context for the scope's life.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~ScopedSelect() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's device context from GetDC, released at the scope's end.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint and EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintScope() { EndPaint(hwnd_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

}  // namespace dc::ui

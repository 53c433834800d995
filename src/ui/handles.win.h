// The owner of each kind of the platform's handles the shell uses, and
// scoped SelectObject and device contexts.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"

namespace dc::ui {

template <class T>
void DeleteGdiObject(T h) {
  DeleteObject(h);
}
inline void DeleteMemoryDC(HDC h) { DeleteDC(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void FreeLocalArgv(LPWSTR* argv) { LocalFree(argv); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }

using dc::HandleKind;
using dc::Unique;
using UniqueBitmap = Unique<HBITMAP, DeleteGdiObject<HBITMAP>, HandleKind::Gdi>;
using UniqueRegion = Unique<HRGN, DeleteGdiObject<HRGN>, HandleKind::Region>;
using UniqueBrush = Unique<HBRUSH, DeleteGdiObject<HBRUSH>, HandleKind::Gdi>;
using UniqueFont = Unique<HFONT, DeleteGdiObject<HFONT>, HandleKind::Gdi>;
using UniqueMemoryDC = Unique<HDC, DeleteMemoryDC, HandleKind::Gdi>;
using UniqueMenu = Unique<HMENU, DestroyMenuHandle, HandleKind::Menu>;
// An icon the program made (not one loaded shared).
using UniqueIcon = Unique<HICON, DestroyIconHandle, HandleKind::Icon>;
using UniqueKey = Unique<HKEY, CloseKey, HandleKind::Kernel>;
using UniqueHandle = Unique<HANDLE, CloseKernelHandle, HandleKind::Kernel>;
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
  // False when SelectObject failed: the object is not in the context.
  bool Selected() const { return old_ && old_ != HGDI_ERROR; }

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
  // The part of the window to paint: what was invalidated or uncovered.
  const RECT& Area() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

}  // namespace dc::ui

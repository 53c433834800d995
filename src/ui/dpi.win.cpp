// The DPI functions, bound from the system folder's DLLs at first use.
#include "ui/dpi.win.h"

#include "base/scale.h"
#include "ui/handles.win.h"

namespace dc::ui {
namespace {

// shcore's monitor DPI kind and process awareness (Windows 8.1).
constexpr int kEffectiveDpi = 0, kPerMonitorAware = 2;

struct DpiFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  UINT(WINAPI* getDpiForSystem)() = nullptr;
  int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
  BOOL(WINAPI* setProcessDpiAwarenessContext)(DPI_AWARENESS_CONTEXT) = nullptr;
  BOOL(WINAPI* isProcessDpiAware)() = nullptr;
  BOOL(WINAPI* setProcessDpiAware)() = nullptr;
  HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
  HRESULT(WINAPI* setProcessDpiAwareness)(int) = nullptr;
};

template <class F>
void Bind(HMODULE module, const char* name, F& f) {
  if (module) f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions f;
    // user32 is the system's, loaded with the program; shcore is looked for
    // in the system folder only, and kept for the process's life.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Bind(user32, "GetDpiForWindow", f.getDpiForWindow);
    Bind(user32, "GetDpiForSystem", f.getDpiForSystem);
    Bind(user32, "GetSystemMetricsForDpi", f.getSystemMetricsForDpi);
    Bind(user32, "AdjustWindowRectExForDpi", f.adjustWindowRectExForDpi);
    Bind(user32, "SystemParametersInfoForDpi", f.systemParametersInfoForDpi);
    Bind(user32, "SetProcessDpiAwarenessContext", f.setProcessDpiAwarenessContext);
    Bind(user32, "IsProcessDPIAware", f.isProcessDpiAware);
    Bind(user32, "SetProcessDPIAware", f.setProcessDpiAware);
    const HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    Bind(shcore, "GetDpiForMonitor", f.getDpiForMonitor);
    Bind(shcore, "SetProcessDpiAwareness", f.setProcessDpiAwareness);
    return f;
  }();
  return functions;
}

}  // namespace

int DpiOfMonitor(HMONITOR monitor) {
  const DpiFunctions& f = Functions();
  UINT x = 0, y = 0;
  if (monitor && f.getDpiForMonitor && SUCCEEDED(f.getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
    return static_cast<int>(y);
  return SystemDpi();
}

void BecomeDpiAware() {
  const DpiFunctions& f = Functions();
  if (f.isProcessDpiAware && f.isProcessDpiAware()) return;  // the manifest did it
  if (f.setProcessDpiAwarenessContext &&
      (f.setProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) ||
       f.setProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)))
    return;
  if (f.setProcessDpiAwareness && SUCCEEDED(f.setProcessDpiAwareness(kPerMonitorAware))) return;
  if (f.setProcessDpiAware) f.setProcessDpiAware();
}

int SystemDpi() {
  const DpiFunctions& f = Functions();
  if (f.getDpiForSystem) return static_cast<int>(f.getDpiForSystem());
  WindowDC screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
  const DpiFunctions& f = Functions();
  if (f.getDpiForWindow) {
    if (const UINT dpi = f.getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return DpiOfMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int DpiAt(POINT screen) { return DpiOfMonitor(MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST)); }

int MetricForDpi(int index, int dpi) {
  const DpiFunctions& f = Functions();
  if (f.getSystemMetricsForDpi) return f.getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  const DpiFunctions& f = Functions();
  if (f.adjustWindowRectExForDpi) return f.adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
  return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != 0;
}

std::optional<LOGFONTW> MessageFontForDpi(int dpi) {
  const DpiFunctions& f = Functions();
  NONCLIENTMETRICSW metrics{sizeof metrics};
  if (f.systemParametersInfoForDpi) {
    if (!f.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
      return std::nullopt;
    return metrics.lfMessageFont;
  }
  // The system's font at the system's DPI, its height scaled.
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return std::nullopt;
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  return metrics.lfMessageFont;
}

}  // namespace dc::ui

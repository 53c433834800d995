// The screen's scale for the shell's windows. The clock is per-monitor DPI
// aware (its manifest says so): each window learns its monitor's DPI and
// lays itself out at it, and again when WM_DPICHANGED says the monitor or
// its scale changed. The functions that tell a monitor's DPI came with
// later systems; they are bound at run time from the system's own user32
// and shcore, and where they are missing the system's DPI stands for every
// monitor (a system-aware process), or 96 (an unaware one).
#pragma once

#include <windows.h>

#include <optional>

namespace dc::ui {

// Makes the process DPI aware when its manifest did not: per monitor
// where the system can, else for the system's DPI; else it stays unaware.
void BecomeDpiAware();

// The DPI the system's DPI-aware windows are drawn at on the primary
// monitor at start-up, or 96 for an unaware process.
int SystemDpi();
// The DPI of the monitor a window lies on, as the window is to draw.
int WindowDpi(HWND window);
// The DPI of the monitor at a screen point (the nearest monitor), and of a
// monitor.
int DpiAt(POINT screen);
int DpiOfMonitor(HMONITOR monitor);

// GetSystemMetrics for a DPI.
int MetricForDpi(int index, int dpi);
// The window rectangle holding a client rectangle at a DPI; false when the
// system refuses.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// The system's message font at a DPI; none when the system refuses.
std::optional<LOGFONTW> MessageFontForDpi(int dpi);

// WM_DPICHANGED's new DPI and the rectangle the system suggests.
inline int DpiOfMessage(WPARAM wp) { return HIWORD(wp); }
inline const RECT& SuggestedRect(LPARAM lp) { return *reinterpret_cast<const RECT*>(lp); }

}  // namespace dc::ui

// The system's clock, the locale's time settings, the registry and the fonts.
#include <windows.h>

#include "app/clock_seams.win.h"
#include "app/gdi_font_source.win.h"
#include "app/registry_run_keys.win.h"
#include "base/ansi_text.h"
#include "base/win_text.win.h"
#include "ui/dpi.win.h"

namespace dc {
namespace {

std::wstring LocaleText(LCTYPE type) {
  wchar_t buf[80] = {};
  return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 80) ? std::wstring(buf) : std::wstring();
}

std::string LocaleAnsi(LCTYPE type) { return *Utf8ToAnsi(WideToUtf8(LocaleText(type)), Unmappable::Substitute); }

}  // namespace

CivilDateTime SystemNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

TimeFormat LocaleTimeFormat() {
  TimeFormat f;
  f.leadingZero = LocaleText(LOCALE_ITLZERO) == L"1";
  f.separator = LocaleAnsi(LOCALE_STIME);
  if (f.separator.empty()) f.separator = ":";
  f.twelveHour = LocaleText(LOCALE_ITIME) != L"1";
  f.designatorFirst = LocaleText(LOCALE_ITIMEMARKPOSN) == L"1";
  f.am = LocaleAnsi(LOCALE_S1159);
  f.pm = LocaleAnsi(LOCALE_S2359);
  if (std::string picture = LocaleAnsi(LOCALE_SSHORTTIME); !picture.empty()) f.shortPicture = picture;
  return f;
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM lp) {
  MONITORINFO info{sizeof info};
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;  // gone meanwhile
  const RECT& b = info.rcMonitor;
  const RECT& w = info.rcWork;
  reinterpret_cast<std::vector<Monitor>*>(lp)->push_back(
      {{b.left, b.top, b.right, b.bottom}, {w.left, w.top, w.right, w.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
       ui::DpiOfMonitor(monitor)});
  return TRUE;
}

}  // namespace

std::vector<Monitor> SystemMonitors() {
  std::vector<Monitor> monitors;
  if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors))) monitors.clear();
  return monitors;
}

ClockSeams SystemSeams() {
  ClockSeams seams;
  seams.now = SystemNow;
  seams.timeFormat = LocaleTimeFormat();
  seams.readTimeFormat = LocaleTimeFormat;
  seams.monitors = SystemMonitors;
  seams.runKeys = std::make_shared<RegistryRunKeys>();
  seams.deviceFonts = std::make_shared<GdiFontSource>();
  return seams;
}

}  // namespace dc

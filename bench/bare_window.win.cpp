// The yardstick of start-up: a bare layered popup window, shown at once,
// that runs until it is closed. The clock's start is measured against it.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"DeskClockBench.Bare";
  if (!RegisterClassExW(&wc)) return 1;
  HWND hwnd = CreateWindowExW(WS_EX_LAYERED, wc.lpszClassName, L"bare", WS_POPUP, 1000, 800, 253, 128, nullptr,
                              nullptr, instance, nullptr);
  if (!hwnd) return 1;
  SetLayeredWindowAttributes(hwnd, 0, 200, LWA_ALPHA);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// The error queue, shown from a message-only window's posted message.
#include "ui/error_handler.h"

#include <windows.h>

#include <algorithm>
#include <deque>

#include "ui/message_box.h"
#include "ui/window_classes.h"

namespace dc::ui {
namespace {

constexpr UINT kShowErrors = WM_APP + 1;

struct ErrorQueue {
  std::deque<std::string> waiting;
  HWND owner = nullptr;
  HWND poster = nullptr;
  bool showing = false;
  std::function<void(const std::string&)> sink;
};

ErrorQueue& Queue() {
  static ErrorQueue q;
  return q;
}

LRESULT CALLBACK PosterProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kShowErrors) {
    ShowQueuedErrors();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND Poster() {
  ErrorQueue& q = Queue();
  if (!q.poster) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = PosterProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kErrorsClass;
    RegisterClassExW(&wc);  // already registered is fine; without a poster, errors show at once
    q.poster = CreateWindowExW(0, kErrorsClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  return q.poster;
}

}  // namespace

void SetErrorOwner(HWND owner) { Queue().owner = owner; }

void SetErrorSink(std::function<void(const std::string&)> sink) { Queue().sink = std::move(sink); }

void ReportError(const std::string& text) {
  ErrorQueue& q = Queue();
  if (std::find(q.waiting.begin(), q.waiting.end(), text) != q.waiting.end()) return;
  q.waiting.push_back(text);
  HWND poster = Poster();
  if (!poster || !PostMessageW(poster, kShowErrors, 0, 0)) ShowQueuedErrors();
}

void ShowQueuedErrors() {
  ErrorQueue& q = Queue();
  if (q.showing) return;  // the box already open shows the rest when closed
  q.showing = true;
  while (!q.waiting.empty()) {
    std::string text = q.waiting.front();
    if (q.sink) {
      q.sink(text);
    } else {
      ShowError(q.owner && IsWindow(q.owner) ? q.owner : nullptr, text);
    }
    q.waiting.pop_front();
  }
  q.showing = false;
}

}  // namespace dc::ui
